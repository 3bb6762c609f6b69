// A paper feed's registration: its section of vuzo_a500.ini, and its
// selection on the printer object over the in-memory system printer.

#include "PrinterFixture.h"
#include "platform/Errors.h"
#include "session/FeedRegistration.h"
#include "settings/ProfileFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(session::FeedSelection::Outcome)

class TestFeedRegistration : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString path() const { return m_dir.filePath(u"vuzo_a500.ini"_s); }

    // Three queues; the second has only A4 and A5 and no trays.
    static PrinterFixture ThreeQueues()
    {
        MemorySystemPrinter::Printer plain = PrinterFixture::Make(u"Office-Laser"_s);
        plain.caps.paperNumbers = {DMPAPER_A4, DMPAPER_A5};
        plain.caps.paperNames = {u"A4"_s, u"A5"_s};
        plain.caps.paperKeywords = {u"iso_a4_210x297mm"_s, u"iso_a5_148x210mm"_s};
        plain.caps.binNumbers.clear();
        plain.caps.binNames.clear();
        plain.caps.binKeywords.clear();
        return PrinterFixture({PrinterFixture::Make(u"Dot-Impact"_s), plain, PrinterFixture::Make(u"Tray-Jet"_s)},
                              u"Dot-Impact"_s);
    }

