#include "platform/SingleInstance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcessEnvironment>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {
const QByteArray kActivate = "activate\n";
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
    return u"vuzo-"_s + QString::fromLatin1(QCryptographicHash::hash(raw, QCryptographicHash::Sha1).toHex().left(24));
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
