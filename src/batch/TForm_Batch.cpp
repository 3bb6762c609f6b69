#include "batch/TForm_Batch.h"

#include "batch/BatchHost.h"
#include "controls/BusyCursor.h"
#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "settings/ProfileFile.h"

#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QShortcut>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

QString yen(qint64 amount)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(amount);
}

// The total of the slip as its field shows it, digits only.
qint64 amountOf(const session::BatchSlip &slip)
{
    QString digits;
    for (const QChar c : slip.totalText) {
        if (c.isDigit())
            digits += QChar(u'0' + c.digitValue());
    }
    return digits.toLongLong();
}

QString addressOf(const session::SlipRecord &r)
{
    QStringList parts{r.add1.trimmed(), r.add2.trimmed(), r.add3.trimmed()};
    parts.removeAll(QString());
    return parts.join(u' ');
}

// What the operator can change in the main window, as one text: a record
// came back changed when this differs.
QString editedText(const session::SlipRecord &r)
{
    QStringList parts{r.zip, r.add1, r.add2, r.add3, r.custo1, r.tel, r.slipDate.toString(Qt::ISODate)};
    for (const session::SlipLine &line : r.lines)
        parts << line.itemNo << line.item << line.qty << line.unit << line.price << QString::number(line.taxClass);
    return parts.join(QChar(0x1f));
}

// A printed order is marked as the history would mark it when read again.
void markPrinted(session::BatchSlip &slip)
{
    slip.printedBefore = true;
    if (!slip.problems.contains(session::PrintedBeforeProblem()))
        slip.problems.append(session::PrintedBeforeProblem());
}

orders::TextEncoding encodingAt(int index)
{
    switch (index) {
    case 1: return orders::TextEncoding::Utf8;
    case 2: return orders::TextEncoding::Cp932;
    default: return orders::TextEncoding::Auto;
    }
}

} // namespace

// ---- the list ----

QString BatchStateText(const session::BatchSlip &slip)
{
    return slip.problems.isEmpty() ? u"OK"_s : slip.problems.join(u"、"_s);
}

bool BatchSlipTickable(const session::BatchSlip &slip)
{
    return slip.figures.refusal().isEmpty();
}

QString BatchTickQuestion(const session::BatchSlip &slip)
{
    const QString id = slip.order.orderId;
    if (slip.printedBefore && slip.problems.size() == 1)
        return u"注文番号 %1 は印刷済みです。\nもう一度印刷しますか?"_s.arg(id);
    return u"注文番号 %1 には次の問題があります。\n\n%2\n\nこのまま印刷しますか?"_s.arg(id, slip.problems.join(u'\n'));
}

void BatchOrderModel::setSlips(QList<session::BatchSlip> slips)
{
    beginResetModel();
    m_slips = std::move(slips);
    m_ticked.clear();
    m_stored.clear();
    for (const session::BatchSlip &s : std::as_const(m_slips)) {
        m_ticked.append(s.ready());
        m_stored.append(0);
    }
    endResetModel();
}

void BatchOrderModel::setSlip(int row, const session::BatchSlip &slip)
{
    m_slips[row] = slip;
    if (!BatchSlipTickable(slip))
        m_ticked[row] = false;
    Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void BatchOrderModel::setTicked(int row, bool on)
{
    m_ticked[row] = on && BatchSlipTickable(m_slips.at(row));
    Q_EMIT dataChanged(index(row, Tick), index(row, Tick));
}

QList<int> BatchOrderModel::tickedRows() const
{
    QList<int> rows;
    for (int r = 0; r < m_ticked.size(); ++r) {
        if (m_ticked.at(r))
            rows.append(r);
    }
    return rows;
}

int BatchOrderModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_slips.size());
}

int BatchOrderModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : State + 1;
}

QVariant BatchOrderModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_slips.size())
        return {};
    const session::BatchSlip &s = m_slips.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == Tick)
        return m_ticked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (index.column() == Amount ? Qt::AlignRight : Qt::AlignLeft));
    if (role == Qt::ForegroundRole && index.column() == State && !s.ready())
        return QColor(0xb0, 0x00, 0x00);
    if (role == Qt::ToolTipRole && index.column() == State)
        return s.problems.join(u'\n');
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case OrderId: return s.order.orderId;
    case Name: return s.record.custo1;
    case Zip: return s.record.zip;
    case Address: return addressOf(s.record);
    case Amount: return yen(amountOf(s));
    case State: return BatchStateText(s);
    default: return {};
    }
}