private Q_SLOTS:
    void theSectionIsReadWithItsDefaultsAndLimits()
    {
        QFile f(path());
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write("[手差し]\r\nPrnName=Tray-Jet\r\ndenPrn_Top=40000\r\ndenPrn_Left=-12\r\nPrnMedia= iso_a5_148x210mm \r\n"
                "[連続(４．５インチ)]\r\nPrnNoIndex=2\r\n");
        f.close();
        const ProfileFile ini(path());
        const auto hand = session::FeedRegistration::Read(ini, session::FeedSection(0));
        QCOMPARE(hand.printerName, u"Tray-Jet"_s);
        QCOMPARE(hand.printerIndex, u"0"_s);
        QCOMPARE(hand.top, u"0"_s); // beyond ±32767
        QCOMPARE(hand.left, u"-12"_s);
        QCOMPARE(hand.media, u"iso_a5_148x210mm"_s);
        QCOMPARE(hand.sheetMm(), QSizeF(148, 210));
        QVERIFY(!hand.registeredResolution());
        const auto continuous = session::FeedRegistration::Read(ini, session::FeedSection(1));
        QCOMPARE(continuous.printerName, QString());
        QCOMPARE(continuous.printerIndex, u"2"_s);
        QCOMPARE(continuous.sheetMm(), QSizeF(210, 297));
        QCOMPARE(session::FeedSection(7), session::FeedSection(0));
    }

    void aPositionWriteLeavesThePaperAsRegistered()
    {
        QFile::remove(path());
        session::FeedRegistration r;
        r.printerName = u"Tray-Jet"_s;
        r.printerIndex = u"2"_s;
        r.top = u"15"_s;
        r.left = u"-3"_s;
        r.media = u"jis_b5_182x257mm"_s;
        r.source = u"manual"_s;
        r.resolution = u"300x300dpi"_s;
        {
            ProfileFile ini(path());
            r.write(ini, u"手差し"_s);
        }
        r.top = u"22"_s;
        r.media = u"iso_a4_210x297mm"_s;
        {
            ProfileFile ini(path());
            r.write(ini, u"手差し"_s, session::FeedRegistration::Part::Position);
        }
        const auto back = session::FeedRegistration::Read(ProfileFile(path()), u"手差し"_s);
        QCOMPARE(back.top, u"22"_s);
        QCOMPARE(back.left, u"-3"_s);
        QCOMPARE(back.media, u"jis_b5_182x257mm"_s);
        QCOMPARE(back.source, u"manual"_s);
        QCOMPARE(back.registeredResolution(), std::optional<WbSize>(WbSize{300, 300}));
    }

    void theRegisteredPrinterIsSelected_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("index");
        QTest::addColumn<QString>("media");
        QTest::addColumn<QString>("source");
        QTest::addColumn<session::FeedSelection::Outcome>("outcome");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QString>("problem");
        using O = session::FeedSelection::Outcome;
        QTest::newRow("the name wins over the index")
            << u"Tray-Jet"_s << u"0"_s << QString() << QString() << O::ByName << 2 << QString();
        QTest::newRow("a name in other case is the same queue")
            << u"office-laser"_s << u"0"_s << QString() << QString() << O::ByName << 1 << QString();
        QTest::newRow("a queue that is gone selects nothing to print on")
            << u"Old-Queue"_s << u"1"_s << QString() << QString() << O::PrinterMissing << -1 << QString();
        QTest::newRow("without a name the index selects")
            << QString() << u"1"_s << QString() << QString() << O::ByIndex << 1 << QString();
        QTest::newRow("an index past the list falls back to the first")
            << QString() << u"3"_s << QString() << QString() << O::FellBack << 0 << QString();
        QTest::newRow("a paper the printer offers is applied")
            << u"Office-Laser"_s << u"0"_s << u"iso_a5_148x210mm"_s << QString() << O::ByName << 1 << QString();
        QTest::newRow("a paper and a tray it lacks are named")
            << u"Office-Laser"_s << u"0"_s << u"jis_b5_182x257mm"_s << u"manual"_s << O::ByName << 1
            << u"プリンタ「Office-Laser」には、登録された用紙「B5 (JIS)」、給紙方法「手差し」がありません。"_s;
    }
    void theRegisteredPrinterIsSelected()
    {
        QFETCH(QString, name);
        QFETCH(QString, index);
        QFETCH(QString, media);
        QFETCH(QString, source);
        QFETCH(session::FeedSelection::Outcome, outcome);
        QFETCH(int, selected);
        QFETCH(QString, problem);
        PrinterFixture printer = ThreeQueues();
        session::FeedRegistration r;
        r.printerName = name;
        r.printerIndex = index;
        r.media = media;
        r.source = source;
        const session::FeedSelection s = session::SelectFeed(*printer, r);
        QCOMPARE(s.outcome, outcome);
        if (selected >= 0)
            QCOMPARE(printer->Index(), selected);
        QCOMPARE(s.feedProblem, problem);
        if (!media.isEmpty() && problem.isEmpty())
            QCOMPARE(printer->PaperSizeKeyword(), media);
        // Only a missing printer or paper refuses the print by itself.
        QCOMPARE(session::SelectionRefusal(s, r).isEmpty(),
                 outcome != session::FeedSelection::Outcome::PrinterMissing && problem.isEmpty());
    }

    void anIndexThatIsNoNumberIsTold()
    {
        PrinterFixture printer = ThreeQueues();
        session::FeedRegistration r;
        r.printerIndex = u"二"_s;
        QCOMPARE(RaisedMessage<EConvertError>([&] { session::SelectFeed(*printer, r); }),
                 u"''二'' は整数ではありません"_s);
    }

    void aStoppedQueueRefusesAfterTheSelection()
    {
        PrinterFixture printer = ThreeQueues();
        session::FeedRegistration r;
        r.printerName = u"Tray-Jet"_s;
        const session::FeedSelection s = session::SelectFeed(*printer, r);
        QCOMPARE(session::PrintRefusal(*printer, s, r), QString());
        printer.system->setQueueProblem(u"Tray-Jet"_s, u"プリンタ「Tray-Jet」は停止しています。"_s);
        QCOMPARE(session::PrintRefusal(*printer, s, r), u"プリンタ「Tray-Jet」は停止しています。"_s);
    }

    // The resolution a job hands to the layout: dots per inch at the scale.
    void theEffectiveResolutionFollowsTheScale_data()
    {
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("scale");
        QTest::addColumn<int>("effective");
        QTest::newRow("at 100 % the printer's own") << 300 << 100 << 300;
        QTest::newRow("at 50 % twice as many dots") << 300 << 50 << 600;
        QTest::newRow("a scale of 0 prints at 100 %") << 360 << 0 << 360;
        QTest::newRow("no resolution told is 600 dpi") << 0 << 100 << session::kFallbackDpi;
    }
    void theEffectiveResolutionFollowsTheScale()
    {
        QFETCH(int, dpi);
        QFETCH(int, scale);
        QFETCH(int, effective);
        MemorySystemPrinter::Printer p = PrinterFixture::Make(u"Dot-Impact"_s);
        p.dpiX = p.dpiY = dpi;
        p.defaults.dmPrintQuality = static_cast<int16_t>(dpi);
        p.defaults.dmYResolution = static_cast<int16_t>(dpi);
        p.defaults.dmScale = static_cast<int16_t>(scale);
        PrinterFixture printer({p}, p.name);
        QCOMPARE(session::EffectiveDpi(*printer), (WbSize{effective, effective}));
    }

    void noPrinterAtAllIsLaidOutAt600Dpi()
    {
        PrinterFixture printer({});
        QCOMPARE(session::EffectiveDpi(*printer), (WbSize{session::kFallbackDpi, session::kFallbackDpi}));
    }

    void theDialogsChoiceBecomesTheRegistration()
    {
        PrinterFixture printer = ThreeQueues();
        printer->SetIndex(2);
        printer->SetPaperSizeKeyword(u"jis_b5_182x257mm"_s);
        printer->SetBinKeyword(u"manual"_s);
        session::FeedRegistration r;
        r.takeSelectedPrinter(*printer);
        QCOMPARE(r.printerName, u"Tray-Jet"_s);
        QCOMPARE(r.media, u"jis_b5_182x257mm"_s);
        QCOMPARE(r.source, u"manual"_s);
        QCOMPARE(r.resolution, u"600x600dpi"_s);
        // A printer without trays leaves the tray to the queue.
        printer->SetIndex(1);
        r.takeSelectedPrinter(*printer);
        QCOMPARE(r.printerName, u"Office-Laser"_s);
        QCOMPARE(r.source, QString());
    }
};

QTEST_GUILESS_MAIN(TestFeedRegistration)
#include "tst_feedregistration.moc"
