// The printer registration per paper feed on the main window: load, apply and
// register over the in-memory printer, the registration file read back as
// CP932 bytes, and the F7 printer setup.

#include "PrintSetupTestUtil.h"
#include "settings/ProfileFile.h"
#include "support/MainWindowFixture.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;
using namespace printsetup_test;

namespace {

const QString kHand = u"手差し"_s;
const QString kContinuous = u"連続(４．５インチ)"_s;
const QString kPrinterA = u"テストプリンタA"_s;
const QString kPrinterB = u"Test Printer B"_s;
// A queue whose name sorts before the others.
const QString kEarlier = u"AAA 新しいプリンタ"_s;
const QString kRegisteredB =
    u"[手差し]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=0\r\ndenPrn_Left=0\r\n"_s;

// What a registration stores of the paper, tray and resolution in force:
// printer A names its papers and trays, printer B (own lists) does not.
const QStringList kKeysA = {u"PrnMedia=iso_a5_148x210mm"_s, u"PrnMediaSource=auto"_s, u"PrnResolution=600x600dpi"_s};
const QStringList kKeysB = {u"PrnMedia="_s, u"PrnMediaSource="_s, u"PrnResolution=600x600dpi"_s};

QString missingMessage(const QString &name)
{
    return u"登録されたプリンタ「"_s + name +
           u"」が見つかりません。印刷設定タブの「セットするプリンタを登録」でプリンタを登録し直してください。"_s;
}

} // namespace

class TestPrintRegistration : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindowFixture> fx;

    QString regPath() const { return fx->path(u"vuzo_a500.ini"_s); }

    // Printer A has the standard A4/A5/B5 papers and two bins; printer B has
    // its own lists, so a test can tell whose lists are shown.
    void twoPrinters(const QString &defaultPrinter = kPrinterA)
    {
        fx->usePrinters({kPrinterA, kPrinterB});
        MemorySystemPrinter::Printer *b = fx->memory->printer(kPrinterB);
        b->caps.paperNumbers = {DMPAPER_LETTER, DMPAPER_LEGAL};
        b->caps.paperNames = {u"Letter"_s, u"Legal"_s};
        b->caps.binNumbers = {DMBIN_UPPER, DMBIN_LOWER, DMBIN_MIDDLE};
        b->caps.binNames = {u"Tray 1"_s, u"Tray 2"_s, u"Tray 3"_s};
        b->defaults.dmPaperSize = DMPAPER_LEGAL;
        b->defaults.dmDefaultSource = DMBIN_LOWER;
        fx->memory->setDefaultPrinter(defaultPrinter);
    }

    void writeRegistration(const QString &text) { writeCp932(regPath(), text); }

    // A main tab change away from the slip tab and back: the page-change check
    // runs each time.
    void changePage()
    {
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
        QCoreApplication::processEvents();
    }

    void selectFeed(int index) { fx->w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(index); }

    // F11 answered Yes; the devices of the jobs the system received.
    QStringList printAndListJobDevices()
    {
        // Yes to every question: a printer no feed is registered for, and on
        // A5 the slip's right side, are asked about.
        fx->dialogs->answer({true, true, true});
        fx->w<QToolButton>(u"SpeedButton_F11"_s)->click();
        fx->dialogs->dropAnswers();
        QStringList devices;
        for (const MemorySystemPrinter::Job &job : fx->memory->jobs())
            devices << job.device;
        return devices;
    }

    static MemorySystemPrinter::Printer printerNamed(const QString &name)
    {
        MemorySystemPrinter::Printer p;
        p.name = name;
        return p;
    }

    // Printers A and B with B registered for the hand feed through the
    // register button, then a restart on the given printers.
    void registerBThenRestartOn(const QStringList &printers)
    {
        twoPrinters();
        fx->start();
        {
            SetupDialogAnswer answer(true, 1);
            fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();
        }
        fx->stop();
        fx->usePrinters(printers);
        fx->start();
    }

