// The slips of a day's orders: the record made from each order, every
// problem named once in its order, and the batch written as one PDF.

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
    c.base.myName = u"みどり茶園"_s;
    c.base.lines[2] = {{}, u"窓の明細"_s, u"9"_s, u"個"_s, u"100"_s, {}, 0};
    c.geometry = PrintGeometry{600, 600, 0, 0};
    c.sheetMm = QSizeF(210, 297);
    return c;
}

// A clean order: 2 x 980 at 10 %, 2,156 with the tax; lines as 「item|qty|price|class」.
orders::ImportedOrder order(const QString &id, const QStringList &lines = {u"煎茶|2|980|0"_s})
{
    orders::ImportedOrder o;
    o.orderId = id;
    o.zip = u"100-0001"_s;
    o.add1 = u"東京都千代田区千代田"_s;
    o.add2 = u"1-2-3"_s;
    o.custo1 = u"架空 花子"_s;
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

    session::PostalAssist m_postal{postal::PostalDictionary::DefaultDirectory()};

private Q_SLOTS:
    // The dictionary loaded before any check, however slow the machine.
    void initTestCase() { QVERIFY(m_postal.dictionary().waitForLoaded()); }

    void theRecordIsTheOrdersOnTheSettings()
    {
        orders::ImportedOrder o = order(u"A-100"_s, {u"煎茶|2|980|1"_s, u"送料|1|800|0"_s});
        o.pricesIncludeTax = true;
        const session::BatchSlip s = session::SlipOfOrder(o, context());
        const session::SlipRecord &r = s.record;
        QCOMPARE(QStringList({r.zip, r.add1, r.add2, r.custo1, r.tel, r.myName}),
                 QStringList({o.zip, o.add1, o.add2, o.custo1, o.tel, u"みどり茶園"_s}));
        QVERIFY(r.pricesIncludeTax);
        QCOMPARE(QStringList({r.lines[0].item, r.lines[0].qty, r.lines[0].price, r.lines[0].unit, r.lines[1].item,
                              r.lines[2].item}),
                 QStringList({u"煎茶"_s, u"2"_s, u"980"_s, QString(), u"送料"_s, QString()}));
        QCOMPARE(r.lines[0].taxClass, 1);
        // Prices with the tax: 1,960 + 800, nothing added.
        QCOMPARE(s.totalText, u"2760"_s);
        QCOMPARE(session::CheckLine(s),
                 u"A-100\t架空 花子\t100-0001\t東京都千代田区千代田\t1-2-3\t\t090-0000-1111\t2760\t"_s);
        QCOMPARE(session::BatchHistorySlip(s).orderId, u"A-100"_s);
        QCOMPARE(session::BatchHistorySlip(s).total, 2760);
    }

    void everyProblemIsNamedOnce_data()
    {
        QTest::addColumn<QString>("change"); // field=value
        QTest::addColumn<QStringList>("problems");
        const QString longItem = u"とても長い名前の架空の商品とても長い名前の架空の商品"_s;
        QTest::newRow("clean") << u"total=2156"_s << QStringList();
        QTest::newRow("no code") << u"zip="_s << QStringList{u"郵便番号がありません"_s};
        QTest::newRow("not a code") << u"zip=10-01"_s << QStringList{u"郵便番号「10-01」は７桁の番号ではありません"_s};
        QTest::newRow("unknown code") << u"zip=000-0000"_s << QStringList{u"郵便番号が辞書にありません"_s};
        QTest::newRow("another town") << u"zip=530-0001"_s << QStringList{u"郵便番号と住所が合いません"_s};
        QTest::newRow("no name") << u"name="_s << QStringList{u"お名前がありません"_s};
        QTest::newRow("no address") << u"add1="_s << QStringList{u"住所がありません"_s};
        QTest::newRow("too wide") << u"item="_s + longItem
                                  << QStringList{u"1行目の商品名「"_s + longItem + u"」が欄に入りません"_s};
        QTest::newRow("no glyph") << u"item=茶😀"_s << QStringList{u"プリンタのフォントにない文字があります（😀）"_s};
        QTest::newRow("too much") << u"qty=99999999"_s << QStringList{u"金額が欄に入りません"_s};
        QTest::newRow("six lines") << u"lines=6"_s
                                   << QStringList{u"明細が6行あります（伝票に印刷されるのは4行まで）"_s};
        QTest::newRow("twelve lines") << u"lines=12"_s
                                      << QStringList{u"明細が12行あります（伝票に入るのは10行まで）"_s};
        QTest::newRow("a discount") << u"total=1956"_s
                                    << QStringList{u"ファイルの合計（1,956円）と伝票の合計（2,156円）が違います"
                                                   u"（値引き・ポイント利用など）"_s};
        QTest::newRow("printed") << u"printed="_s << QStringList{u"印刷済み"_s};
        QTest::newRow("own, then in order")
            << u"own=1行目の単価が数字ではありません;printed=;zip=;name="_s
            << QStringList{u"1行目の単価が数字ではありません"_s, u"郵便番号がありません"_s, u"お名前がありません"_s,
                           u"印刷済み"_s};
    }
    void everyProblemIsNamedOnce()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, problems);
        orders::ImportedOrder o = order(u"B-7"_s);
        bool printed = false;
        for (const QString &c : change.split(u';')) {
            const QString key = c.section(u'=', 0, 0), value = c.section(u'=', 1);
            if (key == u"lines"_s) {
                o.lines = order({}, QStringList(qMin(value.toInt(), 10), u"a|1|10|0"_s)).lines;
                o.lineCount = value.toInt();
            }
            QString *field = key == u"zip"_s    ? &o.zip
                             : key == u"add1"_s ? &o.add1
                             : key == u"name"_s ? &o.custo1
                             : key == u"item"_s ? &o.lines[0].item
                             : key == u"qty"_s  ? &o.lines[0].qty
                                                : nullptr;
            if (field)
                *field = value;
            if (key == u"total"_s)
                o.fileTotal = value.toLongLong();
            if (key == u"own"_s)
                o.problems << value;
            printed = printed || key == u"printed"_s;
        }
        session::BatchContext c = context();
        c.postal = m_postal.lookup();
        c.printedBefore = [&](const QString &id) { return printed && id == u"B-7"_s; };
        session::BatchSlip s = session::SlipOfOrder(o, c);
        QCOMPARE(s.problems, problems);
        QCOMPARE(s.ready(), problems.isEmpty());
        // Edited in the window, the slip is what its record says.
        s.edited = true;
        s.record.custo1 = u"架空 花子"_s;
        session::RecheckSlip(s, c);
        QVERIFY(!s.problems.contains(u"お名前がありません"_s));
        QCOMPARE(s.problems.contains(u"1行目の単価が数字ではありません"_s), false);
    }

    void aBatchIsOnePdfOfOnePageEach()
    {
        const session::BatchContext c = context();
        QList<SlipInputs> pages;
        for (const QString &given : {u"一郎"_s, u"二郎"_s, u"三郎"_s}) {
            orders::ImportedOrder o = order(given);
            o.custo1 = u"架空 "_s + given;
            pages << session::BatchSlipInputs(session::SlipOfOrder(o, c), c);
        }
        QTemporaryDir dir;
        session::WriteBatchPdf(dir.filePath(u"batch.pdf"_s), pages, c.sheetMm, u"一括印刷"_s);
        QString error;
        QStringList names;
        for (const pdftext::Word &w : pdftext::words(dir.filePath(u"batch.pdf"_s), &error)) {
            if (w.text.endsWith(u"郎"_s))
                names << QString::number(w.page) + w.text;
        }
        QVERIFY2(error.isEmpty(), qPrintable(error));
        names.removeDuplicates(); // both blocks of the form
        QCOMPARE(names, QStringList({u"0一郎"_s, u"1二郎"_s, u"2三郎"_s}));
    }
};

QTEST_MAIN(TestOrderBatch)
#include "tst_orderbatch.moc"
