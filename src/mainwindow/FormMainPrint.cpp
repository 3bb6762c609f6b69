// The print command of the main window and the slip print holder.

#include "controls/DialogService.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "mainwindow/TWb_d97_Dot.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTimer>

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
    const TForm_Main &f = *this;
    SlipInputs in;
    in.geometry = ParsePrintGeometry(dpiX, dpiY, f.Label_Prn_Top->text(), f.Label_Prn_Left->text());
    in.sttl = f.ZuNumEdit_sttl->text();
    in.zip = f.Edit_Zip->text();
    in.add1 = f.Edit_Add1->text();
    in.add2 = f.Edit_Add2->text();
    in.add3 = f.Edit_Add3->text();
    in.custo1 = f.Edit_Custo1->text();
    in.tel = f.Edit_tel->text();
    // Line numbers are read leniently: text that is not a number counts as 0.
    for (int n = 1; n <= 4; ++n) {
        in.rows[n - 1] = {f.dITEM_Ary[n]->text(), f.dUNIT_Ary[n]->text(), StrToCurrZero(f.dQTY_Ary[n]->text()),
                          StrToCurrZero(f.dPRICE_Ary[n]->text()), StrToCurrZero(f.dSALES_Ary[n]->text())};
    }
    return in;
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
    DEN_SALS_2();
    // The totals pass stays quiet about figures that do not fit: the refusal
    // below names them all in one box.
    {
        m_quietOverflow = true;
        const auto loud = qScopeGuard([this] { m_quietOverflow = false; });
        DEN_SUM();
    }
    // A figure that does not fit its field would print a wrong amount due.
    if (!m_overflowNotices.isEmpty()) {
        vuzo::Dialogs().notice(this, m_overflowNotices.join(u'\n') + u"\n印刷できません。"_s);
        return false;
    }
    return true;
}

QString TForm_Main::missingPrinterMessage() const
{
    if (m_printerMissing)
        return u"登録されたプリンタ「"_s + m_wantedPrinter +
               u"」が見つかりません。印刷設定タブの「セットするプリンタを登録」でプリンタを登録し直してください。"_s;
    if (!m_feedProblem.isEmpty())
        return m_feedProblem + u"印刷設定タブの「セットするプリンタを登録」で用紙と給紙方法を登録し直してください。"_s;
    return QString();
}

void TForm_Main::SpeedButton_F11Click()
{
    if (!prePrintPass())
        return;
    // The system's printers are compared with those the selection was made
    // on, so a queue removed or added since is seen before the job starts.
    try {
        WbPrinter().CheckSystemChange();
    } catch (const EVuzoError &) {
        // An unreachable print system is told by the job itself.
    }
    // Nothing is printed elsewhere than the registration says, nor sent to a
    // queue that would not print it.
    if (const QString refusal = printRefusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, refusal);
        return;
    }
    // Lines beyond those the slip holds are told first; going back prints nothing.
    if (!unprintedRowsAccepted())
        return;
    if (!vuzo::Dialogs().confirm(this, u"印刷しますか?"_s)) {
        Memo1->setFocus(Qt::OtherFocusReason);
        return;
    }
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
    followJob();
}

QString TForm_Main::printRefusal()
{
    if (const QString missing = missingPrinterMessage(); !missing.isEmpty())
        return missing;
    // An unreachable print system raises here and is told as it is.
    try {
        return WbPrinter().QueueProblem();
    } catch (const EWbPrinterNoPrinter &e) {
        return vuzo::NoPrinterMessage(e.message());
    }
}

namespace {
// How often and how long a job handed over is followed: long enough for a
// backend to fail on it, short enough not to report on a printer that is
// simply slow.
constexpr int JobPollMs = 250;
constexpr int JobPolls = 24;
} // namespace

void TForm_Main::followJob()
{
    if (!m_jobFollow) {
        m_jobFollow = new QTimer(this);
        m_jobFollow->setInterval(JobPollMs);
        connect(m_jobFollow, &QTimer::timeout, this, [this] { pollJob(); });
    }
    m_jobPolls = 0;
    m_jobFollow->start();
}

void TForm_Main::pollJob()
{
    ++m_jobPolls;
    SystemPrinter::JobStatus status;
    try {
        status = WbPrinter().LastJobStatus();
    } catch (const EVuzoError &) {
        // The print system went away after taking the job: the next print
        // tells that; nothing is known about this job.
        status = SystemPrinter::JobStatus{};
    }
    if (status.settled || m_jobPolls >= JobPolls)
        m_jobFollow->stop();
    if (!status.problem.isEmpty())
        vuzo::Dialogs().notice(this, status.problem);
}