bool BatchOrderModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || index.column() != Tick || role != Qt::CheckStateRole)
        return false;
    const bool on = value.toInt() == Qt::Checked;
    const int row = index.row();
    if (on && m_allowed && !m_allowed(row))
        return false;
    setTicked(row, on);
    return true;
}

Qt::ItemFlags BatchOrderModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && index.column() == Tick && BatchSlipTickable(m_slips.at(index.row())))
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant BatchOrderModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QStringList captions{u"印刷"_s,   u"注文番号"_s, u"お名前"_s, u"郵便番号"_s,
                                      u"ご住所"_s, u"金額"_s,     u"状態"_s};
    return section >= 0 && section < captions.size() ? QVariant(captions.at(section)) : QVariant();
}

// ---- the window ----

TForm_Batch::TForm_Batch(BatchHost *host, QWidget *parent) : QDialog(parent), m_host(host), m_model(this)
{
    setupUi(this);
    ListView_Orders->setModel(&m_model);
    QHeaderView *header = ListView_Orders->header();
    header->resizeSection(BatchOrderModel::Tick, 44);
    header->resizeSection(BatchOrderModel::OrderId, 150);
    header->resizeSection(BatchOrderModel::Name, 120);
    header->resizeSection(BatchOrderModel::Zip, 76);
    header->resizeSection(BatchOrderModel::Address, 260);
    header->resizeSection(BatchOrderModel::Amount, 76);
    m_model.setTickAllowed([this](int row) { return tickAllowed(row); });
    Memo_Problems->hide();

    using vuzo::Guarded;
    connect(ComboBox_Encoding, &QComboBox::currentIndexChanged, this, Guarded(this, &TForm_Batch::reread));
    connect(BitBtn_Mapping, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::askMapping));
    connect(BitBtn_Fix, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::fixInMainWindow));
    connect(BitBtn_TakeBack, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::takeBack));
    connect(BitBtn_Preview, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::previewCurrent));
    connect(BitBtn_Pdf, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::savePdf));
    connect(BitBtn_Print, &QPushButton::clicked, this, Guarded(this, &TForm_Batch::printTicked));
    connect(BitBtn_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListView_Orders, &QTreeView::doubleClicked, this, Guarded(this, &TForm_Batch::fixInMainWindow));
    for (const auto &[key, button] : {std::pair{Qt::Key_F9, BitBtn_Preview}, std::pair{Qt::Key_F11, BitBtn_Print}}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, button, &QPushButton::click);
    }
    ListView_Orders->installEventFilter(this);
    ListView_Orders->setFocus(Qt::OtherFocusReason);
    BitBtn_TakeBack->setEnabled(false);
}

QString TForm_Batch::stateText() const
{
    return Label_State->text();
}

void TForm_Batch::showState(const QString &text, bool trouble)
{
    Label_State->setText(text);
    Label_State->setStyleSheet(trouble ? u"color: #b00000;"_s : QString());
}

void TForm_Batch::readFile(const QString &path)
{
    m_path = path;
    m_mapping.reset();
    reread();
}

void TForm_Batch::reread()
{
    if (m_path.isEmpty())
        return;
    // A large file takes seconds to read and check.
    const vuzo::BusyCursor busy;
    m_fixRow = -1;
    BitBtn_TakeBack->setEnabled(false);
    const session::BatchSettings settings = m_host->batchSettings();
    m_context = settings.context;
    ProfileFile ini(m_host->batchSettingsPath());
    orders::ReadOptions options;
    options.encoding = encodingAt(ComboBox_Encoding->currentIndex());
    options.mapping = m_mapping;
    options.settings = &ini;
    options.import.postal = m_context.postal;
    m_file = orders::ReadOrderFile(m_path, options);
    if (!settings.refusal.isEmpty()) {
        // Slips made without the settings file's sender and rates would print wrong.
        m_file.refusal = settings.refusal;
        m_file.orders.clear();
    }
    m_model.setSlips(session::SlipsOfOrders(m_file.orders, m_context));
    if (m_model.rowCount() > 0)
        ListView_Orders->setCurrentIndex(m_model.index(0, 0));
    showFile();
}

