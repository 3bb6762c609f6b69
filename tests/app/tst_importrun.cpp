// vuzo_vez_1 --import FILE --check / --pdf OUT: an order file's slips checked
// and written without a display; the history's orders marked 印刷済み.

#include "PdfText.h"
#include "app/CommandLine.h"
#include "support/HeadlessRun.h"
#include "support/HistorySlips.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

using headless::Run;

const QString kHeader = u"order-id\trecipient-name\tship-postal-code\tship-state\tship-city\tship-address-1\t"
                        u"ship-phone-number\tproduct-name\tquantity-purchased\titem-price"_s;

// One fictional order of an Amazon report, one item.
QString row(const QString &id, const QString &zip, const QString &item = u"緑茶"_s)
{
    return QStringList{id,   u"架空 太郎"_s, zip,      u"東京都"_s, u"千代田区"_s, u"千代田1-1"_s, u"090-0000-2222"_s,
                       item, u"1"_s,         u"1100"_s}
        .join(u'\t');
}

void writeText(const QString &path, const QStringList &lines)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write((lines.join(u"\r\n"_s) + u"\r\n"_s).toUtf8());
}

} // namespace

class TestImportRun : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

    Run run(const QStringList &arguments)
    {
        return headless::RunProgram(QStringLiteral(VUZO_PROGRAM), dir.path(),
                                    QStringList{u"--data-dir"_s, u"data"_s} + arguments);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkpath(u"data"_s));
        writeText(dir.filePath(u"day.tsv"_s), {kHeader, row(u"249-0000001"_s, u"100-0001"_s),
                                               row(u"249-0000002"_s, QString()), row(u"249-0000003"_s, u"100-0001"_s)});
        writeText(dir.filePath(u"clean.tsv"_s), {kHeader, row(u"249-0000001"_s, u"100-0001"_s)});
        writeText(dir.filePath(u"none.tsv"_s), {kHeader, row(u"249-0000002"_s, QString())});
        writeText(dir.filePath(u"other.csv"_s), {u"a,b,c"_s, u"1,2,3"_s});
        QFile zip(dir.filePath(u"book.xlsx"_s));
        QVERIFY(zip.open(QIODevice::WriteOnly));
        zip.write(QByteArray("PK\x03\x04", 4) + QByteArray(64, '\0'));
        zip.close();
        // The third order was printed before.
        session::HistoryLocation where;
        where.sqlitePath = dir.filePath(u"data/"_s) + session::HistoryFileName();
        session::HistoryStore store(where, u"tst_importrun_fill"_s);
        session::HistorySlip slip =
            history_test::SlipOf({u"架空 太郎"_s, u"090-0000-2222"_s, u"100-0001"_s, u"東京都千代田区千代田1-1"_s,
                                  QDateTime(QDate(2026, 12, 9), QTime(10, 0)), u"緑茶"_s});
        slip.orderId = u"249-0000003"_s;
        session::HistoryJob job;
        store.record(slip, job);
    }

    void theCommandLineAsksForAnImport_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::newRow("check") << QStringList{u"--import"_s, u"a.csv"_s, u"--check"_s}
                               << int(CommandLine::Action::ImportCheck);
        QTest::newRow("pdf") << QStringList{u"--pdf=b.pdf"_s, u"--import=a.csv"_s}
                             << int(CommandLine::Action::ImportPdf);
        QTest::newRow("neither") << QStringList{u"--import"_s, u"a.csv"_s} << int(CommandLine::Action::Fail);
        QTest::newRow("both") << QStringList{u"--import"_s, u"a.csv"_s, u"--check"_s, u"--pdf"_s, u"b.pdf"_s}
                              << int(CommandLine::Action::Fail);
        QTest::newRow("check alone") << QStringList{u"--check"_s} << int(CommandLine::Action::Fail);
    }
    void theCommandLineAsksForAnImport()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        const CommandLine c = ParseCommandLine(arguments);
        QCOMPARE(int(c.action), action);
        if (c.action != CommandLine::Action::Fail)
            QCOMPARE(ImportFilePath(c, u"/start"_s), u"/start/a.csv"_s);
    }

    void theCheckListsEveryOrder()
    {
        const Run r = run({u"--import"_s, u"day.tsv"_s, u"--check"_s});
        QCOMPARE(r.exitCode, 1);
        const QStringList lines = r.output.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QStringList problems;
        for (const QString &line : lines) {
            const QStringList fields = line.split(u'\t');
            QCOMPARE(fields.size(), 9);
            QCOMPARE(fields.at(1), u"架空 太郎"_s);
            QCOMPARE(fields.at(6), u"090-0000-2222"_s);
            problems << fields.at(8);
        }
        QCOMPARE(problems, QStringList({QString(), u"郵便番号がありません"_s, u"印刷済み"_s}));
        QCOMPARE(run({u"--import"_s, u"clean.tsv"_s, u"--check"_s}).exitCode, 0);
    }

    void theReadyOrdersArePages()
    {
        const Run r = run({u"--import"_s, u"day.tsv"_s, u"--pdf"_s, u"day.pdf"_s});
        QVERIFY2(r.exitCode == 0, qPrintable(r.errors));
        QVERIFY(r.errors.contains(u"249-0000002"_s));
        QVERIFY(r.errors.contains(u"249-0000003"_s));
        QString error;
        const QList<pdftext::Char> chars = pdftext::chars(dir.filePath(u"day.pdf"_s), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(pdftext::pageCount(chars), 1);
    }

    void aFileWithoutSlipsIsRefused_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("a spreadsheet") << QStringList{u"--import"_s, u"book.xlsx"_s, u"--check"_s} << u"CSV"_s;
        QTest::newRow("an unknown header") << QStringList{u"--import"_s, u"other.csv"_s, u"--check"_s} << u"一括印刷"_s;
        QTest::newRow("no order ready") << QStringList{u"--import"_s, u"none.tsv"_s, u"--pdf"_s, u"none.pdf"_s}
                                        << u"問題のない注文がない"_s;
    }
    void aFileWithoutSlipsIsRefused()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        const Run r = run(arguments);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.errors.contains(message), qPrintable(r.errors));
        QVERIFY(r.output.isEmpty());
        QVERIFY(!QFile::exists(dir.filePath(u"none.pdf"_s)));
    }
};

QTEST_MAIN(TestImportRun)
#include "tst_importrun.moc"
