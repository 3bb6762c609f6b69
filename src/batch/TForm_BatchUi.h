#pragma once
// The batch print window as it looks: the file line (its name, the encoding,
// the format found), the file's problems, the list of orders, the state line
// and the buttons; the column mapping window. setupUi() builds them and
// nothing more; the windows wire them.

#include <QList>

class QComboBox;
class QDialog;
class QGridLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTreeView;

class TForm_BatchUi
{
public:
    void setupUi(QDialog *dialog);

    QLabel *Label_File = nullptr;
    QComboBox *ComboBox_Encoding = nullptr;
    QLabel *Label_Format = nullptr;
    QPushButton *BitBtn_Mapping = nullptr;
    QPlainTextEdit *Memo_Problems = nullptr;
    QTreeView *ListView_Orders = nullptr;
    QLabel *Label_State = nullptr;
    QPushButton *BitBtn_Fix = nullptr;
    QPushButton *BitBtn_TakeBack = nullptr;
    QPushButton *BitBtn_Preview = nullptr;
    QPushButton *BitBtn_Pdf = nullptr;
    QPushButton *BitBtn_Print = nullptr;
    QPushButton *BitBtn_Close = nullptr;
};

class TForm_BatchMappingUi
{
public:
    // One row per field, each with `joined` column choices.
    void setupUi(QDialog *dialog, int fields, int joined);

    QGridLayout *Grid_Fields = nullptr;
    QList<QLabel *> Label_Field;
    // Label_Field[f]'s choices: Combo_Column[f * joined + k].
    QList<QComboBox *> Combo_Column;
    QPushButton *BitBtn_Read = nullptr;
    QPushButton *BitBtn_Save = nullptr;
    QPushButton *BitBtn_Cancel = nullptr;
};
