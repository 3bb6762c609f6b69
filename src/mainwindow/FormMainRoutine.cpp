// The main window in daily use, one customer after another: the keys that
// reach the paste area and start a new slip, the copy count, the figures of
// the lines restored at start-up, the notice about lines the slip does not
// print, and the scrolling that keeps the focused field in sight.

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "session/SlipComputation.h"
#include "slip/SlipCalc.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString kKeyGuide = u"F3:貼り付け欄へ　F6:履歴　F8:一括印刷"_s;
const QString kKeyGuideInPasteArea = u"Ctrl+Enter:テキスト転送"_s;
const QString kF5InAdd1 = u"〒検索"_s;

// Room left for the window's title bar and borders while the window manager
// has not framed the window yet.
constexpr QSize kFrameAllowance(8, 36);

} // namespace

void TForm_Main::connectRoutine()
{
    using vuzo::Guarded;
    connect(SpeedButton_F[3], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F3Click));
    connect(SpeedButton_F[4], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F4Click));
    // The F5 button takes no focus, so the search reads おところ① where the
    // operator left it, as the key does.
    connect(SpeedButton_F[5], &QToolButton::clicked, this, Guarded(this, &TForm_Main::Edit_Add1PostalSearch));
    // F3 and F4 act wherever the focus is in the window, the paste area and
    // the settings tabs included.
    auto *f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, this, Guarded(this, &TForm_Main::SpeedButton_F3Click));
    auto *f4 = new QShortcut(QKeySequence(Qt::Key_F4), this);
    connect(f4, &QShortcut::activated, this, Guarded(this, &TForm_Main::SpeedButton_F4Click));
    // Ctrl+Enter in the paste area transfers it; a plain Enter still starts a
    // new line there.
    for (const QKeyCombination keys : {Qt::CTRL | Qt::Key_Return, Qt::CTRL | Qt::Key_Enter}) {
        auto *transfer = new QShortcut(QKeySequence(keys), Memo1, nullptr, nullptr, Qt::WidgetShortcut);
        connect(transfer, &QShortcut::activated, this, Guarded(this, &TForm_Main::BitBtn_1Click));
    }
    // A picture button reached with Tab is pressed with Enter as with Space.
    for (QToolButton *b : {BitBtn_1, BitBtn_WebHelp, BitBtn_MemoCLS, BitBtn_CLS, BitBtn_Batch}) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            auto *press = new QShortcut(QKeySequence(key), b, nullptr, nullptr, Qt::WidgetShortcut);
            connect(press, &QShortcut::activated, b, &QToolButton::click);
        }
    }
    bind(
        ZuNumEdit_BUSUU, nullptr, false, [this](QWidget *) { vuzo::Guard(this, [this] { ZuNumEdit_BUSUUEnter(); }); },
        [this](QWidget *) { vuzo::Guard(this, [this] { ZuNumEdit_BUSUUExit(); }); });
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget *, QWidget *now) { vuzo::Guard(this, [this, now] { focusMoved(now); }); });
    Label_KeyGuide->setText(kKeyGuide);
}

void TForm_Main::startRoutine()
{
    SpeedButton_F[3]->setText(u"貼付欄"_s);
    SpeedButton_F[3]->setEnabled(true);
    SpeedButton_F[4]->setText(u"新規"_s);
    SpeedButton_F[4]->setEnabled(true);
    ZuNumEdit_BUSUU->setText(u"1"_s);
}

void TForm_Main::SpeedButton_F3Click()
{
    PageControl1->setCurrentIndex(0);
    Memo1->setFocus(Qt::ShortcutFocusReason);
}

