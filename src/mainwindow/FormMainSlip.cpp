// The line-item table of the main window: the row arrays, tab order,
// clearing, row navigation and highlighting, and the wiring of the line,
// totals and tax passes to the fields.

#include "controls/DialogService.h"
#include "controls/InputMethod.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "session/SlipComputation.h"
#include "slip/SlipCalc.h"
#include "slip/SlipTax.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

using namespace Qt::StringLiterals;

// The figures of the line table, read once from the field texts.
slip::Rows TForm_Main::readRows() const
{
    return session::RowsOf(slipRecord());
}

void TForm_Main::Ary_DAT_SET()
{
    // Controls are found by name without regard to letter case, so
    // "Edit_ITEM3" finds Edit_item3 (and not Edit_itemNo3).
    QHash<QString, QWidget *> byName;
    const auto children = findChildren<QWidget *>();
    for (QWidget *w : children)
        byName.insert(w->objectName().toLower(), w);
    auto lookup = [&](const QString &prefix, int n) { return byName.value((prefix + QString::number(n)).toLower()); };
    for (int n = 1; n <= kRows; ++n) {
        dITEMNO_Ary[n] = qobject_cast<QLineEdit *>(lookup(u"Edit_ITEMNO"_s, n));
        dITEM_Ary[n] = qobject_cast<QLineEdit *>(lookup(u"Edit_ITEM"_s, n));
        dQTY_Ary[n] = qobject_cast<TZuNumEdit *>(lookup(u"ZuNumEdit_QTY"_s, n));
        dUNIT_Ary[n] = qobject_cast<QLineEdit *>(lookup(u"Edit_Unit"_s, n));
        dPRICE_Ary[n] = qobject_cast<TZuNumEdit *>(lookup(u"ZuNumEdit_price"_s, n));
        dSALES_Ary[n] = qobject_cast<TZuNumEdit *>(lookup(u"ZuNumEdit_Sales"_s, n));
        dREDUCED_Ary[n] = qobject_cast<QCheckBox *>(lookup(u"CheckBox_Reduced"_s, n));
        vuzo::ApplyImeMode(dITEMNO_Ary[n], ListIndex(ComboBox_ime_Itemno));
        vuzo::ApplyImeMode(dITEM_Ary[n], ListIndex(ComboBox_ime_Item));
        vuzo::ApplyImeMode(dUNIT_Ary[n], ListIndex(ComboBox_ime_Unit));
    }
}

void TForm_Main::Ary_TabOrder()
{
    // Row by row, column by column, after the telephone field: the Tab key
    // then walks item name 2, quantity, unit, unit price and the rate class
    // of each row (item name 1 is disabled and the amount takes no focus).
    QWidget *previous = Edit_tel;
    for (int n = 1; n <= kRows; ++n) {
        for (QWidget *w : {static_cast<QWidget *>(dITEMNO_Ary[n]), static_cast<QWidget *>(dITEM_Ary[n]),
                           static_cast<QWidget *>(dQTY_Ary[n]), static_cast<QWidget *>(dUNIT_Ary[n]),
                           static_cast<QWidget *>(dPRICE_Ary[n]), static_cast<QWidget *>(dSALES_Ary[n]),
                           static_cast<QWidget *>(dREDUCED_Ary[n])}) {
            // Qt leaves a field without focus (the amount) out of the order and
            // would break the chain there; the next row links on to the last
            // field that is in it.
            if (w->focusPolicy() == Qt::NoFocus)
                continue;
            QWidget::setTabOrder(previous, w);
            previous = w;
        }
    }
}

void TForm_Main::Edit_CLS2()
{
    ScrollBox1->verticalScrollBar()->setValue(0);
    for (TZuNumEdit *t : {ZuNumEdit_sqty, ZuNumEdit_ssal, ZuNumEdit_stax, ZuNumEdit_sttl})
        t->setText(u"0"_s);
    for (int n = 1; n <= kRows; ++n) {
        for (TZuNumEdit *f : {dQTY_Ary[n], dPRICE_Ary[n], dSALES_Ary[n]}) {
            f->setDecimalLength(0);
            f->setDecimalFixed(false);
        }
    }
    for (int n = 1; n <= kRows; ++n) {
        dITEMNO_Ary[n]->clear();
        dITEM_Ary[n]->clear();
        dUNIT_Ary[n]->clear();
        dQTY_Ary[n]->setText(u"0"_s);
        dPRICE_Ary[n]->setText(u"0"_s);
        dSALES_Ary[n]->setText(u"0"_s);
        {
            const QSignalBlocker block(dREDUCED_Ary[n]);
            dREDUCED_Ary[n]->setChecked(false);
        }
        markReducedRow(n);
    }
    Label_RateShares->clear();
    Label_RateShares->setVisible(false);
    m_overflowNotices.clear();
    m_rowOverflow.clear();
    repaint();
}

