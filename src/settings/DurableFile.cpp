#include "settings/DurableFile.h"

#include "platform/ProgramFiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace vuzo::durable {
namespace {

QString ErrorText(int error)
{
    return qt_error_string(error);
}

QString NotARegularFile()
{
    return u"通常のファイルではありません"_s;
}

// Closes the descriptor it holds when it goes out of scope; close() releases it
// earlier and reports the error a deferred write may only show there.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Returns 0 or the error of close().
    int close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

private:
    int m_fd;
};

// Writes every byte, going on after a short write or an interrupted call.
// Returns 0 or the error that stopped it.
int WriteAll(int fd, QByteArrayView bytes)
{
    const char *p = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(std::min<qsizetype>(left, SSIZE_MAX)));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        p += n;
        left -= n;
    }
    return 0;
}

int WriteAllAt(int fd, qint64 offset, QByteArrayView bytes)
{
    if (::lseek(fd, offset, SEEK_SET) < 0)
        return errno;
    return WriteAll(fd, bytes);
}

int Sync(int fd)
{
    return ::fsync(fd) == 0 ? 0 : errno;
}

// Reads from the descriptor's current position to its end, at most limit + 1
// bytes so that a file that grew past the limit is noticed. Reads straight into
// the result, sized from the file's size.
int ReadAll(int fd, qint64 sizeHint, qint64 limit, QByteArray &out)
{
    out.resize(static_cast<qsizetype>(std::min(sizeHint, limit) + 1));
    qsizetype used = 0;
    while (used <= limit) {
        if (used == out.size())
            out.resize(static_cast<qsizetype>(std::min<qint64>(limit + 1, out.size() * qint64(2))));
        const ssize_t n = ::read(fd, out.data() + used, static_cast<size_t>(out.size() - used));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0) {
            out.truncate(used);
            return 0;
        }
        used += n;
    }
    return EFBIG;
}

QByteArray FolderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray NameOf(const QByteArray &path)
{
    return path.sliced(path.lastIndexOf('/') + 1);
}

