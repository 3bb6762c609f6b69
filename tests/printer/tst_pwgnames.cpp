// The Windows paper size and source numbers of the print system's media and
// media-source names.

#include "printer/PwgNames.h"
#include "printer/SystemPrinter.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_PwgNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void paperNumbers_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("number"); // -1: none
        QTest::newRow("A5") << u"iso_a5_148x210mm"_s << DMPAPER_A5;
        QTest::newRow("A4") << u"iso_a4_210x297mm"_s << DMPAPER_A4;
        QTest::newRow("letter") << u"na_letter_8.5x11in"_s << DMPAPER_LETTER;
        QTest::newRow("JIS B5") << u"jis_b5_182x257mm"_s << DMPAPER_B5;
        QTest::newRow("postcard") << u"jpn_hagaki_100x148mm"_s << DMPAPER_JAPANESE_POSTCARD;
        QTest::newRow("a size without a number") << u"oe_photo-l_3.5x5in"_s << -1;
        QTest::newRow("a custom size") << u"custom_vuzo_114.3x203.2mm"_s << -1;
        QTest::newRow("a name without size") << u"iso_a5"_s << -1;
        QTest::newRow("the empty name") << QString() << -1;
    }
    void paperNumbers()
    {
        QFETCH(QString, media);
        QFETCH(int, number);
        QCOMPARE(vuzo::PaperNumberForMedia(media).value_or(-1), number);
    }

    void binNumbers_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("number");
        QTest::newRow("auto") << u"auto"_s << DMBIN_AUTO;
        QTest::newRow("manual") << u"manual"_s << DMBIN_MANUAL;
        QTest::newRow("envelope") << u"envelope"_s << DMBIN_ENVELOPE;
        QTest::newRow("top") << u"top"_s << DMBIN_UPPER;
        QTest::newRow("tray-1 is the first user bin") << u"tray-1"_s << DMBIN_USER + 1;
        QTest::newRow("tray-20") << u"tray-20"_s << DMBIN_USER + 20;
        QTest::newRow("tray-0 has no number") << u"tray-0"_s << -1;
        QTest::newRow("an unknown source") << u"photo"_s << -1;
    }
    void binNumbers()
    {
        QFETCH(QString, source);
        QFETCH(int, number);
        QCOMPARE(vuzo::BinNumberForSource(source).value_or(-1), number);
    }

    void mediaSizes_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("length");
        QTest::newRow("millimetres") << u"iso_a5_148x210mm"_s << 14800 << 21000;
        QTest::newRow("inches") << u"na_letter_8.5x11in"_s << 21590 << 27940;
        QTest::newRow("decimals") << u"custom_vuzo_114.3x203.2mm"_s << 11430 << 20320;
        QTest::newRow("no size") << u"auto"_s << -1 << -1;
        QTest::newRow("zero size") << u"custom_0x0mm"_s << -1 << -1;
    }
    void mediaSizes()
    {
        QFETCH(QString, media);
        QFETCH(int, width);
        QFETCH(int, length);
        const auto size = vuzo::MediaSizeFromName(media);
        QCOMPARE(size ? size->first : -1, width);
        QCOMPARE(size ? size->second : -1, length);
    }
};

QTEST_GUILESS_MAIN(tst_PwgNames)
#include "tst_pwgnames.moc"
