// The texts of the delivery note and invoice made from a slip record: the
// items a qualified invoice must carry, and a plain delivery note without a
// registration number.

#include "session/InvoiceContent.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestInvoiceContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theSheetCarriesWhatTheInvoiceMust_data()
    {
        QTest::addColumn<QString>("regNo");
        QTest::addColumn<bool>("included");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("rates");
        QTest::addColumn<QString>("payment");
        // 2 x 980 = 1,960 of tea at 8 % (156.8) and 800 of shipping at 10 % (80).
        QTest::newRow("registered, tax added")
            << u"T9876543210987"_s << false << u"適格請求書（納品書兼請求書）"_s
            << QStringList{u"10%対象 ¥800（消費税 ¥80）"_s, u"8%対象 ¥1,960（消費税 ¥156）"_s}
            << u"同封の払込取扱票でお支払いください　¥2,996"_s;
        // Included: 1,960 x 8/108 = 145.19, 800 x 10/110 = 72.7.
        QTest::newRow("registered, tax included")
            << u"T9876543210987"_s << true << u"適格請求書（納品書兼請求書）"_s
            << QStringList{u"10%対象 ¥800（内消費税 ¥72）"_s, u"8%対象 ¥1,960（内消費税 ¥145）"_s}
            << u"同封の払込取扱票でお支払いください　¥2,760"_s;
        QTest::newRow("not registered") << QString() << false << u"納品書"_s
                                        << QStringList{u"10%対象 ¥800（消費税 ¥80）"_s,
                                                       u"8%対象 ¥1,960（消費税 ¥156）"_s}
                                        << u"同封の払込取扱票でお支払いください　¥2,996"_s;
    }
    void theSheetCarriesWhatTheInvoiceMust()
    {
        QFETCH(QString, regNo);
        QFETCH(bool, included);
        QFETCH(QString, title);
        QFETCH(QStringList, rates);
        QFETCH(QString, payment);
        session::SlipRecord r = session::DefaultSlipRecord();
        r.slipDate = QDate(2026, 11, 3);
        r.slipNo = u"27"_s;
        r.zip = u"739-0000"_s;
        r.add1 = u"広島県東広島市西条町"_s;
        r.custo1 = u"浜田　陽菜"_s;
        r.myName = u"みどり茶園"_s;
        r.myTel = u"0000-00-0000"_s;
        r.invoiceRegNo = regNo;
        r.pricesIncludeTax = included;
        r.lines[0] = {{}, u"煎茶"_s, u"2"_s, u"袋"_s, u"980"_s, {}, 1};
        r.lines[1] = {{}, u"品名のない行"_s, u"0"_s, {}, u"300"_s, {}};
        r.lines[2] = {{}, u"送料"_s, u"1"_s, {}, u"800"_s, {}};
        const session::SlipFigures f = session::PrintPass(r, session::RateOf(r).rate);
        const InvoiceSheet s = session::InvoiceSheetOf(r, f);
        QCOMPARE(s.title, title);
        QCOMPARE(s.dateText, u"発行日　2026年11月3日"_s);
        QCOMPARE(s.numberText, u"伝票番号　27"_s);
        QCOMPARE(s.recipientName, u"浜田　陽菜　様"_s);
        QCOMPARE(s.recipientAddress, (QStringList{u"〒739-0000"_s, u"広島県東広島市西条町"_s}));
        QCOMPARE(s.issuer.first(), u"みどり茶園"_s);
        QCOMPARE(s.issuer.last(), regNo.isEmpty() ? u"TEL 0000-00-0000"_s : u"登録番号 "_s + regNo);
        // Only lines with a quantity; the reduced one marked.
        QCOMPARE(s.lines.size(), 2);
        QCOMPARE(s.lines.at(0).item, u"煎茶※"_s);
        QCOMPARE(s.lines.at(0).amount, u"1,960"_s);
        QCOMPARE(s.lines.at(1).item, u"送料"_s);
        QCOMPARE(s.rateLines, rates);
        QCOMPARE(s.reducedNote, u"※は軽減税率（8%）対象です"_s);
        QCOMPARE(s.paymentText, payment);
    }

    // Without a reduced line the note is left out.
    void noReducedLineNoNote()
    {
        session::SlipRecord r = session::DefaultSlipRecord();
        r.slipDate = QDate(2026, 11, 3);
        r.lines[0] = {{}, u"包装"_s, u"1"_s, {}, u"200"_s, {}};
        const InvoiceSheet s = session::InvoiceSheetOf(r, session::PrintPass(r, session::RateOf(r).rate));
        QCOMPARE(s.reducedNote, QString());
        QCOMPARE(s.rateLines, QStringList{u"10%対象 ¥200（消費税 ¥20）"_s});
        QCOMPARE(s.totalText, u"合計　¥220"_s);
    }
};

QTEST_GUILESS_MAIN(TestInvoiceContent)
#include "tst_invoicecontent.moc"
