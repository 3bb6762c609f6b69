// The slip history of the main window: its service, the recording of every
// slip handed to the print system, the reprint of a stored slip and the item
// names remembered from earlier slips.

#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "preview/TForm_Preview.h"
#include "print/PrintCommand.h"
#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"
#include "printer/SlipPage.h"
#include "printer/WbPrinters.h"
#include "session/HistoryService.h"
#include "session/JobFollower.h"
#include "session/SlipComputation.h"
#include "settings/ProfileFile.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QStringListModel>

using namespace Qt::StringLiterals;
using session::HistoryJob;
using session::HistoryJobKind;
using session::HistoryJobState;
using session::HistorySlip;
using session::HistoryStore;

namespace {

// How long a print waits for the history before it goes on without it.
constexpr int kRecordWaitMs = 3000;

qint64 Yen(const std::optional<Currency> &value)
{
    return value ? value->truncated() : 0;
}

// What makes two slips the same slip for the operator: the delivery, the
// sender, the lines and the total.
QString SlipIdentity(const session::SlipRecord &r, const QString &totalText)
{
    QStringList parts{r.zip,    r.add1,   r.add2,   r.add3,   r.custo1, r.tel,
                      r.myName, r.myZip,  r.myAdd1, r.myAdd2, r.myTel,  r.slipDate.toString(Qt::ISODate),
                      r.slipNo, totalText};
    for (const session::SlipLine &line : r.lines)
        parts << line.itemNo << line.item << line.qty << line.unit << line.price << line.sales
              << QString::number(line.taxClass);
    return parts.join(QChar(0x1f));
}

} // namespace

void TForm_Main::makeHistory()
{
    if (m_history)
        return;
    const ProfileFile ini(SettingsPath());
    m_history = new session::HistoryService(session::ReadHistoryLocation(ini, Label_CurrentDir->text()), this);
    connect(m_history, &session::HistoryService::failed, this, [this](const QString &why) {
        // One line in the guidance band: the window stays usable and a print
        // says again, before its job, that it is not recorded.
        QString line = why;
        line.replace(u'\n', u'　');
        setHelp(u"履歴を使えません: "_s + line);
    });
    for (session::JobFollower *follower : {m_jobFollower, m_invoiceFollower}) {
        connect(follower, &session::JobFollower::ended, this,
                [this](const SystemPrinter::JobTicket &job, vuzo::JobEnd end) { historyJobEnded(job, end); });
    }
}

void TForm_Main::openHistory()
{
    if (!m_history)
        return;
    // The settings file may name a shared database: without it being read,
    // no other history is made in the data folder.
    if (m_settingsUnreadable)
        m_history->refuse(u"設定ファイルを読めないため、履歴のデータベースを開きません。"_s);
    else
        m_history->open();
}

void TForm_Main::showSlipNumber(const QString &slipNo)
{
    Label_SlipNo->setText(slipNo.isEmpty() ? QString() : u"伝票番号 "_s + slipNo);
}

HistorySlip TForm_Main::historySlipOfWindow() const
{
    HistorySlip slip;
    slip.record = slipRecord();
    slip.totalText = ZuNumEdit_sttl->text();
    const slip::RateTotals figures = session::RateTotalsOf(slip.record, StrToCurrZero(Label_xTax->text()));
    slip.amount = Yen(figures.totals.ssal);
    slip.tax = Yen(figures.totals.stax);
    slip.total = Yen(figures.totals.sttl);
    for (const slip::RateShare &share : figures.shares)
        slip.rates.append(
            session::HistoryRate{NumberText(share.percent), share.reduced, Yen(share.subtotal), Yen(share.tax)});
    return slip;
}

HistoryJob TForm_Main::historyJobFor(HistoryJobKind kind, int copies) const
{
    HistoryJob job;
    job.kind = kind;
    // The queue the job goes to; a print system that cannot be asked now is
    // told by the print itself.
    try {
        TWbPrinter &printer = WbPrinter();
        job.printer = printer.PrinterNames().value(printer.Index());
    } catch (const EVuzoError &) {
    }
    job.feed = ComboBox_SEL->currentText();
    job.copies = copies;
    job.state = HistoryJobState::Sending;
    return job;
}

