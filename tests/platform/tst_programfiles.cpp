// Where the program finds its manual: beside an installed program under any
// prefix, else in the source tree it was built from.

#include "platform/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProgramFiles : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void installedManualBesideTheProgram_data();
    void installedManualBesideTheProgram();
    void outputFileRefusal_data();
    void outputFileRefusal();
};

void TestProgramFiles::installedManualBesideTheProgram_data()
{
    QTest::addColumn<QString>("manual"); // written under the prefix; empty: none
    QTest::addColumn<bool>("installedOneFound");
    QTest::newRow("<prefix>/share/vuzo-vez-1/manual is found from <prefix>/bin")
        << u"share/vuzo-vez-1/manual/index.html"_s << true;
    QTest::newRow("without it the source tree's manual") << QString() << false;
    QTest::newRow("share/doc is not where it is looked for") << u"share/doc/vuzo-vez-1/manual/index.html"_s << false;
}

void TestProgramFiles::installedManualBesideTheProgram()
{
    QFETCH(QString, manual);
    QFETCH(bool, installedOneFound);
    QTemporaryDir prefix;
    QVERIFY(QDir(prefix.path()).mkpath(u"bin"_s));
    if (!manual.isEmpty()) {
        QVERIFY(QDir(prefix.path()).mkpath(QFileInfo(prefix.filePath(manual)).path()));
        QFile f(prefix.filePath(manual));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    const QString found = vuzo::ManualIndexPath(prefix.filePath(u"bin"_s));
    if (installedOneFound)
        QCOMPARE(found, QFileInfo(prefix.filePath(manual)).canonicalFilePath());
    else
        QVERIFY2(found.endsWith(u"/docs/manual/index.html"_s) && QFile::exists(found), qPrintable(found));
}

void TestProgramFiles::outputFileRefusal_data()
{
    QTest::addColumn<QString>("target"); // "<dir>" stands for the data folder
    QTest::addColumn<bool>("refused");
    QTest::newRow("a new file") << u"<dir>/new.pdf"_s << false;
    QTest::newRow("an ordinary regular file") << u"<dir>/old.pdf"_s << false;
    QTest::newRow("a device") << u"/dev/null"_s << true;
    QTest::newRow("a folder") << u"<dir>"_s << true;
    QTest::newRow("the settings file") << u"<dir>/vuzo_Vez_1.ini"_s << true;
    QTest::newRow("the settings file through a link") << u"<dir>/link.pdf"_s << true;
}

// A PDF goes only to a new file or over a regular file that is not one of the
// program's own, whatever path names it.
void TestProgramFiles::outputFileRefusal()
{
    QFETCH(QString, target);
    QFETCH(bool, refused);
    QTemporaryDir dir;
    for (const QString &name : {u"old.pdf"_s, u"vuzo_Vez_1.ini"_s}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QFile::link(dir.filePath(u"vuzo_Vez_1.ini"_s), dir.filePath(u"link.pdf"_s)));
    target.replace(u"<dir>"_s, dir.path());
    QCOMPARE(!vuzo::OutputFileRefusal(target, dir.path()).isEmpty(), refused);
}

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
