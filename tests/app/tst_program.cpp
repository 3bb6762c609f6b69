// The program as a process: one instance per user and display session, a
// second start that ends at once, a killed program that never blocks the next
// start, and a termination request that still writes the settings.

#include "controls/DialogService.h"
#include "platform/SingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString program()
{
    return QStringLiteral(VUZO_PROGRAM);
}

bool listening(const QString &key)
{
    QLocalSocket probe;
    probe.connectToServer(key);
    const bool ok = probe.waitForConnected(200);
    probe.abort();
    return ok;
}

bool waitListening(const QString &key, int ms = 15000)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) {
        if (listening(key))
            return true;
        QTest::qWait(100);
    }
    return false;
}

void startIn(QProcess &p, const QString &dir, const QStringList &arguments = {})
{
    p.setWorkingDirectory(dir);
    p.setProgram(program());
    p.setArguments(arguments);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start();
    QVERIFY(p.waitForStarted());
}

} // namespace

class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void secondStartEndsAtOnce();
    void killedProgramDoesNotBlockTheNextStart();
    void separateDataFoldersDoNotBlockEachOther();
    void dataFolderFromTheCommandLine_data();
    void dataFolderFromTheCommandLine();
    void terminationDuringStartupBoxEndsInOrder_data();
    void terminationDuringStartupBoxEndsInOrder();
};

void TestProgram::initTestCase()
{
    // The program's start-up talks to the print system; without it every
    // start would stop at the printer error box.
    if (qEnvironmentVariableIsEmpty("VUZO_CUPS_PDF_QUEUE")) {
        if (qEnvironmentVariableIntValue("VUZO_REQUIRE_CUPS") == 1)
            QFAIL("the CUPS test queues are required but not set up");
        QSKIP("no CUPS test queues (run through scripts/test)");
    }
}

void TestProgram::secondStartEndsAtOnce()
{
    QTemporaryDir dir;
    const QString key = SingleInstance::keyFor(vuzo::ApplicationTitle(), dir.path());
    QProcess first;
    startIn(first, dir.path());
    QVERIFY(waitListening(key));

    QProcess second;
    startIn(second, dir.path());
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(first.state(), QProcess::Running);
    QVERIFY(!QFile::exists(dir.filePath(u"vuzo_Vez_1.ini"_s)));

    // A termination request ends the first the orderly way: settings written.
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    QFile ini(dir.filePath(u"vuzo_Vez_1.ini"_s));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    const QByteArray bytes = ini.readAll();
    QVERIFY(bytes.contains("[vz_Vez_1prn]"));
    QVERIFY(bytes.contains("Edit_Sales10="));
    QVERIFY(bytes.contains("Comb_Paper="));
}

void TestProgram::killedProgramDoesNotBlockTheNextStart()
{
    QTemporaryDir dir;
    const QString key = SingleInstance::keyFor(vuzo::ApplicationTitle(), dir.path());
    QProcess killed;
    startIn(killed, dir.path());
    QVERIFY(waitListening(key));
    killed.kill();
    QVERIFY(killed.waitForFinished(5000));
    QVERIFY(!listening(key));

    QProcess next;
    startIn(next, dir.path());
    QVERIFY(waitListening(key));
    QTest::qWait(300);
    QCOMPARE(next.state(), QProcess::Running);
    next.terminate();
    QVERIFY(next.waitForFinished(10000));
}

void TestProgram::separateDataFoldersDoNotBlockEachOther()
{
    QTemporaryDir a;
    QTemporaryDir b;
    QProcess first;
    QProcess second;
    startIn(first, a.path());
    startIn(second, b.path());
    QVERIFY(waitListening(SingleInstance::keyFor(vuzo::ApplicationTitle(), a.path())));
    QVERIFY(waitListening(SingleInstance::keyFor(vuzo::ApplicationTitle(), b.path())));
    QCOMPARE(first.state(), QProcess::Running);
    QCOMPARE(second.state(), QProcess::Running);
    first.terminate();
    second.terminate();
    QVERIFY(first.waitForFinished(10000));
    QVERIFY(second.waitForFinished(10000));
}

void TestProgram::dataFolderFromTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments"); // "<root>" stands for a scratch folder
    QTest::addColumn<QString>("dataFolder");    // under <root>; empty: the working directory
    QTest::newRow("no option: the working directory") << QStringList() << QString();
    QTest::newRow("--data-dir: a new folder, created")
        << QStringList{u"--data-dir"_s, u"<root>/new/店"_s} << u"new/店"_s;
    QTest::newRow("--user-data, as the menu starts it: $XDG_DATA_HOME/vuzo_vez_1")
        << QStringList{u"--user-data"_s} << u"xdg/vuzo_vez_1"_s;
}

// The program works in the folder its command line names: the guard keys on
// it and the settings are written there, none in the folder it was started in.
void TestProgram::dataFolderFromTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, dataFolder);
    QTemporaryDir start;
    QTemporaryDir root;
    arguments.replaceInStrings(u"<root>"_s, root.path());
    const QString folder = dataFolder.isEmpty() ? start.path() : root.filePath(dataFolder);

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_DATA_HOME"_s, root.filePath(u"xdg"_s));
    p.setProcessEnvironment(env);
    startIn(p, start.path(), arguments);
    // The key names the folder itself, which the program may create first.
    QVERIFY(QTest::qWaitFor([&] { return QFileInfo::exists(folder); }, 15000));
    QVERIFY(waitListening(SingleInstance::keyFor(vuzo::ApplicationTitle(), folder)));
    p.terminate();
    QVERIFY(p.waitForFinished(10000));
    QCOMPARE(p.exitCode(), 0);
    QVERIFY(QFile::exists(QDir(folder).filePath(u"vuzo_Vez_1.ini"_s)));
    QCOMPARE(QFile::exists(start.filePath(u"vuzo_Vez_1.ini"_s)), dataFolder.isEmpty());
}

void TestProgram::terminationDuringStartupBoxEndsInOrder_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("silent"); // a server that accepts and never answers
    QTest::newRow("right after the guard is taken") << 0 << false;
    QTest::newRow("while the print-system box is open") << 1500 << false;
    // The exit must not ask the print server when start-up never made the
    // printer object: a silent server would hold it for seconds.
    QTest::newRow("a silent print server, right after the guard is taken") << 0 << true;
}

// With the print system unreachable the start-up stops at a box. A logout or
// kill then must still end the program within two seconds, write the settings
// and free the guard, never leave a hidden process behind.
void TestProgram::terminationDuringStartupBoxEndsInOrder()
{
    QFETCH(int, delayMs);
    QFETCH(bool, silent);
    QTemporaryDir dir;
    const QString key = SingleInstance::keyFor(vuzo::ApplicationTitle(), dir.path());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Connections to a listening socket complete in the kernel; nothing is
    // ever read or written on them.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    env.insert(u"CUPS_SERVER"_s,
               silent ? u"127.0.0.1:%1"_s.arg(server.serverPort()) : dir.filePath(u"no-scheduler.sock"_s));
    p.setProcessEnvironment(env);
    startIn(p, dir.path());
    QVERIFY(waitListening(key));
    QTest::qWait(delayMs);

    QElapsedTimer t;
    t.start();
    p.terminate();
    QVERIFY(p.waitForFinished(5000));
    QVERIFY2(t.elapsed() < 2000, qPrintable(QString::number(t.elapsed()) + u" ms"_s));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    QFile ini(dir.filePath(u"vuzo_Vez_1.ini"_s));
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(ini.readAll().contains("Edit_Sales10="));
    QVERIFY(!listening(key));
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