void TForm_Main::tellNotRecorded(const QString &why)
{
    vuzo::Dialogs().notice(this, u"この伝票は履歴に記録されません。\n"_s + why +
                                     u"\n印刷はこのまま行います。ディスクの空き容量と、データベースのサーバーが"
                                     u"動いているかを確かめてください。"_s);
}

std::optional<HistorySlip> TForm_Main::recordSlip(HistorySlip slip, HistoryJob &job)
{
    const vuzo::BusyCursor busy;
    QString why = u"履歴のデータベースがありません。"_s;
    std::optional<std::pair<HistorySlip, HistoryJob>> stored;
    if (m_history)
        stored = m_history->wait<std::pair<HistorySlip, HistoryJob>>(
            [slip, job](HistoryStore &s) mutable {
                HistorySlip kept = s.record(slip, job);
                return std::pair{kept, job};
            },
            kRecordWaitMs, &why);
    if (!stored) {
        tellNotRecorded(why);
        return std::nullopt;
    }
    job = stored->second;
    HistorySlip kept = stored->first;
    const QString number = QString::number(kept.slipNo);
    ZuNumEdit_Slipno->setText(number);
    kept.record.slipNo = number;
    showSlipNumber(number);
    m_lastRecordedSlip = kept.id;
    m_lastRecordedIdentity = SlipIdentity(slipRecord(), ZuNumEdit_sttl->text());
    return kept;
}

qint64 TForm_Main::addHistoryJob(qint64 slipId, const HistoryJob &job, const std::optional<InvoiceSheet> &invoice)
{
    const vuzo::BusyCursor busy;
    QString why = u"履歴のデータベースがありません。"_s;
    std::optional<qint64> id;
    if (m_history)
        id = m_history->wait<qint64>([slipId, job, invoice](HistoryStore &s) { return s.addJob(slipId, job, invoice); },
                                     kRecordWaitMs, &why);
    if (!id) {
        tellNotRecorded(why);
        return 0;
    }
    return *id;
}

bool TForm_Main::windowSlipIsLastRecorded() const
{
    return m_lastRecordedSlip > 0 && SlipIdentity(slipRecord(), ZuNumEdit_sttl->text()) == m_lastRecordedIdentity;
}

void TForm_Main::setHistoryJobState(qint64 jobId, HistoryJobState state, int cupsJobId)
{
    if (!m_history || jobId <= 0)
        return;
    m_history->ask<bool>(
        this,
        [jobId, state, cupsJobId](HistoryStore &s) {
            s.setJobState(jobId, state, cupsJobId);
            return true;
        },
        [](bool) {});
}

void TForm_Main::historyJobHandedOver(qint64 jobId)
{
    if (jobId <= 0)
        return;
    SystemPrinter::JobTicket ticket;
    try {
        ticket = WbPrinter().System().LastJob();
    } catch (const EVuzoError &) {
    }
    setHistoryJobState(jobId, HistoryJobState::Sent, ticket.id);
    if (ticket.id > 0)
        m_historyJobs.insert(ticket.id, jobId);
}

void TForm_Main::historyJobEnded(const SystemPrinter::JobTicket &job, vuzo::JobEnd end)
{
    QList<qint64> jobIds = m_batchHistoryJobs.take(job.id);
    jobIds.append(m_historyJobs.take(job.id));
    for (const qint64 jobId : std::as_const(jobIds)) {
        switch (end) {
        case vuzo::JobEnd::Completed: setHistoryJobState(jobId, HistoryJobState::Completed); break;
        case vuzo::JobEnd::Stopped: setHistoryJobState(jobId, HistoryJobState::Stopped); break;
        case vuzo::JobEnd::Cancelled: setHistoryJobState(jobId, HistoryJobState::Cancelled); break;
        case vuzo::JobEnd::None: break;
        }
    }
}

// ---- the item names remembered ----

void TForm_Main::connectItemCompleter()
{
    m_itemModel = new QStringListModel(this);
    for (int n = 1; n <= kRows; ++n) {
        auto *item = findChild<QLineEdit *>(u"Edit_item"_s + QString::number(n));
        auto *completer = new QCompleter(m_itemModel, item);
        completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
        completer->setCaseSensitivity(Qt::CaseInsensitive);
        item->setCompleter(completer);
        // Asked as the operator edits (an input method's text counts once
        // it is committed), not on every key.
        connect(item, &QLineEdit::textEdited, this, [this, item](const QString &typed) { askItems(item, typed); });
        connect(completer, qOverload<const QString &>(&QCompleter::activated), this,
                [this, n](const QString &name) { vuzo::Guard(this, [&] { takeItem(n, name); }); });
    }
}

