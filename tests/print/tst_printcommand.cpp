#include "print/PrintCommand.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestPrintCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void effectiveResolution_data();
    void effectiveResolution();
    void jobTitle_data();
    void jobTitle();
    void copyCount_data();
    void copyCount();
};

void TestPrintCommand::effectiveResolution_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("expected");

    QTest::newRow("a scale of 0 counts as 100") << 600 << 0 << 600;
    QTest::newRow("a negative scale counts as 100") << 600 << -50 << 600;
    QTest::newRow("a scale of 1 multiplies by 100") << 6 << 1 << 600;
    QTest::newRow("scale 100 keeps the resolution") << 600 << 100 << 600;
    QTest::newRow("scale 50 doubles the resolution") << 600 << 50 << 1200;
    QTest::newRow("division truncates") << 600 << 70 << 857;
    QTest::newRow("a vertical 300 at scale 100") << 300 << 100 << 300;
    QTest::newRow("zero resolution stays zero") << 0 << 100 << 0;
    QTest::newRow("a result beyond int is held at its end")
        << std::numeric_limits<int>::max() << 1 << std::numeric_limits<int>::max();
}

void TestPrintCommand::effectiveResolution()
{
    QFETCH(int, dpi);
    QFETCH(int, scale);
    QFETCH(int, expected);
    QCOMPARE(EffectiveResolution(dpi, scale), expected);
}

void TestPrintCommand::jobTitle_data()
{
    QTest::addColumn<int>("paperIndex");
    QTest::addColumn<QString>("slipNo");
    QTest::addColumn<QString>("expected");

    QTest::newRow("slip number with blanks around it is trimmed") << 0 << u"  12  "_s << u"vuzo_Vez_1_0_YUBF-12"_s;
    QTest::newRow("nothing chosen gives -1") << -1 << u"7"_s << u"vuzo_Vez_1_-1_YUBF-7"_s;
    QTest::newRow("third paper choice") << 2 << u"100"_s << u"vuzo_Vez_1_2_YUBF-100"_s;
    QTest::newRow("an empty slip number ends in the hyphen") << 1 << QString() << u"vuzo_Vez_1_1_YUBF-"_s;
    QTest::newRow("an ideographic space is kept") << 0 << u"\u30001"_s << u"vuzo_Vez_1_0_YUBF-\u30001"_s;
}

void TestPrintCommand::jobTitle()
{
    QFETCH(int, paperIndex);
    QFETCH(QString, slipNo);
    QFETCH(QString, expected);
    QCOMPARE(PrintJobTitle(paperIndex, slipNo), expected);
}

void TestPrintCommand::copyCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("the initial text is one copy") << u"1"_s << 1;
    QTest::newRow("zero") << u"0"_s << 0;
    QTest::newRow("negative") << u"-2"_s << -2;
    QTest::newRow("empty text is zero") << QString() << 0;
    QTest::newRow("text that is not an integer is zero") << u"1.5"_s << 0;
    QTest::newRow("a value beyond 32 bits is zero") << u"2147483648"_s << 0;
    QTest::newRow("the largest 32-bit value") << u"2147483647"_s << 2147483647;
    QTest::newRow("three") << u"3"_s << 3;
}

void TestPrintCommand::copyCount()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(PrintCopyCount(text), expected);
}

QTEST_GUILESS_MAIN(TestPrintCommand)
#include "tst_printcommand.moc"