void TForm_Batch::showFile()
{
    Label_File->setText(QDir::toNativeSeparators(m_path));
    QString format;
    if (m_file.needsMapping)
        format = u"分かりません（「列の対応…」で列を選んでください）"_s;
    else if (!m_file.mapping.formatName.isEmpty())
        format = m_file.mapping.formatName;
    if (m_file.refusal.isEmpty() || m_file.needsMapping) {
        const QString separator = m_file.separator == u'\t' ? u"タブ区切り"_s : u"カンマ区切り"_s;
        format += u"　%1・%2"_s.arg(orders::EncodingName(m_file.encoding, m_file.hadBom), separator);
    }
    Label_Format->setText(format);
    QStringList problems = m_file.problems;
    if (!m_file.refusal.isEmpty())
        problems.prepend(m_file.refusal);
    Memo_Problems->setPlainText(problems.join(u'\n'));
    Memo_Problems->setVisible(!problems.isEmpty());
    showCounts();
}

void TForm_Batch::showCounts()
{
    if (m_model.rowCount() == 0) {
        showState(m_file.refusal.isEmpty() ? u"注文がありません。"_s : m_file.refusal, true);
        return;
    }
    int problems = 0;
    for (const session::BatchSlip &s : m_model.slips())
        problems += s.ready() ? 0 : 1;
    showState(u"%1件の注文（問題のあるもの %2件）、印刷するもの %3件"_s.arg(m_model.rowCount())
                  .arg(problems)
                  .arg(m_model.tickedRows().size()),
              false);
}

bool TForm_Batch::tickAllowed(int row)
{
    const session::BatchSlip &slip = m_model.slip(row);
    if (!BatchSlipTickable(slip)) {
        showState(u"注文番号 %1 は金額が欄に収まらないため印刷できません。"_s.arg(slip.order.orderId), true);
        return false;
    }
    return slip.ready() || vuzo::Dialogs().confirm(this, BatchTickQuestion(slip));
}

int TForm_Batch::currentRow() const
{
    const QModelIndex current = ListView_Orders->currentIndex();
    return current.isValid() && current.row() < m_model.rowCount() ? current.row() : -1;
}

void TForm_Batch::askMapping()
{
    if (m_path.isEmpty() || m_file.header.isEmpty())
        return;
    const orders::ColumnMapping proposal =
        m_mapping ? *m_mapping : (m_file.mapping.usable() ? m_file.mapping : orders::RecognizeHeader(m_file.header));
    TForm_BatchMapping ask(m_file.header, proposal, this);
    if (ask.exec() != QDialog::Accepted)
        return;
    orders::ColumnMapping mapping = ask.mapping();
    if (ask.saveRequested()) {
        mapping.formatName = u"保存した対応"_s;
        ProfileFile ini(m_host->batchSettingsPath());
        orders::RememberMapping(ini, m_file.header, mapping);
    }
    m_mapping = mapping;
    reread();
}

void TForm_Batch::fixInMainWindow()
{
    const int row = currentRow();
    if (row < 0)
        return;
    // One order at a time is out in the main window.
    if (m_fixRow >= 0 && m_fixRow != row)
        takeBack();
    if (!m_host->showBatchSlip(m_model.slip(row).record))
        return;
    m_fixRow = row;
    m_sentRecord = m_host->currentRecord();
    BitBtn_TakeBack->setEnabled(true);
    showState(u"注文番号 %1 をメイン画面に移しました。直したら「戻す」を押すか、この画面に戻ってください。"_s.arg(
                  m_model.slip(row).order.orderId),
              false);
}

void TForm_Batch::takeBack()
{
    if (m_fixRow < 0 || m_fixRow >= m_model.rowCount())
        return;
    const int row = std::exchange(m_fixRow, -1);
    BitBtn_TakeBack->setEnabled(false);
    session::BatchSlip slip = m_model.slip(row);
    // The delivery fields and the lines as fixed; the sender, the rates and
    // the order's price kind stay the batch's, whatever the window's are.
    const session::SlipRecord fixed = m_host->currentRecord();
    session::SlipRecord &r = slip.record;
    r.zip = fixed.zip;
    r.add1 = fixed.add1;
    r.add2 = fixed.add2;
    r.add3 = fixed.add3;
    r.custo1 = fixed.custo1;
    r.tel = fixed.tel;
    r.lines = fixed.lines;
    slip.edited = true;
    session::RecheckSlip(slip, m_context);
    m_model.setSlip(row, slip);
    m_model.setTicked(row, slip.ready());
    ListView_Orders->setCurrentIndex(m_model.index(row, 0));
    showCounts();
}

