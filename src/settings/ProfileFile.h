#pragma once
// The program's settings files (vuzo_Vez_1.ini, vuzo_a500.ini): INI text files of
// "[section]" lines and "key=value" lines, with the access rules of the Windows
// profile functions the files were first written by.
//
// Every call opens the file, does its one read or write and releases it; nothing
// is cached, so two objects on one path always see each other's writes.
//
// Reads never fail: a missing file, section or key, an unreadable file or a value
// of the wrong form gives the caller's default. Writes either reach the disk
// completely (the file is replaced atomically) or raise EProfileWriteError and
// leave the file as it was.

#include "platform/Errors.h"

#include <QDate>
#include <QString>
#include <cstdint>

// A write the operating system refused. The message is the file's path followed
// by " に書き込めません".
class EProfileWriteError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

class ProfileFile
{
public:
    explicit ProfileFile(QString path);

    const QString &path() const;

    // The text after the first "=" of the first matching entry, without blanks
    // and tabs around it and without one pair of enclosing quotes ("..." or
    // '...'), at most 2047 UTF-16 code units. Section and key names match
    // regardless of case and of blanks around them; the first matching section
    // and the first matching key win.
    QString ReadString(const QString &section, const QString &key, const QString &def) const;

    // Decimal with an optional sign, or hexadecimal after "0x", "0X" or "$" (up
    // to eight significant digits, taken as a 32-bit two's-complement value).
    // Anything else, the empty text and out-of-range numbers included, gives def.
    int32_t ReadInteger(const QString &section, const QString &key, int32_t def) const;

    // A date written yyyy/MM/dd (one-digit month and day accepted), whatever the
    // machine's locale. An empty or unparsable text gives def.
    QDate ReadDate(const QString &section, const QString &key, const QDate &def) const;

    // Replaces the value of the first matching entry in place, or appends the
    // entry after the last entry of the first matching section, or appends the
    // section at the end of the file, creating the file when it is missing.
    // Every other line of the file keeps its bytes and its line end.
    // Throws EProfileWriteError when the file cannot be written.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int32_t value);
    // Writes yyyy/MM/dd; an invalid date is written as the empty text.
    void WriteDate(const QString &section, const QString &key, const QDate &value);

private:
    QString m_path;
};