// The path a write must replace: a symbolic link is followed to its target,
// so the new file is renamed over the target and the link keeps pointing at it.
QByteArray ResolveLinks(QByteArray path)
{
    // The system's own limit on links followed in one lookup.
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st
        {
        };
        if (::lstat(path.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        char target[PATH_MAX];
        const ssize_t n = ::readlink(path.constData(), target, sizeof target);
        if (n <= 0 || n == static_cast<ssize_t>(sizeof target))
            return path; // the steps that follow report the error
        const QByteArray link(target, n);
        path = link.startsWith('/') ? link : FolderOf(path) + '/' + link;
    }
    return path;
}

// Creates a new file in folder with a name no other file has,
// ".<name>.<pid>.<random>.tmp" (the pattern RemoveStaleTemporaries knows);
// mode is handed to open(), so the umask applies to it.
int CreateTemporary(const QByteArray &folder, const QByteArray &name, mode_t mode, Descriptor &fd, QByteArray &tempPath)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = folder + "/." + name + '.' + QByteArray::number(::getpid()) + '.' +
                   QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int d = ::open(tempPath.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode);
        if (d >= 0) {
            fd.reset(d);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

// The owner, group and permission bits of the old file, given to the new one
// before it takes the old one's place. Without the privilege to give a file away
// the new file stays the writer's, as any file it creates.
int CopyOwnerAndMode(int fd, const struct stat &old)
{
    if ((old.st_uid != ::geteuid() || old.st_gid != ::getegid()) && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
        if (errno != EPERM || ::geteuid() == 0)
            return errno;
        // The group alone may still be kept when the writer belongs to it.
        if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0 && errno != EPERM)
            return errno;
    }
    return ::fchmod(fd, old.st_mode & 07777) == 0 ? 0 : errno;
}

int SyncFolder(const QByteArray &folder)
{
    Descriptor fd(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd.isOpen())
        return errno;
    // Some file systems cannot flush a folder; they order the rename themselves.
    if (::fsync(fd.get()) != 0 && errno != EINVAL)
        return errno;
    return fd.close();
}

bool ReplaceInPlace(const QByteArray &target, QByteArrayView content, QString &reason)
{
    Descriptor fd(::open(target.constData(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isOpen()) {
        reason = ErrorText(errno);
        return false;
    }
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0) {
        reason = ErrorText(errno);
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        reason = NotARegularFile();
        return false;
    }
    QByteArray old;
    if (const int e = ReadAll(fd.get(), st.st_size, qint64(1) << 40, old)) {
        reason = ErrorText(e);
        return false;
    }
    const qsizetype common = std::min(old.size(), content.size());

    const auto restore = [&](int error) {
        reason = ErrorText(error);
        const bool back =
            WriteAllAt(fd.get(), 0, old) == 0 && ::ftruncate(fd.get(), old.size()) == 0 && Sync(fd.get()) == 0;
        if (!back)
            reason += u"（元の内容に戻せませんでした）"_s;
        return false;
    };

    // The part beyond the old end first: when the disk is full this is the step
    // that fails, and cutting the file back to its old length undoes it whole.
    if (content.size() > old.size()) {
        if (const int e = WriteAllAt(fd.get(), old.size(), content.sliced(old.size()))) {
            reason = ErrorText(e);
            if (::ftruncate(fd.get(), old.size()) != 0 || Sync(fd.get()) != 0)
                reason += u"（元の内容に戻せませんでした）"_s;
            return false;
        }
    }
    if (const int e = WriteAllAt(fd.get(), 0, content.first(common)))
        return restore(e);
    if (content.size() < old.size() && ::ftruncate(fd.get(), content.size()) != 0)
        return restore(errno);
    if (const int e = Sync(fd.get()))
        return restore(e);
    if (const int e = fd.close()) {
        reason = ErrorText(e);
        return false;
    }
    return true;
}

} // namespace

ReadResult ReadRegularFile(const QString &path, qint64 limit)
{
    ReadResult r;
    // O_NONBLOCK: opening a FIFO without a writer would otherwise wait forever.
    // The flag has no effect on the regular files that are read.
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isOpen()) {
        const int e = errno;
        r.status = (e == ENOENT || e == ENOTDIR) ? ReadResult::Status::Missing : ReadResult::Status::Refused;
        r.reason = ErrorText(e);
        return r;
    }
    r.status = ReadResult::Status::Refused;
    struct stat st
    {
    };
    if (::fstat(fd.get(), &st) != 0) {
        r.reason = ErrorText(errno);
        return r;
    }
    if (!S_ISREG(st.st_mode)) {
        r.reason = NotARegularFile();
        return r;
    }
    const QString tooLarge = u"%1 バイトを超えるファイルは読みません"_s.arg(limit);
    if (st.st_size > limit) {
        r.reason = tooLarge;
        return r;
    }
    if (const int e = ReadAll(fd.get(), st.st_size, limit, r.bytes)) {
        r.reason = e == EFBIG ? tooLarge : ErrorText(e);
        r.bytes.clear();
        return r;
    }
    r.status = ReadResult::Status::Read;
    return r;
}

bool FileHolds(const QString &path, const std::optional<QByteArrayView> &content)
{
    Descriptor fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.isOpen())
        return !content && (errno == ENOENT || errno == ENOTDIR);
    struct stat st
    {
    };
    if (!content || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != content->size())
        return false;
    // In pieces: the content is in memory already, a second copy is not needed.
    char buffer[65536];
    qsizetype at = 0;
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 || n > content->size() - at)
            return false;
        if (n == 0)
            return at == content->size();
        if (std::memcmp(buffer, content->data() + at, static_cast<size_t>(n)) != 0)
            return false;
        at += n;
    }
}