void TForm_Main::Edit_Cls()
{
    showWarning(QString());
    for (QLineEdit *e : {Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1, Edit_tel})
        e->clear();
    Label_CutCut->clear();
    Label_0X->clear();
    // Empty delivery fields hold nothing typed by hand: the next transfer
    // fills them without asking.
    m_deliveryTyped = false;
}

void TForm_Main::Edit_Cls_My()
{
    for (QLineEdit *e : {Edit_MyZip, Edit_MyADD1, Edit_MyADD2, Edit_My, Edit_MyTEL})
        e->clear();
}

void TForm_Main::BitBtn_CLSClick()
{
    if (vuzo::Dialogs().confirm(this, u"お届け先をクリアますか?"_s))
        Edit_Cls();
}

void TForm_Main::setHighlight(QWidget *w, bool on)
{
    if (!w)
        return;
    const QColor colour = on ? Edit_Focus_cl->palette().color(QPalette::Base) : palette().color(QPalette::Base);
    if (auto *n = qobject_cast<TZuNumEdit *>(w)) {
        n->setColor(colour);
        return;
    }
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    w->setPalette(p);
}

namespace {
template <typename Array> QWidget *at(const Array &a, int row)
{
    return row >= 1 && row <= TForm_Main::kRows ? a[row] : nullptr;
}
} // namespace

void TForm_Main::Edit_itemEnter(QWidget *sender)
{
    setHelp(u"品名2を入力してください"_s);
    caretToEnd(sender);
    Label_d_i->setText(sender->objectName().mid(9, 2));
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dITEM_Ary, d_i), true);
}

void TForm_Main::Edit_unitEnter(QWidget *sender)
{
    setHelp(u"単位名を入力してください"_s);
    caretToEnd(sender);
    Label_d_i->setText(sender->objectName().mid(9, 2));
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dUNIT_Ary, d_i), true);
}

void TForm_Main::ZuNumEdit_QTYEnter(QWidget *sender)
{
    setHelp(u"数量を入力してください (数量が０の行は印字されません)"_s);
    Label_d_i->setText(sender->objectName().mid(13, 2));
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dQTY_Ary, d_i), true);
}

void TForm_Main::ZuNumEdit_PriceEnter(QWidget *sender)
{
    setHelp(u"単価を入力してください"_s);
    Label_d_i->setText(sender->objectName().mid(15, 2));
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dPRICE_Ary, d_i), true);
}

void TForm_Main::Edit_itemExit(QWidget *)
{
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dITEM_Ary, d_i), false);
}

void TForm_Main::Edit_unitExit(QWidget *)
{
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dUNIT_Ary, d_i), false);
}

void TForm_Main::ZuNumEdit_QTYExit(QWidget *)
{
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dQTY_Ary, d_i), false);
}

void TForm_Main::ZuNumEdit_PriceExit(QWidget *)
{
    d_i = vuzo::StrToIntZero(Label_d_i->text());
    setHighlight(at(dPRICE_Ary, d_i), false);
}

void TForm_Main::Edit_itemKeyDown(QWidget *sender, int &key)
{
    // Up and Down walk the item names row by row; F2, F7, F11 and Enter do
    // what they do in every field.
    switch (key) {
    case Qt::Key_Up:
        d_i = vuzo::StrToIntZero(Label_d_i->text());
        if (d_i <= 1)
            Edit_tel->setFocus(Qt::BacktabFocusReason);
        else if (QWidget *w = at(dITEM_Ary, d_i - 1))
            w->setFocus(Qt::BacktabFocusReason);
        break;
    case Qt::Key_Down:
        d_i = vuzo::StrToIntZero(Label_d_i->text());
        // The printed slip holds wSLPMAX rows; Down stops there. Row 10 has
        // no row below it and stays where it is.
        if (d_i != wSLPMAX) {
            if (QWidget *w = at(dITEM_Ary, d_i + 1))
                w->setFocus(Qt::TabFocusReason);
        }
        break;
    default: FormKeyDown(sender, key); break;
    }
}

void TForm_Main::ZuNumEdit_QTYChange()
{
    DEN_SALS();
    DEN_SUM();
}

void TForm_Main::ZuNumEdit_PriceChange()
{
    DEN_SALS();
    DEN_SUM();
}

void TForm_Main::DateTimePicker_1Change()
{
    TAX_RATE_CHK();
}

