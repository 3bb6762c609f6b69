// The print command of the main window and the slip print holder.

#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
#include "printer/SlipPage.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"
#include "session/JobFollower.h"
#include "session/SlipComputation.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

TWb_d97_Dot::TWb_d97_Dot(TForm_Main *main, QWidget *parent) : QWidget(parent), m_main(main)
{
    setObjectName(u"Wb_d97_Dot"_s);
}

SlipInputs TWb_d97_Dot::Inputs() const
{
    return m_main->slipInputs();
}

SlipInputs TForm_Main::slipInputs() const
{
    return slipInputsAt(Label_dpix->text(), Label_dpiy->text());
}

SlipInputs TForm_Main::slipInputsAt(const QString &dpiX, const QString &dpiY) const
{
    return session::SlipInputsOf(slipRecord(), ZuNumEdit_sttl->text(),
                                 ParsePrintGeometry(dpiX, dpiY, Label_Prn_Top->text(), Label_Prn_Left->text()));
}

void TWb_d97_Dot::SLIP97_Prn()
{
    // The printer's canvas is taken before the captions are read: when both
    // fail, the printer's error is the one the operator sees. A bad caption
    // still raises before anything is drawn.
    PainterCanvas canvas(WbPrinter().Canvas());
    const SlipInputs in = Inputs();
    ::SLIP97_Prn(canvas, in);
}

bool TForm_Main::prePrintPass()
{
    // The pass a print of any slip runs, here on the window's record: a row
    // with a price but no quantity is told as the pass meets it.
    session::SlipRecord record = slipRecord();
    const session::SlipFigures figures = session::PrintPass(record, StrToCurrZero(Label_xTax->text()), [this](int row) {
        vuzo::Dialogs().notice(this, slip::RowPriceWithoutQtyMessage(row));
    });
    showLineFigures(record);
    showTotals(figures.totals);
    // The figures that do not fit are not told one by one here: the refusal
    // names them all in one box.
    {
        m_quietOverflow = true;
        const auto loud = qScopeGuard([this] { m_quietOverflow = false; });
        showOverflowNotices(figures.overflow);
    }
    m_rowOverflow = figures.lineOverflow;
    // A figure that does not fit its field would print a wrong amount due.
    if (const QString refusal = figures.refusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return false;
    }
    return true;
}

SlipInputs TForm_Main::slipInputsForPrint() const
{
    // Without a usable printer the slip is laid out at 600 dpi; the print
    // itself says why it cannot print.
    const WbSize dpi = m_selection.printerMissing() ? WbSize{session::kFallbackDpi, session::kFallbackDpi}
                                                    : session::CurrentEffectiveDpi();
    return slipInputsAt(QString::number(dpi.cx), QString::number(dpi.cy));
}

PrintedSheet TForm_Main::sheetForPrint() const
{
    if (!m_selection.printerMissing()) {
        if (const std::optional<PrintedSheet> sheet = SelectedSheet(WbPrinter()))
            return *sheet;
    }
    return WholeSheet(m_feed.sheetMm());
}

bool TForm_Main::unregisteredPrinterAccepted()
{
    if (m_feed.registered || m_unregisteredAccepted)
        return true;
    TWbPrinter &printer = WbPrinter();
    const QString queue = printer.PrinterNames().value(printer.Index());
    m_unregisteredAccepted = vuzo::Dialogs().choose(
        this,
        u"「%1」のプリンタが登録されていません。\nプリンタ「%2」に印刷しますか?\n（登録は設定タブの「セットするプリンタを登録」で行います）"_s
            .arg(ComboBox_SEL->currentText(), queue),
        u"印刷する"_s, u"印刷しない"_s);
    return m_unregisteredAccepted;
}

QString TForm_Main::missingPrinterMessage() const
{
    return session::SelectionRefusal(m_selection, m_feed);
}

QString TForm_Main::printRefusal()
{
    const vuzo::BusyCursor busy;
    // The system's printers are compared with those the selection was made
    // on, so a queue removed or added since is seen before the job starts.
    try {
        WbPrinter().CheckSystemChange();
    } catch (const EVuzoError &) {
        // An unreachable print system is told by the job itself.
    }
    // Nothing is printed elsewhere than the registration says, nor sent to a
    // queue that would not print it.
    return session::PrintRefusal(WbPrinter(), m_selection, m_feed);
}

