// The slips of a day's orders: the record made from each order, every
// problem that would print wrong named once, the line of --check and the
// batch written as one PDF.

#include "PdfText.h"
#include "session/OrderBatch.h"
#include "session/PostalAssist.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

session::BatchContext context()
{
    session::BatchContext c;
    c.base = session::DefaultSlipRecord();
    c.base.slipDate = QDate(2026, 12, 10);
    c.base.taxOld = u"8"_s;
    c.base.taxNew = u"10"_s;
    c.base.taxEnforDate = QDate(2019, 10, 1);
    c.base.myName = u"みどり茶園"_s;
    c.base.lines[0] = {{}, u"窓の明細"_s, u"9"_s, u"個"_s, u"100"_s, {}, 0};
    c.geometry = PrintGeometry{600, 600, 0, 0};
    c.sheetMm = QSizeF(210, 297);
    return c;
}

// 「煎茶|2|980|1」: item, quantity, unit price, rate class.
orders::ImportedOrder order(const QString &id, const QString &zip, const QString &add1, const QString &name,
                            const QStringList &lines)
{
    orders::ImportedOrder o;
    o.orderId = id;
    o.zip = zip;
    o.add1 = add1;
    o.add2 = u"1-2-3"_s;
    o.custo1 = name;
    o.tel = u"090-0000-1111"_s;
    for (const QString &line : lines) {
        const QStringList f = line.split(u'|');
        o.lines.append({f.value(0), f.value(1), f.value(2), f.value(3).toInt(), false});
    }
    o.lineCount = int(o.lines.size());
    return o;
}

} // namespace

class TestOrderBatch : public QObject
{
    Q_OBJECT

    std::unique_ptr<session::PostalAssist> m_postal;

private Q_SLOTS:
    void initTestCase()
    {
        m_postal = std::make_unique<session::PostalAssist>(postal::PostalDictionary::DefaultDirectory());
        QVERIFY(m_postal->dictionary().waitForLoaded());
    }

    void theRecordIsTheOrdersOnTheSettings()
    {
        orders::ImportedOrder o = order(u"A-100"_s, u"100-0001"_s, u"東京都千代田区千代田"_s, u"架空 花子"_s,
                                        {u"煎茶|2|980|1"_s, u"送料|1|800|0"_s});
        o.add3 = u"青葉ハイツ101"_s;
        o.pricesIncludeTax = true;
        const session::BatchSlip s = session::SlipOfOrder(o, context());
        const session::SlipRecord &r = s.record;
        QCOMPARE(QStringList({r.zip, r.add1, r.add2, r.add3, r.custo1, r.tel}),
                 QStringList({u"100-0001"_s, u"東京都千代田区千代田"_s, u"1-2-3"_s, u"青葉ハイツ101"_s, u"架空 花子"_s,
                              u"090-0000-1111"_s}));
        QCOMPARE(r.myName, u"みどり茶園"_s);
        QVERIFY(r.pricesIncludeTax);
        QCOMPARE(r.lines[0].item, u"煎茶"_s);
        QCOMPARE(r.lines[0].qty, u"2"_s);
        QCOMPARE(r.lines[0].taxClass, 1);
        QVERIFY(r.lines[0].unit.isEmpty());
        QCOMPARE(r.lines[1].item, u"送料"_s);
        // The window's own lines are not the order's.
        QVERIFY(r.lines[2].item.isEmpty());
        // Prices with the tax: 1,960 + 800, nothing added.
        QCOMPARE(s.figures.totals.sttl->truncated(), 2760);
        QCOMPARE(s.totalText, u"2,760"_s);
        QCOMPARE(s.problems, QStringList());
        QVERIFY(s.ready());
        QCOMPARE(session::CheckLine(s), u"A-100\t架空 花子\t100-0001\t東京都千代田区千代田\t1-2-3\t青葉ハイツ101\t"
                                        u"090-0000-1111\t2760\t"_s);
        const session::HistorySlip h = session::BatchHistorySlip(s);
        QCOMPARE(h.orderId, u"A-100"_s);
        QCOMPARE(h.total, 2760);
        QCOMPARE(h.totalText, u"2,760"_s);
    }

