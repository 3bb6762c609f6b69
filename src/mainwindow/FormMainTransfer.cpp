// The paste area and the address transfer of the main window: thin handlers
// that read the controls, call the transfer functions and write the results.

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "mainwindow/TForm_Main.h"
#include "platform/TextUtil.h"
#include "transfer/SmartTransfer.h"
#include "transfer/Transfer.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace {

QStringList memoLines(const QPlainTextEdit *memo)
{
    return transfer::SplitPasteText(memo->toPlainText());
}

void setMemoLines(QPlainTextEdit *memo, const QStringList &lines)
{
    memo->setPlainText(lines.join(u'\n'));
    memo->verticalScrollBar()->setValue(0);
    memo->moveCursor(QTextCursor::Start);
}

// Writes the half-width form of a field's text back only when it differs, so
// the change event it raises finds nothing more to do. The caret stays after
// the same character: a digit typed in the middle of a postal code is
// converted without throwing the caret to the end.
void setHalfWidth(QLineEdit *e)
{
    const QString text = e->text();
    const QString half = transfer::ToHalfWidth(text);
    if (half == text)
        return;
    const int caret = int(transfer::ToHalfWidth(text.left(e->cursorPosition())).size());
    e->setText(half);
    e->setCursorPosition(caret);
}

} // namespace

void TForm_Main::connectTransferHandlers()
{
    // textEdited comes from the operator only: values the program writes
    // (start-up, a transfer, a clear button) do not count as typed.
    for (QLineEdit *e : {Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1, Edit_tel})
        connect(e, &QLineEdit::textEdited, this, [this] { m_deliveryTyped = true; });
    connect(ComboBox_TransferMode, &QComboBox::currentIndexChanged, this,
            [this] { vuzo::Guard(this, [this] { ShowPasteAreaHints(); }); });
    auto *swap = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_J), this);
    connect(swap, &QShortcut::activated, this, vuzo::Guarded(this, &TForm_Main::swapGiftParty));
    ShowPasteAreaHints();
}

// 従来方式 reads only the first lines of the paste area; 自動判別 reads all of
// it, so a line limit would only mislead there.
void TForm_Main::ShowPasteAreaHints()
{
    if (ComboBox_TransferMode->currentIndex() == 1) {
        Label8->setText(u"↑↑ここにクリップボードから貼り付けが可能です（全文を読み取ります）↑↑"_s);
        Memo1->setToolTip(
            u"ここにお届け先の住所、お名前等のテキストを貼り付けると、お届け先欄に転送が可能です　(全文を読み取ります)"_s);
    } else {
        Label8->setText(u"↑↑ここクリップボードから貼り付けが、可能です　(　15行以内に収めてください　)↑↑"_s);
        Memo1->setToolTip(
            u"ここにお届け先の住所、お名前等のテキストを貼り付けると、お届け先欄に転送が可能です　(15行以内に収まるようにして下さい)"_s);
    }
}

template <typename Result> void TForm_Main::fillDelivery(const Result &r)
{
    Edit_Zip->setText(r.zip);
    Edit_Add1->setText(r.add1);
    Edit_Add2->setText(r.add2);
    Edit_Add3->setText(r.add3);
    Edit_Custo1->setText(r.custo1);
    Edit_tel->setText(r.tel);
}

namespace {

QStringList partyFields(const QString &zip, const QString &add1, const QString &add2, const QString &add3,
                        const QString &custo1, const QString &tel)
{
    return {zip, add1, add2, add3, custo1, tel};
}

const QString kGiftGuidance = u"ご依頼主の住所も見つかりました（Ctrl+J でお届け先とご依頼主を入れ替えます）"_s;

} // namespace

void TForm_Main::swapGiftParty()
{
    const QStringList now = partyFields(Edit_Zip->text(), Edit_Add1->text(), Edit_Add2->text(), Edit_Add3->text(),
                                        Edit_Custo1->text(), Edit_tel->text());
    if (m_giftOrderer.isEmpty() || (now != m_giftRecipient && now != m_giftOrderer))
        return;
    const QStringList &to = now == m_giftRecipient ? m_giftOrderer : m_giftRecipient;
    QLineEdit *const fields[] = {Edit_Zip, Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1, Edit_tel};
    for (int i = 0; i < 6; ++i)
        fields[i]->setText(to[i]);
    Edit_Warning();
    setHelp(to == m_giftOrderer ? u"ご依頼主の住所を入れました（Ctrl+J でお届け先に戻します）"_s : kGiftGuidance);
}