void TForm_Main::followPrintedJob()
{
    m_jobFollower->follow();
}

void TForm_Main::SpeedButton_F11Click()
{
    if (!prePrintPass())
        return;
    if (!slipPrintAccepted([this] { return slipInputsForPrint(); }, ZuNumEdit_sttl->text(), true))
        return;
    const int copies = PrintCopyCount(ZuNumEdit_BUSUU->text());
    // The slip is kept in the history, and its number taken, before the job.
    session::HistoryJob job = historyJobFor(session::HistoryJobKind::Slip, copies);
    const std::optional<session::HistorySlip> recorded = recordSlip(historySlipOfWindow(), job);
    sendSlip(
        ZuNumEdit_Slipno->text(), copies, [this] { m_wbD97Dot->SLIP97_Prn(); }, recorded ? job.id : 0);
    setHelp(u"伝票番号 "_s + ZuNumEdit_Slipno->text() + u" を印刷しました"_s);
    // The delivery note and invoice goes with every slip when so chosen.
    if (ComboBox_InvoiceWithSlip->currentIndex() == 1)
        printInvoice(recorded ? recorded->id : 0);
}

bool TForm_Main::slipPrintAccepted(const std::function<SlipInputs()> &inputs, const QString &totalText, bool windowRows)
{
    if (const QString refusal = printRefusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return false;
    }
    // A printer the feed has no registration for is named and asked about.
    if (!unregisteredPrinterAccepted())
        return false;
    // Lines beyond those the slip holds are told first; going back prints nothing.
    if (windowRows && !unprintedRowsAccepted())
        return false;
    // What would be cut off by the paper's edge or overprinted by the next
    // cell is named before anything is sent; the default answer prints
    // nothing, and going on needs no second question.
    // An offset caption that is no number is told by the print itself.
    QString fit;
    try {
        fit = SlipFitWarning(inputs(), sheetForPrint());
    } catch (const EVuzoError &) {
    }
    // A slip of ¥0 is mostly one printed before its lines were filled in: it
    // is asked about plainly, and the default answer prints nothing.
    const bool zeroTotal = StrToCurrZero(totalText).isZero();
    bool go = fit.isEmpty() ||
              vuzo::Dialogs().choose(this, fit + u"\n\nこのまま印刷しますか?"_s, u"印刷する"_s, u"印刷しない"_s);
    if (go && zeroTotal)
        go = vuzo::Dialogs().choose(this, u"請求金額が０円です。このまま印刷しますか?"_s, u"印刷する"_s,
                                    u"印刷しない"_s);
    else if (go && fit.isEmpty())
        go = vuzo::Dialogs().confirm(this, u"印刷しますか?"_s);
    if (!go) {
        Memo1->setFocus(Qt::OtherFocusReason);
        return false;
    }
    return true;
}

void TForm_Main::sendSlip(const QString &slipNo, int copies, const std::function<void()> &drawCopy, qint64 historyJob)
{
    const vuzo::BusyCursor busy;
    TWbPrinter &printer = WbPrinter();
    // Resolution and scale are read in this order, once for each direction.
    // A device that reports a scale of 0 prints at 100 %.
    const WbSize dpiForX = printer.DPI();
    const int scaleForX = printer.Scale();
    const WbSize dpiForY = printer.DPI();
    const int scaleForY = printer.Scale();
    Label_dpix->setText(QString::number(EffectiveResolution(dpiForX.cx, scaleForX)));
    Label_dpiy->setText(QString::number(EffectiveResolution(dpiForY.cy, scaleForY)));
    const QString title = PrintJobTitle(ListIndex(ComboBox_Paper), slipNo);

    try {
        printer.PrintDocument(title, [&] {
            while (copies > 0) {
                drawCopy();
                --copies;
                if (copies > 0)
                    printer.Newpage();
            }
        });
    } catch (...) {
        setHistoryJobState(historyJob, session::HistoryJobState::Failed);
        throw;
    }
    historyJobHandedOver(historyJob);
    followPrintedJob();
}
