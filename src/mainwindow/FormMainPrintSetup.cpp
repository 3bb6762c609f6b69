// Printer registration per paper feed: load, apply and register, over the
// printer layer and vuzo_a500.ini.

#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"
#include "printsetup/WbPrinterDialogs.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"

#include <QComboBox>
#include <QLabel>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Fills a printer list from the layer. The previous printer's entries never
// stay under a new printer: a list whose names cannot be read is left empty.
// The names and the current entry are read separately, so a printer whose
// current paper or bin is not among its names still shows its names, without
// selection. Errors of the layer pass on to the caller.
void fillList(QComboBox *list, const std::function<QStringList()> &names, const std::function<int()> &current)
{
    const QSignalBlocker block(list);
    list->clear();
    const QStringList items = names();
    list->addItems(items);
    list->setCurrentIndex(-1);
    const int selected = current();
    if (selected >= 0 && selected < items.size())
        list->setCurrentIndex(selected);
}

} // namespace

void TForm_Main::SpeedButton_PrnIdGetClick()
{
    const QString section = ComboBox_SEL->currentText();
    {
        ProfileFile ini(RegistrationPath());
        Label_PrinterIndex->setText(ini.ReadString(section, u"PrnNoIndex"_s, u"0"_s));
        Label_Prn_Top->setText(limits::OffsetText(ini.ReadString(section, u"denPrn_Top"_s, u"0"_s), u"0"_s));
        Label_Prn_Left->setText(limits::OffsetText(ini.ReadString(section, u"denPrn_Left"_s, u"0"_s), u"0"_s));
    }
    SpeedButton_PRNSETClick();
}

void TForm_Main::ComboBox_SELChange()
{
    SpeedButton_PrnIdGetClick();
}

void TForm_Main::SpeedButton_PRNSETClick()
{
    TWbPrinter &printer = WbPrinter();
    const int v = vuzo::StrToIntStrict(Label_PrinterIndex->text());
    try {
        printer.SetIndex(v);
    } catch (const EVuzoError &) {
        printer.SetIndex(0);
    }
    try {
        printer.SetIndex(v);
    } catch (const EWBPrinterRangeError &) {
        // The registered printer is gone: fall back to the first one and
        // leave the lists as they were.
        printer.SetIndex(0);
        return;
    }
    try {
        fillList(
            ComboBox1, [&] { return printer.PrinterNames(); }, [&] { return printer.Index(); });
        ComboBox1->setEnabled(true);
    } catch (const EWbPrinter &) {
        ComboBox1->setEnabled(false);
        return;
    }
    try {
        fillList(
            ComboBox2, [&] { return printer.PaperSizeNames(); }, [&] { return printer.PaperSizeIndex(); });
    } catch (const EWbPrinter &) {
        // The printer name stays shown; the paper list has no selection.
    }
    try {
        fillList(
            ComboBox3, [&] { return printer.BinNames(); }, [&] { return printer.BinIndex(); });
    } catch (const EWbPrinter &) {
        // Likewise the bin list: left without selection.
    }
}

void TForm_Main::BitBtn_PrnSetClick()
{
    SpeedButton_PrnIdGetClick();
    TWbPrinter &printer = WbPrinter();
    const int registered = vuzo::StrToIntZero(Label_PrinterIndex->text());
    printer.SetIndex(printer.Index() == registered ? registered : 0);
    // OK or Cancel, the registration is written for the printer selected now.
    WbPrinterSetupDialog1->Execute();
    Label_PrinterIndex->setText(QString::number(printer.Index()));
    const QString section = ComboBox_SEL->currentText();
    SpeedButton_PRNSETClick();
    ProfileFile ini(RegistrationPath());
    ProfileFile::Batch batch(ini);
    ini.WriteString(section, u"PrnName"_s, vuzo::Trim(ComboBox1->currentText()));
    ini.WriteString(section, u"PrnNoIndex"_s, Label_PrinterIndex->text());
    ini.WriteString(section, u"denPrn_Top"_s, Label_Prn_Top->text());
    ini.WriteString(section, u"denPrn_Left"_s, Label_Prn_Left->text());
    batch.commit();
}

void TForm_Main::BitBtn_PrnSet2Click()
{
    if (m_formSlip97YPrn)
        m_formSlip97YPrn->exec();
}

QString TForm_Main::paperFeedSection() const
{
    return ComboBox_SEL->currentText();
}

QString TForm_Main::printerName() const
{
    return vuzo::Trim(ComboBox1->currentText());
}

QString TForm_Main::printerIndexText() const
{
    return Label_PrinterIndex->text();
}

QString TForm_Main::printTopText() const
{
    return Label_Prn_Top->text();
}

QString TForm_Main::printLeftText() const
{
    return Label_Prn_Left->text();
}

void TForm_Main::setPrintOffsets(const QString &top, const QString &left)
{
    Label_Prn_Top->setText(top);
    Label_Prn_Left->setText(left);
}
