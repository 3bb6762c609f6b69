#pragma once
// The main window as it looks: every control, its place, caption, face,
// objectName and accessible name. setupUi() builds the controls on the window
// and nothing more; what they do is wired by TForm_Main, which holds this
// description privately, so the controls are its own.
//
// The controls keep the names the program addresses them by; every control's
// objectName is its member name. The line table's fields are not members:
// they are named Edit_itemNo<n>, Edit_item<n>, ZuNumEdit_QTY<n>, Edit_unit<n>,
// ZuNumEdit_Price<n> and ZuNumEdit_Sales<n> for rows 1 to kRows, and the
// window binds them by those names.

#include <array>

class QCheckBox;
class QColor;
class QComboBox;
class QDateEdit;
class QFont;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSize;
class QStatusBar;
class QTabWidget;
class QToolButton;
class QWidget;
class TZuNumEdit;
class TWbPrinterSetupDialog;

class TForm_MainUi
{
public:
    static constexpr int kRows = 10;

    // Builds the controls on `form`, which becomes the fixed-size main window.
    void setupUi(QWidget *form);

    // Fixes the window's client size for the room a screen leaves it: the
    // design's 769 x 661 where that fits; otherwise no more than the room,
    // with the tabs scrolling above the bottom bands. Returns the size.
    QSize fitClientSize(QWidget *form, const QSize &room);

    // The grey of the paste area while it is empty (and of the other fields
    // drawn in it); the handlers restore it when the area is cleared.
    static const QColor &SilverColor();

    // ---- bands of the window ----
    QScrollArea *ScrollBox_Tabs = nullptr;   // holds Panel_Tabs
    QWidget *Panel_Tabs = nullptr;           // Panel6 and PageControl1
    QScrollArea *ScrollBox_Bottom = nullptr; // holds Panel_Bottom
    QWidget *Panel_Bottom = nullptr;         // Panel_HelpMess, Panel_Fnc, StatusBar1
    QFrame *Panel6 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QLabel *Panel_HelpMess = nullptr;
    QLabel *Label_KeyGuide = nullptr; // at the guidance band's right
    QFrame *Panel_Fnc = nullptr;
    std::array<QToolButton *, 13> SpeedButton_F{}; // [1] .. [12]
    QLabel *Label_SlipNo = nullptr;                // 「伝票番号 12」
    QStatusBar *StatusBar1 = nullptr;

    // ---- tab 0: paste band ----
    QFrame *Panel3 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label8 = nullptr;
    QToolButton *BitBtn_1 = nullptr;
    QLabel *Label1 = nullptr;
    QToolButton *BitBtn_WebHelp = nullptr;
    QPushButton *BitBtn_SendMail = nullptr;
    QToolButton *BitBtn_MemoCLS = nullptr;
    QLabel *Label12 = nullptr;
    QToolButton *BitBtn_Batch = nullptr;
    QLabel *Label_Batch = nullptr;

    // ---- tab 0: delivery address band ----
    QFrame *Panel1 = nullptr;
    QLabel *Label_1 = nullptr;
    QLineEdit *Edit_Zip = nullptr;
    QLineEdit *Edit_Add1 = nullptr;
    QLineEdit *Edit_Add2 = nullptr;
    QLineEdit *Edit_Add3 = nullptr;
    QLineEdit *Edit_Custo1 = nullptr;
    QLineEdit *Edit_tel = nullptr;
    QLabel *Label_Warning = nullptr;
    QToolButton *BitBtn_CLS = nullptr;
    QLabel *Label10 = nullptr;

    // ---- tab 0: header band, line table, totals band ----
    QFrame *Panel8 = nullptr;
    QFrame *Panel_2 = nullptr;
    QScrollArea *ScrollBox1 = nullptr;
    QFrame *Panel_3 = nullptr;
    TZuNumEdit *ZuNumEdit_sqty = nullptr;
    TZuNumEdit *ZuNumEdit_ssal = nullptr;
    TZuNumEdit *ZuNumEdit_stax = nullptr;
    TZuNumEdit *ZuNumEdit_sttl = nullptr;
    QLabel *Label18 = nullptr;
    QLabel *Label_stax = nullptr;
    QLabel *Label20 = nullptr;
    QLabel *Label_PrinterName2 = nullptr;
    // One line per rate under the totals, shown while a reduced-rate line exists.
    QLabel *Label_RateShares = nullptr;

    // ---- tab 1 "印刷設定" ----
    QComboBox *ComboBox1 = nullptr;
    QComboBox *ComboBox2 = nullptr;
    QComboBox *ComboBox3 = nullptr;
    QLabel *Label_4 = nullptr;
    QComboBox *ComboBox_SEL = nullptr;
    QPushButton *BitBtn_PrnSet2 = nullptr;
    QPushButton *BitBtn_PrnSet = nullptr;
    QLabel *Label_Prn_Top = nullptr;
    QLabel *Label_Prn_Left = nullptr;
    QCheckBox *CheckBox_NewPage = nullptr;
    QComboBox *ComboBox_ime_Itemno = nullptr;
    QComboBox *ComboBox_ime_Item = nullptr;
    QComboBox *ComboBox_ime_Unit = nullptr;
    QLineEdit *Edit_TxDisp = nullptr;
    TZuNumEdit *ZuNumEdit_BUSUU = nullptr;         // 部数, the copies F11 prints
    QComboBox *ComboBox_TransferMode = nullptr;    // 0 従来方式, 1 自動判別
    QComboBox *ComboBox_PriceTax = nullptr;        // 0 税抜, 1 税込 unit prices
    QLineEdit *Edit_InvoiceRegNo = nullptr;        // 登録番号, T and 13 digits or empty
    QComboBox *ComboBox_InvoiceWithSlip = nullptr; // 0 F10 alone, 1 with every slip
    QPushButton *BitBtn_InvoicePrnSet = nullptr;

