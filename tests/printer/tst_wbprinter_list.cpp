// The printer list, the program-level index, ports, the change check and the
// job pass-through of the printer layer, over the in-memory system printer.

#include "PrinterFixture.h"

#include <QPaintDevice>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWbPrinterList : public QObject
{
    Q_OBJECT

private:
    // Printers A, H (hidden) and B; the system's default is A.
    static PrinterFixture AHB(const QString &defaultPrinter = u"A"_s)
    {
        return PrinterFixture({PrinterFixture::Make(u"A"_s), PrinterFixture::Make(u"H"_s, PRINTER_ATTRIBUTE_HIDDEN),
                               PrinterFixture::Make(u"B"_s)},
                              defaultPrinter);
    }

private Q_SLOTS:
    void printerNamesLeaveOutHiddenPrinters()
    {
        auto f = AHB();
        QCOMPARE(f->PrinterNames(), QStringList({u"A"_s, u"B"_s}));
    }

    void printerNamesIsTheSameListRefilled()
    {
        auto f = AHB();
        const QStringList *first = &f->PrinterNames();
        QCOMPARE(&f->PrinterNames(), first);
        QCOMPARE(first->size(), 2);
    }

    void writingIndexCountsVisiblePrintersOnly_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("systemIndex");
        QTest::newRow("index 0 is the first printer") << 0 << u"A"_s << 0;
        QTest::newRow("index 1 skips the hidden printer") << 1 << u"B"_s << 2;
    }
    void writingIndexCountsVisiblePrintersOnly()
    {
        QFETCH(int, index);
        QFETCH(QString, device);
        QFETCH(int, systemIndex);
        auto f = AHB(u"B"_s);
        if (index == 1)
            f->SetIndex(0);
        f->SetIndex(index);
        QCOMPARE(f.system->GetPrinter().device, device);
        QCOMPARE(f.system->PrinterIndex(), systemIndex);
        QCOMPARE(f->Index(), index);
    }

    void writingIndexBeyondVisiblePrintersIsARangeError_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("one past the last visible printer") << 2;
        QTest::newRow("-2, the first value below -1") << -2;
        QTest::newRow("far beyond") << 1000;
    }
    void writingIndexBeyondVisiblePrintersIsARangeError()
    {
        QFETCH(int, index);
        auto f = AHB();
        f->SetIndex(1);
        QCOMPARE(RaisedMessage<EWBPrinterRangeError>([&] { f->SetIndex(index); }),
                 u"TWbPrinter.SetIndex: Index is out of Range"_s);
        QCOMPARE(f->Index(), 1);
    }

    void writingMinusOneSelectsTheDefaultPrinter()
    {
        auto f = AHB(u"B"_s);
        f->SetIndex(0);
        QCOMPARE(f->Index(), 0);
        f->SetIndex(-1);
        QCOMPARE(f.system->GetPrinter().device, u"B"_s);
        QCOMPARE(f->Index(), 1);
    }

    void readingIndexFirstSelectsTheDefaultPrinter()
    {
        auto f = AHB(u"B"_s);
        QCOMPARE(f->Index(), 1);
    }

    void aSystemWithoutDefaultStartsOnTheFirstPrinter()
    {
        auto f = AHB(QString());
        QCOMPARE(f->Index(), 0);
    }

    void writingTheSameIndexKeepsPendingSettings()
    {
        auto f = AHB();
        f->SetIndex(1);
        f->SetCopies(3);
        QVERIFY(f->Modified());
        f->SetIndex(1);
        QVERIFY(f->Modified());
        QCOMPARE(f->Copies(), 3);
    }

    void writingAnotherIndexDropsPendingSettingsAndStartsFromDefaults()
    {
        auto f = AHB();
        f->SetCopies(3);
        f->ApplySettings();
        QCOMPARE(f->Copies(), 3);
        f->SetIndex(1);
        f->SetIndex(0);
        QVERIFY(!f->Modified());
        QCOMPARE(f->Copies(), 1);
    }

    void noVisiblePrinterFailsEveryListMember_data()
    {
        QTest::addColumn<QList<MemorySystemPrinter::Printer>>("printers");
        QTest::newRow("no printers at all") << QList<MemorySystemPrinter::Printer>{};
        QTest::newRow("only a hidden printer")
            << QList<MemorySystemPrinter::Printer>{PrinterFixture::Make(u"H"_s, PRINTER_ATTRIBUTE_HIDDEN)};
    }
    void noVisiblePrinterFailsEveryListMember()
    {
        QFETCH(QList<MemorySystemPrinter::Printer>, printers);
        PrinterFixture f(printers, QString(), {u"LPT1:"_s});
        const QString noPrinter = u"TWbPrinter.CheckNoPrinter: No Printer"_s;
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->Index(); }), noPrinter);
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->SetIndex(0); }), noPrinter);
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->PrinterNames(); }), noPrinter);
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->PaperSizeNames(); }), noPrinter);
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->DPI(); }), noPrinter);
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { f->Scale(); }), noPrinter);
        QCOMPARE(f->PortNames(), QStringList({u"LPT1:"_s}));
        QVERIFY(!f->Modified());
        f->ApplySettings();
        f->DiscardModification();
    }

    void aHiddenSelectionCannotBeRead()
    {
        auto f = AHB(u"H"_s);
        QCOMPARE(RaisedMessage<EWbPrinterIllegalIndex>([&] { f->Index(); }),
                 u"TWbPrinter.GetIndex: Printers.PrinterIndex is Illegal"_s);
    }

    void aHiddenSelectionDoesNotBlockChoosingAnotherPrinter()
    {
        auto f = AHB(u"H"_s);
        f->SetIndex(0);
        QCOMPARE(f->Index(), 0);
    }

    void aSelectionMissingFromTheSnapshotIsAnAssertion()
    {
        auto f = AHB(u"A"_s);
        // A printer joins after the snapshot and becomes the default; the
        // system printer, created fresh, selects it.
        f.system->addPrinter(PrinterFixture::Make(u"C"_s));
        f.system->setDefaultPrinter(u"C"_s);
        const QString message = RaisedMessage<EAssertionFailed>([&] { f->Index(); });
        QVERIFY2(message.startsWith(u"アサートの失敗"_s), qPrintable(message));
        // Choosing a listed printer still works.
        f->SetIndex(1);
        QCOMPARE(f->Index(), 1);
    }

    void portNamesHoldEachNameOnceWhateverItsCase()
    {
        PrinterFixture f({PrinterFixture::Make(u"A"_s)}, u"A"_s, {u"COM1"_s, u"com1"_s, u"LPT1:"_s, u"Com1"_s});
        QCOMPARE(f->PortNames(), QStringList({u"COM1"_s, u"LPT1:"_s}));
    }

    void aCheckThatFindsNoChangeCallsNothing()
    {
        auto f = AHB();
        int calls = 0;
        f->SetOnSystemChanged([&](TWbPrinter *) { ++calls; });
        f->SetIndex(1);
        f->SetCopies(2);
        f->CheckSystemChange();
        QCOMPARE(calls, 0);
        QCOMPARE(f->Index(), 1);
        QVERIFY(f->Modified());
    }

    void anAddedPrinterResetsTheSelectionAndNotifies()
    {
        auto f = AHB(u"A"_s);
        TWbPrinter *sender = nullptr;
        int calls = 0;
        f->SetOnSystemChanged([&](TWbPrinter *s) {
            ++calls;
            sender = s;
        });
        f->SetIndex(1);
        f->SetCopies(2);
        f.system->addPrinter(PrinterFixture::Make(u"C"_s));
        f->CheckSystemChange();
        QCOMPARE(calls, 1);
        QCOMPARE(sender, f.printer.get());
        QVERIFY(!f->Modified());
        QCOMPARE(f->PrinterNames(), QStringList({u"A"_s, u"B"_s, u"C"_s}));
        QCOMPARE(f->Index(), 0);
    }

    void aChangedAttributeWordIsAChange()
    {
        auto f = AHB();
        int calls = 0;
        f->SetOnSystemChanged([&](TWbPrinter *) { ++calls; });
        f.system->printer(u"H"_s)->attributes = 0;
        f->CheckSystemChange();
        QCOMPARE(calls, 1);
        QCOMPARE(f->PrinterNames(), QStringList({u"A"_s, u"H"_s, u"B"_s}));
    }

    void aChangedPortListNotifiesOnce_data()
    {
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("calls");
        QTest::newRow("same ports") << QStringList{u"LPT1:"_s, u"COM1"_s} << 0;
        QTest::newRow("a port added") << QStringList{u"LPT1:"_s, u"COM1"_s, u"FILE:"_s} << 1;
        QTest::newRow("a port removed") << QStringList{u"LPT1:"_s} << 1;
        QTest::newRow("a port renamed") << QStringList{u"LPT1:"_s, u"COM2"_s} << 1;
        QTest::newRow("a port's case changed") << QStringList{u"LPT1:"_s, u"com1"_s} << 1;
    }
    void aChangedPortListNotifiesOnce()
    {
        QFETCH(QStringList, after);
        QFETCH(int, calls);
        PrinterFixture f({PrinterFixture::Make(u"A"_s)}, u"A"_s, {u"LPT1:"_s, u"COM1"_s});
        int seen = 0;
        f->SetOnSystemChanged([&](TWbPrinter *) { ++seen; });
        f.system->setPorts(after);
        f->CheckSystemChange();
        QCOMPARE(seen, calls);
        f->CheckSystemChange();
        QCOMPARE(seen, calls);
    }

    void theCheckWaitsWhileAJobIsOpen()
    {
        auto f = AHB();
        int calls = 0;
        f->SetOnSystemChanged([&](TWbPrinter *) { ++calls; });
        f->BeginDoc(u"job"_s);
        f.system->addPrinter(PrinterFixture::Make(u"C"_s));
        f->CheckSystemChange();
        QCOMPARE(calls, 0);
        QVERIFY(f->Printing());
        f->EndDoc();
        f->CheckSystemChange();
        QCOMPARE(calls, 1);
    }

    void theWatchChecksWhenTheWindowIsActivated()
    {
        auto f = AHB();
        int calls = 0;
        f->SetOnSystemChanged([&](TWbPrinter *) { ++calls; });
        QObject window;
        f->StartChangeWatch(&window, 3600 * 1000);
        f.system->addPrinter(PrinterFixture::Make(u"C"_s));
        QEvent other(QEvent::WindowDeactivate);
        QCoreApplication::sendEvent(&window, &other);
        QCoreApplication::processEvents();
        QCOMPARE(calls, 0);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(&window, &activate);
        // The answer comes back through the event loop.
        QTRY_COMPARE(calls, 1);
        f->StopChangeWatch();
        f.system->removePrinter(u"C"_s);
        QCoreApplication::sendEvent(&window, &activate);
        QCoreApplication::processEvents();
        QCOMPARE(calls, 1);
    }

    void anUnreachablePrintSystemFailsWithItsOwnMessage()
    {
        auto f = AHB();
        f.system->setAvailable(false);
        f->CheckSystemChange();
        const QString unavailable = u"印刷システム(CUPS)に接続できません"_s;
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->Index(); }), unavailable);
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->PrinterNames(); }), unavailable);
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->PortNames(); }), unavailable);
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->DPI(); }), unavailable);
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->PaperSizeNames(); }), unavailable);
        f.system->setAvailable(true);
        QCOMPARE(f->PrinterNames(), QStringList({u"A"_s, u"B"_s}));
        QCOMPARE(f->Index(), 0);
    }

    void aPrinterObjectCreatedWithoutPrintSystemStarts()
    {
        auto memory = std::make_unique<MemorySystemPrinter>();
        memory->addPrinter(PrinterFixture::Make(u"A"_s));
        memory->setAvailable(false);
        MemorySystemPrinter *system = memory.get();
        TWbPrinter printer(std::move(memory));
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { printer.Index(); }), u"印刷システム(CUPS)に接続できません"_s);
        system->setAvailable(true);
        QCOMPARE(printer.Index(), 0);
    }

    void aRemovedPrinterFailsAsALayerError()
    {
        auto f = AHB();
        f.system->removePrinter(u"B"_s);
        const QString message = RaisedMessage<EWbPrinter>([&] { f->SetIndex(1); });
        QVERIFY2(!message.startsWith(u"<"_s), qPrintable(message));
    }

    // ---- Jobs

    void aJobRecordsItsTitleSettingsAndPages()
    {
        auto f = AHB();
        f->SetIndex(1);
        f->BeginDoc(u"vuzo_Vez_1_0_TAG-12"_s);
        QVERIFY(f->Printing());
        f->Canvas()->drawLine(0, 0, 10, 0);
        f->Newpage();
        f->Canvas()->drawLine(0, 0, 20, 0);
        f->EndDoc();
        QVERIFY(!f->Printing());
        QCOMPARE(f.system->jobs().size(), 1);
        const auto &job = f.system->jobs().first();
        QCOMPARE(job.title, u"vuzo_Vez_1_0_TAG-12"_s);
        QCOMPARE(job.device, u"B"_s);
        QVERIFY(job.ended);
        QCOMPARE(job.pages.size(), 2);
        QCOMPARE(job.pages.at(0).size(), 1);
        QCOMPARE(job.pages.at(1).size(), 1);
    }

    void theJobUsesOnlyAppliedSettings()
    {
        auto f = AHB();
        f->SetCopies(4);
        f->BeginDoc(u"t"_s);
        f->EndDoc();
        QCOMPARE(f.system->jobs().last().devMode.dmCopies, 1);
        f->ApplySettings();
        f->BeginDoc(u"t"_s);
        f->EndDoc();
        QCOMPARE(f.system->jobs().last().devMode.dmCopies, 4);
    }

    void aSecondJobIsRefusedWhileOneIsOpen()
    {
        auto f = AHB();
        f->BeginDoc(u"first"_s);
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->BeginDoc(u"second"_s); }), u"印刷実行中です"_s);
        QVERIFY(f->Printing());
        f->EndDoc();
        QCOMPARE(f.system->jobs().size(), 1);
    }

    void pageAndEndMembersNeedAnOpenJob_data()
    {
        QTest::addColumn<int>("member");
        QTest::newRow("Newpage") << 0;
        QTest::newRow("EndDoc") << 1;
        QTest::newRow("Abort") << 2;
    }
    void pageAndEndMembersNeedAnOpenJob()
    {
        QFETCH(int, member);
        auto f = AHB();
        const QString message = RaisedMessage<EWbPrinter>([&] {
            if (member == 0)
                f->Newpage();
            else if (member == 1)
                f->EndDoc();
            else
                f->Abort();
        });
        QCOMPARE(message, u"プリンタは現在印刷を行っていません"_s);
    }

    void aRefusedJobLeavesTheObjectNotPrinting()
    {
        auto f = AHB();
        f.system->setRefuseJobs(true);
        f->BeginDoc(u"refused"_s);
        QVERIFY(!f->Printing());
        QCOMPARE(RaisedMessage<EWbPrinter>([&] { f->EndDoc(); }), u"プリンタは現在印刷を行っていません"_s);
        QCOMPARE(f.system->jobs().size(), 0);
    }

    void anAbortedJobIsRecordedAsAborted()
    {
        auto f = AHB();
        f->BeginDoc(u"t"_s);
        f->Abort();
        QVERIFY(!f->Printing());
        QVERIFY(f.system->jobs().first().aborted);
        QVERIFY(!f.system->jobs().first().ended);
    }

    void theCanvasMeasuresAtThePrinterResolution_data()
    {
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::newRow("600 x 600") << 600 << 600;
        QTest::newRow("600 x 300") << 600 << 300;
        QTest::newRow("1 x 1, the smallest") << 1 << 1;
    }
    void theCanvasMeasuresAtThePrinterResolution()
    {
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        auto p = PrinterFixture::Make(u"A"_s);
        p.defaults.dmPrintQuality = dpiX;
        p.defaults.dmYResolution = dpiY;
        PrinterFixture f({p}, u"A"_s);
        QCOMPARE(f->DPI(), (WbSize{dpiX, dpiY}));
        f->BeginDoc(u"t"_s);
        QPainter *canvas = f->Canvas();
        QCOMPARE(canvas->device()->logicalDpiX(), dpiX);
        QCOMPARE(canvas->device()->logicalDpiY(), dpiY);
        QFont font(u"IPAPMincho"_s);
        font.setPointSizeF(72);
        canvas->setFont(font);
        canvas->drawText(QPointF(0, 0), u"金"_s);
        f->EndDoc();
        const DrawOp &op = f.system->jobs().first().pages.first().first();
        QCOMPARE(op.kind, DrawOp::Text);
        QCOMPARE(op.text, u"金"_s);
        QCOMPARE(qRound(op.pixelSize), dpiY);
    }

    void theOriginIsTheCornerOfThePrintableArea()
    {
        auto p = PrinterFixture::Make(u"A"_s);
        p.marginMm10 = WbSize{254, 127}; // 1 inch left, half an inch top
        PrinterFixture f({p}, u"A"_s);
        QCOMPARE(f->Offset(), (WbSize{600, 300}));
        f->BeginDoc(u"t"_s);
        f->Canvas()->drawRect(QRectF(0, 0, 10, 20));
        f->Newpage();
        f->Canvas()->drawRect(QRectF(5, 5, 10, 20));
        f->EndDoc();
        const auto &pages = f.system->jobs().first().pages;
        QCOMPARE(pages.at(0).first().rect, QRectF(600, 300, 10, 20));
        QCOMPARE(pages.at(1).first().rect, QRectF(605, 305, 10, 20));
    }

    void theCanvasWithoutJobDrawsNowhere()
    {
        auto f = AHB();
        QPainter *canvas = f->Canvas();
        QVERIFY(canvas);
        QCOMPARE(canvas->device()->logicalDpiY(), 600);
        canvas->drawLine(0, 0, 1, 1);
        QVERIFY(f.system->jobs().isEmpty());
        QCOMPARE(f->Handle(), canvas->device());
    }

    void theOneInstanceIsInstalledAndReleased()
    {
        auto memory = std::make_unique<MemorySystemPrinter>();
        memory->addPrinter(PrinterFixture::Make(u"Only"_s));
        InstallWbPrinter(std::move(memory));
        QCOMPARE(WbPrinter().PrinterNames(), QStringList({u"Only"_s}));
        QCOMPARE(&WbPrinter(), &WbPrinter());
        ReleaseWbPrinter();
    }

    void namesWithSpacesSlashesAndJapaneseAreKept()
    {
        const QString odd = u"経理 プリンタ/2階 (カラー)"_s;
        PrinterFixture f({PrinterFixture::Make(u"A"_s), PrinterFixture::Make(odd)}, odd);
        QCOMPARE(f->PrinterNames().at(1), odd);
        QCOMPARE(f->Index(), 1);
    }
};

QTEST_MAIN(TestWbPrinterList)
#include "tst_wbprinter_list.moc"
