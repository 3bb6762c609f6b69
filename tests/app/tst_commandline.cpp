// The command line as a function: what each argument list asks for, the
// usage it prints, the data folder it enters and the file a PDF goes to. The
// exit codes of the real program without a display are checked by the
// install test.

#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(CommandLine::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void parse_data();
    void parse();
    void pdfFileIsTakenFromTheStartFolder_data();
    void pdfFileIsTakenFromTheStartFolder();
    void historyExportIsReadWithItsEncoding();
    void userDataFollowsXdgDataHome_data();
    void userDataFollowsXdgDataHome();
    void usageNamesEveryOptionInBothLanguages();
    void enterDataFolderCreatesItAndMovesIn();
    void enterDataFolderRefusesAFile();

private:
    QTemporaryDir m_home;
};

void TestCommandLine::init()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
    qunsetenv("XDG_DATA_HOME");
}

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<CommandLine::Action>("action");
    QTest::addColumn<QString>("dataDir"); // "<user>" stands for the user's data folder
    QTest::addColumn<QString>("errorPart");

    using A = CommandLine::Action;
    QTest::newRow("no arguments run in the working directory") << QStringList() << A::Run << QString() << QString();
    QTest::newRow("--data-dir takes the next argument")
        << QStringList{u"--data-dir"_s, u"/srv/shop"_s} << A::Run << u"/srv/shop"_s << QString();
    QTest::newRow("--data-dir= takes the rest")
        << QStringList{u"--data-dir=/srv/a=b"_s} << A::Run << u"/srv/a=b"_s << QString();
    QTest::newRow("a relative folder is kept as written")
        << QStringList{u"--data-dir"_s, u"shop"_s} << A::Run << u"shop"_s << QString();
    QTest::newRow("--user-data picks the user's data folder")
        << QStringList{u"--user-data"_s} << A::Run << u"<user>"_s << QString();
    QTest::newRow("the last data folder wins")
        << QStringList{u"--user-data"_s, u"--data-dir"_s, u"/x"_s} << A::Run << u"/x"_s << QString();
    QTest::newRow("--help") << QStringList{u"--help"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("-h") << QStringList{u"-h"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("--help after a data folder still helps")
        << QStringList{u"--data-dir"_s, u"/x"_s, u"--help"_s} << A::ShowHelp << u"/x"_s << QString();
    QTest::newRow("--version") << QStringList{u"--version"_s} << A::ShowVersion << QString() << QString();
    QTest::newRow("an unknown option fails") << QStringList{u"--bogus"_s} << A::Fail << QString() << u"--bogus"_s;
    QTest::newRow("an unknown short option fails") << QStringList{u"-x"_s} << A::Fail << QString() << u"-x"_s;
    QTest::newRow("a stray argument fails") << QStringList{u"file.txt"_s} << A::Fail << QString() << u"file.txt"_s;
    QTest::newRow("an error after --help is not reached")
        << QStringList{u"--help"_s, u"--bogus"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("--data-dir without a value fails")
        << QStringList{u"--data-dir"_s} << A::Fail << QString() << u"DIR"_s;
    QTest::newRow("--data-dir= with an empty value fails")
        << QStringList{u"--data-dir="_s} << A::Fail << QString() << u"DIR"_s;
    QTest::newRow("an option is not taken as the folder")
        << QStringList{u"--data-dir"_s, u"--help"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("a switch refuses a value")
        << QStringList{u"--version=2"_s} << A::Fail << QString() << u"--version"_s;
    QTest::newRow("the toolkit's options pass with their value")
        << QStringList{u"-style"_s, u"fusion"_s, u"-session"_s, u"abc"_s, u"--platform"_s, u"xcb"_s, u"-reverse"_s}
        << A::Run << QString() << QString();

    QTest::newRow("--help after an unknown option shows the help")
        << QStringList{u"--bogus"_s, u"--help"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("an unknown option beside --pdf fails")
        << QStringList{u"--pdf"_s, u"out.pdf"_s, u"--bogus"_s} << A::Fail << QString() << u"--bogus"_s;
    QTest::newRow("--version before --help shows the version")
        << QStringList{u"--version"_s, u"--help"_s} << A::ShowVersion << QString() << QString();
    QTest::newRow("--pdf with --data-dir exports the slip of that folder")
        << QStringList{u"--pdf"_s, u"out.pdf"_s, u"--data-dir"_s, u"/srv/shop"_s} << A::ExportPdf << u"/srv/shop"_s
        << QString();
    QTest::newRow("--help after --pdf shows the help")
        << QStringList{u"--pdf"_s, u"out.pdf"_s, u"--help"_s} << A::ShowHelp << QString() << QString();
    QTest::newRow("--pdf without a value fails") << QStringList{u"--pdf"_s} << A::Fail << QString() << u"--pdf"_s;
    QTest::newRow("--pdf followed by another option fails")
        << QStringList{u"--pdf"_s, u"--data-dir"_s, u"/x"_s} << A::Fail << QString() << u"--pdf"_s;
    QTest::newRow("--pdf without a value beside --version shows the version")
        << QStringList{u"--pdf"_s, u"--version"_s} << A::ShowVersion << QString() << QString();
    QTest::newRow("--export-history takes three values")
        << QStringList{u"--export-history"_s, u"2026-04-01"_s, u"2026-04-30"_s, u"a.csv"_s, u"--cp932"_s}
        << A::ExportHistory << QString() << QString();
    QTest::newRow("--export-history with two values fails")
        << QStringList{u"--export-history"_s, u"2026-04-01"_s, u"a.csv"_s} << A::Fail << QString() << u"FROM TO FILE"_s;
    QTest::newRow("--export-history stops at an option")
        << QStringList{u"--export-history"_s, u"2026-04-01"_s, u"2026-04-30"_s, u"--cp932"_s, u"a.csv"_s} << A::Fail
        << QString() << u"a.csv"_s;
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(CommandLine::Action, action);
    QFETCH(QString, dataDir);
    QFETCH(QString, errorPart);

    const CommandLine c = ParseCommandLine(arguments);
    QCOMPARE(c.action, action);
    if (action != CommandLine::Action::Fail)
        QCOMPARE(c.dataDir, dataDir == u"<user>"_s ? UserDataFolder() : dataDir);
    QCOMPARE(c.error.isEmpty(), errorPart.isEmpty());
    QVERIFY2(c.error.contains(errorPart), qPrintable(c.error));
}

void TestCommandLine::pdfFileIsTakenFromTheStartFolder_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("file");
    const QString start = u"/home/hanako/作業"_s;
    QTest::newRow("a relative FILE is in the start folder, not in the data folder")
        << QStringList{u"--data-dir"_s, u"shop"_s, u"--pdf"_s, u"out.pdf"_s} << start + u"/out.pdf"_s;
    QTest::newRow("--pdf=FILE takes the rest") << QStringList{u"--pdf=伝票 1=a.pdf"_s} << start + u"/伝票 1=a.pdf"_s;
    QTest::newRow("an absolute FILE is kept")
        << QStringList{u"--user-data"_s, u"--pdf"_s, u"/tmp/out.pdf"_s} << u"/tmp/out.pdf"_s;
}

void TestCommandLine::pdfFileIsTakenFromTheStartFolder()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, file);
    QCOMPARE(PdfFilePath(ParseCommandLine(arguments), u"/home/hanako/作業"_s), file);
}

void TestCommandLine::historyExportIsReadWithItsEncoding()
{
    const CommandLine c = ParseCommandLine({u"--cp932"_s, u"--export-history"_s, u"2026-04-01"_s, u"2026-04-30"_s,
                                            u"売上.csv"_s, u"--data-dir"_s, u"x"_s});
    QCOMPARE(c.historyFrom, u"2026-04-01"_s);
    QCOMPARE(c.historyTo, u"2026-04-30"_s);
    QVERIFY(c.cp932);
    QCOMPARE(c.dataDir, u"x"_s);
    QCOMPARE(HistoryFilePath(c, u"/home/hanako"_s), u"/home/hanako/売上.csv"_s);
}

void TestCommandLine::userDataFollowsXdgDataHome_data()
{
    QTest::addColumn<QString>("xdgDataHome"); // relative to the temporary home; empty: unset
    QTest::addColumn<QString>("expected");
    QTest::newRow("unset: ~/.local/share/vuzo_vez_1") << QString() << u".local/share/vuzo_vez_1"_s;
    QTest::newRow("set: $XDG_DATA_HOME/vuzo_vez_1") << u"data"_s << u"data/vuzo_vez_1"_s;
}

void TestCommandLine::userDataFollowsXdgDataHome()
{
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, expected);
    if (!xdgDataHome.isEmpty())
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_home.filePath(xdgDataHome)));
    QCOMPARE(UserDataFolder(), m_home.filePath(expected));
}

