#include "history/TForm_History.h"

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "history/HistoryExport.h"
#include "history/HistoryHost.h"
#include "session/HistoryService.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTreeView>

using namespace Qt::StringLiterals;

namespace {

// The rows a search shows at most; the newest come first, and a longer list
// is never read through by hand.
constexpr int kListLimit = 200;

QString yen(qint64 amount)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(amount);
}

} // namespace

void HistoryHitModel::setHits(QList<session::HistoryHit> hits, bool perCustomer)
{
    beginResetModel();
    m_hits = std::move(hits);
    m_perCustomer = perCustomer;
    endResetModel();
}

int HistoryHitModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_hits.size());
}

int HistoryHitModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : (m_perCustomer ? Count + 1 : Count);
}

QVariant HistoryHitModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_hits.size())
        return {};
    const session::HistoryHit &h = m_hits.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() == SlipNo || index.column() == Total || index.column() == Count;
        return QVariant::fromValue(Qt::AlignVCenter | (number ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Date: return h.printedAt.toLocalTime().toString(u"yyyy/MM/dd HH:mm"_s);
    case SlipNo: return QString::number(h.slipNo);
    case Name: return h.name;
    case Address: return h.address;
    case Tel: return h.tel;
    case Total: return yen(h.total);
    case Count: return QString::number(h.slipCount);
    default: return {};
    }
}

QVariant HistoryHitModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList captions{u"日付"_s,     u"伝票番号"_s, u"お名前"_s, u"ご住所"_s,
                                      u"電話番号"_s, u"金額"_s,     u"件数"_s};
    return section >= 0 && section < captions.size() ? QVariant(captions.at(section)) : QVariant();
}

TForm_History::TForm_History(session::HistoryService *service, HistoryHost *host, const QString &dataDir,
                             QWidget *parent)
    : QDialog(parent), m_service(service), m_host(host), m_dataDir(dataDir), m_model(this)
{
    setupUi(this);
    ListView_History->setModel(&m_model);
    ListView_History->setFocusPolicy(Qt::ClickFocus);
    QHeaderView *header = ListView_History->header();
    header->resizeSection(HistoryHitModel::Date, 120);
    header->resizeSection(HistoryHitModel::SlipNo, 70);
    header->resizeSection(HistoryHitModel::Name, 150);
    header->resizeSection(HistoryHitModel::Address, 280);
    header->resizeSection(HistoryHitModel::Tel, 110);
    header->resizeSection(HistoryHitModel::Total, 80);
    Label_State->hide();

    using vuzo::Guarded;
    connect(Edit_Search, &QLineEdit::textChanged, this, Guarded(this, &TForm_History::search));
    connect(CheckBox_PerCustomer, &QCheckBox::toggled, this, Guarded(this, &TForm_History::search));
    connect(BitBtn_Take, &QPushButton::clicked, this, [this] { vuzo::Guard(this, [this] { take(false); }); });
    connect(BitBtn_TakeLines, &QPushButton::clicked, this, [this] { vuzo::Guard(this, [this] { take(true); }); });
    connect(BitBtn_Reprint, &QPushButton::clicked, this, Guarded(this, &TForm_History::BitBtn_ReprintClick));
    connect(BitBtn_Csv, &QPushButton::clicked, this, Guarded(this, &TForm_History::BitBtn_CsvClick));
    connect(BitBtn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListView_History, &QTreeView::doubleClicked, this, [this] { vuzo::Guard(this, [this] { take(false); }); });
    Edit_Search->installEventFilter(this);
    ListView_History->installEventFilter(this);
    Edit_Search->setFocus(Qt::OtherFocusReason);

    if (!m_service) {
        showState(u"履歴を使えません。"_s, true);
        return;
    }
    connect(m_service, &session::HistoryService::opened, this, [this] { serviceReady(); });
    connect(m_service, &session::HistoryService::failed, this,
            [this](const QString &why) { showState(u"履歴を使えません: "_s + why, true); });
    switch (m_service->state()) {
    case session::HistoryService::State::Ready: search(); break;
    case session::HistoryService::State::Failed:
        // The store is tried again for this window: the disk or the
        // server may be back.
        showState(u"履歴を使えません: "_s + m_service->failure(), true);
        m_service->open();
        break;
    case session::HistoryService::State::Closed:
        showState(u"履歴を開いています…"_s, false);
        m_service->open();
        break;
    case session::HistoryService::State::Opening: showState(u"履歴を開いています…"_s, false); break;
    }
}

QString TForm_History::stateText() const
{
    return Label_State->isHidden() ? QString() : Label_State->text();
}

void TForm_History::showState(const QString &text, bool trouble)
{
    Label_State->setText(text);
    Label_State->setStyleSheet(trouble ? u"color: #b00000;"_s : QString());
    Label_State->setVisible(!text.isEmpty());
}

void TForm_History::serviceReady()
{
    showState(QString(), false);
    search();
}