    // ---- tab 2: tax rates, hidden sender panel ----
    QFrame *Panel_TaxConf = nullptr;
    TZuNumEdit *ZuNumEdit_TaxOld = nullptr;
    QDateEdit *DateTimePicker_TaxEnforDate = nullptr;
    TZuNumEdit *ZuNumEdit_TaxNew = nullptr;
    TZuNumEdit *ZuNumEdit_TaxReduced = nullptr;
    QDateEdit *DateTimePicker_TaxReducedDate = nullptr;
    QFrame *Panel23 = nullptr;
    QLineEdit *Edit_My = nullptr;
    QLineEdit *Edit_MyZip = nullptr;
    QLineEdit *Edit_MyADD1 = nullptr;
    QLineEdit *Edit_MyADD2 = nullptr;
    QLineEdit *Edit_MyTEL = nullptr;
    QCheckBox *CheckBox_My = nullptr;
    QPushButton *BitBtn_My = nullptr;
    QTabWidget *PageControl_My = nullptr;
    QComboBox *ComboBox_FontSizeMy = nullptr;

    // ---- hidden working storage and command buttons ----
    QWidget *HiddenStore = nullptr; // their container, never shown
    QLabel *Label_CurrentDir = nullptr;
    QLabel *Label_SelectPaper = nullptr;
    QPushButton *SpeedButton_ini_s2w = nullptr;
    QPushButton *SpeedButton_ini_s2r = nullptr;
    QPushButton *SpeedButton_readMy = nullptr;
    QLabel *Label_Font_1 = nullptr;
    QLineEdit *Edit_Focus_cl = nullptr;
    QComboBox *ComboBox_FontSize = nullptr;
    QLabel *Label_d_i = nullptr;
    QLabel *Label_xTax = nullptr;
    QDateEdit *DateTimePicker_1 = nullptr;
    QPushButton *SpeedButton1 = nullptr;
    TZuNumEdit *ZuNumEdit_Slipno = nullptr;
    QPlainTextEdit *Memo2 = nullptr;
    QLineEdit *Edit_M = nullptr;
    QLineEdit *Edit_ZipTel_chk = nullptr;
    QLineEdit *Edit_46 = nullptr;
    QLineEdit *Edit_HowManyWords = nullptr;
    TZuNumEdit *ZuNumEdit_ZenChk = nullptr;
    QListWidget *ListBox_46 = nullptr;
    QLabel *Label_CutCut = nullptr;
    QLabel *Label_0X = nullptr;
    QLabel *Label_org = nullptr;
    QLabel *Label_na_2 = nullptr;
    QLabel *Label_46 = nullptr;
    QPushButton *SpeedButton_trim = nullptr;
    QPushButton *SpeedButton_ZenM = nullptr;
    QPushButton *SpeedButton_ZipTel_Chk = nullptr;
    QPushButton *SpeedButton_46 = nullptr;
    QPushButton *SpeedButton_Memo21 = nullptr;
    QPushButton *SpeedButton_Memo22 = nullptr;
    QPushButton *SpeedButton_1line = nullptr;
    QPushButton *SpeedButton_ZIP2 = nullptr;
    QPushButton *SpeedButton_TEL2 = nullptr;
    QPushButton *SpeedButton_HowManyWords = nullptr;
    QPushButton *SpeedButton_Name_Addr = nullptr;
    QComboBox *ComboBox_Paper = nullptr;
    QLabel *Label_dpix = nullptr;
    QLabel *Label_dpiy = nullptr;
    QLabel *Label_PrinterIndex = nullptr;
    QPushButton *SpeedButton_PRNSET = nullptr;
    QPushButton *SpeedButton_Prn_ini = nullptr;
    QPushButton *SpeedButton_PrnIdGet = nullptr;
    TZuNumEdit *ZuNumEdit_KOSUU = nullptr;
    std::array<QLineEdit *, 7> Edit_G{};       // [1] .. [6]
    std::array<QLineEdit *, 6> Edit_021{};     // [0] .. [5]
    std::array<QLineEdit *, 10> Edit_Remark{}; // [1] .. [9]

    // The printer setup dialog of F7 and of the registration.
    TWbPrinterSetupDialog *WbPrinterSetupDialog1 = nullptr;

private:
    void buildScrollPanels(QWidget *form, int bottomTop);
    void buildFunctionKeys(QWidget *parent, const QFont &face);
    void buildPasteBand(QWidget *parent, const QFont &face);
    void buildAddressBand(QWidget *parent, const QFont &face);
    void buildHeaderBand(QWidget *parent, const QFont &face);
    void buildLineTable(QWidget *parent, const QFont &face);
    void buildTotalsBand(QWidget *parent, const QFont &face);
    void buildSettingsTab(QWidget *parent, const QFont &face);
    void buildTaxTab(QWidget *parent);
    void buildHiddenStore(QWidget *form);
    void setAccessibleNames(QWidget *form);
};