// The 自動判別 transfer: the whole paste area is read and stays as pasted.
void TForm_Main::smartTransfer()
{
    const transfer::SmartTransferResult r = transfer::SmartTransfer(Memo1->toPlainText(), transferLookup());
    if (r.noText) {
        vuzo::Dialogs().notice(this, QString::fromUtf16(transfer::kNoTextMessage));
        Edit_Warning();
        return;
    }
    if (m_deliveryTyped && !vuzo::Dialogs().confirm(this, u"手で入力したお届け先を上書きしますか?"_s)) {
        Edit_Warning();
        return;
    }
    // A text without a postal code or an address (a long paste of something
    // else) gives no delivery: the fields are emptied, so the previous
    // customer's address does not stay under the new text, and the band says so.
    const bool found = !r.zip.isEmpty() || !r.add1.isEmpty();
    if (found)
        fillDelivery(r);
    else
        fillDelivery(transfer::SmartTransferResult{});
    m_deliveryTyped = false;
    m_giftRecipient.clear();
    m_giftOrderer.clear();
    if (found && !r.orderer.empty()) {
        m_giftRecipient = partyFields(r.zip, r.add1, r.add2, r.add3, r.custo1, r.tel);
        const transfer::SmartParty &o = r.orderer;
        m_giftOrderer = partyFields(o.zip, o.add1, o.add2, o.add3, o.custo1, o.tel);
    }
    Edit_Warning();
    if (found && !r.warning.isEmpty()) {
        const QString shown = Label_Warning->toolTip();
        showWarning(shown.isEmpty() ? r.warning : shown + u"　"_s + r.warning);
    }
    Edit_Zip->setFocus(Qt::OtherFocusReason);
    if (!found)
        setHelp(u"貼り付けたテキストにお届け先の住所が見つかりませんでした"_s);
    else if (!r.guidance.isEmpty() || !m_giftOrderer.isEmpty())
        setHelp(m_giftOrderer.isEmpty() ? r.guidance
                : r.guidance.isEmpty()  ? kGiftGuidance
                                        : r.guidance + u"　"_s + kGiftGuidance);
}

void TForm_Main::BitBtn_1Click()
{
    if (ComboBox_TransferMode->currentIndex() == 1) {
        smartTransfer();
        return;
    }
    const transfer::TransferResult r = transfer::BitBtn_1Transfer(memoLines(Memo1));
    if (r.noText) {
        Memo1->clear();
        vuzo::Dialogs().notice(this, QString::fromUtf16(transfer::kNoTextMessage));
    } else {
        setMemoLines(Memo1, r.memoLines);
        m_deliveryTyped = false;
        showWarning(QString());
        fillDelivery(r);
        Edit_Zip->setFocus(Qt::OtherFocusReason);
    }
    Edit_Warning();
}

void TForm_Main::SpeedButton_Memo21Click()
{
    QStringList kept = transfer::Compact(memoLines(Memo1));
    while (kept.size() < 16)
        kept << QString();
    Memo2->setPlainText(kept.join(u'\n'));
}

void TForm_Main::SpeedButton_Memo22Click()
{
    const QStringList lines = memoLines(Memo2).mid(0, 16);
    QStringList kept;
    for (const QString &line : lines) {
        const QString t = vuzo::Trim(line);
        if (!t.isEmpty())
            kept << t;
    }
    Memo1->setPlainText(kept.join(u'\n'));
}

void TForm_Main::SpeedButton_trimClick()
{
    setMemoLines(Memo1, transfer::RemoveLabels(memoLines(Memo1)));
}

void TForm_Main::SpeedButton_1lineClick()
{
    setMemoLines(Memo1, transfer::SplitOneLine(memoLines(Memo1)));
}

void TForm_Main::SpeedButton_ZenMClick()
{
    setHalfWidth(Edit_M);
}

void TForm_Main::SpeedButton_ZIP2Click()
{
    setHalfWidth(Edit_Zip);
}

void TForm_Main::SpeedButton_TEL2Click()
{
    setHalfWidth(Edit_tel);
}

void TForm_Main::BitBtn_MemoCLSClick()
{
    Memo1->clear();
    Memo2->clear();
    Memo1Change(); // an empty paste area turns silver
}

void TForm_Main::Memo1Change()
{
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, Memo1->toPlainText().isEmpty() ? SilverColor() : palette().color(QPalette::Base));
    Memo1->setPalette(p);
}

void TForm_Main::Edit_ZipChange()
{
    SpeedButton_ZIP2Click();
}

void TForm_Main::Edit_telChange()
{
    SpeedButton_TEL2Click();
}

void TForm_Main::SpeedButton_HowManyWordsClick()
{
    SpeedButton_HowManyWords->setText(QString::number(transfer::EmailMarkerCount(Edit_HowManyWords->text())));
}

void TForm_Main::SpeedButton_ZipTel_ChkClick()
{
    SpeedButton_ZipTel_Chk->setText(transfer::ZipTelVerdict(Edit_ZipTel_chk->text()));
}

void TForm_Main::SpeedButton_46Click()
{
    Label_46->setText(transfer::PrefectureLabel(Edit_46->text()));
}

void TForm_Main::SpeedButton_Name_AddrClick()
{
    Label_na_2->setText(QString::number(transfer::AddressScore(Edit_HowManyWords->text())));
}
