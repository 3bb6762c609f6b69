#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>

#include <cerrno>
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
    const QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QString session = env.value(u"WAYLAND_DISPLAY"_s);
    if (session.isEmpty())
        session = env.value(u"DISPLAY"_s);
    const QString platform = env.value(u"QT_QPA_PLATFORM"_s);
    // Offscreen runs (tests, benchmarks) have no display session: separate
    // data directories must not block each other there.
    if (session.isEmpty() || platform.startsWith(u"offscreen"_s) || platform.startsWith(u"minimal"_s))
        session = u"dir:"_s + workingDirectory;
    const QByteArray raw = (title + u'|' + QString::number(getuid()) + u'|' + session).toUtf8();
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
    {
        QLocalSocket probe;
        probe.connectToServer(m_name);
        if (probe.waitForConnected(500)) {
            probe.write(kActivate);
            probe.waitForBytesWritten(500);
            probe.disconnectFromServer();
            return true;
        }
    }
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
    return false;
}
