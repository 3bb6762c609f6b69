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

QTEST_GUILESS_MAIN(TestProgramFiles)
#include "tst_programfiles.moc"
