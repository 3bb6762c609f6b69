#include "platform/SingleInstance.h"

#include "platform/ProgramFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kActivate = "activate\n";

// A directory only this user can enter: a real directory (not a link), owned
// by the user, with no rights for group or others. A socket there cannot be
// occupied or spoofed by another local user.
bool IsPrivateDirectory(const QString &path)
{
    struct stat st = {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// Creates the directory with mode 0700 when it is missing, and answers whether
// it is private.
bool EnsurePrivateDirectory(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return false;
    return IsPrivateDirectory(path);
}
} // namespace

QString SingleInstance::socketDirectory()
{
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The session's runtime directory is made private by the system.
    const QString runtime = env.value(u"XDG_RUNTIME_DIR"_s);
    if (IsPrivateDirectory(runtime))
        return runtime;
    // Otherwise a directory of our own in the temporary folder, named after
    // the user id; when another user got there first, one in our home.
    const QString tmp = QDir::tempPath() + u"/vuzo-"_s + QString::number(::getuid());
    if (EnsurePrivateDirectory(tmp))
        return tmp;
    const QString home = QDir::homePath() + u"/.cache"_s;
    QDir().mkpath(home);
    const QString own = home + u"/vuzo_vez_1-run"_s;
    if (EnsurePrivateDirectory(own))
        return own;
    return {};
}

SingleInstance::SingleInstance(const QString &key, QObject *parent) : QObject(parent), m_name(key) {}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::keyFor(const QString &title, const QString &workingDirectory)
{
    // The folder itself, not the path to it: a link or a bind mount leads to
    // the same program.
    QString folder = u"dir:"_s + workingDirectory;
    struct stat st = {};
    if (::stat(QFile::encodeName(workingDirectory).constData(), &st) == 0)
        folder = u"inode:"_s + QString::number(st.st_dev) + u':' + QString::number(st.st_ino);
    const QByteArray raw = (title + u'|' + QString::number(getuid()) + u'|' + folder).toUtf8();
    // Socket names must be short and plain; the hash keeps Japanese titles and
    // long paths out of the file system name.
    const QString name =
        u"vuzo-"_s + QString::fromLatin1(QCryptographicHash::hash(raw, QCryptographicHash::Sha1).toHex().left(24));
    const QString dir = socketDirectory();
    // With no private directory at all the name falls back to Qt's own place
    // for sockets, as a last resort rather than no guard.
    return dir.isEmpty() ? name : dir + u'/' + name;
}

void SingleInstance::setActivationHandler(std::function<void()> handler)
{
    m_onActivate = std::move(handler);
}

bool SingleInstance::anotherInstanceRunning()
{
    if (activateRunning())
        return true;
    listen();
    return false;
}

bool SingleInstance::activateRunning()
{
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (!probe.waitForConnected(500))
        return false;
    probe.write(kActivate);
    probe.waitForBytesWritten(500);
    probe.disconnectFromServer();
    return true;
}

void SingleInstance::listen()
{
    if (m_server)
        return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_name)) {
        // Nobody answered, so the socket file is a leftover of a program that
        // was killed: take it over.
        QLocalServer::removeServer(m_name);
        m_server->listen(m_name);
    }
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                if (socket->readAll().contains(kActivate.trimmed()) && m_onActivate)
                    m_onActivate();
            });
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

DataFolderLock::DataFolderLock(const QString &folder)
{
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(vuzo::LockFileName()));
    m_fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, 0600);
    if (m_fd < 0) {
        m_reason = qt_error_string(errno);
        return;
    }
    // Tested and taken in one step by the system: of two programs started at
    // the same instant exactly one gets it.
    int rc;
    do
        rc = ::flock(m_fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_state = State::Held;
        return;
    }
    const int e = errno;
    ::close(m_fd);
    m_fd = -1;
    if (e == EWOULDBLOCK) {
        m_state = State::Busy;
    } else {
        m_reason = qt_error_string(e);
    }
}

DataFolderLock::~DataFolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}
