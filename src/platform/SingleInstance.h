#pragma once
// Keeps one running program per data folder. What decides is a lock on a file
// inside the folder (DataFolderLock): the system grants it to one process at a
// time, on the folder itself, whatever path (a link, a bind mount) leads
// there, and frees it when the process ends, however it ends.
//
// A second start that finds the lock held asks the running program to bring
// its main window to the front, through a local socket named after the
// application title, the user and the folder (SingleInstance), and ends. The
// socket lives in a directory only the user can enter, so no other local user
// can occupy it. A socket left behind by a killed program answers nobody and is
// taken over, so a crash never blocks the next start.

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

// An exclusive lock (flock) on the lock file of a data folder, held while the
// object lives. The lock file stays in the folder; only the lock goes.
class DataFolderLock
{
public:
    enum class State
    {
        Held,   // this object holds the lock
        Busy,   // another process holds it
        Failed, // the lock file cannot be opened (a folder without write access)
    };
    explicit DataFolderLock(const QString &folder);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

    State state() const { return m_state; }
    // The system's reason, when Failed.
    const QString &reason() const { return m_reason; }

private:
    int m_fd = -1;
    State m_state = State::Failed;
    QString m_reason;
};

class SingleInstance : public QObject
{
    Q_OBJECT
public:
    explicit SingleInstance(const QString &key, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when another instance is running; it has been asked to raise its
    // window. False when this process now holds the guard.
    bool anotherInstanceRunning();

    // Asks the program listening under the key to raise its window; false
    // when none answers.
    bool activateRunning();
    // Listens under the key for later starts, taking over a socket nobody
    // answers on.
    void listen();

    // Called in the first instance when a second start asks it to come forward.
    void setActivationHandler(std::function<void()> handler);

    // The key for this user and data folder: the full path of a socket named
    // after the title, the user id and the folder (its device and inode, so
    // every path to it gives the same key), in socketDirectory().
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