void TestCommandLine::usageNamesEveryOptionInBothLanguages()
{
    const QString usage = UsageText();
    QVERIFY(usage.startsWith(u"使い方: vuzo_vez_1"_s));
    QVERIFY(usage.contains(u"\nUsage: vuzo_vez_1"_s));
    for (const QString &option : {u"--data-dir DIR"_s, u"--user-data"_s, u"--pdf FILE"_s,
                                  u"--export-history FROM TO FILE"_s, u"--cp932"_s, u"-h, --help"_s, u"--version"_s})
        QVERIFY2(usage.contains(option), qPrintable(option));
    QVERIFY(usage.contains(u"この説明を表示して終了します"_s));
    QVERIFY(usage.contains(u"show this help and exit"_s));
    QVERIFY(usage.endsWith(u'\n'));
    QCOMPARE(VersionText(), u"vuzo_vez_1 "_s + QStringLiteral(VUZO_VERSION) + u"\n"_s);
}

void TestCommandLine::enterDataFolderCreatesItAndMovesIn()
{
    const QString old = QDir::currentPath();
    const QString target = m_home.filePath(u"a/b/データ"_s);
    QString error = u"sentinel"_s;
    QVERIFY(EnterDataFolder(target, &error));
    const QString now = QDir::currentPath();
    QDir::setCurrent(old);
    QCOMPARE(now, QDir(target).canonicalPath());
    QCOMPARE(error, u"sentinel"_s);
}

void TestCommandLine::enterDataFolderRefusesAFile()
{
    const QString old = QDir::currentPath();
    QFile blocker(m_home.filePath(u"taken"_s));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString error;
    QVERIFY(!EnterDataFolder(blocker.fileName(), &error));
    QCOMPARE(QDir::currentPath(), old);
    QVERIFY(error.contains(u"データフォルダを作れません"_s));
    QVERIFY(error.contains(u"cannot create the data folder"_s));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
