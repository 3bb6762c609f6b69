// vuzo_vez_1 --import FILE --check / --pdf OUT: an order file's slips checked
// and written without a display; the history's orders marked 印刷済み.

#include "PdfText.h"
#include "support/HeadlessRun.h"
#include "support/HistorySlips.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// An Amazon report of fictional orders, one item each; an order without a
// name has a problem.
QByteArray report(const QStringList &ordersAndNames)
{
    QString text = u"order-id\trecipient-name\tship-postal-code\tship-state\tship-city\tship-address-1\t"
                   u"ship-phone-number\tproduct-name\tquantity-purchased\titem-price\r\n"_s;
    for (const QString &order : ordersAndNames)
        text += order + u"\t100-0001\t東京都\t千代田区\t千代田1-1\t090-0000-2222\t緑茶\t1\t1100\r\n"_s;
    return text.toUtf8();
}

} // namespace

class TestImportRun : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(QDir(dir.path()).mkpath(u"data"_s));
        const QList<std::pair<QString, QByteArray>> files{
            {u"day.tsv"_s, report({u"249-1\t架空 太郎"_s, u"249-2\t"_s, u"249-3\t架空 太郎"_s})},
            {u"clean.tsv"_s, report({u"249-1\t架空 太郎"_s})},
            {u"none.tsv"_s, report({u"249-2\t"_s})},
            {u"other.csv"_s, "a,b,c\r\n1,2,3\r\n"},
            {u"book.xlsx"_s, QByteArray("PK\x03\x04", 4) + QByteArray(64, '\0')}};
        for (const auto &[name, bytes] : files) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
        }
        // The third order was printed before.
        session::HistoryLocation where;
        where.sqlitePath = dir.filePath(u"data/"_s) + session::HistoryFileName();
        session::HistoryStore store(where, u"fill"_s);
        session::HistorySlip slip =
            history_test::SlipOf({u"架空 太郎"_s, u"090-0000-2222"_s, u"100-0001"_s, u"東京都千代田区千代田1-1"_s,
                                  QDateTime::currentDateTime(), u"緑茶"_s});
        slip.orderId = u"249-3"_s;
        session::HistoryJob job;
        store.record(slip, job);
    }

    void theImportAnswers_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output"); // each order's problems, the PDF's pages
        QTest::addColumn<QString>("errors");
        QTest::newRow("check") << QStringList{u"day.tsv"_s, u"--check"_s} << 1
                               << u"249-1:|249-2:お名前がありません|249-3:印刷済み"_s << QString();
        QTest::newRow("clean check") << QStringList{u"clean.tsv"_s, u"--check"_s} << 0 << u"249-1:"_s << QString();
        QTest::newRow("pdf") << QStringList{u"day.tsv"_s, u"--pdf"_s, u"day.pdf"_s} << 0 << u"1 page"_s
                             << u"注文 249-2 は書き出しません: お名前がありません"_s;
        QTest::newRow("none ready") << QStringList{u"none.tsv"_s, u"--pdf"_s, u"none.pdf"_s} << 1 << QString()
                                    << u"問題のない注文がない"_s;
        QTest::newRow("a workbook") << QStringList{u"book.xlsx"_s, u"--check"_s} << 1 << QString() << u"CSV"_s;
        QTest::newRow("no mapping") << QStringList{u"other.csv"_s, u"--check"_s} << 1 << QString()
                                    << u"列の対応を一度指定"_s;
        QTest::newRow("neither") << QStringList{u"day.tsv"_s} << 2 << QString() << u"--check か --pdf"_s;
    }
    void theImportAnswers()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QString, errors);
        const headless::Run r =
            headless::RunProgram(QStringLiteral(VUZO_PROGRAM), dir.path(),
                                 QStringList{u"--data-dir"_s, u"data"_s, u"--import"_s} + arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(r.errors.contains(errors), qPrintable(r.errors));
        QStringList problems;
        for (const QString &line : r.output.split(u'\n', Qt::SkipEmptyParts))
            problems << line.section(u'\t', 0, 0) + u':' + line.section(u'\t', 8);
        if (arguments.contains(u"--pdf"_s)) {
            QString error;
            const int pages = pdftext::pageCount(pdftext::chars(dir.filePath(arguments.last()), &error));
            problems << (pages ? u"%1 page"_s.arg(pages) : QString());
        }
        QCOMPARE(problems.join(u'|'), output);
    }
};

QTEST_MAIN(TestImportRun)
#include "tst_importrun.moc"
