// Where the single-instance socket lives: always in a directory no other
// local user can enter, whatever the environment offers.

#include "platform/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

class TestSingleInstance : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void socketDirectory_data();
    void socketDirectory();
    void staleSocketIsTakenOver();
    void folderLockFollowsTheFolder_data();
    void folderLockFollowsTheFolder();

private:
    static mode_t modeOf(const QString &path)
    {
        struct stat st = {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        return st.st_mode & 07777;
    }
};

void TestSingleInstance::socketDirectory_data()
{
    QTest::addColumn<QString>("runtimeMode"); // "" = unset, else octal mode of the runtime dir
    QTest::addColumn<bool>("tmpSquatted");    // <tmp>/vuzo-<uid> exists and is open to others
    QTest::addColumn<QString>("expected");    // "runtime", "tmp" or "home"

    QTest::newRow("a private runtime directory is used") << u"700"_s << false << u"runtime"_s;
    QTest::newRow("a runtime directory open to others is passed over") << u"777"_s << false << u"tmp"_s;
    QTest::newRow("without a runtime directory the user's own temporary one") << QString() << false << u"tmp"_s;
    QTest::newRow("a temporary one taken by someone else sends it home") << QString() << true << u"home"_s;
}

void TestSingleInstance::socketDirectory()
{
    QFETCH(QString, runtimeMode);
    QFETCH(bool, tmpSquatted);
    QFETCH(QString, expected);

    QTemporaryDir root;
    QVERIFY(root.isValid());
    const QString runtime = root.filePath(u"runtime"_s);
    const QString tmp = root.filePath(u"tmp"_s);
    const QString home = root.filePath(u"home"_s);
    QVERIFY(QDir().mkpath(tmp));
    QVERIFY(QDir().mkpath(home));
    qputenv("TMPDIR", QFile::encodeName(tmp));
    qputenv("HOME", QFile::encodeName(home));
    if (runtimeMode.isEmpty()) {
        qunsetenv("XDG_RUNTIME_DIR");
    } else {
        QVERIFY(QDir().mkpath(runtime));
        QCOMPARE(::chmod(QFile::encodeName(runtime).constData(), runtimeMode.toUInt(nullptr, 8)), 0);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
    }
    const QString userTmp = tmp + u"/vuzo-"_s + QString::number(::getuid());
    if (tmpSquatted) {
        QVERIFY(QDir().mkpath(userTmp));
        QCOMPARE(::chmod(QFile::encodeName(userTmp).constData(), 0777), 0);
        // Running as root, the squatter is a real other user.
        if (::getuid() == 0)
            QCOMPARE(::chown(QFile::encodeName(userTmp).constData(), 65534, 65534), 0);
    }

    const QString dir = SingleInstance::socketDirectory();
    const QString want = expected == u"runtime"_s ? runtime
                         : expected == u"tmp"_s   ? userTmp
                                                  : home + u"/.cache/vuzo_vez_1-run"_s;
    QCOMPARE(dir, want);
    QCOMPARE(modeOf(dir) & 077, mode_t(0));
    QVERIFY(SingleInstance::keyFor(u"title"_s, u"/data"_s).startsWith(dir + u'/'));
    qunsetenv("XDG_RUNTIME_DIR");
}

void TestSingleInstance::staleSocketIsTakenOver()
{
    QTemporaryDir runtime;
    QVERIFY(runtime.isValid());
    QCOMPARE(::chmod(QFile::encodeName(runtime.path()).constData(), 0700), 0);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    const QString key = SingleInstance::keyFor(u"title"_s, runtime.path());
    {
        QFile leftover(key);
        QVERIFY(leftover.open(QIODevice::WriteOnly));
    }

    SingleInstance guard(key);
    QVERIFY(!guard.anotherInstanceRunning());
    QLocalSocket probe;
    probe.connectToServer(key);
    QVERIFY(probe.waitForConnected(2000));
    qunsetenv("XDG_RUNTIME_DIR");
}

void TestSingleInstance::folderLockFollowsTheFolder_data()
{
    QTest::addColumn<bool>("throughLink"); // the second start comes by another path
    QTest::newRow("the same path") << false;
    QTest::newRow("another path to the same folder") << true;
}

// One holder per folder, whatever path leads there; the lock goes with its holder.
void TestSingleInstance::folderLockFollowsTheFolder()
{
    QFETCH(bool, throughLink);
    QTemporaryDir dir;
    const QString other = dir.filePath(u"other"_s);
    QVERIFY(QFile::link(dir.path(), other));
    {
        const DataFolderLock first(dir.path());
        QCOMPARE(first.state(), DataFolderLock::State::Held);
        const DataFolderLock second(throughLink ? other : dir.path());
        QCOMPARE(second.state(), DataFolderLock::State::Busy);
        QCOMPARE(SingleInstance::keyFor(u"t"_s, other), SingleInstance::keyFor(u"t"_s, dir.path()));
    }
    const DataFolderLock again(dir.path());
    QCOMPARE(again.state(), DataFolderLock::State::Held);
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
