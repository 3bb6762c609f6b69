// Printer registration per paper feed: load, apply and register, over the
// printer layer and vuzo_a500.ini.

#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"
#include "printsetup/WbPrinterDialogs.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QLabel>
#include <QScopeGuard>

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
    readFeedRegistration();
    SpeedButton_PRNSETClick();
}

void TForm_Main::readFeedRegistration()
{
    {
        ProfileFile ini(RegistrationPath());
        m_feed = session::FeedRegistration::Read(ini, ComboBox_SEL->currentText());
    }
    m_unregisteredAccepted = false;
    Label_PrinterIndex->setText(m_feed.printerIndex);
    Label_Prn_Top->setText(m_feed.top);
    Label_Prn_Left->setText(m_feed.left);
}

session::FeedRegistration TForm_Main::feedRegistration() const
{
    session::FeedRegistration feed = m_feed;
    feed.printerIndex = Label_PrinterIndex->text();
    feed.top = Label_Prn_Top->text();
    feed.left = Label_Prn_Left->text();
    return feed;
}

void TForm_Main::ComboBox_SELChange()
{
    SpeedButton_PrnIdGetClick();
}

void TForm_Main::SpeedButton_PRNSETClick()
{
    TWbPrinter &printer = WbPrinter();
    // A change of the system's printers noticed while this selection runs is
    // not answered by a second selection inside this one.
    m_selectingPrinter = true;
    const auto done = qScopeGuard([this] {
        m_selectingPrinter = false;
        showPrinterSummary();
    });
    m_selection = session::FeedSelection{};
    m_selection = session::SelectFeed(printer, feedRegistration());
    switch (m_selection.outcome) {
    case session::FeedSelection::Outcome::PrinterMissing: {
        // The lists show no printer while the registered one is gone.
        const QStringList shown = printer.PrinterNames();
        const QSignalBlocker block1(ComboBox1);
        const QSignalBlocker block2(ComboBox2);
        const QSignalBlocker block3(ComboBox3);
        ComboBox1->clear();
        ComboBox1->addItems(shown);
        ComboBox1->setCurrentIndex(-1);
        ComboBox2->clear();
        ComboBox3->clear();
        break;
    }
    case session::FeedSelection::Outcome::ByName:
        Label_PrinterIndex->setText(QString::number(m_selection.index));
        fillPrinterLists(printer);
        break;
    case session::FeedSelection::Outcome::ByIndex: fillPrinterLists(printer); break;
    case session::FeedSelection::Outcome::FellBack:
        // The first printer is selected; the lists stay as they were.
        break;
    }
}

void TForm_Main::fillPrinterLists(TWbPrinter &printer)
{
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

void TForm_Main::showPrinterSummary()
{
    if (m_selection.printerMissing()) {
        Label_PrinterName2->setText(m_feed.printerName + u"（見つかりません）"_s);
        return;
    }
    // The first printer is selected for a feed nobody registered a printer
    // for; it is not shown as if it had been chosen.
    if (!m_feed.registered) {
        Label_PrinterName2->setText(u"未登録"_s);
        return;
    }
    if (!m_selection.feedProblem.isEmpty()) {
        Label_PrinterName2->setText(ComboBox1->currentText() + u"（登録の用紙・給紙方法がありません）"_s);
        return;
    }
    Label_PrinterName2->setText(ComboBox1->currentText() + u'/' + ComboBox2->currentText() + u'/' +
                                ComboBox3->currentText());
}

void TForm_Main::PrinterSystemChanged()
{
    // The system's printers changed (the change watch): the printer object
    // fell back to the system's default, so the registered printer is
    // selected again by its name, or shown as missing. A print system that
    // cannot be reached now is checked again by the next watch: selecting
    // would ask it once more on the window's thread, and a print server that
    // does not answer would hold the window for its whole time limit.
    if (m_selectingPrinter || !m_started || !WbPrinter().SystemReached())
        return;
    try {
        SpeedButton_PRNSETClick();
    } catch (const EVuzoError &) {
    }
}

void TForm_Main::BitBtn_PrnSetClick()
{
    SpeedButton_PrnIdGetClick();
    TWbPrinter &printer = WbPrinter();
    if (m_selection.printerMissing()) {
        printer.SetIndex(0);
    } else {
        const int registered = vuzo::StrToIntZero(Label_PrinterIndex->text());
        printer.SetIndex(printer.Index() == registered ? registered : 0);
    }
    if (!WbPrinterSetupDialog1->Execute()) {
        // A cancel changes nothing: the file is not written, and the feed is
        // selected again as the file registers it, a missing printer still
        // refusing the print.
        SpeedButton_PrnIdGetClick();
        return;
    }
    Label_PrinterIndex->setText(QString::number(printer.Index()));
    // The printer selected now is the one the feed keeps to, with the paper,
    // tray and resolution in force (the printer's own, or those chosen in the
    // dialog).
    m_feed.takeSelectedPrinter(printer);
    m_selection = session::FeedSelection{};
    const QString section = ComboBox_SEL->currentText();
    SpeedButton_PRNSETClick();
    session::FeedRegistration registration = feedRegistration();
    registration.printerName = vuzo::Trim(ComboBox1->currentText());
    ProfileFile ini(RegistrationPath());
    ProfileFile::Batch batch(ini);
    registration.write(ini, section);
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
    // A registered printer that is missing keeps its name in the file.
    if (m_selection.printerMissing())
        return m_feed.printerName;
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
