// The print command of the main window and the slip print holder.

#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
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
    if (const QString refusal = printRefusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return;
    }
    // Lines beyond those the slip holds are told first; going back prints nothing.
    if (!unprintedRowsAccepted())
        return;
    // A slip of ¥0 is mostly one printed before its lines were filled in: it
    // is asked about plainly, and the default answer prints nothing.
    const bool zeroTotal = StrToCurrZero(ZuNumEdit_sttl->text()).isZero();
    const bool go = zeroTotal ? vuzo::Dialogs().choose(this, u"請求金額が０円です。このまま印刷しますか?"_s,
                                                       u"印刷する"_s, u"印刷しない"_s)
                              : vuzo::Dialogs().confirm(this, u"印刷しますか?"_s);
    if (!go) {
        Memo1->setFocus(Qt::OtherFocusReason);
        return;
    }
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
    int copies = PrintCopyCount(ZuNumEdit_BUSUU->text());
    const QString title = PrintJobTitle(ListIndex(ComboBox_Paper), ZuNumEdit_Slipno->text());

    printer.PrintDocument(title, [&] {
        while (copies > 0) {
            m_wbD97Dot->SLIP97_Prn();
            --copies;
            if (copies > 0)
                printer.Newpage();
        }
    });
    followPrintedJob();
}