void TForm_Main::TaxSettingChange()
{
    // A changed rate or enforcement date applies at once, so the tax on the
    // screen and on paper is always the one of the rates shown.
    if (!m_started)
        return;
    TAX_RATE_CHK();
    DEN_SUM();
}

void TForm_Main::TAX_RATE_CHK()
{
    const session::SlipRecord record = slipRecord();
    const slip::TaxRate rate = session::RateOf(record);
    Label_xTax->setText(NumberText(rate.rate));
    // With prices that include the tax the field shows the tax they hold.
    Label_stax->setText(record.pricesIncludeTax ? u"内"_s + rate.staxCaption : rate.staxCaption);
}

void TForm_Main::showOverflowNotices(const QStringList &notices)
{
    // Each figure that does not fit is told once, when it appears; the print
    // command refuses to print while any remains.
    QStringList fresh;
    for (const QString &n : notices) {
        if (!m_overflowNotices.contains(n))
            fresh << n;
    }
    m_overflowNotices = notices;
    if (!fresh.isEmpty() && !m_quietOverflow)
        vuzo::Dialogs().notice(this, fresh.join(u'\n'));
}

void TForm_Main::DEN_SALS()
{
    session::SlipRecord record = slipRecord();
    m_rowOverflow = session::ApplyLinePass(record, slip::DEN_SALS(session::RowsOf(record)));
    showLineFigures(record);
}

void TForm_Main::DEN_SALS_2()
{
    session::SlipRecord record = slipRecord();
    const slip::LinePass pass = slip::DEN_SALS_2(session::RowsOf(record), [this](int row) {
        vuzo::Dialogs().notice(this, slip::RowPriceWithoutQtyMessage(row));
    });
    m_rowOverflow = session::ApplyLinePass(record, pass);
    showLineFigures(record);
}

void TForm_Main::showTotals(const slip::Totals &totals)
{
    const session::TotalTexts texts = session::TotalTextsOf(totals);
    ZuNumEdit_sqty->setText(texts.sqty);
    ZuNumEdit_ssal->setText(texts.ssal);
    ZuNumEdit_stax->setText(texts.stax);
    ZuNumEdit_sttl->setText(texts.sttl);
}

void TForm_Main::DEN_SUM()
{
    // Label_xTax only ever holds a rate TAX_RATE_CHK wrote (or nothing before
    // the first check), so reading it never meets a number too large to read.
    const session::SlipRecord record = slipRecord();
    const slip::RateTotals figures = session::RateTotalsOf(record, StrToCurrZero(Label_xTax->text()));
    showTotals(figures.totals);
    // Taxed at two rates, the field's caption names none of them; the lines
    // under the totals give each.
    const QString rateCaption = session::RateOf(record).staxCaption;
    Label_stax->setText(figures.hasReducedLine    ? slip::TaxCaption(record.pricesIncludeTax)
                        : record.pricesIncludeTax ? u"内"_s + rateCaption
                                                  : rateCaption);
    // One line per rate under the totals while a reduced-rate line exists.
    QStringList shares;
    if (figures.hasReducedLine) {
        for (const slip::RateShare &share : figures.shares)
            shares << slip::RateShareText(share, figures.pricesIncludeTax);
    }
    Label_RateShares->setText(shares.join(u'\n'));
    Label_RateShares->setVisible(!shares.isEmpty());
    showOverflowNotices(m_rowOverflow + session::TotalOverflowNotices(figures.totals));
}

void TForm_Main::markReducedRow(int row)
{
    // A reduced-rate row shows its amount on a pale orange ground.
    static const QColor reducedGround(0xFF, 0xE8, 0xCC);
    if (!dREDUCED_Ary[row] || !dSALES_Ary[row])
        return;
    dSALES_Ary[row]->setColor(dREDUCED_Ary[row]->isChecked() ? reducedGround : palette().color(QPalette::Base));
}

void TForm_Main::CheckBox_ReducedChange(int row)
{
    markReducedRow(row);
    DEN_SUM();
}

void TForm_Main::Edit_InvoiceRegNoExit()
{
    const std::optional<QString> number = slip::InvoiceRegistrationNumber(Edit_InvoiceRegNo->text());
    if (!number) {
        vuzo::Dialogs().notice(this, u"登録番号は「T」と13桁の数字で入力してください（例 T1234567890123）。\n"
                                     u"入力した番号は保存しません。"_s);
        Edit_InvoiceRegNo->setText(m_invoiceRegNo);
        return;
    }
    m_invoiceRegNo = *number;
    Edit_InvoiceRegNo->setText(*number);
}
