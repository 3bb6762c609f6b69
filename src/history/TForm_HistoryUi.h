#pragma once
// The history window as it looks: the search field, the per-customer switch,
// the list, the state line and the buttons; the export's small dialog.
// setupUi() builds them and nothing more; the windows wire them.

class QCheckBox;
class QComboBox;
class QDateEdit;
class QDialog;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

class TForm_HistoryUi
{
public:
    void setupUi(QDialog *dialog);

    QLineEdit *Edit_Search = nullptr;
    QCheckBox *CheckBox_PerCustomer = nullptr;
    QTreeView *ListView_History = nullptr;
    QLabel *Label_State = nullptr;
    QPushButton *BitBtn_Take = nullptr;
    QPushButton *BitBtn_TakeLines = nullptr;
    QPushButton *BitBtn_Reprint = nullptr;
    QPushButton *BitBtn_Csv = nullptr;
    QPushButton *BitBtn_Close = nullptr;
};

class TForm_HistoryCsvUi
{
public:
    void setupUi(QDialog *dialog);

    QDateEdit *DateEdit_From = nullptr;
    QDateEdit *DateEdit_To = nullptr;
    QComboBox *ComboBox_Encoding = nullptr;
    QPushButton *BitBtn_Ok = nullptr;
    QPushButton *BitBtn_Cancel = nullptr;
};
