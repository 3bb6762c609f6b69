// The printer setup and print dialogs over the in-memory system printer,
// answered through their test hooks.

#include "PrinterFixture.h"
#include "printsetup/WbPrinterDialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>

using namespace Qt::StringLiterals;

class TestWbPrinterDialogs : public QObject
{
    Q_OBJECT

    MemorySystemPrinter *m_system = nullptr;

    template <class W> static W *control(QDialog *window, const char *name)
    {
        return window->findChild<W *>(QString::fromLatin1(name));
    }

private Q_SLOTS:
    void init()
    {
        auto memory = std::make_unique<MemorySystemPrinter>();
        m_system = memory.get();
        auto a = PrinterFixture::Make(u"A"_s);
        auto hidden = PrinterFixture::Make(u"H"_s, PRINTER_ATTRIBUTE_HIDDEN);
        auto b = PrinterFixture::Make(u"B"_s);
        b.caps.binNumbers = {DMBIN_AUTO, DMBIN_USER + 1, DMBIN_USER + 2};
        b.caps.binNames = {u"自動"_s, u"トレイ1"_s, u"トレイ2"_s};
        memory->addPrinter(a);
        memory->addPrinter(hidden);
        memory->addPrinter(b);
        memory->setDefaultPrinter(u"A"_s);
        InstallWbPrinter(std::move(memory));
    }
    void cleanup()
    {
        TWbPrinterSetupDialog::setExecuteHook({});
        TWbPrintDialog::setExecuteHook({});
        ReleaseWbPrinter();
    }

    void everyControlIsNamed_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *n : {"ComboBox_Printer", "ComboBox_PaperSize", "ComboBox_PaperSource", "RadioButton_Portrait",
                              "RadioButton_Landscape", "SpinBox_Copies", "Button_OK", "Button_Cancel"})
            QTest::newRow(n) << QString::fromLatin1(n);
    }
    void everyControlIsNamed()
    {
        QFETCH(QString, name);
        TWbPrintDialog dialog;
        bool found = false;
        TWbPrintDialog::setExecuteHook([&](TWbPrintDialog &d) {
            QWidget *w = d.window()->findChild<QWidget *>(name);
            found = w && w->accessibleName() == name;
            return false;
        });
        QVERIFY(!dialog.Execute());
        QVERIFY(found);
    }

    void theDialogShowsTheVisiblePrintersAndTheCurrentSettings()
    {
        TWbPrinterSetupDialog dialog;
        QStringList printers;
        QString paper;
        QString source;
        bool portrait = false;
        bool hasCopies = true;
        TWbPrinterSetupDialog::setExecuteHook([&](TWbPrinterSetupDialog &d) {
            auto *combo = control<QComboBox>(d.window(), "ComboBox_Printer");
            for (int i = 0; i < combo->count(); ++i)
                printers.append(combo->itemText(i));
            paper = control<QComboBox>(d.window(), "ComboBox_PaperSize")->currentText();
            source = control<QComboBox>(d.window(), "ComboBox_PaperSource")->currentText();
            portrait = control<QRadioButton>(d.window(), "RadioButton_Portrait")->isChecked();
            hasCopies = control<QSpinBox>(d.window(), "SpinBox_Copies") != nullptr;
            return false;
        });
        QVERIFY(!dialog.Execute());
        QCOMPARE(printers, QStringList({u"A"_s, u"B"_s}));
        QCOMPARE(paper, u"A5"_s);
        QCOMPARE(source, u"自動選択"_s);
        QVERIFY(portrait);
        QVERIFY(!hasCopies);
        QVERIFY(!dialog.window());
    }

    void aConfirmedDialogSelectsTheChoice()
    {
        TWbPrinterSetupDialog dialog;
        WbPrinter().SetCopies(3); // pending; a confirmed dialog drops it
        TWbPrinterSetupDialog::setExecuteHook([&](TWbPrinterSetupDialog &d) {
            control<QComboBox>(d.window(), "ComboBox_Printer")->setCurrentIndex(1);
            control<QComboBox>(d.window(), "ComboBox_PaperSize")->setCurrentIndex(0);
            control<QComboBox>(d.window(), "ComboBox_PaperSource")->setCurrentIndex(2);
            control<QRadioButton>(d.window(), "RadioButton_Landscape")->setChecked(true);
            return true;
        });
        QVERIFY(dialog.Execute());
        TWbPrinter &p = WbPrinter();
        QVERIFY(!p.Modified());
        QCOMPARE(p.Index(), 1);
        QCOMPARE(p.PrinterNames().at(p.Index()), u"B"_s);
        QCOMPARE(p.PaperSizeNumber(), DMPAPER_A4);
        QCOMPARE(p.PaperSizeIndex(), 0);
        QCOMPARE(p.BinNumber(), DMBIN_USER + 2);
        QCOMPARE(p.BinIndex(), 2);
        QCOMPARE(p.Orientation(), wbOrLandScape);
        QCOMPARE(p.Copies(), 1);
    }

    void aCancelledDialogChangesNothing()
    {
        TWbPrinterSetupDialog dialog;
        WbPrinter().SetCopies(3);
        const int enumerations = m_system->enumerations();
        TWbPrinterSetupDialog::setExecuteHook([&](TWbPrinterSetupDialog &d) {
            control<QComboBox>(d.window(), "ComboBox_Printer")->setCurrentIndex(1);
            control<QRadioButton>(d.window(), "RadioButton_Landscape")->setChecked(true);
            return false;
        });
        QVERIFY(!dialog.Execute());
        TWbPrinter &p = WbPrinter();
        QVERIFY(p.Modified());
        QCOMPARE(p.Copies(), 3);
        QCOMPARE(p.Index(), 0);
        QCOMPARE(p.Orientation(), wbOrPortrait);
        QCOMPARE(m_system->enumerations(), enumerations);
    }

    void thePrintDialogSetsTheCopies()
    {
        TWbPrintDialog dialog;
        TWbPrintDialog::setExecuteHook([&](TWbPrintDialog &d) {
            control<QSpinBox>(d.window(), "SpinBox_Copies")->setValue(4);
            return true;
        });
        QVERIFY(dialog.Execute());
        QCOMPARE(WbPrinter().Copies(), 4);
        WbPrinter().BeginDoc(u"t"_s);
        WbPrinter().EndDoc();
        QCOMPARE(m_system->jobs().last().devMode.dmCopies, 4);
    }

    void withoutPrintersTheDialogReportsTheLayerError()
    {
        InstallWbPrinter(std::make_unique<MemorySystemPrinter>());
        TWbPrinterSetupDialog dialog;
        bool asked = false;
        TWbPrinterSetupDialog::setExecuteHook([&](TWbPrinterSetupDialog &) {
            asked = true;
            return true;
        });
        QCOMPARE(RaisedMessage<EWbPrinterNoPrinter>([&] { dialog.Execute(); }),
                 u"TWbPrinter.CheckNoPrinter: No Printer"_s);
        QVERIFY(!asked);
    }
};

QTEST_MAIN(TestWbPrinterDialogs)
#include "tst_wbprintdialogs.moc"