bool TForm_Batch::event(QEvent *event)
{
    // Coming back from the main window brings a changed order with it.
    if (event->type() == QEvent::WindowActivate && m_fixRow >= 0 &&
        editedText(m_host->currentRecord()) != editedText(m_sentRecord))
        vuzo::Guard(this, [this] { takeBack(); });
    return QDialog::event(event);
}

void TForm_Batch::previewCurrent()
{
    const int row = currentRow();
    if (row < 0)
        return;
    if (m_host->previewBatchSlip(m_model.slip(row), m_context))
        printRows({row});
}

QList<SlipInputs> TForm_Batch::pagesOf(const QList<int> &rows) const
{
    QList<SlipInputs> pages;
    for (const int row : rows)
        pages.append(session::BatchSlipInputs(m_model.slip(row), m_context));
    return pages;
}

void TForm_Batch::savePdf()
{
    const QList<int> rows = m_model.tickedRows();
    if (rows.isEmpty()) {
        vuzo::Dialogs().notice(this, u"保存する注文にチェックを付けてください。"_s);
        return;
    }
    const QString base = QFileInfo(m_path).completeBaseName();
    const QString proposed = QDir(m_host->batchDataDir()).filePath(u"batch-"_s + base + u".pdf"_s);
    const QString path = vuzo::Dialogs().saveFileName(this, u"PDF保存"_s, proposed, u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return;
    session::WriteBatchPdf(path, pagesOf(rows), m_context.sheetMm, u"一括印刷 "_s + base);
    showState(u"%1件の伝票を %2 に保存しました。"_s.arg(rows.size()).arg(QDir::toNativeSeparators(path)), false);
}

void TForm_Batch::printTicked()
{
    const QList<int> rows = m_model.tickedRows();
    if (rows.isEmpty()) {
        vuzo::Dialogs().notice(this, u"印刷する注文にチェックを付けてください。"_s);
        return;
    }
    printRows(rows);
}

void TForm_Batch::printRows(QList<int> rows)
{
    while (!rows.isEmpty()) {
        BatchPrintRequest request;
        for (const int row : std::as_const(rows)) {
            request.slips.append(m_model.slip(row));
            request.storedIds.append(m_model.storedId(row));
        }
        request.pages = pagesOf(rows);
        QProgressDialog progress(u"印刷しています…"_s, u"中止"_s, 0, int(rows.size()), this);
        progress.setObjectName(u"Progress_Batch"_s);
        progress.setWindowModality(Qt::WindowModal);
        progress.setMinimumDuration(0);
        request.progress = [&progress](int done, int) {
            progress.setValue(done);
            return !progress.wasCanceled();
        };
        const BatchPrintOutcome outcome = m_host->printBatch(request);
        progress.reset();
        if (!outcome.sent)
            return;
        // A job stopped with 中止 is aborted whole: none of its pages went out.
        const int sent = outcome.stopped ? 0 : outcome.pagesDrawn;
        for (int i = 0; i < rows.size(); ++i) {
            const int row = rows.at(i);
            if (i < outcome.storedIds.size() && outcome.storedIds.at(i) > 0)
                m_model.setStoredId(row, outcome.storedIds.at(i));
            if (i < sent) {
                session::BatchSlip slip = m_model.slip(row);
                markPrinted(slip);
                m_model.setSlip(row, slip);
                m_model.setTicked(row, false);
            }
        }
        const QList<int> printed = rows.mid(0, sent);
        showCounts();
        if (outcome.stopped)
            showState(u"中止しました。印刷は取り消され、%1件のどれも印刷されていません。"_s.arg(rows.size()), true);
        if (printed.isEmpty())
            return;
        const std::optional<int> lastGood = askLastGood(printed);
        if (!lastGood || *lastGood + 1 >= printed.size())
            return;
        const QList<int> again = printed.mid(*lastGood + 1);
        if (!vuzo::Dialogs().confirm(
                this, u"注文番号 %1 から %2件を印刷し直しますか?"_s.arg(m_model.slip(again.first()).order.orderId)
                          .arg(again.size())))
            return;
        rows = again;
    }
}

std::optional<int> TForm_Batch::askLastGood(const QList<int> &rows)
{
    QDialog ask(this);
    ask.setObjectName(u"Form_BatchAfterJob"_s);
    ask.setWindowTitle(u"一括印刷"_s);
    auto *layout = new QVBoxLayout(&ask);
    layout->addWidget(
        new QLabel(u"用紙は最後まで正しく印刷されましたか？\n"
                   u"紙詰まりなどで途中から正しくないときは、正しく印刷された最後の注文を選んでください。"_s,
                   &ask));
    auto *list = new QListWidget(&ask);
    list->setObjectName(u"List_Printed"_s);
    list->addItem(u"（1枚も正しく印刷されなかった）"_s);
    for (const int row : rows) {
        const session::BatchSlip &s = m_model.slip(row);
        list->addItem(u"%1　%2"_s.arg(s.order.orderId, s.record.custo1));
    }
    list->setCurrentRow(int(rows.size()));
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(&ask);
    QPushButton *allGood = buttons->addButton(u"最後まで正しく印刷された"_s, QDialogButtonBox::AcceptRole);
    allGood->setObjectName(u"BitBtn_AllGood"_s);
    QPushButton *upTo = buttons->addButton(u"選んだ注文まで正しい"_s, QDialogButtonBox::ActionRole);
    upTo->setObjectName(u"BitBtn_UpTo"_s);
    connect(allGood, &QPushButton::clicked, &ask, &QDialog::reject);
    connect(upTo, &QPushButton::clicked, &ask, &QDialog::accept);
    layout->addWidget(buttons);
    allGood->setDefault(true);
    if (ask.exec() != QDialog::Accepted)
        return std::nullopt;
    return list->currentRow() - 1;
}

bool TForm_Batch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ListView_Orders && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        switch (key->key()) {
        case Qt::Key_Space: {
            const int row = currentRow();
            if (row >= 0)
                vuzo::Guard(this, [&] {
                    m_model.setData(m_model.index(row, BatchOrderModel::Tick),
                                    m_model.ticked(row) ? Qt::Unchecked : Qt::Checked, Qt::CheckStateRole);
                    showCounts();
                });
            return true;
        }
        case Qt::Key_Return:
        case Qt::Key_Enter: vuzo::Guard(this, [this] { fixInMainWindow(); }); return true;
        // The window's shortcuts, when the window is not the active one.
        case Qt::Key_F9: BitBtn_Preview->click(); return true;
        case Qt::Key_F11: BitBtn_Print->click(); return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

// ---- the column mapping window ----

TForm_BatchMapping::TForm_BatchMapping(const QStringList &header, const orders::ColumnMapping &proposal,
                                       QWidget *parent)
    : QDialog(parent), m_header(header), m_proposal(proposal)
{
    setupUi(this, orders::kOrderFieldCount, kJoined);
    for (int f = 0; f < orders::kOrderFieldCount; ++f) {
        const auto field = orders::OrderField(f);
        Label_Field[f]->setText(orders::OrderFieldName(field));
        for (int k = 0; k < kJoined; ++k) {
            QComboBox *combo = Combo_Column[f * kJoined + k];
            combo->addItem(u"（なし）"_s, -1);
            for (int c = 0; c < header.size(); ++c)
                combo->addItem(u"%1: %2"_s.arg(c + 1).arg(header.at(c)), c);
        }
        setColumns(field, proposal.columns.value(field));
    }
    connect(BitBtn_Read, &QPushButton::clicked, this, [this] { finish(false); });
    connect(BitBtn_Save, &QPushButton::clicked, this, [this] { finish(true); });
    connect(BitBtn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TForm_BatchMapping::setColumns(orders::OrderField field, const QList<int> &columns)
{
    const int f = int(field);
    for (int k = 0; k < kJoined; ++k) {
        QComboBox *combo = Combo_Column[f * kJoined + k];
        combo->setCurrentIndex(std::max(0, combo->findData(k < columns.size() ? columns.at(k) : -1)));
    }
}

orders::ColumnMapping TForm_BatchMapping::mapping() const
{
    orders::ColumnMapping m;
    m.givenNameFirst = m_proposal.givenNameFirst;
    m.pricesIncludeTax = m_proposal.pricesIncludeTax;
    m.formatName = u"指定した対応"_s;
    for (int f = 0; f < orders::kOrderFieldCount; ++f) {
        QList<int> columns;
        for (int k = 0; k < kJoined; ++k) {
            const int c = Combo_Column[f * kJoined + k]->currentData().toInt();
            if (c >= 0)
                columns.append(c);
        }
        if (!columns.isEmpty())
            m.columns.insert(orders::OrderField(f), columns);
    }
    return m;
}

void TForm_BatchMapping::finish(bool save)
{
    if (!mapping().usable()) {
        vuzo::Dialogs().notice(this, u"注文番号、お届け先の住所とお名前の列を選んでください。"_s);
        return;
    }
    m_save = save;
    accept();
}
