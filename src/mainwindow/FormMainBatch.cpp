// The batch print window (F8, 「一括印刷」) over the main window: the order
// file asked for, the slips made on the feed selected now, an order taken
// into the fields to be fixed, and the one job of the ticked slips with F11's
// refusals and the history's records.

#include "batch/TForm_Batch.h"
#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "preview/TForm_Preview.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/InvoicePage.h"
#include "printer/WbPrinterErrors.h"
#include "printer/WbPrinters.h"
#include "session/HistoryService.h"
#include "session/JobFollower.h"
#include "session/OrderBatch.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTimer>
#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// How long looking up one order in the history may take before the order
// counts as not printed; the print then records it anyway.
constexpr int kOrderLookupMs = 1000;
// How long recording a batch's slips may take: the single slip's bound and a
// little more for each slip.
constexpr int kRecordWaitMs = 3000;
constexpr int kRecordWaitPerSlipMs = 100;

// A file name part of an order id: what a file name cannot hold becomes 「_」.
QString FileNamePart(const QString &id)
{
    QString out;
    for (const QChar c : id)
        out += (c.isLetterOrNumber() || c == u'-' || c == u'_') ? c : u'_';
    return out;
}

} // namespace

TForm_Batch *TForm_Main::batchWindow() const
{
    return m_batchWindow.data();
}