private Q_SLOTS:
    void init()
    {
        // These tests write the registrations themselves.
        fx = std::make_unique<MainWindowFixture>();
        fx->firstStart = true;
    }
    void cleanup()
    {
        TWbPrinterSetupDialog::setExecuteHook({});
        fx.reset();
    }

    void theRegisteredPrinterIsFoundByItsName_data()
    {
        QTest::addColumn<QString>("change");
        QTest::newRow("a queue added before it is noticed by the change watch") << u"earlier, watched"_s;
        QTest::newRow("a queue added after it is noticed by the change watch") << u"later, watched"_s;
        QTest::newRow("a restart finds it behind a queue added before it") << u"earlier, restart"_s;
        QTest::newRow("a queue added before it is seen when F11 is pressed") << u"earlier, at print"_s;
    }
    void theRegisteredPrinterIsFoundByItsName()
    {
        QFETCH(QString, change);
        if (change == u"earlier, restart"_s) {
            registerBThenRestartOn({kEarlier, kPrinterA, kPrinterB});
        } else {
            twoPrinters();
            writeRegistration(kRegisteredB);
            fx->start();
            if (change.startsWith(u"earlier"_s))
                fx->memory->insertPrinter(0, printerNamed(kEarlier));
            else
                fx->memory->addPrinter(printerNamed(u"ZZZ 後のプリンタ"_s));
            // The change watch runs this check on activation and on its timer.
            if (change.endsWith(u"watched"_s))
                WbPrinter().CheckSystemChange();
        }
        if (!change.endsWith(u"at print"_s)) {
            QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
            QVERIFY(fx->w<QLabel>(u"Label_PrinterName2"_s)->text().startsWith(kPrinterB + u'/'));
        }

        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterB});
        QCOMPARE(fx->dialogs->notices(), QStringList());
        QCOMPARE(fx->dialogs->errors(), QStringList());
        const QString expectedIndex = change.startsWith(u"earlier"_s) ? u"2"_s : u"1"_s;
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), expectedIndex);
    }

    void aFileWithoutPrnNameSelectsByPosition()
    {
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnNoIndex=1\r\ndenPrn_Top=0\r\ndenPrn_Left=0\r\n"_s);
        fx->start();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterB});
    }

    void aRemovedRegisteredPrinterIsShownMissingAndNothingIsPrinted_data()
    {
        QTest::addColumn<QString>("when");
        QTest::newRow("removed while running, noticed by the change watch") << u"watched"_s;
        QTest::newRow("removed before a restart") << u"restart"_s;
        QTest::newRow("removed while running, seen when F11 is pressed") << u"at print"_s;
    }
    void aRemovedRegisteredPrinterIsShownMissingAndNothingIsPrinted()
    {
        QFETCH(QString, when);
        if (when == u"restart"_s) {
            registerBThenRestartOn({kPrinterA});
        } else {
            twoPrinters();
            writeRegistration(kRegisteredB);
            fx->start();
            fx->memory->removePrinter(kPrinterB);
            if (when == u"watched"_s)
                WbPrinter().CheckSystemChange();
        }
        if (when != u"at print"_s)
            QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"Test Printer B（見つかりません）"_s);

        QCOMPARE(printAndListJobDevices(), QStringList());
        QCOMPARE(fx->dialogs->notices(), QStringList{missingMessage(kPrinterB)});
        QCOMPARE(fx->dialogs->confirms(), QStringList());
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"Test Printer B（見つかりません）"_s);
        // The registration is kept for when the queue comes back.
        QCOMPARE(sectionLines(regPath(), kHand).first(), u"PrnName=Test Printer B"_s);
    }

    void registeringAnotherPrinterEndsTheMissingPrinter()
    {
        twoPrinters();
        writeRegistration(kRegisteredB);
        fx->start();
        fx->memory->removePrinter(kPrinterB);
        WbPrinter().CheckSystemChange();
        {
            SetupDialogAnswer answer(true, 0);
            fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();
        }

        QCOMPARE(sectionLines(regPath(), kHand).first(), u"PrnName=テストプリンタA"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"テストプリンタA/A5/自動選択"_s);
        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterA});
        QCOMPARE(fx->dialogs->notices(), QStringList());
    }

    void aMissingPrinterComingBackIsSelectedAgain()
    {
        twoPrinters();
        writeRegistration(kRegisteredB);
        fx->start();
        fx->memory->removePrinter(kPrinterB);
        WbPrinter().CheckSystemChange();
        fx->memory->insertPrinter(0, printerNamed(kPrinterB));
        WbPrinter().CheckSystemChange();

        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterB});
    }

    void newFileRegisterWritesTheSectionInOrder()
    {
        twoPrinters();
        fx->start();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox_SEL"_s)->currentText(), kHand);
        QVERIFY(!QFile::exists(regPath()));

        SetupDialogAnswer answer(true);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(answer.calls, 1);
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(fileLines(regPath()), QStringList({u"[手差し]"_s, u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s,
                                                    u"denPrn_Top=0"_s, u"denPrn_Left=0"_s}) +
                                           kKeysA);
        // The file is CP932, not UTF-8.
        QVERIFY(readBytes(regPath()).startsWith(vuzo::EncodeCp932(u"[手差し]\r\n"_s).value()));
    }

    void registerTakesThePrinterChosenInTheDialog()
    {
        twoPrinters();
        fx->start();
        SetupDialogAnswer answer(true, 1);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(answer.openedOn, QList<int>({0}));
        QCOMPARE(sectionLines(regPath(), kHand),
                 QStringList({u"PrnName=Test Printer B"_s, u"PrnNoIndex=1"_s, u"denPrn_Top=0"_s, u"denPrn_Left=0"_s}) +
                     kKeysB);
        QCOMPARE(WbPrinter().Index(), 1);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), u"1"_s);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox2"_s)), QStringList({u"Letter"_s, u"Legal"_s}));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentText(), u"Legal"_s);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentText(), u"Tray 2"_s);
    }

    void aCancelLeavesTheRegistrationAsItWas_data()
    {
        QTest::addColumn<bool>("queueMissing");
        QTest::newRow("a cancel with the registered queue present writes nothing") << false;
        QTest::newRow("a cancel with the registered queue missing writes nothing and still refuses to print") << true;
    }
    void aCancelLeavesTheRegistrationAsItWas()
    {
        QFETCH(bool, queueMissing);
        twoPrinters();
        const QString registered =
            u"[手差し]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=7\r\ndenPrn_Left=8\r\n"_s;
        writeRegistration(registered);
        fx->start();
        if (queueMissing) {
            fx->memory->removePrinter(kPrinterB);
            WbPrinter().CheckSystemChange();
        }
        const QByteArray before = readBytes(regPath());
        {
            SetupDialogAnswer answer(false, 0); // chooses printer 0, then cancels
            fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();
            QCOMPARE(answer.calls, 1);
        }

        QCOMPARE(readBytes(regPath()), before);
        if (queueMissing) {
            QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"Test Printer B（見つかりません）"_s);
            QCOMPARE(printAndListJobDevices(), QStringList());
            QCOMPARE(fx->dialogs->notices(), QStringList{missingMessage(kPrinterB)});
        } else {
            QCOMPARE(WbPrinter().Index(), 1);
            QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
            QCOMPARE(printAndListJobDevices(), QStringList{kPrinterB});
        }
    }

    void registerKeepsTheOffsetsOfTheFile()
    {
        twoPrinters();
        writeRegistration(
            u"[手差し]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=20\r\ndenPrn_Left=-10\r\n"_s);
        fx->start();
        // Offsets in the window that differ from the file are not what is
        // registered: the register operation loads them again first.
        fx->form->setPrintOffsets(u"99"_s, u"98"_s);
        SetupDialogAnswer answer(true, 0);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(sectionLines(regPath(), kHand), QStringList({u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s,
                                                              u"denPrn_Top=20"_s, u"denPrn_Left=-10"_s}) +
                                                     kKeysA);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"20"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-10"_s);
    }

    void registerRewritesAnExistingSectionInPlace()
    {
        twoPrinters();
        const QString before = u"[連続(４．５インチ)]\r\nPrnName=X\r\nPrnNoIndex=1\r\ndenPrn_Top=3\r\ndenPrn_Left=4\r\n"
                               u"[手差し]\r\nPrnNoIndex=1\r\nPrnName=old\r\ndenPrn_Top=5\r\ndenPrn_Left=6\r\n"_s;
        writeRegistration(before);
        fx->start();
        SetupDialogAnswer answer(true, 0);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(fileLines(regPath()),
                 QStringList({u"[連続(４．５インチ)]"_s, u"PrnName=X"_s, u"PrnNoIndex=1"_s, u"denPrn_Top=3"_s,
                              u"denPrn_Left=4"_s, u"[手差し]"_s, u"PrnNoIndex=0"_s, u"PrnName=テストプリンタA"_s,
                              u"denPrn_Top=5"_s, u"denPrn_Left=6"_s}) +
                     kKeysA);
    }

    void switchingTheFeedAndThePageSelectsTheOtherFeedsPrinter()
    {
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnName=テストプリンタA\r\nPrnNoIndex=0\r\ndenPrn_Top=1\r\ndenPrn_Left=2\r\n"
                          u"[連続(４．５インチ)]\r\nPrnName=Test Printer B\r\nPrnNoIndex=1\r\ndenPrn_Top=30\r\n"
                          u"denPrn_Left=-5\r\n"_s);
        fx->start();
        QCOMPARE(WbPrinter().Index(), 0);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"1"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"2"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"テストプリンタA/A5/自動選択"_s);

        // The choice alone changes nothing until the page changes.
        selectFeed(1);
        QCOMPARE(WbPrinter().Index(), 0);
        changePage();

        QCOMPARE(WbPrinter().Index(), 1);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), u"1"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"30"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Left"_s)->text(), u"-5"_s);
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox1"_s)), QStringList({kPrinterA, kPrinterB}));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"Test Printer B/Legal/Tray 2"_s);

        selectFeed(0);
        changePage();
        QCOMPARE(WbPrinter().Index(), 0);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"1"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"テストプリンタA/A5/自動選択"_s);
        QCOMPARE(fx->dialogs->errors(), QStringList());
    }

    void aTypedFeedNameIsASectionLikeAnyOther()
    {
        twoPrinters();
        writeRegistration(
            u"[手差し]\r\nPrnName=テストプリンタA\r\nPrnNoIndex=0\r\ndenPrn_Top=1\r\ndenPrn_Left=2\r\n"_s);
        fx->start();
        fx->w<QComboBox>(u"ComboBox_SEL"_s)->setEditText(u"封筒 長３"_s);
        SetupDialogAnswer answer(true, 1);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(sectionLines(regPath(), u"封筒 長３"_s),
                 QStringList({u"PrnName=Test Printer B"_s, u"PrnNoIndex=1"_s, u"denPrn_Top=0"_s, u"denPrn_Left=0"_s}) +
                     kKeysB);
        QCOMPARE(sectionLines(regPath(), kHand),
                 QStringList({u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s, u"denPrn_Top=1"_s, u"denPrn_Left=2"_s}));

        // And it loads back like any other.
        ProfileFile(regPath()).WriteString(u"封筒 長３"_s, u"denPrn_Top"_s, u"44"_s);
        fx->w<QPushButton>(u"SpeedButton_PrnIdGet"_s)->click();
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"44"_s);
        QCOMPARE(WbPrinter().Index(), 1);
    }

    void registeredIndexBeyondThePrintersSelectsPrinterZeroAndKeepsTheLists()
    {
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnNoIndex=1\r\n"_s);
        fx->start();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);

        ProfileFile(regPath()).WriteString(kHand, u"PrnNoIndex"_s, u"5"_s);
        fx->w<QPushButton>(u"SpeedButton_PrnIdGet"_s)->click();

        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(WbPrinter().Index(), 0);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), u"5"_s);
        // The lists still show what they showed before: printer B's.
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox1"_s)), QStringList({kPrinterA, kPrinterB}));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentText(), u"Legal"_s);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentText(), u"Tray 2"_s);
    }

    void registerAfterAnIndexBeyondThePrintersWritesTheSelectedOne()
    {
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnName=gone\r\nPrnNoIndex=5\r\ndenPrn_Top=3\r\ndenPrn_Left=4\r\n"_s);
        fx->start();
        SetupDialogAnswer answer(true);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(answer.openedOn, QList<int>({0}));
        QCOMPARE(sectionLines(regPath(), kHand),
                 QStringList({u"PrnName=テストプリンタA"_s, u"PrnNoIndex=0"_s, u"denPrn_Top=3"_s, u"denPrn_Left=4"_s}) +
                     kKeysA);
    }

    void specialIndexes_data()
    {
        QTest::addColumn<QString>("registered");
        QTest::addColumn<int>("selected");
        QTest::newRow("-1 selects the system's default printer") << u"-1"_s << 1;
        QTest::newRow("-2 is out of range and selects printer 0") << u"-2"_s << 0;
        QTest::newRow("the lowest 32-bit number selects printer 0") << u"-2147483648"_s << 0;
        QTest::newRow("0 is the first printer") << u"0"_s << 0;
        QTest::newRow("1 is the last printer") << u"1"_s << 1;
        QTest::newRow("2 is the first index beyond the printers") << u"2"_s << 0;
        QTest::newRow("a missing key reads as 0") << QString() << 0;
    }
    void specialIndexes()
    {
        QFETCH(QString, registered);
        QFETCH(int, selected);
        twoPrinters(kPrinterB); // the system's default is the second printer
        if (!registered.isNull())
            writeRegistration(u"[手差し]\r\nPrnNoIndex="_s + registered + u"\r\n"_s);
        fx->start();
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(WbPrinter().Index(), selected);
    }

    void aPrnNoIndexThatIsNotAnIntegerIsAConversionError_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("letters") << u"abc"_s;
        QTest::newRow("a decimal") << u"1.0"_s;
        QTest::newRow("beyond 32 bits") << u"2147483648"_s;
    }
    void aPrnNoIndexThatIsNotAnIntegerIsAConversionError()
    {
        QFETCH(QString, value);
        twoPrinters();
        fx->start();
        WbPrinter().SetIndex(1);
        writeRegistration(u"[手差し]\r\nPrnNoIndex="_s + value + u"\r\ndenPrn_Top=6\r\n"_s);
        fx->dialogs->clear();

        fx->w<QPushButton>(u"SpeedButton_PrnIdGet"_s)->click();

        QCOMPARE(fx->dialogs->errors(), QStringList({u"''%1'' は整数ではありません"_s.arg(value)}));
        // The load got as far as the labels; the selection was not touched.
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), value);
        QCOMPARE(fx->w<QLabel>(u"Label_Prn_Top"_s)->text(), u"6"_s);
        QCOMPARE(WbPrinter().Index(), 1);
    }

    void registerStopsAtAPrnNoIndexThatIsNotAnInteger()
    {
        twoPrinters();
        fx->start();
        writeRegistration(u"[手差し]\r\nPrnNoIndex=abc\r\n"_s);
        const QByteArray before = readBytes(regPath());
        fx->dialogs->clear();
        SetupDialogAnswer answer(true);
        fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();

        QCOMPARE(fx->dialogs->errors(), QStringList({u"''abc'' は整数ではありません"_s}));
        QCOMPARE(answer.calls, 0);
        QCOMPARE(readBytes(regPath()), before);
    }

    void noVisiblePrinterIsReportedAndLeavesTheListsAlone()
    {
        auto system = std::make_unique<MemorySystemPrinter>();
        MemorySystemPrinter::Printer hidden;
        hidden.name = kPrinterA;
        hidden.attributes = PRINTER_ATTRIBUTE_HIDDEN;
        system->addPrinter(hidden);
        system->setDefaultPrinter(kPrinterA);
        fx->useSystemPrinter(std::move(system));
        fx->start();
        fx->dialogs->clear();
        fx->w<QPushButton>(u"SpeedButton_PrnIdGet"_s)->click();
        QCOMPARE(fx->dialogs->errors(), QStringList({u"TWbPrinter.CheckNoPrinter: No Printer"_s}));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->count(), 0);
    }

    void aPrinterWithoutPaperOrBinListsStillShowsItsName()
    {
        twoPrinters();
        MemorySystemPrinter::Printer *b = fx->memory->printer(kPrinterB);
        b->caps.paperNumbers.clear();
        b->caps.paperNames.clear();
        b->caps.binNumbers.clear();
        b->caps.binNames.clear();
        writeRegistration(u"[手差し]\r\nPrnNoIndex=0\r\n[連続(４．５インチ)]\r\nPrnNoIndex=1\r\n"_s);
        fx->start();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentText(), u"A5"_s);

        selectFeed(1);
        changePage();

        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        QVERIFY(fx->w<QComboBox>(u"ComboBox1"_s)->isEnabled());
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentIndex(), -1);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentIndex(), -1);
        // Printer A's papers and bins are not offered under printer B's name.
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->count(), 0);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->count(), 0);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterName2"_s)->text(), u"Test Printer B//"_s);
    }

    void aCurrentPaperMissingFromTheListShowsTheListWithoutSelection()
    {
        twoPrinters();
        fx->memory->printer(kPrinterB)->defaults.dmPaperSize = DMPAPER_A3; // not among Letter, Legal
        writeRegistration(u"[手差し]\r\nPrnNoIndex=1\r\n"_s);
        fx->start();

        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(items(fx->w<QComboBox>(u"ComboBox2"_s)), QStringList({u"Letter"_s, u"Legal"_s}));
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentIndex(), -1);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentText(), u"Tray 2"_s);
    }

    void theAdjustmentButtonOpensThePrintPositionWindow()
    {
        twoPrinters();
        fx->start();
        bool shown = false;
        QTimer::singleShot(0, fx->slip97YPrn, [&] {
            shown = fx->slip97YPrn->isVisible() && fx->slip97YPrn->isModal();
            fx->slip97YPrn->reject();
        });
        fx->w<QPushButton>(u"BitBtn_PrnSet2"_s)->click();
        QVERIFY(shown);
        QVERIFY(!QFile::exists(regPath()));
    }

    void f7InTheNameFieldRunsThePrinterSetup()
    {
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnNoIndex=0\r\n"_s);
        fx->start();
        SetupDialogAnswer answer(true, 1);
        fx->w<QLineEdit>(u"Edit_Custo1"_s)->setFocus();
        QTest::keyClick(fx->w<QLineEdit>(u"Edit_Custo1"_s), Qt::Key_F7);

        QCOMPARE(answer.calls, 1);
        QCOMPARE(answer.openedOn, QList<int>({0})); // no stored index: -1, the default printer A
        QCOMPARE(ProfileFile(fx->path(u"vuzo_Vez_1.ini"_s)).ReadString(u"vz_Vez_1prn"_s, u"Sbr_12prnno"_s, u"none"_s),
                 u"1"_s);
        QCOMPARE(fx->w<QLabel>(u"Label_PrinterIndex"_s)->text(), u"1"_s);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterB);
        // The feed's registration is not changed.
        QCOMPARE(sectionLines(regPath(), kHand), QStringList({u"PrnNoIndex=0"_s}));
    }

    void f7InASettingsTabListDoesNothing()
    {
        twoPrinters();
        fx->start();
        fx->w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
        SetupDialogAnswer answer(true, 1);
        fx->w<QComboBox>(u"ComboBox_ime_Item"_s)->setFocus();
        QTest::keyClick(fx->w<QComboBox>(u"ComboBox_ime_Item"_s), Qt::Key_F7);

        QCOMPARE(answer.calls, 0);
        QCOMPARE(ProfileFile(fx->path(u"vuzo_Vez_1.ini"_s)).ReadString(u"vz_Vez_1prn"_s, u"Sbr_12prnno"_s, u"none"_s),
                 u"none"_s);
    }

    // The feed's paper, tray and resolution: registered from the dialog, and
    // laid over the printer's defaults at every selection, restarts included.
    void theFeedsPaperTrayAndResolutionGoWithEveryJob()
    {
        twoPrinters();
        fx->start();
        {
            SetupDialogAnswer answer(true);
            answer.paper = 1;      // A5
            answer.source = 1;     // 手差し (manual)
            answer.resolution = 0; // 300 dpi
            fx->w<QPushButton>(u"BitBtn_PrnSet"_s)->click();
        }
        const QStringList registered = sectionLines(regPath(), kHand);
        QVERIFY2(registered.contains(u"PrnMedia=iso_a5_148x210mm"_s), qPrintable(registered.join(u' ')));
        QVERIFY(registered.contains(u"PrnMediaSource=manual"_s));
        QVERIFY(registered.contains(u"PrnResolution=300x300dpi"_s));
        fx->stop();

        fx->usePrinters({kEarlier, kPrinterA, kPrinterB});
        fx->start();
        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterA});
        const DevMode &dm = fx->memory->jobs().constFirst().devMode;
        QCOMPARE(dm.dmPaperSize, DMPAPER_A5);
        QCOMPARE(dm.dmDefaultSource, DMBIN_MANUAL);
        QCOMPARE(dm.dmPrintQuality, 300);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox2"_s)->currentText(), u"A5"_s);
        QCOMPARE(fx->w<QComboBox>(u"ComboBox3"_s)->currentText(), u"手差し"_s);
    }

    void aRegisteredPaperOrTrayThePrinterLacksStopsPrinting_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("named");
        QTest::newRow("tray") << u"PrnMediaSource=tray-9\r\n"_s << u"給紙方法「トレイ9」"_s;
        QTest::newRow("paper") << u"PrnMedia=na_letter_8.5x11in\r\n"_s << u"用紙「"_s;
        QTest::newRow("resolution") << u"PrnResolution=1200x1200dpi\r\n"_s << u"解像度「1200x1200dpi」"_s;
    }
    void aRegisteredPaperOrTrayThePrinterLacksStopsPrinting()
    {
        QFETCH(QString, keys);
        QFETCH(QString, named);
        twoPrinters();
        writeRegistration(u"[手差し]\r\nPrnName=テストプリンタA\r\nPrnNoIndex=0\r\n"_s + keys);
        fx->start();
        QVERIFY(fx->w<QLabel>(u"Label_PrinterName2"_s)->text().endsWith(u"（登録の用紙・給紙方法がありません）"_s));
        QCOMPARE(printAndListJobDevices(), QStringList());
        QCOMPARE(fx->dialogs->confirms(), QStringList());
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY2(fx->dialogs->notices().first().contains(named), qPrintable(fx->dialogs->notices().first()));
    }

    void aQueueThatWouldNotPrintIsToldBeforeAnythingIsSent()
    {
        twoPrinters();
        fx->start();
        fx->memory->setQueueProblem(kPrinterA, u"プリンタ「テストプリンタA」は停止しています。"_s);
        QCOMPARE(printAndListJobDevices(), QStringList());
        QCOMPARE(fx->dialogs->confirms(), QStringList());
        QCOMPARE(fx->dialogs->notices(), QStringList{u"プリンタ「テストプリンタA」は停止しています。"_s});
    }

    void aJobThePrintSystemStopsIsTold()
    {
        twoPrinters();
        fx->start();
        fx->memory->setJobStatus({true, u"プリンタ「テストプリンタA」で印刷が止まりました。"_s});
        QCOMPARE(printAndListJobDevices(), QStringList{kPrinterA});
        QTRY_COMPARE(fx->dialogs->notices(), QStringList{u"プリンタ「テストプリンタA」で印刷が止まりました。"_s});
    }

    // As the program starts: the window first, then one message about the
    // print system, not one per selection.
    void aDeferredStartTellsAnUnreachablePrintSystemOnce()
    {
        // The printer object first looks while the print system is away.
        auto system = std::make_unique<MemorySystemPrinter>();
        system->addPrinter(printerNamed(kPrinterA));
        system->setDefaultPrinter(kPrinterA);
        system->setAvailable(false);
        MemorySystemPrinter *memory = system.get();
        fx->useSystemPrinter(std::move(system));
        fx->start(true);
        QVERIFY(!fx->form->printersStarted());
        QTRY_VERIFY(fx->form->printersStarted());
        QCOMPARE(fx->dialogs->errors(), QStringList());
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY(fx->dialogs->notices().first().startsWith(vuzo::PrintSystemUnavailableMessage()));

        // The print system comes back: the change watch selects the printer.
        memory->setAvailable(true);
        WbPrinter().CheckSystemChange();
        QCOMPARE(fx->w<QComboBox>(u"ComboBox1"_s)->currentText(), kPrinterA);
    }

    void noPrinterAtAllIsToldInJapanese()
    {
        fx->usePrinters({});
        fx->start(true);
        QTRY_VERIFY(fx->form->printersStarted());
        QCOMPARE(fx->dialogs->notices().size(), 1);
        QVERIFY(fx->dialogs->notices().first().startsWith(u"使えるプリンタがありません。"_s));
        QVERIFY(fx->dialogs->notices().first().contains(u"TWbPrinter.CheckNoPrinter: No Printer"_s));
    }
};

QTEST_MAIN(TestPrintRegistration)
#include "tst_printregistration.moc"
