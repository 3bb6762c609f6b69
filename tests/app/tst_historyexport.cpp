// vuzo_vez_1 --export-history FROM TO FILE: the slips of the period from the
// data folder's history, written without a display; a bad request refused
// with its message and exit code 1.

#include "platform/Cp932.h"
#include "support/HeadlessRun.h"
#include "support/HistorySlips.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using headless::Run;

Run runProgram(const QString &dir, const QStringList &arguments)
{
    return headless::RunProgram(QStringLiteral(VUZO_PROGRAM), dir, arguments);
}

} // namespace

class TestHistoryExport : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        history_test::Keep(dir.filePath(u"data"_s),
                           {{u"木村　次郎"_s, u"045-555-0101"_s, u"220-0011"_s, u"神奈川県横浜市西区高島１－１"_s,
                             QDateTime(QDate(2026, 3, 31), QTime(17, 0)), u"梨"_s},
                            {u"木村　次郎"_s, u"045-555-0101"_s, u"220-0011"_s, u"神奈川県横浜市西区高島１－１"_s,
                             QDateTime(QDate(2026, 4, 1), QTime(9, 0)), u"柿"_s}});
    }

    void writesThePeriodsLines_data()
    {
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<bool>("cp932");
        QTest::newRow("UTF-8 with a byte-order mark") << QStringList() << false;
        QTest::newRow("CP932") << QStringList{u"--cp932"_s} << true;
    }
    void writesThePeriodsLines()
    {
        QFETCH(QStringList, extra);
        QFETCH(bool, cp932);
        const QString file = dir.filePath(u"april.csv"_s);
        const Run run = runProgram(dir.path(), QStringList{u"--data-dir"_s, u"data"_s, u"--export-history"_s,
                                                           u"2026-04-01"_s, u"2026-04-30"_s, u"april.csv"_s} +
                                                   extra);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), !cp932);
        const QString text = cp932 ? vuzo::DecodeCp932(bytes) : QString::fromUtf8(bytes.mid(3));
        QVERIFY(text.contains(u"柿"_s));
        QVERIFY(!text.contains(u"梨"_s)); // the day before the period
        QCOMPARE(text.count(u"木村　次郎"_s), 1);
    }

    void refusesABadRequest_data()
    {
        QTest::addColumn<QStringList>("dates");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("message");
        QTest::newRow("a date not written YYYY-MM-DD")
            << QStringList{u"2026-4-1"_s, u"2026-04-30"_s} << u"a.csv"_s << u"YYYY-MM-DD"_s;
        QTest::newRow("no such day") << QStringList{u"2026-02-30"_s, u"2026-03-01"_s} << u"a.csv"_s << u"2026-02-30"_s;
        QTest::newRow("FROM after TO") << QStringList{u"2026-04-30"_s, u"2026-04-01"_s} << u"a.csv"_s << u"より後"_s;
        QTest::newRow("a file that cannot be written")
            << QStringList{u"2026-04-01"_s, u"2026-04-30"_s} << u"no-such-folder/a.csv"_s << u"書き込めません"_s;
    }
    void refusesABadRequest()
    {
        QFETCH(QStringList, dates);
        QFETCH(QString, file);
        QFETCH(QString, message);
        const Run run = runProgram(dir.path(), QStringList{u"--data-dir"_s, u"data"_s, u"--export-history"_s} + dates +
                                                   QStringList{file});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(message), qPrintable(run.errors));
        QVERIFY(!QFile::exists(dir.filePath(file)));
    }
};

QTEST_MAIN(TestHistoryExport)
#include "tst_historyexport.moc"
