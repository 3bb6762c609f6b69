// The device settings, capability lists, geometry and the apply/discard
// bookkeeping of the printer layer, over the in-memory system printer.

#include "PrinterFixture.h"

#include <QTest>
#include <functional>

using namespace Qt::StringLiterals;

using Member = std::function<void(TWbPrinter &)>;
Q_DECLARE_METATYPE(Member)

class TestWbPrinterSettings : public QObject
{
    Q_OBJECT

private:
    static PrinterFixture One(const MemorySystemPrinter::Printer &p) { return PrinterFixture({p}, p.name); }
    static MemorySystemPrinter::Printer Standard() { return PrinterFixture::Make(u"P"_s); }

private Q_SLOTS:
    // ---- Capability checks come first, with the member's own message

    void aMissingCapabilityRaisesNotSupported_data()
    {
        QTest::addColumn<Member>("member");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, Member m, const QString &msg) { QTest::newRow(name) << m << msg; };
        row(
            "PaperSizeNumber read", [](TWbPrinter &p) { p.PaperSizeNumber(); },
            u"TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported"_s);
        row(
            "PaperSizeNumber write", [](TWbPrinter &p) { p.SetPaperSizeNumber(9); },
            u"TWbPrinter.SetPaperSizeNumber: PaperSize is not Supported"_s);
        row(
            "PaperSizeNames", [](TWbPrinter &p) { p.PaperSizeNames(); },
            u"TWbPrinter.GetPaperSizeNames: PaperSize is not Supported"_s);
        row(
            "NumPaperSizes", [](TWbPrinter &p) { p.NumPaperSizes(); },
            u"TWbPrinter.GetNumPaperSize: PaperSize is not Supported"_s);
        row(
            "PaperSizeNumbers", [](TWbPrinter &p) { p.PaperSizeNumbers(0); },
            u"TWbPrinter.GetPaperSizeNumber: PaperSize is not Supported"_s);
        row(
            "HasPaperSizeNumber", [](TWbPrinter &p) { p.HasPaperSizeNumber(9); },
            u"TWbPrinter.HasPaperNumber: PaperSize is not Supported"_s);
        row(
            "PaperSizeIndex read", [](TWbPrinter &p) { p.PaperSizeIndex(); },
            u"TWbPrinter.GetPaperSizeIndex: PaperSize is not Supported"_s);
        row(
            "PaperSizeIndex write", [](TWbPrinter &p) { p.SetPaperSizeIndex(0); },
            u"TWbPrinter.SetPaperSizeIndex: PaperSize is not Supported"_s);
        row(
            "BinNumber read", [](TWbPrinter &p) { p.BinNumber(); }, u"TWbPrinter.GetBinNumber: Bin is not Supported"_s);
        row(
            "BinNumber write", [](TWbPrinter &p) { p.SetBinNumber(1); },
            u"TWbPrinter.SetBinNumber: Bin is not Supported"_s);
        row(
            "BinNames", [](TWbPrinter &p) { p.BinNames(); }, u"TWbPrinter.GetBinNames: Bin is not Supported"_s);
        row(
            "NumBins", [](TWbPrinter &p) { p.NumBins(); }, u"TWbPrinter.GetNumBins: Bin is not Supported"_s);
        row(
            "BinNumbers", [](TWbPrinter &p) { p.BinNumbers(0); }, u"TWbPrinter.GetBunNumbers: Bin is not Supported"_s);
        row(
            "HasBinNumber", [](TWbPrinter &p) { p.HasBinNumber(1); }, u"TWbPrinter.SetBin: Bin is not Supported"_s);
        row(
            "BinIndex read", [](TWbPrinter &p) { p.BinIndex(); }, u"TWbPrinter.GetBinIndex: Bin is not Supported"_s);
        row(
            "BinIndex write", [](TWbPrinter &p) { p.SetBinIndex(0); },
            u"TWbPrinter.SetBinIndex: Bin is not Supported"_s);
        row(
            "Orientation read", [](TWbPrinter &p) { p.Orientation(); },
            u"TWbPrinter.GetOrientation: Orientation is not Supported"_s);
        row(
            "Orientation write", [](TWbPrinter &p) { p.SetOrientation(wbOrLandScape); },
            u"TWbPrinter.SetOrientation: Orientation is not Supported"_s);
        row(
            "Copies read", [](TWbPrinter &p) { p.Copies(); }, u"TWbPrinter.GetCopies: Copies not Supported"_s);
        row(
            "Copies write", [](TWbPrinter &p) { p.SetCopies(2); }, u"TWbPrinter.SetCopies: Copies not Supported"_s);
        row(
            "Copies write of 0 checks support first", [](TWbPrinter &p) { p.SetCopies(0); },
            u"TWbPrinter.SetCopies: Copies not Supported"_s);
        row(
            "MaxCopies", [](TWbPrinter &p) { p.MaxCopies(); }, u"TWbPrinter.GetMaxCopies: Copies is not Supported"_s);
        row(
            "Collate read", [](TWbPrinter &p) { p.Collate(); }, u"TWbPrinter.GetCollate: Collate is not Supported"_s);
        row(
            "Collate write", [](TWbPrinter &p) { p.SetCollate(true); },
            u"TWbPrinter.SetCollate: Collate is not Supported"_s);
        row(
            "Color read", [](TWbPrinter &p) { p.Color(); }, u"TWbPrinter.GetColor: Color is not Supported"_s);
        row(
            "Color write", [](TWbPrinter &p) { p.SetColor(true); }, u"TWbPrinter.SetColor: Color is not Supported"_s);
        row(
            "Duplex read", [](TWbPrinter &p) { p.Duplex(); }, u"TWbPrinter.GetDuplex: Duplex is not Supported"_s);
        row(
            "Duplex write", [](TWbPrinter &p) { p.SetDuplex(wbDupSimplex); },
            u"TWbPrinter.SetDuplex: Duplex is not Supported"_s);
        row(
            "Scale write", [](TWbPrinter &p) { p.SetScale(50); }, u"TWbPrinter.SetScale: Scale is not Supported"_s);
        row(
            "Quality read", [](TWbPrinter &p) { p.Quality(); },
            u"TWbPrinter.GetQuality: PrintQuality is not Supported"_s);
        row(
            "Quality write",
            [](TWbPrinter &p) {
                p.SetQuality(WbSize{300, 300});
            },
            u"TWbPrinter.SetQuality: PrintQuality is not Supported"_s);
        row(
            "NumQualities", [](TWbPrinter &p) { p.NumQualities(); },
            u"TWbPrinter.GetNumQualities: PrintQuality is not Supported"_s);
        row(
            "Qualities", [](TWbPrinter &p) { p.Qualities(0); },
            u"TWbPrinter.GetQualities: PrintQuality is not Supported"_s);
        row(
            "UserPaperExtent write",
            [](TWbPrinter &p) {
                p.SetUserPaperExtent(WbSize{1000, 2000});
            },
            u"TWbPrinter.SetpaperExtent: PaperSize is not Supported"_s);
    }
    void aMissingCapabilityRaisesNotSupported()
    {
        QFETCH(Member, member);
        QFETCH(QString, message);
        auto p = Standard();
        p.defaults.dmFields = 0;
        auto f = One(p);
        QCOMPARE(RaisedMessage<EWbPrinterNotSupported>([&] { member(*f); }), message);
        QVERIFY(!f->Modified());
    }

    void aMissingListRaisesNoInfo_data()
    {
        QTest::addColumn<Member>("member");
        QTest::addColumn<QString>("message");
        auto row = [](const char *name, Member m, const QString &msg) { QTest::newRow(name) << m << msg; };
        row(
            "PaperSizeNames", [](TWbPrinter &p) { p.PaperSizeNames(); },
            u"TWbPrinter.GetPaperSizeNames: No Papersize Info Available"_s);
        row(
            "NumPaperSizes", [](TWbPrinter &p) { p.NumPaperSizes(); },
            u"TWbPrinter.GetNumPaperSizes: No Papersize Info Available"_s);
        row(
            "PaperSizeNumbers", [](TWbPrinter &p) { p.PaperSizeNumbers(0); },
            u"TWbPrinter.GetNumPaperSizeNumbers: No Papersize Info Available"_s);
        row(
            "HasPaperSizeNumber", [](TWbPrinter &p) { p.HasPaperSizeNumber(9); },
            u"TWbPrinter.HasPapserSizeNumber: No PaperSize Info Available"_s);
        row(
            "PaperSizeIndex read", [](TWbPrinter &p) { p.PaperSizeIndex(); },
            u"TWbPrinter.GetPaperSizeIndex: No Papersize Info Available"_s);
        row(
            "PaperSizeIndex write", [](TWbPrinter &p) { p.SetPaperSizeIndex(0); },
            u"TWbPrinter.SetPaperSizeIndex: No Papersize Info Available"_s);
        row(
            "BinNames", [](TWbPrinter &p) { p.BinNames(); }, u"TWbPrinter.GetBinNames: No Bin Info Available"_s);
        row(
            "NumBins", [](TWbPrinter &p) { p.NumBins(); }, u"TWbPrinter.GetNumBins: No Bin Info Available"_s);
        row(
            "BinNumbers", [](TWbPrinter &p) { p.BinNumbers(0); }, u"TWbPrinter.GetBinNumbers: No Bin Info Available"_s);
        row(
            "HasBinNumber", [](TWbPrinter &p) { p.HasBinNumber(7); },
            u"TWbPrinter.HasBinNumber: No Bin Info Available"_s);
        row(
            "BinIndex read", [](TWbPrinter &p) { p.BinIndex(); }, u"TWbPrinter.GetBinIndex: No Bin Info Available"_s);
        row(
            "BinIndex write", [](TWbPrinter &p) { p.SetBinIndex(0); },
            u"TWbPrinter.SetBinIndex: No Bin Info Available"_s);
        row(
            "MaxCopies", [](TWbPrinter &p) { p.MaxCopies(); },
            u"TWbPrinter.GetMaxCopies: No MaxCopies Info Available"_s);
        row(
            "NumQualities", [](TWbPrinter &p) { p.NumQualities(); },
            u"TWbPrinter.GetNumQualities: No Quality Info Available"_s);
        row(
            "Qualities", [](TWbPrinter &p) { p.Qualities(0); },
            u"TWbPrinter.GetQualities: No Quality Info Available"_s);
    }
    void aMissingListRaisesNoInfo()
    {
        QFETCH(Member, member);
        QFETCH(QString, message);
        auto p = Standard();
        p.caps = PrinterCapabilities{};
        auto f = One(p);
        QCOMPARE(RaisedMessage<EWbPrinterNoInfo>([&] { member(*f); }), message);
        QCOMPARE(f->AvailInfos(), TWbAvailInfos());
    }

    void availInfosNamesTheListsThePrinterDelivered()
    {
        auto f = One(Standard());
        QCOMPARE(f->AvailInfos(), wbAvPaperSize | wbAvBin | wbAvQuality | wbAvMaxCopies);
    }

    void printCapsFollowDmFields()
    {
        auto p = Standard();
        p.defaults.dmFields = DM_ORIENTATION | DM_COLLATE | DM_DITHERTYPE;
        auto f = One(p);
        const TWbPrintCaps caps = f->PrintCaps();
        QVERIFY(caps.contains(wbPcOrientation));
        QVERIFY(caps.contains(wbPcCollate));
        QVERIFY(caps.contains(wbPcDitherType));
        QVERIFY(!caps.contains(wbPcPaperSize));
        QVERIFY(!caps.contains(wbPcMediaType));
    }

    // ---- Paper sizes

    void paperSizeIndexIsTheFirstMatch()
    {
        auto p = Standard();
        p.caps.paperNumbers = {9, 11, 9};
        p.caps.paperNames = {u"A4"_s, u"A5"_s, u"A4 (borderless)"_s};
        p.defaults.dmPaperSize = 9;
        auto f = One(p);
        QCOMPARE(f->PaperSizeIndex(), 0);
        QCOMPARE(f->NumPaperSizes(), 3);
        QCOMPARE(f->PaperSizeNames(), QStringList({u"A4"_s, u"A5"_s, u"A4 (borderless)"_s}));
    }

    void paperSizeIndexOfAnUnlistedSizeIsAnError()
    {
        auto p = Standard();
        p.defaults.dmPaperSize = DMPAPER_LETTER;
        auto f = One(p);
        QCOMPARE(RaisedMessage<EWBPrinterPaperSizeError>([&] { f->PaperSizeIndex(); }),
                 u"TWbPrinter.GetPaperSizeIndex: Cannot Get Paper Index"_s);
    }

    void writingPaperSizeIndexWritesTheNumberAtThatPosition_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("number");
        QTest::newRow("the first position") << 0 << DMPAPER_A4;
        QTest::newRow("the last position") << 2 << DMPAPER_B5;
    }
    void writingPaperSizeIndexWritesTheNumberAtThatPosition()
    {
        QFETCH(int, index);
        QFETCH(int, number);
        auto f = One(Standard());
        f->SetPaperSizeIndex(index);
        QCOMPARE(f->PaperSizeNumber(), number);
        QCOMPARE(f->PaperSizeIndex(), index);
        QVERIFY(f->Modified());
    }

    void writingPaperSizeIndexOutsideTheListIsAnError_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("-1") << -1;
        QTest::newRow("one past the last") << 3;
    }
    void writingPaperSizeIndexOutsideTheListIsAnError()
    {
        QFETCH(int, index);
        auto f = One(Standard());
        QCOMPARE(RaisedMessage<EWBPrinterPaperSizeError>([&] { f->SetPaperSizeIndex(index); }),
                 u"TWbPrinter:SetPaperSizeIndex: No such PaperSize Index"_s);
        QVERIFY(!f->Modified());
        QCOMPARE(f->PaperSizeNumber(), DMPAPER_A5);
    }

    void paperSizeNumbersOutsideTheListIsARangeError_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("expected");
        QTest::newRow("-1 is outside") << -1 << -1;
        QTest::newRow("0 is the first") << 0 << DMPAPER_A4;
        QTest::newRow("2 is the last") << 2 << DMPAPER_B5;
        QTest::newRow("3 is outside") << 3 << -1;
    }
    void paperSizeNumbersOutsideTheListIsARangeError()
    {
        QFETCH(int, index);
        QFETCH(int, expected);
        auto f = One(Standard());
        if (expected < 0) {
            QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->PaperSizeNumbers(index); }),
                     u"TWbPrinter.GetPaperNumbers: Index is our of range"_s);
        } else {
            QCOMPARE(f->PaperSizeNumbers(index), expected);
        }
    }

    void writingAStandardPaperSizeClearsTheUserExtentFlags_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<bool>("flagsKept");
        QTest::newRow("A4 clears both flags") << DMPAPER_A4 << false;
        QTest::newRow("the user size keeps them") << DMPAPER_USER << true;
    }
    void writingAStandardPaperSizeClearsTheUserExtentFlags()
    {
        QFETCH(int, number);
        QFETCH(bool, flagsKept);
        auto p = Standard();
        p.defaults.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        auto f = One(p);
        f->SetPaperSizeNumber(number);
        QCOMPARE(f->PrintCaps().contains(wbPcPaperlength), flagsKept);
        QCOMPARE(f->PrintCaps().contains(wbPcPaperWidth), flagsKept);
        QVERIFY(f->Modified());
    }

    void writingTheCurrentPaperSizeChangesNothing()
    {
        auto p = Standard();
        p.defaults.dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH;
        auto f = One(p);
        f->SetPaperSizeNumber(DMPAPER_A5);
        QVERIFY(!f->Modified());
        QVERIFY(f->PrintCaps().contains(wbPcPaperlength));
    }

    void hasPaperSizeNumberLooksInTheList()
    {
        auto f = One(Standard());
        QVERIFY(f->HasPaperSizeNumber(DMPAPER_A5));
        QVERIFY(!f->HasPaperSizeNumber(DMPAPER_LETTER));
    }

    void longPaperNamesAreCutAt64Units()
    {
        auto p = Standard();
        p.caps.paperNumbers = {DMPAPER_A5};
        p.caps.paperNames = {QString(70, u'x')};
        auto f = One(p);
        QCOMPARE(f->PaperSizeNames().first().size(), 64);
    }

    void listNamesAreCutWithoutSplittingASurrogatePair_data()
    {
        QTest::addColumn<bool>("bin");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        const QString pair = u"𠀋"_s; // one character, two UTF-16 units
        QTest::newRow("a paper name of 64 units stays whole") << false << QString(64, u'p') << QString(64, u'p');
        QTest::newRow("a paper name of 65 units loses its last unit")
            << false << QString(65, u'p') << QString(64, u'p');
        QTest::newRow("a paper name whose 64th unit starts a pair loses the whole pair")
            << false << QString(63, u'p') + pair << QString(63, u'p');
        QTest::newRow("a bin name of 24 units stays whole") << true << QString(24, u'b') << QString(24, u'b');
        QTest::newRow("a bin name of 25 units loses its last unit") << true << QString(25, u'b') << QString(24, u'b');
        QTest::newRow("a bin name whose 24th unit starts a pair loses the whole pair")
            << true << QString(23, u'b') + pair + u'b' << QString(23, u'b');
        QTest::newRow("a bin name whose 23rd unit starts a pair keeps it")
            << true << QString(22, u'b') + pair + u'b' << QString(22, u'b') + pair;
    }
    void listNamesAreCutWithoutSplittingASurrogatePair()
    {
        QFETCH(bool, bin);
        QFETCH(QString, name);
        QFETCH(QString, shown);
        auto p = Standard();
        if (bin) {
            p.caps.binNumbers = {DMBIN_AUTO};
            p.caps.binNames = {name};
        } else {
            p.caps.paperNumbers = {DMPAPER_A5};
            p.caps.paperNames = {name};
        }
        auto f = One(p);
        QCOMPARE((bin ? f->BinNames() : f->PaperSizeNames()).first(), shown);
    }

    // ---- Bins

    void binIndexIsTheLastMatch()
    {
        auto p = Standard();
        p.caps.binNumbers = {7, 1, 7};
        p.caps.binNames = {u"自動"_s, u"上段"_s, u"自動 (2)"_s};
        p.defaults.dmDefaultSource = 7;
        auto f = One(p);
        QCOMPARE(f->BinIndex(), 2);
        QCOMPARE(f->NumBins(), 3);
    }

    void binIndexOfAnUnlistedBinIsAnError()
    {
        auto p = Standard();
        p.defaults.dmDefaultSource = DMBIN_TRACTOR;
        auto f = One(p);
        QCOMPARE(RaisedMessage<EWbPrinterBinError>([&] { f->BinIndex(); }),
                 u"TWbPrinter.GetBinIndex: Cannot Get Bin Index"_s);
    }

    void writingBinIndexSelectsThatBin_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("message");
        QTest::newRow("-1 is outside") << -1 << u"TWbPrinter:SetBinIndex: No such Bin Index"_s;
        QTest::newRow("0 is the first") << 0 << QString();
        QTest::newRow("1 is the last") << 1 << QString();
        QTest::newRow("2 is outside") << 2 << u"TWbPrinter:SetBinIndex: No such Bin Index"_s;
    }
    void writingBinIndexSelectsThatBin()
    {
        QFETCH(int, index);
        QFETCH(QString, message);
        auto f = One(Standard());
        if (!message.isEmpty()) {
            QCOMPARE(RaisedMessage<EWbPrinterBinError>([&] { f->SetBinIndex(index); }), message);
            QCOMPARE(f->BinNumber(), DMBIN_AUTO);
            return;
        }
        f->SetBinIndex(index);
        QCOMPARE(f->BinIndex(), index);
        QCOMPARE(f->BinNumber(), f->BinNumbers(index));
        QCOMPARE(f->Modified(), index != 0);
    }

    void binNumbersOutsideTheListIsARangeError()
    {
        auto f = One(Standard());
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->BinNumbers(2); }),
                 u"TWbPrinter.GetBunNumbers: Index is our of range"_s);
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->BinNumbers(-1); }),
                 u"TWbPrinter.GetBunNumbers: Index is our of range"_s);
        QVERIFY(f->HasBinNumber(DMBIN_MANUAL));
        QVERIFY(!f->HasBinNumber(DMBIN_TRACTOR));
        QCOMPARE(f->BinNames(), QStringList({u"自動選択"_s, u"手差し"_s}));
    }

    // ---- Other settings

    void orientationReadsOneAsPortrait_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("1 is portrait") << 1 << int(wbOrPortrait);
        QTest::newRow("2 is landscape") << 2 << int(wbOrLandScape);
        QTest::newRow("0 counts as landscape") << 0 << int(wbOrLandScape);
    }
    void orientationReadsOneAsPortrait()
    {
        QFETCH(int, stored);
        QFETCH(int, expected);
        auto p = Standard();
        p.defaults.dmOrientation = stored;
        auto f = One(p);
        QCOMPARE(int(f->Orientation()), expected);
    }

    void writingOrientationMarksOnlyAChange()
    {
        auto f = One(Standard());
        f->SetOrientation(wbOrPortrait);
        QVERIFY(!f->Modified());
        f->SetOrientation(wbOrLandScape);
        QVERIFY(f->Modified());
        QCOMPARE(f->Orientation(), wbOrLandScape);
    }

    void copiesOfZeroIsTooSmall()
    {
        auto f = One(Standard());
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->SetCopies(0); }),
                 u"TWbPrinter.SetCopies: Too Small Copies"_s);
        QVERIFY(!f->Modified());
        f->SetCopies(1);
        QVERIFY(!f->Modified());
        f->SetCopies(65535);
        QCOMPARE(f->Copies(), 65535);
        QCOMPARE(f->MaxCopies(), 999);
    }

    void collateChangesOnlyTheKnownValues_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("after");
        QTest::addColumn<bool>("read");
        QTest::newRow("true turns 0 into 1") << 0 << true << 1 << true;
        QTest::newRow("false turns 1 into 0") << 1 << false << 0 << false;
        QTest::newRow("true keeps 1") << 1 << true << 1 << true;
        QTest::newRow("true keeps another value") << 5 << true << 5 << false;
        QTest::newRow("false keeps another value") << 5 << false << 5 << false;
    }
    void collateChangesOnlyTheKnownValues()
    {
        QFETCH(int, stored);
        QFETCH(bool, write);
        QFETCH(int, after);
        QFETCH(bool, read);
        auto p = Standard();
        p.defaults.dmCollate = stored;
        auto f = One(p);
        f->SetCollate(write);
        QCOMPARE(f->Collate(), read);
        QCOMPARE(f->Modified(), after != stored);
        f->ApplySettings();
        QCOMPARE(f.system->GetPrinter().devMode->dmCollate, after);
    }

    void colorChangesOnlyTheKnownValues_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<bool>("write");
        QTest::addColumn<int>("after");
        QTest::newRow("true turns 1 into 2") << 1 << true << 2;
        QTest::newRow("false turns 2 into 1") << 2 << false << 1;
        QTest::newRow("true keeps 2") << 2 << true << 2;
        QTest::newRow("true keeps 0") << 0 << true << 0;
        QTest::newRow("false keeps 3") << 3 << false << 3;
    }
    void colorChangesOnlyTheKnownValues()
    {
        QFETCH(int, stored);
        QFETCH(bool, write);
        QFETCH(int, after);
        auto p = Standard();
        p.defaults.dmColor = stored;
        auto f = One(p);
        f->SetColor(write);
        QCOMPARE(f->Color(), after == 2);
        QCOMPARE(f->Modified(), after != stored);
    }

    void duplexReadsAndWritesTheWindowsValues_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("read");
        QTest::newRow("1 is simplex") << 1 << int(wbDupSimplex);
        QTest::newRow("3 is horizontal") << 3 << int(wbDupHorizontal);
        QTest::newRow("2 is vertical") << 2 << int(wbDupVertical);
        QTest::newRow("0 counts as vertical") << 0 << int(wbDupVertical);
    }
    void duplexReadsAndWritesTheWindowsValues()
    {
        QFETCH(int, stored);
        QFETCH(int, read);
        auto p = Standard();
        p.defaults.dmDuplex = stored;
        auto f = One(p);
        QCOMPARE(int(f->Duplex()), read);
        f->SetDuplex(wbDupHorizontal);
        f->ApplySettings();
        QCOMPARE(f.system->GetPrinter().devMode->dmDuplex, 3);
        f->SetDuplex(wbDupVertical);
        f->ApplySettings();
        QCOMPARE(f.system->GetPrinter().devMode->dmDuplex, 2);
    }

    void scaleWithoutTheScaleFieldReads100()
    {
        auto p = Standard();
        p.defaults.dmFields &= ~DM_SCALE;
        p.defaults.dmScale = 50;
        auto f = One(p);
        QCOMPARE(f->Scale(), 100);
    }

    void scaleWithTheScaleFieldReadsTheStoredValue_data()
    {
        QTest::addColumn<int>("stored");
        QTest::newRow("0, which callers must not divide by") << 0;
        QTest::newRow("50") << 50;
        QTest::newRow("400") << 400;
    }
    void scaleWithTheScaleFieldReadsTheStoredValue()
    {
        QFETCH(int, stored);
        auto p = Standard();
        p.defaults.dmScale = stored;
        auto f = One(p);
        QCOMPARE(int(f->Scale()), stored);
    }

    void qualityReadsTheYResolutionOnlyWhenFlaggedAndPositive_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("yResolution");
        QTest::addColumn<bool>("yFlag");
        QTest::addColumn<WbSize>("expected");
        QTest::newRow("600 x 300 flagged") << 600 << 300 << true << WbSize{600, 300};
        QTest::newRow("600 without the flag") << 600 << 300 << false << WbSize{600, 0};
        QTest::newRow("a negative quality code") << -4 << 300 << true << WbSize{-4, 0};
        QTest::newRow("0") << 0 << 300 << true << WbSize{0, 0};
    }
    void qualityReadsTheYResolutionOnlyWhenFlaggedAndPositive()
    {
        QFETCH(int, quality);
        QFETCH(int, yResolution);
        QFETCH(bool, yFlag);
        QFETCH(WbSize, expected);
        auto p = Standard();
        p.defaults.dmPrintQuality = quality;
        p.defaults.dmYResolution = yResolution;
        if (!yFlag)
            p.defaults.dmFields &= ~DM_YRESOLUTION;
        auto f = One(p);
        QCOMPARE(f->Quality(), expected);
    }

    void writingQualityAlwaysMarksAChange()
    {
        auto f = One(Standard());
        f->SetQuality(WbSize{600, 600});
        QVERIFY(f->Modified());
        f->SetQuality(WbSize{-3, 99});
        QCOMPARE(f->Quality(), (WbSize{-3, 0}));
        QVERIFY(!f->PrintCaps().contains(wbPcYResolution));
        f->SetQuality(WbSize{300, 150});
        QCOMPARE(f->Quality(), (WbSize{300, 150}));
        QVERIFY(f->PrintCaps().contains(wbPcYResolution));
    }

    void qualitiesListTheResolutions()
    {
        auto f = One(Standard());
        QCOMPARE(f->NumQualities(), 2);
        QCOMPARE(f->Qualities(0), (WbSize{300, 300}));
        QCOMPARE(f->Qualities(1), (WbSize{600, 600}));
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->Qualities(2); }),
                 u"TWbPrinter.GetQualities: Index is our of range"_s);
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->Qualities(-1); }),
                 u"TWbPrinter.GetQualities: Index is our of range"_s);
    }

    void userPaperExtentNeedsTheUserSizeAndBothFlags_data()
    {
        QTest::addColumn<uint32_t>("fields");
        QTest::addColumn<int>("paperSize");
        QTest::addColumn<bool>("readable");
        const uint32_t all = DM_PAPERSIZE | DM_PAPERLENGTH | DM_PAPERWIDTH;
        QTest::newRow("user size with both flags") << all << DMPAPER_USER << true;
        QTest::newRow("a standard size") << all << DMPAPER_A5 << false;
        QTest::newRow("no length flag") << (all & ~DM_PAPERLENGTH) << DMPAPER_USER << false;
        QTest::newRow("no width flag") << (all & ~DM_PAPERWIDTH) << DMPAPER_USER << false;
        QTest::newRow("no paper size flag") << (all & ~DM_PAPERSIZE) << DMPAPER_USER << false;
    }
    void userPaperExtentNeedsTheUserSizeAndBothFlags()
    {
        QFETCH(uint32_t, fields);
        QFETCH(int, paperSize);
        QFETCH(bool, readable);
        auto p = Standard();
        p.defaults.dmFields = fields;
        p.defaults.dmPaperSize = paperSize;
        p.defaults.dmPaperWidth = 1143;
        p.defaults.dmPaperLength = 2000;
        auto f = One(p);
        if (readable) {
            QCOMPARE(f->UserPaperExtent(), (WbSize{1143, 2000}));
        } else {
            QCOMPARE(RaisedMessage<EWbPrinterNoUserPaperExtent>([&] { f->UserPaperExtent(); }),
                     u"TWbPrinter.GetUserpaperExtent: Cannot Get User paper Extent"_s);
        }
    }

    void writingUserPaperExtentSetsTheUserSize()
    {
        auto f = One(Standard());
        f->SetUserPaperExtent(WbSize{1143, 2032});
        QVERIFY(f->Modified());
        QCOMPARE(f->PaperSizeNumber(), DMPAPER_USER);
        QCOMPARE(f->UserPaperExtent(), (WbSize{1143, 2032}));
    }

    void writingAnotherPortMarksAChange()
    {
        auto f = One(Standard());
        QCOMPARE(f->Port(), u"LPT1:"_s);
        f->SetPort(u"LPT1:"_s);
        QVERIFY(!f->Modified());
        f->SetPort(u"FILE:"_s);
        QVERIFY(f->Modified());
        f->ApplySettings();
        QCOMPARE(f.system->GetPrinter().port, u"FILE:"_s);
        QCOMPARE(f->Port(), u"FILE:"_s);
    }

    // ---- Apply and discard

    void applyHandsTheCompletedSettingsToTheSystemPrinter()
    {
        auto f = One(Standard());
        // The driver holds copies at its maximum.
        f.system->setDocumentPropertiesHook([](const QString &, DevMode &dm) {
            dm.dmCopies = qMin(dm.dmCopies, 999);
            return true;
        });
        f->SetCopies(5000);
        f->ApplySettings();
        QVERIFY(!f->Modified());
        QCOMPARE(f->Copies(), 999);
        QCOMPARE(f.system->GetPrinter().devMode->dmCopies, 999);
    }

    void applyWithoutChangesDoesNothing()
    {
        auto f = One(Standard());
        int calls = 0;
        f.system->setDocumentPropertiesHook([&](const QString &, DevMode &) {
            ++calls;
            return true;
        });
        f->ApplySettings();
        f->Copies();
        f->ApplySettings();
        QCOMPARE(calls, 0);
    }

    void aPrinterThatRejectsTheSettingsIsAnAssertion()
    {
        auto f = One(Standard());
        f.system->setDocumentPropertiesHook([](const QString &, DevMode &) { return false; });
        f->SetCopies(2);
        const QString message = RaisedMessage<EAssertionFailed>([&] { f->ApplySettings(); });
        QVERIFY2(message.startsWith(u"アサートの失敗"_s), qPrintable(message));
        QCOMPARE(f.system->GetPrinter().devMode->dmCopies, 1);
    }

    void discardDropsPendingChanges()
    {
        auto f = One(Standard());
        f->SetCopies(7);
        f->DiscardModification();
        QVERIFY(!f->Modified());
        QCOMPARE(f->Copies(), 1);
    }

    void forceUpdateReadsTheListsAgain()
    {
        auto f = One(Standard());
        QCOMPARE(f->NumPaperSizes(), 3);
        f.system->printer(u"P"_s)->caps.paperNumbers = {DMPAPER_A4};
        f.system->printer(u"P"_s)->caps.paperNames = {u"A4"_s};
        QCOMPARE(f->NumPaperSizes(), 3); // the cache holds while the selection is the same
        f->SetCopies(2);
        f->ForceUpdate();
        QVERIFY(!f->Modified());
        QCOMPARE(f->NumPaperSizes(), 1);
    }

    // ---- Geometry

    void geometryFollowsTheAppliedSettings()
    {
        auto p = Standard();
        p.paperMm10 = WbSize{1480, 2100};
        p.marginMm10 = WbSize{0, 0};
        auto f = One(p);
        QCOMPARE(f->DPI(), (WbSize{600, 600}));
        QCOMPARE(f->PaperExtent(), (WbSize{1480 * 600 / 254, 2100 * 600 / 254}));
        f->SetQuality(WbSize{300, 300});
        QCOMPARE(f->DPI(), (WbSize{600, 600})); // not applied yet
        f->ApplySettings();
        QCOMPARE(f->DPI(), (WbSize{300, 300}));
        QCOMPARE(f->PageExtent(), (WbSize{1480 * 300 / 254, 2100 * 300 / 254}));
        QCOMPARE(f->MMPageExtent(), (WbSize{1480, 2100}));
        QCOMPARE(f->Offset(), (WbSize{0, 0}));
        QCOMPARE(f->ColorBitCount(), 24);
    }

    void mmPaperExtentTruncatesEachDivision_data()
    {
        QTest::addColumn<int>("scale");
        QTest::addColumn<WbSize>("expected");
        // 3496 px at 600 dpi: 3496 * 254 * 100 / 600 / 100 = 1479
        QTest::newRow("scale 100") << 100 << WbSize{3496 * 254 * 100 / 600 / 100, 4960 * 254 * 100 / 600 / 100};
        QTest::newRow("scale 50") << 50 << WbSize{3496 * 254 * 50 / 600 / 100, 4960 * 254 * 50 / 600 / 100};
        QTest::newRow("scale 0") << 0 << WbSize{0, 0};
        QTest::newRow("scale 65535 does not overflow")
            << 65535 << WbSize{int(3496LL * 254 * 65535 / 600 / 100), int(4960LL * 254 * 65535 / 600 / 100)};
    }
    void mmPaperExtentTruncatesEachDivision()
    {
        QFETCH(int, scale);
        QFETCH(WbSize, expected);
        auto p = Standard();
        p.defaults.dmScale = scale;
        auto f = One(p);
        QCOMPARE(f->PaperExtent(), (WbSize{3496, 4960}));
        QCOMPARE(f->MMPaperExtent(), expected);
    }

    void aZeroResolutionIsNeverDividedBy()
    {
        auto p = Standard();
        p.defaults.dmFields &= ~DM_PRINTQUALITY;
        p.dpiX = 0;
        p.dpiY = 0;
        auto f = One(p);
        QCOMPARE(f->DPI(), (WbSize{0, 0}));
        QCOMPARE(f->MMPaperExtent(), (WbSize{0, 0}));
        f->BeginDoc(u"t"_s);
        f->Canvas()->drawLine(0, 0, 1, 1);
        f->EndDoc();
    }

    void landscapeSwapsTheSheet()
    {
        auto f = One(Standard());
        const WbSize portrait = f->PaperExtent();
        f->SetOrientation(wbOrLandScape);
        f->ApplySettings();
        QCOMPARE(f->PaperExtent(), (WbSize{portrait.cy, portrait.cx}));
    }
};

QTEST_MAIN(TestWbPrinterSettings)
#include "tst_wbprinter_settings.moc"
