// What a postal code or a typed address offers the operator, over Debian's
// skkdic-extra dictionary as the set-up scripts install it.

#include "session/PostalAssist.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using Kind = session::PostalOffer::Kind;
Q_DECLARE_METATYPE(session::PostalOffer::Kind)

class TestPostalAssist : public QObject
{
    Q_OBJECT

private:
    session::PostalAssist m_assist{postal::PostalDictionary::DefaultDirectory()};

private Q_SLOTS:
    void initTestCase()
    {
        if (!m_assist.available())
            QFAIL("no postal dictionary in /usr/share/skk: scripts/test installs Debian's skkdic-extra");
    }

    void offers_data()
    {
        QTest::addColumn<bool>("byCode"); // Enter on the code, else F5 on the address
        QTest::addColumn<QString>("zip");
        QTest::addColumn<QString>("add1");
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("choices");
        QTest::newRow("a code of one address writes it")
            << true << u"１００－０００１"_s << QString() << Kind::Address << u"東京都千代田区千代田"_s << 0;
        QTest::newRow("a code of two addresses lists them")
            << true << u"0028089"_s << QString() << Kind::Choices << QString() << 2;
        QTest::newRow("an address typed already is kept")
            << true << u"1000001"_s << u"　札幌"_s << Kind::Nothing << QString() << 0;
        QTest::newRow("an unknown code offers nothing")
            << true << u"000-0000"_s << QString() << Kind::Nothing << QString() << 0;
        QTest::newRow("an address of one code writes the code")
            << false << QString() << u"千代田区千代田１－１"_s << Kind::Code << u"100-0001"_s << 0;
        QTest::newRow("an address of several codes lists them")
            << false << QString() << u"北海道札幌市北区あいの里"_s << Kind::Choices << QString() << -1;
        QTest::newRow("an address nothing fits is told") << false << QString() << u"架空県どこか市"_s << Kind::Help
                                                         << u"おところ①に合う郵便番号が見つかりません"_s << 0;
        QTest::newRow("a street address names its town, not the ward")
            << false << QString() << u"京都府京都市中京区寺町通御池上る上本能寺前町488"_s << Kind::Code << u"604-0925"_s
            << 0;
        QTest::newRow("a city without its town lists the towns")
            << false << QString() << u"東京都港区１丁目"_s << Kind::Choices
            << u"おところ①の町名が郵便番号辞書に見つかりません。一覧から町名を選んで下さい"_s << -1;
        QTest::newRow("a code typed already beeps")
            << false << u"100-0001"_s << u"千代田区"_s << Kind::Beep << QString() << 0;
    }
    void offers()
    {
        QFETCH(bool, byCode);
        QFETCH(QString, zip);
        QFETCH(QString, add1);
        QFETCH(Kind, kind);
        QFETCH(QString, text);
        QFETCH(int, choices);
        const session::PostalOffer offer = byCode ? m_assist.codeOffer(zip, add1) : m_assist.addressOffer(zip, add1);
        QCOMPARE(offer.kind, kind);
        QCOMPARE(offer.text, text);
        if (choices >= 0)
            QCOMPARE(offer.lines.size(), choices);
        if (kind == Kind::Choices) {
            QVERIFY(offer.lines.size() > 1);
            QCOMPARE(offer.entries.size(), offer.lines.size());
            QCOMPARE(offer.forCode, byCode);
            QVERIFY(offer.chosenText(offer.lines.size() - 1).size() > 0);
            QCOMPARE(offer.chosenText(offer.lines.size()), QString());
        }
    }

    void cityCodeBeforeATownIsWarned()
    {
        const QString kyoto = u"京都府京都市中京区寺町通御池上る上本能寺前町488"_s;
        QCOMPARE(m_assist.warning(u"604-0000"_s, kyoto),
                 u"警告:〒604-0000は京都府京都市中京区全体の番号です（上本能寺前町は〒604-0925）"_s);
        QCOMPARE(m_assist.warning(u"604-0925"_s, kyoto), QString());
        QCOMPARE(m_assist.warning(u"105-0000"_s, u"東京都港区１丁目"_s), QString());
        QVERIFY(m_assist.lookup()->codesOf(u"東京都港区"_s).isEmpty());
        QCOMPARE(m_assist.lookup()->codesOf(kyoto), QStringList{u"6040925"_s});
    }

    void aMissingDictionaryIsToldOnce()
    {
        QTemporaryDir empty;
        session::PostalAssist assist(empty.path());
        QCOMPARE(assist.codeOffer(u"1000001"_s, QString()).kind, Kind::Unavailable);
        QVERIFY(assist.takeMissingNotice().contains(u"sudo apt install skkdic-extra"_s));
        QCOMPARE(assist.takeMissingNotice(), QString());
        QCOMPARE(assist.lookup(), nullptr);
        QCOMPARE(assist.warning(u"100-0001"_s, u"大阪府"_s), QString());
    }
};

QTEST_GUILESS_MAIN(TestPostalAssist)
#include "tst_postalassist.moc"
