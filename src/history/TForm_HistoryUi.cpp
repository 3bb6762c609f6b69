#include "history/TForm_HistoryUi.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QPushButton *addButton(QDialog *dialog, QHBoxLayout *row, const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption, dialog);
    b->setObjectName(name);
    b->setAutoDefault(false);
    b->setFocusPolicy(Qt::TabFocus);
    row->addWidget(b);
    return b;
}

} // namespace

void TForm_HistoryUi::setupUi(QDialog *dialog)
{
    dialog->setObjectName(u"Form_History"_s);
    dialog->setWindowTitle(u"履歴"_s);
    dialog->setModal(true);
    dialog->resize(860, 520);

    auto *layout = new QVBoxLayout(dialog);
    auto *bar = new QHBoxLayout;
    auto *searchLabel = new QLabel(u"検索"_s, dialog);
    Edit_Search = new QLineEdit(dialog);
    Edit_Search->setObjectName(u"Edit_Search"_s);
    Edit_Search->setPlaceholderText(u"お名前・電話番号・郵便番号・ご住所"_s);
    Edit_Search->setClearButtonEnabled(true);
    searchLabel->setBuddy(Edit_Search);
    CheckBox_PerCustomer = new QCheckBox(u"お客様ごとに表示"_s, dialog);
    CheckBox_PerCustomer->setObjectName(u"CheckBox_PerCustomer"_s);
    bar->addWidget(searchLabel);
    bar->addWidget(Edit_Search, 1);
    bar->addSpacing(12);
    bar->addWidget(CheckBox_PerCustomer);
    layout->addLayout(bar);

    ListView_History = new QTreeView(dialog);
    ListView_History->setObjectName(u"ListView_History"_s);
    ListView_History->setRootIsDecorated(false);
    ListView_History->setUniformRowHeights(true);
    ListView_History->setAlternatingRowColors(true);
    ListView_History->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView_History->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView_History->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView_History->setAllColumnsShowFocus(true);
    ListView_History->header()->setStretchLastSection(false);
    layout->addWidget(ListView_History, 1);

    Label_State = new QLabel(dialog);
    Label_State->setObjectName(u"Label_State"_s);
    Label_State->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Label_State);

    auto *buttons = new QHBoxLayout;
    BitBtn_Take = addButton(dialog, buttons, u"BitBtn_Take"_s, u"取り込む (Enter)"_s);
    BitBtn_TakeLines = addButton(dialog, buttons, u"BitBtn_TakeLines"_s, u"明細も取り込む (Ctrl+Enter)"_s);
    BitBtn_Reprint = addButton(dialog, buttons, u"BitBtn_Reprint"_s, u"再印刷"_s);
    buttons->addStretch(1);
    BitBtn_Csv = addButton(dialog, buttons, u"BitBtn_Csv"_s, u"CSV出力"_s);
    BitBtn_Close = addButton(dialog, buttons, u"BitBtn_Close"_s, u"閉じる (Esc)"_s);
    layout->addLayout(buttons);
}

void TForm_HistoryCsvUi::setupUi(QDialog *dialog)
{
    dialog->setObjectName(u"Form_HistoryCsv"_s);
    dialog->setWindowTitle(u"CSV出力"_s);
    dialog->setModal(true);

    auto *layout = new QVBoxLayout(dialog);
    auto *form = new QFormLayout;
    auto date = [&](const QString &name) {
        auto *e = new QDateEdit(dialog);
        e->setObjectName(name);
        e->setCalendarPopup(true);
        e->setDisplayFormat(u"yyyy/MM/dd"_s);
        return e;
    };
    DateEdit_From = date(u"DateEdit_From"_s);
    DateEdit_To = date(u"DateEdit_To"_s);
    form->addRow(u"この日から"_s, DateEdit_From);
    form->addRow(u"この日まで"_s, DateEdit_To);
    ComboBox_Encoding = new QComboBox(dialog);
    ComboBox_Encoding->setObjectName(u"ComboBox_Encoding"_s);
    ComboBox_Encoding->addItems({u"UTF-8（BOM付き、Excel用）"_s, u"Shift_JIS（CP932）"_s});
    form->addRow(u"文字コード"_s, ComboBox_Encoding);
    layout->addLayout(form);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn_Ok = new QPushButton(u"書き出す"_s, dialog);
    BitBtn_Ok->setObjectName(u"BitBtn_Ok"_s);
    BitBtn_Ok->setDefault(true);
    BitBtn_Cancel = new QPushButton(u"キャンセル"_s, dialog);
    BitBtn_Cancel->setObjectName(u"BitBtn_Cancel"_s);
    buttons->addWidget(BitBtn_Ok);
    buttons->addWidget(BitBtn_Cancel);
    layout->addLayout(buttons);
}
