// The Windows paper size and source numbers of the print system's media and
// media-source names.

#include "printer/PwgNames.h"
#include "printer/SystemPrinter.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

class TestPwgNames : public QObject
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

    void paperNamesOfSheetsWithoutANumber_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("name"); // empty: none
        QTest::newRow("ISO B5 is told from JIS B5") << u"iso_b5_176x250mm"_s << u"B5 (ISO)"_s;
        QTest::newRow("the large square envelope") << u"jpn_kaku2_240x332mm"_s << u"角形2号"_s;
        QTest::newRow("a borderless variant has the same name") << u"iso_b5_176x250mm.borderless"_s << u"B5 (ISO)"_s;
        QTest::newRow("an unknown sheet has none") << u"oe_photo-l_3.5x5in"_s << QString();
        QTest::newRow("a name without size has none") << u"iso_b5"_s << QString();
    }
    void paperNamesOfSheetsWithoutANumber()
    {
        QFETCH(QString, media);
        QFETCH(QString, name);
        QCOMPARE(vuzo::PaperNameForMedia(media), name);
    }

    void paperNamesOfNumbers_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("JIS B5") << DMPAPER_B5 << u"B5 (JIS)"_s;
        QTest::newRow("the postcard") << DMPAPER_JAPANESE_POSTCARD << u"はがき"_s;
        QTest::newRow("the return postcard") << DMPAPER_DBL_JAPANESE_POSTCARD << u"往復はがき"_s;
        QTest::newRow("the long envelope no. 3") << DMPAPER_JENV_CHOU3 << u"長形3号"_s;
        QTest::newRow("the long envelope no. 4") << DMPAPER_JENV_CHOU4 << u"長形4号"_s;
    }
    void paperNamesOfNumbers()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(vuzo::PaperNameForNumber(number), name);
    }

    void borderlessMedia_data()
    {
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("readable");
        QTest::addColumn<bool>("borderless");
        QTest::newRow("a media name with a borderless suffix") << u"iso_a4_210x297mm.borderless"_s << QString() << true;
        QTest::newRow("a readable name saying Borderless") << u"oe_photo-l_3.5x5in"_s << u"L (Borderless)"_s << true;
        QTest::newRow("a Japanese readable name saying borderless")
            << u"jpn_hagaki_100x148mm"_s << u"はがき フチなし"_s << true;
        QTest::newRow("an ordinary sheet") << u"iso_a4_210x297mm"_s << u"A4"_s << false;
    }
    void borderlessMedia()
    {
        QFETCH(QString, media);
        QFETCH(QString, readable);
        QFETCH(bool, borderless);
        QCOMPARE(vuzo::IsBorderlessMedia(media, readable), borderless);
    }

    void sourceNames_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("name"); // empty: none
        QTest::newRow("auto is automatic selection") << u"auto"_s << u"自動"_s;
        QTest::newRow("manual is manual feed") << u"manual"_s << u"手差し"_s;
        QTest::newRow("tray-1 is the first tray") << u"tray-1"_s << u"トレイ1"_s;
        QTest::newRow("tray-12 keeps its number") << u"tray-12"_s << u"トレイ12"_s;
        QTest::newRow("main is the built-in tray") << u"main"_s << u"本体トレイ"_s;
        QTest::newRow("top is the upper tray") << u"top"_s << u"上段トレイ"_s;
        QTest::newRow("middle is the middle tray") << u"middle"_s << u"中段トレイ"_s;
        QTest::newRow("bottom is the lower tray") << u"bottom"_s << u"下段トレイ"_s;
        QTest::newRow("envelope is the envelope tray") << u"envelope"_s << u"封筒トレイ"_s;
        QTest::newRow("large-capacity is the large tray") << u"large-capacity"_s << u"大容量トレイ"_s;
        QTest::newRow("by-pass-tray is the bypass tray") << u"by-pass-tray"_s << u"手差しトレイ"_s;
        QTest::newRow("rear is the rear tray") << u"rear"_s << u"背面トレイ"_s;
        QTest::newRow("roll-2 is the second roll") << u"roll-2"_s << u"ロール2"_s;
        QTest::newRow("tray-0 has no name") << u"tray-0"_s << QString();
        QTest::newRow("an unknown source has no name") << u"x-cassette"_s << QString();
    }
    void sourceNames()
    {
        QFETCH(QString, source);
        QFETCH(QString, name);
        QCOMPARE(vuzo::SourceNameForKeyword(source), name);
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
        QTest::newRow("a side beyond an int is held at the largest")
            << u"custom_210x99999999999mm"_s << 21000 << std::numeric_limits<int>::max();
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

    void resolutionKeywords_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("x"); // 0: not a resolution
        QTest::addColumn<int>("y");
        QTest::newRow("as stored") << u"600x600dpi"_s << 600 << 600;
        QTest::newRow("as IPP writes a square one") << u"300dpi"_s << 300 << 300;
        QTest::newRow("two directions") << u"300x600dpi"_s << 300 << 600;
        QTest::newRow("dots per centimetre") << u"118dpcm"_s << 299 << 299;
        QTest::newRow("spaces around") << u" 600x600dpi "_s << 600 << 600;
        QTest::newRow("zero") << u"0dpi"_s << 0 << 0;
        QTest::newRow("negative") << u"-300dpi"_s << 0 << 0;
        QTest::newRow("no unit") << u"600"_s << 0 << 0;
        QTest::newRow("too many digits") << u"99999999dpi"_s << 0 << 0;
        QTest::newRow("empty") << QString() << 0 << 0;
    }
    void resolutionKeywords()
    {
        QFETCH(QString, text);
        QFETCH(int, x);
        QFETCH(int, y);
        const std::optional<WbSize> parsed = vuzo::ParseResolutionKeyword(text);
        QCOMPARE(parsed.value_or(WbSize{}), (WbSize{x, y}));
        // What is stored reads back as itself.
        if (parsed)
            QCOMPARE(vuzo::ParseResolutionKeyword(vuzo::ResolutionKeyword(*parsed)), parsed);
    }
};

QTEST_GUILESS_MAIN(TestPwgNames)
#include "tst_pwgnames.moc"
