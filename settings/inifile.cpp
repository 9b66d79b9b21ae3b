#include "inifile.h"

#include "replacefile.h"
#include "systemreason.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

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

QString sectionName(const QString &line)
{
    QString name = line.trimmed().mid(1);
    const qsizetype close = name.indexOf(u']');
    if (close >= 0)
        name.truncate(close);
    return name.trimmed();
}

// Splits "key=value" into its trimmed halves; nullopt for a line without "=".
std::optional<std::pair<QString, QString>> keyAndValue(const QString &line)
{
    const qsizetype equals = line.indexOf(u'=');
    if (equals < 0)
        return std::nullopt;
    return std::pair{line.left(equals).trimmed(), line.mid(equals + 1).trimmed()};
}

// The Windows code page 932, which the Windows version's settings are in.
constexpr char ShiftJisName[] = "windows-31j";

// Opening a converter costs more than a whole settings file: one serves
// every file, line by line, and keeps no state between lines.
QStringDecoder &shiftJisDecoder()
{
    static QStringDecoder decoder(ShiftJisName, QStringConverter::Flag::Stateless);
    return decoder;
}

bool isValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    [[maybe_unused]] const QString text = decoder(bytes);
    return !decoder.hasError();
}

SettingsFailure lineProblem(const QByteArray &line, int number)
{
    if (line.contains('\0'))
        return SettingsProblem(SettingsError::NulInLine, {}, {}, number);
    if (line.size() > IniFile::MaxLineBytes)
        return SettingsProblem(SettingsError::LineTooLong, {}, {}, number, line.size());
    const QByteArray text = line.trimmed();
    if (text.isEmpty() || text.startsWith(';') || text.startsWith('#') || text.contains('='))
        return std::nullopt;
    if (isSectionHeader(text))
        return text.contains(']') ? std::nullopt
                                  : SettingsFailure(SettingsProblem(SettingsError::SectionNotClosed, {}, {}, number));
    return SettingsProblem(SettingsError::NotKeyValue, {}, {}, number);
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
    if (!isValidUtf8(content))
        m_encoding = Encoding::ShiftJis;
    const auto decoded = [this](const QByteArray &line) -> QString {
        return m_encoding == Encoding::ShiftJis ? shiftJisDecoder()(line) : QString::fromUtf8(line);
    };
    qsizetype end = start;
    while (end < content.size()) {
        const char c = content.at(end);
        if (c != '\n' && c != '\r') {
            ++end;
            continue;
        }
        const qsizetype breakSize = c == '\r' && end + 1 < content.size() && content.at(end + 1) == '\n' ? 2 : 1;
        const QByteArray text = content.mid(start, end - start);
        m_lines.append({text, content.mid(end, breakSize), decoded(text)});
        start = end = end + breakSize;
    }
    if (start < content.size())
        m_lines.append({content.mid(start), {}, decoded(content.mid(start))});
}

bool IniFile::looksLikeUtf16(const QByteArray &content)
{
    if (content.startsWith("\xFF\xFE") || content.startsWith("\xFE\xFF"))
        return true;
    // "[Graph]" and the like: an ASCII character, then a NUL, or the other way round.
    const qsizetype pairs = std::min<qsizetype>(content.size() / 2, 8);
    if (pairs == 0)
        return false;
    for (const int nulAt : {0, 1}) {
        bool every = true;
        for (qsizetype i = 0; i < pairs && every; ++i) {
            const char nul = content.at(2 * i + nulAt);
            const char ascii = content.at(2 * i + 1 - nulAt);
            every = nul == 0 && ascii > 0;
        }
        if (every)
            return true;
    }
    return false;
}

QByteArray IniFile::encoded(const QString &text) const
{
    if (m_encoding == Encoding::Utf8)
        return text.toUtf8();
    static QStringEncoder encoder(ShiftJisName, QStringConverter::Flag::Stateless);
    return encoder(text);
}

IniLoadResult IniFile::load(const QString &path)
{
    const auto unreadable = [&path](const FileReason &why) {
        return IniLoadResult{std::nullopt, SettingsProblem(SettingsError::Unreadable, path, {}, 0, 0, why)};
    };
    QFile file(path);
    if (QFileInfo(path).isDir())
        return unreadable(FileReason{FileProblem::Folder, {}});
    if (QFileInfo(path).size() > MaxFileBytes)
        return {std::nullopt, SettingsProblem(SettingsError::TooLarge, path, {}, QFileInfo(path).size())};
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(reasonOfFile(file));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return unreadable(reasonOfFile(file));
    if (looksLikeUtf16(content))
        return {std::nullopt, SettingsProblem(SettingsError::Utf16, path)};
    return {IniFile(content), {}};
}

int IniFile::sectionStart(QStringView section) const
{
    for (int i = 0; i < m_lines.size(); ++i) {
        if (isSectionHeader(m_lines[i].text) && sameName(sectionName(m_lines[i].decoded), section))
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
        const auto pair = keyAndValue(m_lines[i].decoded);
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
    return keyAndValue(m_lines[line].decoded)->second;
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
    const QString decoded = key.toString() + u'=' + value;
    const QByteArray text = encoded(decoded);
    // A damaged line of the key is the one its new value replaces.
    const int existing = keyLine(section, key, Lines::All);
    if (existing >= 0) {
        m_lines[existing] = {text, m_lines[existing].lineBreak, decoded};
        return;
    }
    const QByteArray lineBreak = preferredLineBreak();
    if (!m_lines.isEmpty() && m_lines.last().lineBreak.isEmpty())
        m_lines.last().lineBreak = lineBreak;

    int header = sectionStart(section);
    if (header < 0) {
        const QString headerText = u'[' + section.toString() + u']';
        m_lines.append({encoded(headerText), lineBreak, headerText});
        header = m_lines.size() - 1;
    }
    // After the section's last non-blank line, so blank separators stay below it.
    int insertAt = sectionEnd(header);
    while (insertAt - 1 > header && m_lines[insertAt - 1].text.trimmed().isEmpty())
        --insertAt;
    m_lines.insert(insertAt, {text, lineBreak, decoded});
}

QByteArray IniFile::content() const
{
    QByteArray out = m_byteOrderMark;
    for (const Line &line : m_lines)
        out += line.text + line.lineBreak;
    return out;
}

std::vector<SettingsProblem> IniFile::problems() const
{
    std::vector<SettingsProblem> found;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (SettingsFailure problem = lineProblem(m_lines[i].text, i + 1))
            found.push_back(std::move(*problem));
    }
    return found;
}

std::optional<FileReason> IniFile::save(const QString &path) const
{
    return replaceFile(path, content());
}
