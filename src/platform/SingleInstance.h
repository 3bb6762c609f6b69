#pragma once
// Keeps one running program per user and display session. A second start
// finds the first through a local socket named after the application title,
// the user and the display, asks it to bring its main window to the front,
// and ends. The socket lives in a directory only the user can enter, so no
// other local user can occupy it. A socket left behind by a killed program
// answers nobody and is taken over, so a crash never blocks the next start.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance is running; it has been asked to raise its
    // window. False when this process now holds the guard.
    bool anotherInstanceRunning();

    // Called in the first instance when a second start asks it to come forward.
    void setActivationHandler(std::function<void()> handler);

    // The key for this user and display session: the full path of a socket
    // named after the title, the user id and the display (or, without a
    // display, the working directory), in socketDirectory().
    static QString keyFor(const QString &title, const QString &workingDirectory);

    // The user's private directory for the socket: $XDG_RUNTIME_DIR when it is
    // a directory of the user's with no rights for others, else
    // <temporary folder>/vuzo-<uid>, else ~/.cache/vuzo_vez_1-run, each created
    // with mode 0700 and used only when private. Empty when none can be had.
    static QString socketDirectory();

private:
    QString m_name;
    QLocalServer *m_server = nullptr;
    std::function<void()> m_onActivate;
};