void TForm_Main::askItems(QLineEdit *field, const QString &typed)
{
    const QString text = vuzo::Trim(typed);
    if (!m_history || m_history->state() != session::HistoryService::State::Ready || text.isEmpty())
        return;
    const quint64 round = ++m_itemRound;
    QPointer<QLineEdit> to(field);
    m_history->ask<QList<session::HistoryItem>>(
        this, [text](HistoryStore &s) { return s.items(text); },
        [this, to, round](const QList<session::HistoryItem> &items) {
            // Only the answer to the latest text counts, in the field still
            // being typed into.
            if (round != m_itemRound || !to || !to->hasFocus())
                return;
            m_itemOffers = items;
            QStringList names;
            for (const session::HistoryItem &i : items)
                names << i.item;
            m_itemModel->setStringList(names);
            if (names.isEmpty())
                to->completer()->popup()->hide();
            else
                to->completer()->complete();
        });
}

void TForm_Main::takeItem(int row, const QString &name)
{
    for (const session::HistoryItem &i : std::as_const(m_itemOffers)) {
        if (i.item != name)
            continue;
        const LineFields f = lineFields(row);
        f.item->setText(i.item);
        f.unit->setText(i.unit);
        f.price->setText(i.price);
        // The rate class follows by its own change handler.
        f.reduced->setChecked(i.taxClass == 1);
        ZuNumEdit_PriceChange();
        return;
    }
}

// ---- a stored slip printed again ----

SlipInputs TForm_Main::storedSlipInputs(const HistorySlip &slip, const QString &dpiX, const QString &dpiY) const
{
    return session::SlipInputsOf(slip.record, slip.totalText,
                                 ParsePrintGeometry(dpiX, dpiY, Label_Prn_Top->text(), Label_Prn_Left->text()));
}

void TForm_Main::reprintSlip(const HistorySlip &slip)
{
    // The stored slip as the current feed would print it, on its paper;
    // a registration the print would refuse is not shown.
    {
        ProfileFile ini(RegistrationPath());
        const session::FeedRegistration feed = session::FeedRegistration::Read(ini, ComboBox_SEL->currentText());
        if (const QString refusal = session::RegistrationRefusal(feed); !refusal.isEmpty()) {
            vuzo::Dialogs().notice(this, refusal);
            return;
        }
    }
    auto inputsForPrint = [this, &slip] {
        const WbSize dpi = m_selection.printerMissing() ? WbSize{session::kFallbackDpi, session::kFallbackDpi}
                                                        : session::CurrentEffectiveDpi();
        return storedSlipInputs(slip, QString::number(dpi.cx), QString::number(dpi.cy));
    };
    const QString slipNo = QString::number(slip.slipNo);
    PreviewRequest request;
    request.inputs = inputsForPrint();
    const PrintedSheet sheet = sheetForPrint();
    request.sheetMm = sheet.sheetMm;
    request.printableMm = sheet.printableMm;
    request.warning = SlipFitWarning(request.inputs, sheet);
    request.pdfPath = Label_CurrentDir->text() + u"/slip-"_s + slipNo + u".pdf"_s;
    request.dataDir = Label_CurrentDir->text();
    request.title = PrintJobTitle(ListIndex(ComboBox_Paper), slipNo);
    TForm_Preview preview(request, this);
    if (preview.exec() != TForm_Preview::PrintRequested)
        return;

    if (!slipPrintAccepted(inputsForPrint, slip.totalText, false))
        return;
    const int copies = PrintCopyCount(ZuNumEdit_BUSUU->text());
    const qint64 job = addHistoryJob(slip.id, historyJobFor(HistoryJobKind::Slip, copies));
    sendSlip(
        slipNo, copies,
        [this, &slip] {
            PainterCanvas canvas(WbPrinter().Canvas());
            ::SLIP97_Prn(canvas, storedSlipInputs(slip, Label_dpix->text(), Label_dpiy->text()));
        },
        job);
    setHelp(u"伝票番号 "_s + slipNo + u" を印刷し直しました"_s);
}