// The next customer: the delivery address, the paste area and the ten lines
// are emptied; the sender, the settings and the slip number stay.
void TForm_Main::SpeedButton_F4Click()
{
    if (!vuzo::Dialogs().confirm(this, u"新しい伝票にしますか?"_s))
        return;
    Edit_Cls();
    BitBtn_MemoCLSClick();
    Edit_CLS2();
    DEN_SUM();
    PageControl1->setCurrentIndex(0);
    Memo1->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::ZuNumEdit_BUSUUEnter()
{
    setHelp(u"印刷する部数を入力してください (1～99)"_s);
}

void TForm_Main::ZuNumEdit_BUSUUExit()
{
    // The field takes two digits without sign; nothing or 0 prints one copy.
    if (vuzo::StrToIntZero(ZuNumEdit_BUSUU->text()) < 1)
        ZuNumEdit_BUSUU->setText(u"1"_s);
}

void TForm_Main::computeRestoredLines()
{
    session::SlipRecord record = slipRecord();
    m_rowOverflow = session::ApplyLinePass(record, slip::RestoredLinePass(session::RowsOf(record)));
    showLineFigures(record);
    DEN_SUM();
}

bool TForm_Main::unprintedRowsAccepted()
{
    const QList<int> rows = slip::UnprintedRowsWithQuantity(readRows(), wSLPMAX);
    if (rows.isEmpty())
        return true;
    if (vuzo::Dialogs().choose(this, slip::UnprintedRowsMessage(rows, wSLPMAX), u"このまま印刷"_s, u"戻る"_s))
        return true;
    // Back to the first of those lines, to move or remove it.
    if (QWidget *item = dITEM_Ary[rows.first()])
        item->setFocus(Qt::OtherFocusReason);
    return false;
}

void TForm_Main::focusMoved(QWidget *now)
{
    if (!now || now->window() != this)
        return;
    // A field left while the window was inactive, for a control without
    // handlers, is left now.
    if (m_enteredField && now != m_enteredField && !m_bindings.contains(now)) {
        QWidget *left = m_enteredField.data();
        m_enteredField = nullptr;
        if (const auto l = m_bindings.constFind(left); l != m_bindings.constEnd() && l->exit)
            l->exit(left);
    }
    // The whole row of a line field comes into sight, both of its lines,
    // whatever moved the focus there.
    QWidget *rowTop = nullptr;
    for (int i = 1; i <= kRows; ++i) {
        const bool inRow = now == dITEM_Ary[i] || now == dQTY_Ary[i] || now == dUNIT_Ary[i] || now == dPRICE_Ary[i] ||
                           now == dITEMNO_Ary[i] || now == dSALES_Ary[i];
        if (inRow && dITEMNO_Ary[i] && dITEM_Ary[i]) {
            const QRect row = dITEMNO_Ary[i]->geometry().united(dITEM_Ary[i]->geometry());
            QScrollBar *bar = ScrollBox1->verticalScrollBar();
            const int view = ScrollBox1->viewport()->height();
            if (row.top() < bar->value())
                bar->setValue(row.top());
            else if (row.top() + row.height() > bar->value() + view)
                bar->setValue(row.top() + row.height() - view);
            rowTop = dITEMNO_Ary[i];
            break;
        }
    }
    // On a screen too small for the whole window, the field comes into sight.
    if (Panel_Tabs->isAncestorOf(now)) {
        if (rowTop)
            ScrollBox_Tabs->ensureWidgetVisible(rowTop, 4, 4);
        ScrollBox_Tabs->ensureWidgetVisible(now, 4, 4);
    }
    Label_KeyGuide->setText(now == Memo1 ? kKeyGuideInPasteArea : kKeyGuide);
    // F5 acts in おところ① only (the postal code of the address typed): its
    // button says so there and is grey elsewhere.
    const bool inAdd1 = now == Edit_Add1;
    SpeedButton_F[5]->setText(inAdd1 ? kF5InAdd1 : u"F5"_s);
    SpeedButton_F[5]->setEnabled(inAdd1);
}

void TForm_Main::placeOnScreen(const QRect &available)
{
    QSize frame = frameGeometry().size() - size();
    if (!isVisible() || frame.height() <= 0)
        frame = kFrameAllowance;
    const QSize client = fitClientSize(this, available.size() - frame);
    const QRect outer(QPoint(), client + frame);
    QPoint topLeft = available.center() - outer.center();
    topLeft.setX(qMax(topLeft.x(), available.left()));
    topLeft.setY(qMax(topLeft.y(), available.top()));
    move(topLeft);
}
