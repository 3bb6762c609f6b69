// How the name guess weighs the names it is offered: heavier evidence wins,
// the first of equal weight stays, a name below the address gains, a reading
// alone loses, and a correction lets the next name in.

#include "transfer/SmartTransfer_p.h"

#include <QTest>

using namespace Qt::StringLiterals;
using transfer::smart::NameEvidence;

class TestSmartNames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void offerName_data();
    void offerName();
};

void TestSmartNames::offerName_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<NameEvidence>("firstEvidence");
    QTest::addColumn<bool>("addressBetween");
    QTest::addColumn<bool>("correctionBetween");
    QTest::addColumn<QString>("second");
    QTest::addColumn<NameEvidence>("secondEvidence");
    QTest::addColumn<QString>("expected");

    const QString a = u"浜辺　一郎"_s;
    const QString b = u"磯野　二郎"_s;
    QTest::newRow("of two bare lines the first stays")
        << a << NameEvidence::OwnLine << false << false << b << NameEvidence::OwnLine << a;
    QTest::newRow("a labelled name replaces a bare line before it")
        << a << NameEvidence::OwnLine << false << false << b << NameEvidence::Labelled << b;
    QTest::newRow("a bare line does not replace a labelled name")
        << a << NameEvidence::Labelled << false << false << b << NameEvidence::OwnLine << a;
    QTest::newRow("an honorific outweighs a spreadsheet cell")
        << a << NameEvidence::Cell << false << false << b << NameEvidence::WithHonorific << b;
    QTest::newRow("a bare line below the address outweighs a salutation above it")
        << a << NameEvidence::WithHonorific << true << false << b << NameEvidence::OwnLine << b;
    QTest::newRow("a name beside the address does not replace a labelled one")
        << a << NameEvidence::Labelled << true << false << b << NameEvidence::AfterAddress << a;
    QTest::newRow("a written name replaces a reading of the same kind")
        << u"ハマベ　イチロウ"_s << NameEvidence::OwnLine << false << false << a << NameEvidence::OwnLine << a;
    QTest::newRow("a reading alone is taken when nothing else is offered")
        << QString() << NameEvidence::Labelled << false << false << u"ハマベ　イチロウ"_s << NameEvidence::OwnLine
        << u"ハマベ　イチロウ"_s;
    QTest::newRow("a self-introduction does not replace a bare line")
        << a << NameEvidence::OwnLine << false << false << b << NameEvidence::IntroducedWithDesu << a;
    QTest::newRow("after a correction a weaker name replaces a labelled one")
        << a << NameEvidence::Labelled << false << true << b << NameEvidence::IntroducedWithMoushimasu << b;
    QTest::newRow("an empty name is never taken")
        << a << NameEvidence::OwnLine << false << true << QString() << NameEvidence::Labelled << a;
}

void TestSmartNames::offerName()
{
    QFETCH(QString, first);
    QFETCH(NameEvidence, firstEvidence);
    QFETCH(bool, addressBetween);
    QFETCH(bool, correctionBetween);
    QFETCH(QString, second);
    QFETCH(NameEvidence, secondEvidence);

    transfer::smart::Fields f;
    transfer::smart::offerName(f, first, firstEvidence);
    if (addressBetween)
        f.address << u"東京都架空区浜辺町1-2-3"_s;
    f.unlock = correctionBetween;
    transfer::smart::offerName(f, second, secondEvidence);
    QTEST(f.name.text, "expected");
}

QTEST_GUILESS_MAIN(TestSmartNames)
#include "tst_smartnames.moc"
