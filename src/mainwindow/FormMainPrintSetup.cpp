// Printer registration per paper feed: load, apply and register, over the
// printer layer and vuzo_a500.ini.

#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "printer/PwgNames.h"
#include "printer/WbPrinters.h"
#include "printsetup/TForm_SLIP97YPrn.h"
#include "printsetup/WbPrinterDialogs.h"
#include "settings/ProfileFile.h"
#include "settings/ValueLimits.h"

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
    const QString section = ComboBox_SEL->currentText();
    {
        ProfileFile ini(RegistrationPath());
        // The registration names its printer; the position is only for files
        // that do not name one.
        m_wantedPrinter = ini.ReadString(section, u"PrnName"_s, QString());
        m_wantedMedia = vuzo::Trim(ini.ReadString(section, u"PrnMedia"_s, QString()));
        m_wantedSource = vuzo::Trim(ini.ReadString(section, u"PrnMediaSource"_s, QString()));
        m_wantedResolution = vuzo::Trim(ini.ReadString(section, u"PrnResolution"_s, QString()));
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
    // A change of the system's printers noticed while this selection runs is
    // not answered by a second selection inside this one.
    m_selectingPrinter = true;
    const auto done = qScopeGuard([this] {
        m_selectingPrinter = false;
        showPrinterSummary();
    });
    m_printerMissing = false;
    m_feedProblem.clear();
    if (!m_wantedPrinter.isEmpty()) {
        selectWantedPrinter(printer);
        return;
    }
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
    applyFeedSettings(printer);
    fillPrinterLists(printer);
}

void TForm_Main::selectWantedPrinter(TWbPrinter &printer)
{
    // The queue is found by its name wherever it sorts now; CUPS compares
    // queue names without regard to case.
    const QStringList &names = printer.PrinterNames();
    int found = names.indexOf(m_wantedPrinter);
    if (found < 0) {
        for (int i = 0; i < names.size() && found < 0; ++i) {
            if (names.at(i).compare(m_wantedPrinter, Qt::CaseInsensitive) == 0)
                found = i;
        }
    }
    if (found < 0) {
        // The registered printer is gone. Nothing is printed elsewhere: the
        // lists show no printer and printing is refused until the printer is
        // back or another one is registered.
        m_printerMissing = true;
        const QStringList shown = names;
        const QSignalBlocker block1(ComboBox1);
        const QSignalBlocker block2(ComboBox2);
        const QSignalBlocker block3(ComboBox3);
        ComboBox1->clear();
        ComboBox1->addItems(shown);
        ComboBox1->setCurrentIndex(-1);
        ComboBox2->clear();
        ComboBox3->clear();
        return;
    }
    printer.SetIndex(found);
    Label_PrinterIndex->setText(QString::number(found));
    applyFeedSettings(printer);
    fillPrinterLists(printer);
}

