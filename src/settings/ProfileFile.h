#pragma once
// The program's settings files (vuzo_Vez_1.ini, vuzo_a500.ini): INI text files of
// "[section]" lines and "key=value" lines, with the access rules of the Windows
// profile functions the files were first written by.
//
// An object reads its file once, at its first read or write, and answers every
// later read from memory. Reads never fail: a missing file, section or key, an
// unreadable file (one that is not a regular file or is larger than 64 MiB
// included) or a value of the wrong form gives the caller's default.
//
// Writes reach the disk whole or not at all. A write outside a batch replaces
// the file at once; the writes inside a Batch replace it once, when the batch
// commits:
//
//     ProfileFile ini(path);
//     ProfileFile::Batch batch(ini);
//     ini.WriteString(section, u"E_ZIP"_s, zip);
//     ini.WriteInteger(section, u"Tab_My"_s, tab);
//     batch.commit(); // throws EProfileWriteError; the file then is as it was
//
// The file's content afterwards is what the same writes made one by one would
// give: lines no write changes keep their bytes, comments, unknown keys and
// sections included. When the file changed on disk since the object read it
// (another object, another program), the writes are made again on top of the
// new content, so neither side's changes are lost.
//
// A refused write raises EProfileWriteError with the message
// "<path> に書き込めません: <reason>" and leaves the file exactly as it was.

#include "platform/Errors.h"

#include <QDate>
#include <QString>
#include <cstdint>
#include <memory>

// A write the operating system refused, or one the file cannot hold. The
// message is the file's path, " に書き込めません", ": " and the reason.
class EProfileWriteError : public EVuzoError
{
public:
    using EVuzoError::EVuzoError;
};

class ProfileFile
{
public:
    explicit ProfileFile(QString path);
    ~ProfileFile();
    ProfileFile(const ProfileFile &) = delete;
    ProfileFile &operator=(const ProfileFile &) = delete;

    const QString &path() const;

    // Why the file exists but cannot be read (not a regular file, larger than
    // 64 MiB, no permission), as the system says it; empty when it was read or
    // is missing. Reads the file when it has not been read yet.
    QString readRefusal() const;

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
    // Every other line of the file keeps its bytes and its line end. Later reads
    // of this object see the new value at once.
    //
    // The file keeps its encoding (CP932, UTF-8 with or without byte-order mark,
    // UTF-16LE or UTF-16BE) while the encoding holds every value exactly; a
    // value it cannot hold (an emoji, or "¥" in CP932) moves the file to UTF-16LE
    // with a byte-order mark.
    //
    // Outside a batch, throws EProfileWriteError when the file cannot be
    // written. Inside one, throws only when the file is unreadable or cannot
    // hold the value; the disk is written at commit().
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int32_t value);
    // Writes yyyy/MM/dd; an invalid date is written as the empty text.
    void WriteDate(const QString &section, const QString &key, const QDate &value);

    // Gathers the writes of one action into one replacement of the file.
    // commit() writes them all or, throwing EProfileWriteError, none; a batch
    // destroyed without commit() (an exception left the action) drops them and
    // the object shows the file as it is on disk again. When nothing changed,
    // commit() leaves the file alone.
    //
    // A batch opened while another is open on the same object joins it: its
    // commit() only closes it and the outer commit() writes. When such an inner
    // batch is dropped, the outer commit() drops everything and throws.
    class Batch
    {
    public:
        explicit Batch(ProfileFile &file);
        ~Batch();
        Batch(const Batch &) = delete;
        Batch &operator=(const Batch &) = delete;

        void commit();

    private:
        ProfileFile &m_file;
        bool m_open = true;
    };

private:
    struct State;
    std::unique_ptr<State> d;
};
