#pragma once
// Reading and replacing the program's data files so that a failure never costs
// what the file held before.
//
// A read takes only a regular file of bounded size and never waits: a FIFO, a
// device, a directory or an oversized file is refused before a byte is read.
// A replacement writes the whole new content beside the file and renames it over
// the old one; a crash or a refused step leaves the old file or the new one,
// never a mix and never an empty file.

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace vuzo::durable {

struct ReadResult
{
    enum class Status
    {
        Read,
        Missing,
        Refused
    };
    Status status = Status::Missing;
    QByteArray bytes; // the whole content, when Read
    QString reason;   // why the file was refused, for the operator, when Refused
};

// Reads the file at path, following symbolic links. Missing when the file or a
// folder on its path does not exist; Refused when it is not a regular file, is
// larger than `limit` bytes or cannot be opened or read.
ReadResult ReadRegularFile(const QString &path, qint64 limit);

// Whether the file at path holds exactly `content`, or is missing when content
// is nullopt. Any doubt (an error, a file that is not a regular file) is false.
bool FileHolds(const QString &path, const std::optional<QByteArrayView> &content);

// Makes `content` the content of the file at path, creating it when missing.
//
// The new content goes to a temporary file in the file's own folder (the folder
// of the link's target for a symbolic link, so the link stays a link), every
// write is checked, the file is flushed to the disk, renamed over the old one
// and the folder is flushed. An existing file's owner and permissions carry
// over to the new one; a new file gets the usual permissions (0666 less the
// umask).
//
// When the folder refuses a new file but the file itself may be written, the
// file is rewritten in place: first the part beyond its old end (a full disk
// then stops the write before any old byte changed), then the rest, then the
// length; a refused step puts the old content back. Only this way can leave a
// mix of old and new when the process is killed half way.
//
// Returns false with the reason (the system's error text) when the file could
// not be replaced; the file then holds its old content. The one exception is a
// folder that cannot be flushed after the rename: the new content is in place
// and the reason says it may not survive a power failure.
bool ReplaceFile(const QString &path, QByteArrayView content, QString &reason);

// Keeps the file's present content beside it, as
// "<path>.<yyyy-MM-dd-HHmm of when>.bak" ("-2.bak", "-3.bak", ... when that
// name is taken; an existing copy is never replaced). Returns the copy's path,
// or nullopt with the reason when the file cannot be read or the copy written.
std::optional<QString> KeepDatedCopy(const QString &path, const QDateTime &when, QString &reason);

// A replacement's temporary file older than this many seconds is a leftover,
// whatever process made it: no save takes that long.
inline constexpr qint64 kStaleTemporaryAge = 10 * 60;

// Removes the temporary files a killed replacement left in folder: only names
// of ReplaceFile's own pattern for the program's own files
// (".vuzo_Vez_1.ini.<pid>.<random>.tmp"), plain files of this user, whose
// writing process is gone or that are older than kStaleTemporaryAge at now.
// The caller holds the folder's lock, so no other program of the folder is
// writing one. Returns the names removed.
QStringList RemoveStaleTemporaries(const QString &folder, const QDateTime &now = QDateTime::currentDateTime());

} // namespace vuzo::durable