void TForm_Main::SpeedButton_F8Click()
{
    if (m_batchWindow) {
        m_batchWindow->raise();
        m_batchWindow->activateWindow();
        return;
    }
    const QString path =
        vuzo::Dialogs().openFileName(this, u"注文ファイルを開く"_s, Label_CurrentDir->text(),
                                     u"注文ファイル (*.csv *.tsv *.txt *.CSV *.TSV *.TXT);;すべてのファイル (*)"_s);
    if (path.isEmpty())
        return;
    auto *window = new TForm_Batch(this, this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    m_batchWindow = window;
    window->show();
    window->activateWindow();
    window->readFile(path);
    // A file of no known export asks for its columns once the window is up.
    if (window->file().needsMapping)
        QTimer::singleShot(0, window, [window] { vuzo::Guard(window, [window] { window->askMapping(); }); });
}

QString TForm_Main::batchDataDir() const
{
    return Label_CurrentDir->text();
}

session::BatchSettings TForm_Main::batchSettings()
{
    session::BatchSettings settings = session::BatchContextOf(Label_CurrentDir->text(), slipRecord().slipDate);
    session::BatchContext &context = settings.context;
    // The slips are laid out on the feed selected now and printed with F11's
    // refusals, so only a settings file that cannot be read refuses them.
    if (ProfileFile(SettingsPath()).readRefusal().isEmpty())
        settings.refusal.clear();
    // The feed selected now, as F11 would print on it.
    const WbSize dpi = m_selection.printerMissing() ? WbSize{session::kFallbackDpi, session::kFallbackDpi}
                                                    : session::CurrentEffectiveDpi();
    try {
        context.geometry = ParsePrintGeometry(QString::number(dpi.cx), QString::number(dpi.cy), Label_Prn_Top->text(),
                                              Label_Prn_Left->text());
    } catch (const EVuzoError &) {
        // An offset that is no number is told by the print itself.
    }
    context.sheetMm = sheetForPrint().sheetMm;
    // The checks of codes and addresses need the dictionary: a file read
    // right after start-up waits for its load (under the busy cursor)
    // rather than going unchecked.
    if (m_postal && !m_postalLookup)
        m_postal->dictionary().waitForLoaded(std::chrono::seconds(30));
    context.postal = transferLookup();
    context.slipRows = wSLPMAX;
    // An order the history cannot answer for (a store that cannot open, a
    // database that does not answer in time) is taken as printed: it then
    // waits for the operator's word like one that was, and after the first
    // such answer the rest are not waited for again.
    session::HistoryService *history = m_history;
    if (history) {
        auto unanswered = std::make_shared<bool>(history->state() == session::HistoryService::State::Failed);
        context.printedBefore = [history, unanswered](const QString &orderId) {
            if (*unanswered)
                return true;
            QString why;
            const std::optional<bool> printed = history->wait<bool>(
                [orderId](session::HistoryStore &s) { return s.hasOrder(orderId); }, kOrderLookupMs, &why);
            *unanswered = !printed;
            return printed.value_or(true);
        };
    }
    return settings;
}

bool TForm_Main::showBatchSlip(const session::SlipRecord &record)
{
    // As a paste transfer does: what the operator typed is not replaced
    // without asking.
    if (m_deliveryTyped && !vuzo::Dialogs().confirm(this, u"手で入力したお届け先を上書きしますか?"_s))
        return false;
    PageControl1->setCurrentIndex(0);
    session::SlipRecord now = slipRecord();
    now.lines = record.lines;
    showLines(now);
    Edit_Zip->setText(record.zip);
    Edit_Add1->setText(record.add1);
    Edit_Add2->setText(record.add2);
    Edit_Add3->setText(record.add3);
    Edit_Custo1->setText(record.custo1);
    Edit_tel->setText(record.tel);
    m_deliveryTyped = false;
    Edit_Warning();
    DEN_SALS();
    DEN_SUM();
    raise();
    activateWindow();
    Edit_Zip->setFocus(Qt::OtherFocusReason);
    return true;
}

bool TForm_Main::previewBatchSlip(const session::BatchSlip &slip, const session::BatchContext &context)
{
    {
        ProfileFile ini(RegistrationPath());
        const session::FeedRegistration feed = session::FeedRegistration::Read(ini, ComboBox_SEL->currentText());
        if (const QString refusal = session::RegistrationRefusal(feed); !refusal.isEmpty()) {
            vuzo::Dialogs().notice(this, refusal);
            return false;
        }
    }
    PreviewRequest request;
    request.inputs = session::BatchSlipInputs(slip, context);
    const PrintedSheet sheet = sheetForPrint();
    request.sheetMm = sheet.sheetMm;
    request.printableMm = sheet.printableMm;
    request.warning = SlipFitWarning(request.inputs, sheet);
    request.pdfPath = Label_CurrentDir->text() + u"/order-"_s + FileNamePart(slip.order.orderId) + u".pdf"_s;
    request.dataDir = Label_CurrentDir->text();
    request.title = u"注文 "_s + slip.order.orderId;
    TForm_Preview preview(request, m_batchWindow ? static_cast<QWidget *>(m_batchWindow.data()) : this);
    return preview.exec() == TForm_Preview::PrintRequested;
}

BatchPrintOutcome TForm_Main::printBatch(const BatchPrintRequest &request)
{
    BatchPrintOutcome outcome;
    QWidget *asking = m_batchWindow ? static_cast<QWidget *>(m_batchWindow.data()) : this;
    if (request.slips.isEmpty())
        return outcome;
    if (const QString refusal = printRefusal(); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(asking, refusal);
        return outcome;
    }
    if (!unregisteredPrinterAccepted())
        return outcome;
    if (!vuzo::Dialogs().confirm(asking, u"%1件の伝票を印刷しますか?"_s.arg(request.slips.size())))
        return outcome;

    // Each slip is kept in the history, with its order id, before the job;
    // a slip printed before in this window gets the job added instead. A
    // store that fails is told once and the print goes on.
    const int count = int(request.slips.size());
    const session::HistoryJob job = historyJobFor(session::HistoryJobKind::Slip, 1);
    using Kept = std::pair<QList<qint64>, QList<qint64>>; // the slips, their jobs
    std::optional<Kept> kept;
    QString why = u"履歴のデータベースがありません。"_s;
    if (m_history) {
        const vuzo::BusyCursor busy;
        const QList<session::BatchSlip> slips = request.slips;
        const QList<qint64> stored = request.storedIds;
        kept = m_history->wait<Kept>(
            [slips, stored, job](session::HistoryStore &s) {
                Kept k;
                for (int i = 0; i < slips.size(); ++i) {
                    const qint64 before = stored.value(i);
                    if (before > 0) {
                        k.first.append(before);
                        k.second.append(s.addJob(before, job));
                    } else {
                        session::HistoryJob first = job;
                        const session::HistorySlip slip = s.record(session::BatchHistorySlip(slips.at(i)), first);
                        k.first.append(slip.id);
                        k.second.append(first.id);
                    }
                }
                return k;
            },
            kRecordWaitMs + kRecordWaitPerSlipMs * count, &why);
    }
    if (!kept) {
        tellNotRecorded(why);
        kept = Kept{QList<qint64>(request.storedIds), QList<qint64>(count, 0)};
    }
    outcome.storedIds = kept->first;
    const QList<qint64> &jobIds = kept->second;

    TWbPrinter &printer = WbPrinter();
    const QString title = PrintJobTitle(ListIndex(ComboBox_Paper), u"一括 %1件"_s.arg(count));
    session::BatchPrintResult result;
    {
        const vuzo::BusyCursor busy;
        try {
            result = session::PrintBatch(printer, title, request.pages, request.progress);
        } catch (...) {
            for (const qint64 id : jobIds)
                setHistoryJobState(id, session::HistoryJobState::Failed);
            throw;
        }
    }
    outcome.sent = true;
    outcome.pagesDrawn = result.pagesDrawn;
    outcome.stopped = result.stopped;

    // Every slip's job is the print system's one job; the slips not drawn
    // before 中止 never went out.
    SystemPrinter::JobTicket ticket;
    try {
        ticket = printer.System().LastJob();
    } catch (const EVuzoError &) {
    }
    QList<qint64> followed;
    for (int i = 0; i < jobIds.size(); ++i) {
        if (i < result.pagesDrawn && !result.stopped) {
            setHistoryJobState(jobIds.at(i), session::HistoryJobState::Sent, ticket.id);
            if (jobIds.at(i) > 0)
                followed.append(jobIds.at(i));
        } else {
            setHistoryJobState(jobIds.at(i), session::HistoryJobState::Cancelled, ticket.id);
        }
    }
    if (ticket.id > 0 && !followed.isEmpty())
        m_batchHistoryJobs.insert(ticket.id, followed);
    if (!result.stopped)
        followPrintedJob();
    setHelp(u"%1件の伝票を印刷しました"_s.arg(result.pagesDrawn));

    // The delivery note and invoice goes with every slip when so chosen.
    if (!result.stopped && ComboBox_InvoiceWithSlip->currentIndex() == 1)
        printBatchInvoices(request.slips.mid(0, result.pagesDrawn));
    return outcome;
}

void TForm_Main::printBatchInvoices(const QList<session::BatchSlip> &slips)
{
    if (slips.isEmpty())
        return;
    QWidget *asking = m_batchWindow ? static_cast<QWidget *>(m_batchWindow.data()) : this;
    const session::FeedRegistration registration = invoiceRegistration();
    if (const QString refusal = session::RegistrationRefusal(registration); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(asking, u"納品書兼請求書を印刷できません。\n"_s + refusal);
        return;
    }
    if (registration.printerName.isEmpty()) {
        vuzo::Dialogs().notice(
            asking, u"納品書兼請求書のプリンタが登録されていません。\n"
                    u"印刷設定の「請求書のプリンタを登録」で、プリンタと用紙（A4・A5）を登録してください。"_s);
        return;
    }
    TWbPrinter &printer = WbPrinter();
    const auto restore = qScopeGuard([this] { SpeedButton_PRNSETClick(); });
    const session::FeedSelection selection = session::SelectFeed(printer, registration);
    if (const QString refusal = session::PrintRefusal(printer, selection, registration); !refusal.isEmpty()) {
        vuzo::Dialogs().notice(
            asking, u"納品書兼請求書を印刷できません。\n"_s +
                        QString(refusal).replace(u"「セットするプリンタを登録」"_s, u"「請求書のプリンタを登録」"_s));
        return;
    }
    session::PrintBatchInvoices(printer, u"納品書兼請求書 %1件"_s.arg(slips.size()), slips,
                                InvoiceSheetMm(registration.media));
    m_invoiceFollower->follow();
}