void TForm_History::search()
{
    if (!m_service || m_service->state() != session::HistoryService::State::Ready)
        return;
    const int number = ++m_asked;
    const QString text = Edit_Search->text();
    const bool perCustomer = CheckBox_PerCustomer->isChecked();
    m_service->ask<QList<session::HistoryHit>>(
        this, [text, perCustomer](session::HistoryStore &s) { return s.search(text, perCustomer, kListLimit); },
        [this, number, perCustomer](QList<session::HistoryHit> hits) {
            showHits(number, std::move(hits), perCustomer);
        },
        [this, number](const QString &why) {
            if (number == m_asked)
                showState(u"検索できません: "_s + why, true);
        });
}

void TForm_History::showHits(int number, QList<session::HistoryHit> hits, bool perCustomer)
{
    // Answers come in the order asked; one overtaken by a later search is
    // not shown, so the list always answers what the field holds.
    if (number != m_asked)
        return;
    m_shown = number;
    const bool columnsChange = perCustomer != m_model.perCustomer();
    m_model.setHits(std::move(hits), perCustomer);
    if (columnsChange && perCustomer)
        ListView_History->header()->resizeSection(HistoryHitModel::Count, 50);
    if (m_model.rowCount() > 0)
        ListView_History->setCurrentIndex(m_model.index(0, 0));
    if (Label_State->styleSheet().isEmpty() || m_service->state() == session::HistoryService::State::Ready)
        showState(m_model.rowCount() == 0 && !Edit_Search->text().isEmpty() ? u"見つかりません。"_s : QString(), false);
}

void TForm_History::withCurrentSlip(const std::function<void(const session::HistorySlip &)> &use)
{
    const QModelIndex current = ListView_History->currentIndex();
    if (!m_service || !current.isValid() || current.row() >= m_model.rowCount())
        return;
    const qint64 id = m_model.hits().at(current.row()).id;
    m_service->ask<std::optional<session::HistorySlip>>(
        this, [id](session::HistoryStore &s) { return s.slip(id); },
        [this, use](std::optional<session::HistorySlip> slip) {
            if (!slip) {
                showState(u"この伝票は履歴にもうありません。"_s, true);
                return;
            }
            vuzo::Guard(this, [&] { use(*slip); });
        },
        [this](const QString &why) { showState(u"伝票を読めません: "_s + why, true); });
}

void TForm_History::take(bool withLines)
{
    withCurrentSlip([this, withLines](const session::HistorySlip &slip) {
        if (m_host)
            m_host->takeCustomer(slip, withLines);
        accept();
    });
}

void TForm_History::BitBtn_ReprintClick()
{
    withCurrentSlip([this](const session::HistorySlip &slip) {
        if (m_host)
            m_host->reprint(slip);
    });
}

void TForm_History::BitBtn_CsvClick()
{
    QDialog ask(this);
    TForm_HistoryCsvUi ui;
    ui.setupUi(&ask);
    const QDate today = QDate::currentDate();
    ui.DateEdit_From->setDate(QDate(today.year(), today.month(), 1));
    ui.DateEdit_To->setDate(today);
    connect(ui.BitBtn_Ok, &QPushButton::clicked, &ask, &QDialog::accept);
    connect(ui.BitBtn_Cancel, &QPushButton::clicked, &ask, &QDialog::reject);
    if (ask.exec() != QDialog::Accepted)
        return;
    const QDate from = ui.DateEdit_From->date();
    const QDate to = ui.DateEdit_To->date();
    const auto encoding = ui.ComboBox_Encoding->currentIndex() == 1 ? session::HistoryCsvEncoding::Cp932
                                                                    : session::HistoryCsvEncoding::Utf8Bom;
    const QString proposed =
        QDir(m_dataDir).filePath(u"history-%1-%2.csv"_s.arg(from.toString(u"yyyyMMdd"_s), to.toString(u"yyyyMMdd"_s)));
    const QString path = vuzo::Dialogs().saveFileName(this, u"CSV出力"_s, proposed, u"CSV (*.csv)"_s);
    if (path.isEmpty() || !m_service)
        return;
    showState(u"書き出しています…"_s, false);
    const QString dataDir = m_dataDir;
    m_service->ask<int>(
        this, [=](session::HistoryStore &s) { return history::ExportHistoryCsv(s, from, to, encoding, path, dataDir); },
        [=, this](int count) { showState(history::ExportedMessage(from, to, count, path), false); },
        [this](const QString &why) { showState(u"CSVを書き出せません: "_s + why, true); });
}

void TForm_History::moveInList(int key)
{
    const int rows = m_model.rowCount();
    if (rows == 0)
        return;
    const int page = 10;
    int row = ListView_History->currentIndex().isValid() ? ListView_History->currentIndex().row() : -1;
    switch (key) {
    case Qt::Key_Up: row -= 1; break;
    case Qt::Key_Down: row += 1; break;
    case Qt::Key_PageUp: row -= page; break;
    case Qt::Key_PageDown: row += page; break;
    default: break;
    }
    row = std::clamp(row, 0, rows - 1);
    ListView_History->setCurrentIndex(m_model.index(row, 0));
    ListView_History->scrollTo(m_model.index(row, 0));
}

bool TForm_History::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && (watched == Edit_Search || watched == ListView_History)) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: moveInList(key->key()); return true;
        case Qt::Key_Return:
        case Qt::Key_Enter: {
            const bool withLines = key->modifiers() & Qt::ControlModifier;
            vuzo::Guard(this, [this, withLines] { take(withLines); });
            return true;
        }
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