    void everyProblemIsNamedOnce_data()
    {
        QTest::addColumn<QString>("zip");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("lineCount");    // 0: the lines given
        QTest::addColumn<qint64>("fileTotal"); // -1: none
        QTest::addColumn<bool>("printed");
        QTest::addColumn<QStringList>("problems");
        const QString tokyo = u"東京都千代田区千代田"_s;
        const QStringList tea{u"煎茶|2|980|0"_s}; // 2,156 with tax
        QTest::newRow("clean") << u"100-0001"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(2156) << false
                               << QStringList();
        QTest::newRow("no code") << QString() << tokyo << u"架空 花子"_s << tea << 0 << qint64(-1) << false
                                 << QStringList{u"郵便番号がありません"_s};
        QTest::newRow("not a code") << u"10-01"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(-1) << false
                                    << QStringList{u"郵便番号「10-01」は７桁の番号ではありません"_s};
        QTest::newRow("unknown code") << u"000-0000"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(-1) << false
                                      << QStringList{u"郵便番号が辞書にありません"_s};
        QTest::newRow("code of another town") << u"530-0001"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(-1)
                                              << false << QStringList{u"郵便番号と住所が合いません"_s};
        QTest::newRow("no name") << u"100-0001"_s << tokyo << QString() << tea << 0 << qint64(-1) << false
                                 << QStringList{u"お名前がありません"_s};
        QTest::newRow("no address") << u"100-0001"_s << QString() << u"架空 花子"_s << tea << 0 << qint64(-1) << false
                                    << QStringList{u"住所がありません"_s};
        const QString longItem = u"とても長い名前の架空の商品とても長い名前の架空の商品"_s;
        QTest::newRow("item wider than its cell")
            << u"100-0001"_s << tokyo << u"架空 花子"_s << QStringList{longItem + u"|1|500|0"_s} << 0 << qint64(-1)
            << false << QStringList{u"1行目の商品名「"_s + longItem + u"」が欄に入りません"_s};
        QTest::newRow("a character the fonts lack")
            << u"100-0001"_s << tokyo << u"架空 花子"_s << QStringList{u"茶😀|1|500|0"_s} << 0 << qint64(-1) << false
            << QStringList{u"プリンタのフォントにない文字があります（😀）"_s};
        QTest::newRow("amount too large")
            << u"100-0001"_s << tokyo << u"架空 花子"_s << QStringList{u"金塊|999999|9999999|0"_s} << 0 << qint64(-1)
            << false << QStringList{u"金額が欄に入りません"_s};
        const QStringList six{u"a|1|1|0"_s, u"b|1|1|0"_s, u"c|1|1|0"_s, u"d|1|1|0"_s, u"e|1|1|0"_s, u"f|1|1|0"_s};
        QTest::newRow("six lines") << u"100-0001"_s << tokyo << u"架空 花子"_s << six << 0 << qint64(-1) << false
                                   << QStringList{u"明細が6行あります（伝票に印刷されるのは4行まで）"_s};
        QTest::newRow("twelve lines") << u"100-0001"_s << tokyo << u"架空 花子"_s << six << 12 << qint64(-1) << false
                                      << QStringList{u"明細が12行あります（伝票に入るのは10行まで）"_s};
        QTest::newRow("a discount") << u"100-0001"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(1956) << false
                                    << QStringList{u"ファイルの合計（1,956円）と伝票の合計（2,156円）が違います"
                                                   u"（値引き・ポイント利用など）"_s};
        QTest::newRow("printed before") << u"100-0001"_s << tokyo << u"架空 花子"_s << tea << 0 << qint64(-1) << true
                                        << QStringList{u"印刷済み"_s};
        QTest::newRow("in their order")
            << QString() << tokyo << QString() << six << 0 << qint64(1) << true
            << QStringList{u"郵便番号がありません"_s, u"お名前がありません"_s,
                           u"明細が6行あります（伝票に印刷されるのは4行まで）"_s,
                           u"ファイルの合計（1円）と伝票の合計（6円）が違います（値引き・ポイント利用など）"_s,
                           u"印刷済み"_s};
    }
    void everyProblemIsNamedOnce()
    {
        QFETCH(QString, zip);
        QFETCH(QString, add1);
        QFETCH(QString, name);
        QFETCH(QStringList, lines);
        QFETCH(int, lineCount);
        QFETCH(qint64, fileTotal);
        QFETCH(bool, printed);
        QFETCH(QStringList, problems);
        orders::ImportedOrder o = order(u"B-7"_s, zip, add1, name, lines);
        if (lineCount > 0)
            o.lineCount = lineCount;
        if (fileTotal >= 0)
            o.fileTotal = fileTotal;
        session::BatchContext c = context();
        c.postal = m_postal->lookup();
        c.printedBefore = [&](const QString &id) { return printed && id == u"B-7"_s; };
        const session::BatchSlip s = session::SlipOfOrder(o, c);
        QCOMPARE(s.problems, problems);
        QCOMPARE(s.printedBefore, printed);
        QCOMPARE(s.ready(), problems.isEmpty());
    }

    void theFilesOwnProblemsComeFirstAndGoOnceEdited()
    {
        orders::ImportedOrder o =
            order(u"C-1"_s, u"100-0001"_s, u"東京都千代田区千代田"_s, u"架空 花子"_s, {u"煎茶|2|980|0"_s});
        o.problems = QStringList{u"2行目の単価「abc」が数字ではありません"_s};
        o.fileTotal = 1;
        session::BatchSlip s = session::SlipOfOrder(o, context());
        QCOMPARE(s.problems.value(0), u"2行目の単価「abc」が数字ではありません"_s);
        QCOMPARE(s.problems.size(), 2);
        s.record.zip.clear();
        s.edited = true;
        session::RecheckSlip(s, context());
        QCOMPARE(s.problems, QStringList{u"郵便番号がありません"_s});
    }

    void aBatchIsOnePdfOfOnePageEach()
    {
        const session::BatchContext c = context();
        QList<SlipInputs> pages;
        for (const QString &name : {u"架空 一郎"_s, u"架空 二郎"_s, u"架空 三郎"_s})
            pages << session::BatchSlipInputs(
                session::SlipOfOrder(
                    order(name, u"980-0811"_s, u"宮城県仙台市青葉区一番町"_s, name, {u"ずんだ餅|1|1200|1"_s}), c),
                c);
        QTemporaryDir dir;
        const QString path = dir.filePath(u"batch.pdf"_s);
        session::WriteBatchPdf(path, pages, c.sheetMm, u"一括印刷"_s);
        QString error;
        const QList<pdftext::Word> words = pdftext::words(path, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList names(3);
        int pageCount = 0;
        for (const pdftext::Word &w : words) {
            pageCount = qMax(pageCount, w.page + 1);
            if (w.text == u"一郎"_s || w.text == u"二郎"_s || w.text == u"三郎"_s)
                names[w.page] = w.text;
        }
        QCOMPARE(pageCount, 3);
        QCOMPARE(names, QStringList({u"一郎"_s, u"二郎"_s, u"三郎"_s}));
    }
};

QTEST_MAIN(TestOrderBatch)
#include "tst_orderbatch.moc"
