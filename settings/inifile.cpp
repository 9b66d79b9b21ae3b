#include "inifile.h"

#include "replacefile.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isDamaged(const QByteArray &line)
{
    return line.contains('\0') || line.size() > IniFile::MaxLineBytes;
}

// A damaged line is no header either: it neither opens nor ends a section.
bool isSectionHeader(const QByteArray &line)
{
    return !isDamaged(line) && line.trimmed().startsWith('[');
}

QString sectionName(const QByteArray &line)
{
    QByteArray name = line.trimmed().mid(1);
    const qsizetype close = name.indexOf(']');
    if (close >= 0)
        name.truncate(close);
    return QString::fromUtf8(name).trimmed();
}

// Splits "key=value" into its trimmed halves; nullopt for a line without "=".
std::optional<std::pair<QString, QString>> keyAndValue(const QByteArray &line)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return std::nullopt;
    return std::pair{QString::fromUtf8(line.left(equals)).trimmed(),
                     QString::fromUtf8(line.mid(equals + 1)).trimmed()};
}

QString lineProblem(const QByteArray &line)
{
    if (line.contains('\0'))
        return QStringLiteral("NUL 文字が入っています");
    if (line.size() > IniFile::MaxLineBytes)
        return QStringLiteral("長すぎます (%1 バイト)").arg(line.size());
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('#') || text.contains('='))
        return {};
    if (isSectionHeader(text))
        return text.contains(']') ? QString() : QStringLiteral("セクション名を閉じる「]」がありません");
    return QStringLiteral("「キー=値」の形ではありません");
}

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(const QByteArray &content)
{
    static const QByteArray utf8Bom("\xEF\xBB\xBF");
    qsizetype start = 0;
    if (content.startsWith(utf8Bom)) {
        m_byteOrderMark = utf8Bom;
        start = utf8Bom.size();
    }
    while (start < content.size()) {
        const qsizetype newline = content.indexOf('\n', start);
        if (newline < 0) {
            m_lines.append({content.mid(start), {}});
            break;
        }
        const bool crlf = newline > start && content.at(newline - 1) == '\r';
        const qsizetype textEnd = crlf ? newline - 1 : newline;
        m_lines.append({content.mid(start, textEnd - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
}

IniLoadResult IniFile::load(const QString &path)
{
    QFile file(path);
    if (QFileInfo(path).isDir())
        return {std::nullopt, QStringLiteral("\"%1\" is a folder, not a settings file").arg(path)};
    if (QFileInfo(path).size() > MaxFileBytes)
        return {std::nullopt, QStringLiteral("\"%1\" is too large for a settings file (%2 bytes)")
                                  .arg(path).arg(QFileInfo(path).size())};
    if (!file.open(QIODevice::ReadOnly))
        return {std::nullopt, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString())};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {std::nullopt, QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString())};
    return {IniFile(content), {}};
}

int IniFile::sectionStart(QStringView section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        if (isSectionHeader(m_lines[i].text) && sameName(sectionName(m_lines[i].text), section))
            return i;
    }
    return -1;
}

int IniFile::sectionEnd(int headerIndex) const
{
    int end = headerIndex + 1;
    while (end < m_lines.size() && !isSectionHeader(m_lines[end].text))
        ++end;
    return end;
}

int IniFile::keyLine(QStringView section, QStringView key, Lines which) const
{
    const int header = sectionStart(section);
    if (header < 0)
        return -1;
    const int end = sectionEnd(header);
    for (int i = header + 1; i < end; ++i) {
        if (which == Lines::Readable && isDamaged(m_lines[i].text))
            continue;
        const auto pair = keyAndValue(m_lines[i].text);
        if (pair && sameName(pair->first, key))
            return i;
    }
    return -1;
}

std::optional<QString> IniFile::value(QStringView section, QStringView key) const
{
    const int line = keyLine(section, key, Lines::Readable);
    if (line < 0)
        return std::nullopt;
    return keyAndValue(m_lines[line].text)->second;
}

QByteArray IniFile::preferredLineBreak() const
{
    for (const Line &line : m_lines) {
        if (!line.lineBreak.isEmpty())
            return line.lineBreak;
    }
    return "\r\n";
}

void IniFile::setValue(QStringView section, QStringView key, const QString &value)
{
    const QByteArray text = key.toUtf8() + '=' + value.toUtf8();
    // A damaged line of the key is the one its new value replaces.
    const int existing = keyLine(section, key, Lines::All);
    if (existing >= 0) {
        m_lines[existing].text = text;
        return;
    }
    const QByteArray lineBreak = preferredLineBreak();
    if (!m_lines.isEmpty() && m_lines.last().lineBreak.isEmpty())
        m_lines.last().lineBreak = lineBreak;

    int header = sectionStart(section);
    if (header < 0) {
        m_lines.append({'[' + section.toUtf8() + ']', lineBreak});
        header = m_lines.size() - 1;
    }
    // After the section's last non-blank line, so blank separators stay below it.
    int insertAt = sectionEnd(header);
    while (insertAt - 1 > header && m_lines[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, {text, lineBreak});
}

QByteArray IniFile::content() const
{
    QByteArray out = m_byteOrderMark;
    for (const Line &line : m_lines)
        out += line.text + line.lineBreak;
    return out;
}

QList<std::pair<int, QString>> IniFile::problems() const
{
    QList<std::pair<int, QString>> found;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (const QString problem = lineProblem(m_lines[i].text); !problem.isEmpty())
            found.append({i + 1, problem});
    }
    return found;
}

bool IniFile::save(const QString &path, QString *error) const
{
    return replaceFile(path, content(), error);
}