void TForm_Main::applyFeedSettings(TWbPrinter &printer)
{
    // Selecting a printer gave it its own defaults; the feed's registration
    // is laid over them. What the printer no longer offers is not replaced
    // by something else: printing stops until the feed is registered again.
    // A setting the feed does not register is the printer's own default,
    // even when the same printer stays selected from another feed.
    const std::optional<DevMode> defaults = printer.System().DefaultSettings(printer.System().GetPrinter().device);
    // A setting the printer does not have raises; here that is an answer (not
    // done), not an error. No printer at all still is one.
    auto attempt = [](const std::function<bool()> &set) {
        try {
            return set();
        } catch (const EWbPrinterNoPrinter &) {
            throw;
        } catch (const EWbPrinter &) {
            return false;
        }
    };
    auto restore = [&](const std::function<void()> &set) {
        attempt([&] {
            set();
            return true;
        });
    };
    if (defaults) {
        if (m_wantedMedia.isEmpty() && (defaults->dmFields & DM_PAPERSIZE))
            restore([&] { printer.SetPaperSizeNumber(defaults->dmPaperSize); });
        if (m_wantedSource.isEmpty() && (defaults->dmFields & DM_DEFAULTSOURCE))
            restore([&] { printer.SetBinNumber(defaults->dmDefaultSource); });
        if (m_wantedResolution.isEmpty() && (defaults->dmFields & DM_PRINTQUALITY))
            restore([&] {
                printer.SetQuality(WbSize{defaults->dmPrintQuality, defaults->dmYResolution > 0
                                                                        ? defaults->dmYResolution
                                                                        : defaults->dmPrintQuality});
            });
    }
    QStringList missing;
    auto apply = [&](const QString &wanted, const QString &what, const std::function<bool()> &set) {
        if (!wanted.isEmpty() && !attempt(set))
            missing.append(what);
    };
    apply(m_wantedMedia, u"用紙「"_s + vuzo::MediaDisplayName(m_wantedMedia) + u"」"_s,
          [&] { return printer.SetPaperSizeKeyword(m_wantedMedia); });
    apply(m_wantedSource, u"給紙方法「"_s + vuzo::SourceDisplayName(m_wantedSource) + u"」"_s,
          [&] { return printer.SetBinKeyword(m_wantedSource); });
    apply(m_wantedResolution, u"解像度「"_s + m_wantedResolution + u"」"_s,
          [&] { return printer.SetResolutionKeyword(m_wantedResolution); });
    printer.ApplySettings();
    if (!missing.isEmpty())
        m_feedProblem = u"プリンタ「"_s + vuzo::Trim(printer.PrinterNames().value(printer.Index())) +
                        u"」には、登録された"_s + missing.join(u'、') + u"がありません。"_s;
}

void TForm_Main::setWantedMedia(TWbPrinter &printer)
{
    auto read = [](const std::function<QString()> &get) {
        try {
            return get();
        } catch (const EWbPrinter &) {
            return QString();
        }
    };
    m_wantedMedia = read([&] { return printer.PaperSizeKeyword(); });
    m_wantedSource = read([&] { return printer.BinKeyword(); });
    m_wantedResolution = read([&] { return printer.ResolutionKeyword(); });
    m_feedProblem.clear();
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
    if (m_printerMissing) {
        Label_PrinterName2->setText(m_wantedPrinter + u"（見つかりません）"_s);
        return;
    }
    if (!m_feedProblem.isEmpty()) {
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
    // cannot be reached now is checked again by the next watch.
    if (m_selectingPrinter || !m_started)
        return;
    try {
        SpeedButton_PRNSETClick();
    } catch (const EVuzoError &) {
    }
}

void TForm_Main::setWantedPrinter(TWbPrinter &printer)
{
    m_wantedPrinter = printer.PrinterNames().value(printer.Index());
    m_printerMissing = false;
}

void TForm_Main::BitBtn_PrnSetClick()
{
    SpeedButton_PrnIdGetClick();
    TWbPrinter &printer = WbPrinter();
    if (m_printerMissing) {
        printer.SetIndex(0);
    } else {
        const int registered = vuzo::StrToIntZero(Label_PrinterIndex->text());
        printer.SetIndex(printer.Index() == registered ? registered : 0);
    }
    // OK or Cancel, the registration is written for the printer selected now.
    WbPrinterSetupDialog1->Execute();
    Label_PrinterIndex->setText(QString::number(printer.Index()));
    setWantedPrinter(printer);
    // The paper, tray and resolution in force (the printer's own, or those
    // chosen in the dialog) are the feed's from now on.
    setWantedMedia(printer);
    const QString section = ComboBox_SEL->currentText();
    SpeedButton_PRNSETClick();
    ProfileFile ini(RegistrationPath());
    ProfileFile::Batch batch(ini);
    ini.WriteString(section, u"PrnName"_s, vuzo::Trim(ComboBox1->currentText()));
    ini.WriteString(section, u"PrnNoIndex"_s, Label_PrinterIndex->text());
    ini.WriteString(section, u"denPrn_Top"_s, Label_Prn_Top->text());
    ini.WriteString(section, u"denPrn_Left"_s, Label_Prn_Left->text());
    ini.WriteString(section, u"PrnMedia"_s, m_wantedMedia);
    ini.WriteString(section, u"PrnMediaSource"_s, m_wantedSource);
    ini.WriteString(section, u"PrnResolution"_s, m_wantedResolution);
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
    if (m_printerMissing)
        return m_wantedPrinter;
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
