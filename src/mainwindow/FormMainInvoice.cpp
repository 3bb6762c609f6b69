// The delivery note and invoice of the main window: its printer registration
// (section [Invoice] of the registration file), F10 that prints it alone, and
// its print after the slip when 「伝票と一緒に印刷」 is chosen.

#include "controls/DialogService.h"
#include "mainwindow/TForm_Main.h"
#include "printer/InvoicePage.h"
#include "printer/WbPrinters.h"
#include "printsetup/WbPrinterDialogs.h"
#include "session/InvoiceContent.h"
#include "session/JobFollower.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

session::FeedRegistration TForm_Main::invoiceRegistration() const
{
    const ProfileFile ini(RegistrationPath());
    return session::FeedRegistration::Read(ini, session::InvoiceSection());
}

InvoiceSheet TForm_Main::invoiceSheet()
{
    session::SlipRecord record = slipRecord();
    const session::SlipFigures figures = session::PrintPass(record, StrToCurrZero(Label_xTax->text()));
    return session::InvoiceSheetOf(record, figures);
}

void TForm_Main::BitBtn_InvoicePrnSetClick()
{
    TWbPrinter &printer = WbPrinter();
    // The slip's feed is selected again whatever the dialog ends with.
    const auto restore = qScopeGuard([this] { SpeedButton_PRNSETClick(); });
    const session::FeedRegistration registered = invoiceRegistration();
    if (registered.printerName.isEmpty() || session::SelectFeed(printer, registered).printerMissing())
        printer.SetIndex(0);
    if (!WbPrinterSetupDialog1->Execute())
        return; // a cancel changes nothing
    session::FeedRegistration registration;
    registration.takeSelectedPrinter(printer);
    registration.printerIndex = QString::number(printer.Index());
    if (!InvoicePaperMm(registration.media)) {
        vuzo::Dialogs().notice(this, u"納品書兼請求書の用紙は A4 か A5 を選んでください。\n登録は変更していません。"_s);
        return;
    }
    ProfileFile ini(RegistrationPath());
    ProfileFile::Batch batch(ini);
    registration.write(ini, session::InvoiceSection());
    batch.commit();
    setHelp(u"請求書のプリンタを登録しました："_s + registration.printerName);
}

bool TForm_Main::printInvoice(std::optional<qint64> withSlip)
{
    const session::FeedRegistration registration = invoiceRegistration();
    if (const QString refusal = session::RegistrationRefusal(registration); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(this, u"納品書兼請求書を印刷できません。\n"_s + refusal);
        return false;
    }
    if (registration.printerName.isEmpty()) {
        vuzo::Dialogs().notice(
            this, u"納品書兼請求書のプリンタが登録されていません。\n"
                  u"印刷設定の「請求書のプリンタを登録」で、プリンタと用紙（A4・A5）を登録してください。"_s);
        return false;
    }
    TWbPrinter &printer = WbPrinter();
    const auto restore = qScopeGuard([this] { SpeedButton_PRNSETClick(); });
    const session::FeedSelection selection = session::SelectFeed(printer, registration);
    if (const QString refusal = session::PrintRefusal(printer, selection, registration); !refusal.isEmpty()) {
        // The refusal names the slip's registration button; the invoice has its own.
        vuzo::Dialogs().notice(
            this, u"納品書兼請求書を印刷できません。\n"_s +
                      QString(refusal).replace(u"「セットするプリンタを登録」"_s, u"「請求書のプリンタを登録」"_s));
        return false;
    }
    const QSizeF sheetMm = InvoiceSheetMm(registration.media);
    // The sheet's job is kept with its slip: the one printed with it, the
    // window's slip recorded last when it is unchanged, else the window's
    // slip recorded now with the sheet.
    session::HistoryJob job = historyJobFor(session::HistoryJobKind::Invoice, 1);
    qint64 historyJob = 0;
    if (withSlip) {
        if (*withSlip > 0)
            historyJob = addHistoryJob(*withSlip, job, invoiceSheet());
    } else if (windowSlipIsLastRecorded()) {
        historyJob = addHistoryJob(m_lastRecordedSlip, job, invoiceSheet());
    } else {
        session::HistorySlip slip = historySlipOfWindow();
        slip.invoice = invoiceSheet();
        if (recordSlip(slip, job))
            historyJob = job.id;
    }
    // The sheet carries the number the slip has now.
    const InvoiceSheet sheet = invoiceSheet();
    try {
        printer.PrintDocument(sheet.title, [&] {
            QPainter *painter = printer.Canvas();
            DrawInvoicePage(*painter, sheet, sheetMm, painter->device()->logicalDpiY());
        });
    } catch (...) {
        setHistoryJobState(historyJob, session::HistoryJobState::Failed);
        throw;
    }
    historyJobHandedOver(historyJob);
    m_invoiceFollower->follow();
    return true;
}

void TForm_Main::SpeedButton_F10Click()
{
    if (!prePrintPass())
        return;
    if (!vuzo::Dialogs().confirm(this, u"納品書兼請求書を印刷しますか?"_s)) {
        Memo1->setFocus(Qt::OtherFocusReason);
        return;
    }
    printInvoice();
}
