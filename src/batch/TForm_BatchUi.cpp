#include "batch/TForm_BatchUi.h"

#include <QComboBox>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
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

void TForm_BatchUi::setupUi(QDialog *dialog)
{
    dialog->setObjectName(u"Form_Batch"_s);
    dialog->setWindowTitle(u"一括印刷"_s);
    dialog->resize(900, 560);

    auto *layout = new QVBoxLayout(dialog);
    auto *fileRow = new QHBoxLayout;
    Label_File = new QLabel(dialog);
    Label_File->setObjectName(u"Label_File"_s);
    Label_File->setTextInteractionFlags(Qt::TextSelectableByMouse);
    fileRow->addWidget(new QLabel(u"ファイル"_s, dialog));
    fileRow->addWidget(Label_File, 1);
    auto *encodingLabel = new QLabel(u"文字コード"_s, dialog);
    ComboBox_Encoding = new QComboBox(dialog);
    ComboBox_Encoding->setObjectName(u"ComboBox_Encoding"_s);
    ComboBox_Encoding->addItems({u"自動"_s, u"UTF-8"_s, u"Shift_JIS"_s});
    ComboBox_Encoding->setFocusPolicy(Qt::TabFocus);
    encodingLabel->setBuddy(ComboBox_Encoding);
    fileRow->addWidget(encodingLabel);
    fileRow->addWidget(ComboBox_Encoding);
    layout->addLayout(fileRow);

    auto *formatRow = new QHBoxLayout;
    Label_Format = new QLabel(dialog);
    Label_Format->setObjectName(u"Label_Format"_s);
    formatRow->addWidget(new QLabel(u"形式"_s, dialog));
    formatRow->addWidget(Label_Format, 1);
    BitBtn_Mapping = new QPushButton(u"列の対応…"_s, dialog);
    BitBtn_Mapping->setObjectName(u"BitBtn_Mapping"_s);
    BitBtn_Mapping->setAutoDefault(false);
    BitBtn_Mapping->setFocusPolicy(Qt::TabFocus);
    formatRow->addWidget(BitBtn_Mapping);
    layout->addLayout(formatRow);

    Memo_Problems = new QPlainTextEdit(dialog);
    Memo_Problems->setObjectName(u"Memo_Problems"_s);
    Memo_Problems->setReadOnly(true);
    Memo_Problems->setFocusPolicy(Qt::ClickFocus);
    Memo_Problems->setMaximumHeight(64);
    Memo_Problems->setStyleSheet(u"color: #b00000;"_s);
    layout->addWidget(Memo_Problems);

    ListView_Orders = new QTreeView(dialog);
    ListView_Orders->setObjectName(u"ListView_Orders"_s);
    ListView_Orders->setRootIsDecorated(false);
    ListView_Orders->setUniformRowHeights(true);
    ListView_Orders->setAlternatingRowColors(true);
    ListView_Orders->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView_Orders->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView_Orders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView_Orders->setAllColumnsShowFocus(true);
    ListView_Orders->header()->setStretchLastSection(true);
    layout->addWidget(ListView_Orders, 1);

    Label_State = new QLabel(dialog);
    Label_State->setObjectName(u"Label_State"_s);
    Label_State->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Label_State);

    auto *buttons = new QHBoxLayout;
    BitBtn_Fix = addButton(dialog, buttons, u"BitBtn_Fix"_s, u"メイン画面で直す (Enter)"_s);
    BitBtn_TakeBack = addButton(dialog, buttons, u"BitBtn_TakeBack"_s, u"戻す"_s);
    BitBtn_Preview = addButton(dialog, buttons, u"BitBtn_Preview"_s, u"プレビュー (F9)"_s);
    buttons->addStretch(1);
    BitBtn_Pdf = addButton(dialog, buttons, u"BitBtn_Pdf"_s, u"PDF保存"_s);
    BitBtn_Print = addButton(dialog, buttons, u"BitBtn_Print"_s, u"印刷 (F11)"_s);
    BitBtn_Close = addButton(dialog, buttons, u"BitBtn_Close"_s, u"閉じる (Esc)"_s);
    layout->addLayout(buttons);
}

void TForm_BatchMappingUi::setupUi(QDialog *dialog, int fields, int joined)
{
    dialog->setObjectName(u"Form_BatchMapping"_s);
    dialog->setWindowTitle(u"列の対応"_s);
    dialog->setModal(true);
    dialog->resize(640, 560);

    auto *layout = new QVBoxLayout(dialog);
    auto *hint = new QLabel(u"伝票の項目ごとに、ファイルの列を選んでください。"
                            u"いくつかの列をつなげるときは、左から順に選びます。"_s,
                            dialog);
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto *area = new QScrollArea(dialog);
    area->setWidgetResizable(true);
    auto *inner = new QWidget(area);
    Grid_Fields = new QGridLayout(inner);
    for (int f = 0; f < fields; ++f) {
        auto *name = new QLabel(inner);
        name->setObjectName(u"Label_Field"_s + QString::number(f));
        Grid_Fields->addWidget(name, f, 0);
        Label_Field.append(name);
        for (int k = 0; k < joined; ++k) {
            auto *column = new QComboBox(inner);
            column->setObjectName(u"Combo_Column%1_%2"_s.arg(f).arg(k));
            Grid_Fields->addWidget(column, f, k + 1);
            Combo_Column.append(column);
        }
    }
    area->setWidget(inner);
    layout->addWidget(area, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    BitBtn_Save = new QPushButton(u"この対応を保存"_s, dialog);
    BitBtn_Save->setObjectName(u"BitBtn_Save"_s);
    BitBtn_Read = new QPushButton(u"この対応で読む"_s, dialog);
    BitBtn_Read->setObjectName(u"BitBtn_Read"_s);
    BitBtn_Read->setDefault(true);
    BitBtn_Cancel = new QPushButton(u"キャンセル"_s, dialog);
    BitBtn_Cancel->setObjectName(u"BitBtn_Cancel"_s);
    buttons->addWidget(BitBtn_Save);
    buttons->addWidget(BitBtn_Read);
    buttons->addWidget(BitBtn_Cancel);
    layout->addLayout(buttons);
}
