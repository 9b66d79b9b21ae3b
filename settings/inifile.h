#pragma once

#include "settingsproblem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>
#include <utility>

// A private-profile INI file held as its raw lines, so that writing a key
// touches that key's line alone and every other byte of the file stays as it
// was. Section and key names compare without regard to case; values are
// trimmed of blanks, as the Windows profile functions do, and otherwise kept
// exactly. The first of two equal sections or keys is the one that counts.
//
// Lines end in CR LF, LF or a lone CR (each line keeps its own). The text is
// UTF-8; a file that is not valid UTF-8 is taken as Shift-JIS (code page
// 932, as the Windows version wrote it), and a line written into it is
// written in Shift-JIS too. UTF-16 is not read at all (see load()).
//
// A line that holds a NUL byte or is longer than MaxLineBytes is damaged: it
// is kept as it is but never read, so its key reads as absent.
class IniFile
{
public:
    static constexpr qsizetype MaxLineBytes = 4096;
    // A settings file is a few hundred bytes; anything this large is not one.
    static constexpr qsizetype MaxFileBytes = 1024 * 1024;

    enum class Encoding { Utf8, ShiftJis };

    // The lines of an INI text: the whole file, or an empty one.
    explicit IniFile(const QByteArray &content = {});

    // Refuses, naming the file and the reason, a folder, a file too large,
    // one that cannot be read and one in UTF-16.
    static struct IniLoadResult load(const QString &path);

    // Whether bytes are UTF-16 text: a byte order mark of UTF-16, or an
    // ASCII beginning with every other byte NUL.
    static bool looksLikeUtf16(const QByteArray &content);

    Encoding encoding() const { return m_encoding; }

    // The value of a key, nullopt when the section or the key is absent.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Replaces the key's line in place, or adds the key at the end of its
    // section (and the section at the end of the file) when it is missing.
    void setValue(QStringView section, QStringView key, const QString &value);

    QByteArray content() const;

    // Lines that are damaged, or that are neither blank, a comment, a
    // section header nor "key=value": their numbers (from 1) and what is wrong.
    std::vector<SettingsProblem> problems() const;

    // Writes content() to path, replacing the old file in one step; on
    // failure the old file stays and what the system said comes back.
    std::optional<FileReason> save(const QString &path) const;

private:
    struct Line
    {
        QByteArray text;      // without its line break
        QByteArray lineBreak; // "\r\n", "\n", "\r" or "" on a last line without one
        QString decoded;      // text in the file's encoding
    };

    int sectionStart(QStringView section) const; // header line index, or -1
    int sectionEnd(int headerIndex) const;       // index after the section's last line
    enum class Lines { Readable, All };
    int keyLine(QStringView section, QStringView key, Lines which) const;
    QByteArray preferredLineBreak() const;
    QByteArray encoded(const QString &text) const;

    QByteArray m_byteOrderMark; // kept in front of the first line
    Encoding m_encoding = Encoding::Utf8;
    QList<Line> m_lines;
};

struct IniLoadResult
{
    std::optional<IniFile> file; // empty when the file could not be read
    SettingsFailure problem;     // why not
};