bool ReplaceFile(const QString &path, QByteArrayView content, QString &reason)
{
    const QByteArray target = ResolveLinks(QFile::encodeName(path));
    const QByteArray folder = FolderOf(target);

    struct stat old
    {
    };
    const bool exists = ::stat(target.constData(), &old) == 0;
    if (!exists && errno != ENOENT) {
        reason = ErrorText(errno);
        return false;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        reason = NotARegularFile();
        return false;
    }

    Descriptor fd;
    QByteArray temp;
    if (const int e = CreateTemporary(folder, NameOf(target), exists ? 0600 : 0666, fd, temp)) {
        if (exists && (e == EACCES || e == EPERM))
            return ReplaceInPlace(target, content, reason);
        reason = ErrorText(e);
        return false;
    }
    const auto fail = [&](int error) {
        fd.reset(-1);
        ::unlink(temp.constData());
        reason = ErrorText(error);
        return false;
    };
    if (exists) {
        if (const int e = CopyOwnerAndMode(fd.get(), old))
            return fail(e);
    }
    if (const int e = WriteAll(fd.get(), content))
        return fail(e);
    if (const int e = Sync(fd.get()))
        return fail(e);
    if (const int e = fd.close())
        return fail(e);
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int e = errno;
        ::unlink(temp.constData());
        // A folder that lets a file be created but not replaced (a sticky
        // folder, a file of another user) still lets the file be rewritten.
        if (exists && (e == EACCES || e == EPERM))
            return ReplaceInPlace(target, content, reason);
        reason = ErrorText(e);
        return false;
    }
    if (const int e = SyncFolder(folder)) {
        reason = ErrorText(e) + u"（新しい内容は置かれましたが、ディスクへの記録を確認できません）"_s;
        return false;
    }
    return true;
}

std::optional<QString> KeepDatedCopy(const QString &path, const QDateTime &when, QString &reason)
{
    const ReadResult r = ReadRegularFile(path, qint64(64) * 1024 * 1024);
    if (r.status != ReadResult::Status::Read) {
        reason = r.status == ReadResult::Status::Missing ? ErrorText(ENOENT) : r.reason;
        return std::nullopt;
    }
    const QString stem = path + u'.' + when.toString(u"yyyy-MM-dd-HHmm"_s);
    for (int n = 1; n < 1000; ++n) {
        const QString copy = stem + (n == 1 ? QString() : u'-' + QString::number(n)) + u".bak"_s;
        // O_EXCL: an earlier copy of the same minute is never replaced.
        Descriptor fd(
            ::open(QFile::encodeName(copy).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600));
        if (!fd.isOpen()) {
            if (errno == EEXIST)
                continue;
            reason = ErrorText(errno);
            return std::nullopt;
        }
        int e = WriteAll(fd.get(), r.bytes);
        if (e == 0)
            e = Sync(fd.get());
        if (e == 0)
            e = fd.close();
        if (e != 0) {
            fd.reset(-1);
            ::unlink(QFile::encodeName(copy).constData());
            reason = ErrorText(e);
            return std::nullopt;
        }
        return copy;
    }
    reason = ErrorText(EEXIST);
    return std::nullopt;
}

QStringList RemoveStaleTemporaries(const QString &folder, const QDateTime &now)
{
    const QStringList own = vuzo::OwnDataFileNames();
    QStringList removed;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({u".*.tmp"_s}, QDir::Files | QDir::Hidden | QDir::System)) {
        // ".<own file>.<pid>.<random>.tmp", or ".<own file>.<random>.tmp" as
        // earlier versions named them.
        QStringList middle;
        for (const QString &file : own) {
            const QString head = u'.' + file + u'.';
            if (name.startsWith(head) && name.size() > head.size() + 4)
                middle = name.sliced(head.size(), name.size() - head.size() - 4).split(u'.');
        }
        static const QRegularExpression base36(u"^[0-9a-z]+$"_s);
        if (middle.isEmpty() || middle.size() > 2 || !base36.match(middle.last()).hasMatch())
            continue;
        const QByteArray path = QFile::encodeName(dir.filePath(name));
        struct stat st
        {
        };
        // Only plain files of this user; a link is never followed.
        if (::lstat(path.constData(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        // The writer is gone when its process is; a name without a process
        // (or whose number a new process took) counts by its age.
        bool ownerGone = false;
        if (middle.size() == 2) {
            bool ok = false;
            const qint64 pid = middle.first().toLongLong(&ok);
            ownerGone =
                ok && pid > 0 && pid != ::getpid() && pid <= INT_MAX && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
        }
        const bool old = QDateTime::fromSecsSinceEpoch(st.st_mtime).secsTo(now) > kStaleTemporaryAge;
        if ((ownerGone || old) && ::unlink(path.constData()) == 0)
            removed << name;
    }
    return removed;
}

} // namespace vuzo::durable
