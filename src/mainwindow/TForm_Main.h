#pragma once
// The main window: the whole user interface of the program. Its controls keep
// the names other parts of the program address them by (Edit_Zip,
// ZuNumEdit_QTY3, Label_xTax, ...); every control's objectName is that name.
// The handlers are defined next to the logic they wire: shell and navigation
// in app/, settings in settings/, the line table and tax in slip/, the address
// transfer in transfer/, printer registration in printsetup/, printing in print/.

#include "printsetup/PrintPositionHost.h"

#include <QHash>
#include <QWidget>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTabWidget;
class QToolButton;
class TZuNumEdit;
class ProfileFile;
class TForm_SLIP97YPrn;
class TWb_d97_Dot;
class TWbPrinterSetupDialog;

class TForm_Main : public QWidget, public PrintPositionHost
{
    Q_OBJECT
public:
    static constexpr int kRows = 10;

    explicit TForm_Main(QWidget *parent = nullptr);
    ~TForm_Main() override;

    // The companion windows created after the main window (owned by main()).
    void setCompanions(TForm_SLIP97YPrn *slip97YPrn, TWb_d97_Dot *d97Dot);
    TForm_SLIP97YPrn *formSlip97YPrn() const { return m_formSlip97YPrn; }
    TWb_d97_Dot *wbD97Dot() const { return m_wbD97Dot; }

    // ---- what the print position window asks (mainwindow/FormMainPrintSetup.cpp) ----
    QWidget *hostWindow() override { return this; }
    QString paperFeedSection() const override;
    QString printerName() const override;
    QString printerIndexText() const override;
    QString printTopText() const override;
    QString printLeftText() const override;
    void setPrintOffsets(const QString &top, const QString &left) override;

    // ---- start-up, shut-down, exit (app/FormMainShell.cpp) ----
    void FormShow();
    void FormDestroy();
    void SpeedButton_F2Click();

    // ---- navigation and shell (app/FormMainShell.cpp) ----
    // Key-down handlers take the key code by reference and may set it to 0.
    void FormKeyDown(QWidget *sender, int &key);
    void Edit_ZipKeyDown(QWidget *sender, int &key);
    void Edit_telKeyDown(QWidget *sender, int &key);
    void ZuNumEdit_Price10KeyDown(QWidget *sender, int &key);
    void Edit_ZipEnter();
    void Edit_Add1Enter();
    void Edit_Add2Enter();
    void Edit_Custo1Enter();
    void Edit_telEnter();
    void Memo1Enter();
    void ComboBox_imeEnter();
    void Edit_TxDispEnter();
    void Edit_Warning();
    void BitBtn_WebHelpClick();
    void BitBtn_SendMailClick();
    void SpeedButton_F7Click();
    void Tab_Change_CHK();
    void PageControl1Change();

    // ---- settings (settings/FormMainSettings.cpp) ----
    QString SettingsPath() const;       // Label_CurrentDir + "/vuzo_Vez_1.ini"
    QString RegistrationPath() const;   // Label_CurrentDir + "/vuzo_a500.ini"
    void ReadStartupSettings();         // the keys of the start-up table, in order
    void WriteShutdownSettings();       // the keys of the shut-down table, in order
    void SpeedButton_ini_s2wClick();
    void SpeedButton_ini_s2rClick();
    void SpeedButton_readMyClick();
    void ComboBox_ime_Change();

    // ---- line table, amounts and tax (slip/FormMainSlip.cpp) ----
    void Ary_DAT_SET();
    void Ary_TabOrder();
    void Edit_CLS2();
    void Edit_Cls();
    void Edit_Cls_My();
    void BitBtn_CLSClick();
    void Edit_itemEnter(QWidget *sender);
    void ZuNumEdit_QTYEnter(QWidget *sender);
    void Edit_unitEnter(QWidget *sender);
    void ZuNumEdit_PriceEnter(QWidget *sender);
    void Edit_itemExit(QWidget *sender);
    void ZuNumEdit_QTYExit(QWidget *sender);
    void Edit_unitExit(QWidget *sender);
    void ZuNumEdit_PriceExit(QWidget *sender);
    void Edit_itemKeyDown(QWidget *sender, int &key);
    void ZuNumEdit_QTYChange();
    void ZuNumEdit_PriceChange();
    void DateTimePicker_1Change();
    void TaxSettingChange();
    void TAX_RATE_CHK();
    void DEN_SALS();
    void DEN_SALS_2();
    void DEN_SUM();
    // The rows and totals whose figure does not fit its field; printing is
    // refused while this is not empty.
    QStringList AmountOverflowNotices() const { return m_overflowNotices; }

    // ---- address transfer (transfer/FormMainTransfer.cpp) ----
    void BitBtn_1Click();
    void SpeedButton_Memo21Click();
    void SpeedButton_Memo22Click();
    void SpeedButton_trimClick();
    void SpeedButton_1lineClick();
    void SpeedButton_ZenMClick();
    void SpeedButton_ZIP2Click();
    void SpeedButton_TEL2Click();
    void BitBtn_MemoCLSClick();
    void Memo1Change();
    void Edit_ZipChange();
    void Edit_telChange();
    void SpeedButton_HowManyWordsClick();
    void SpeedButton_ZipTel_ChkClick();
    void SpeedButton_46Click();
    void SpeedButton_Name_AddrClick();

    // ---- printer registration (printsetup/FormMainPrintSetup.cpp) ----
    void SpeedButton_PrnIdGetClick();
    void ComboBox_SELChange();
    void SpeedButton_PRNSETClick();
    void BitBtn_PrnSetClick();
    void BitBtn_PrnSet2Click();

    // ---- printing (print/FormMainPrint.cpp) ----
    void SpeedButton_F11Click();

    // ---- row state ----
    int wSLPMAX = 0;
    int d_i = 0;
    std::array<QLineEdit *, kRows + 1> dITEMNO_Ary{};
    std::array<QLineEdit *, kRows + 1> dITEM_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dQTY_Ary{};
    std::array<QLineEdit *, kRows + 1> dUNIT_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dPRICE_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dSALES_Ary{};

    // ---- controls, by band ----
    QFrame *Panel6 = nullptr;
    QTabWidget *PageControl1 = nullptr;
    QLabel *Panel_HelpMess = nullptr;
    QFrame *Panel_Fnc = nullptr;
    std::array<QToolButton *, 13> SpeedButton_F{}; // [1] .. [12]
    QStatusBar *StatusBar1 = nullptr;

    // tab 0: paste band
    QFrame *Panel3 = nullptr;
    QPlainTextEdit *Memo1 = nullptr;
    QLabel *Label8 = nullptr;
    QToolButton *BitBtn_1 = nullptr;
    QLabel *Label1 = nullptr;
    QToolButton *BitBtn_WebHelp = nullptr;
    QPushButton *BitBtn_SendMail = nullptr;
    QToolButton *BitBtn_MemoCLS = nullptr;
    QLabel *Label12 = nullptr;
    // tab 0: delivery address band
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
    // tab 0: header band, line table, totals band
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

    // tab 1 "印刷設定"
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

    // tab 2: tax rates, hidden sender panel
    QFrame *Panel_TaxConf = nullptr;
    TZuNumEdit *ZuNumEdit_TaxOld = nullptr;
    QDateEdit *DateTimePicker_TaxEnforDate = nullptr;
    TZuNumEdit *ZuNumEdit_TaxNew = nullptr;
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

    // hidden working storage and command buttons
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
    TZuNumEdit *ZuNumEdit_BUSUU = nullptr;
    QComboBox *ComboBox_Paper = nullptr;
    QLabel *Label_dpix = nullptr;
    QLabel *Label_dpiy = nullptr;
    QLabel *Label_PrinterIndex = nullptr;
    QPushButton *SpeedButton_PRNSET = nullptr;
    QPushButton *SpeedButton_Prn_ini = nullptr;
    QPushButton *SpeedButton_PrnIdGet = nullptr;
    TZuNumEdit *ZuNumEdit_KOSUU = nullptr;
    std::array<QLineEdit *, 7> Edit_G{};        // [1] .. [6]
    std::array<QLineEdit *, 6> Edit_021{};      // [0] .. [5]
    std::array<QLineEdit *, 10> Edit_Remark{};  // [1] .. [9]

    // The printer setup dialog of F7 and of the registration.
    TWbPrinterSetupDialog *WbPrinterSetupDialog1 = nullptr;

    // The hidden container of the working controls.
    QWidget *HiddenStore = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    using KeyDown = void (TForm_Main::*)(QWidget *, int &);
    using Enter = std::function<void(QWidget *)>;
    struct Binding
    {
        KeyDown keyDown = nullptr;
        bool keyPress = false; // FormKeyPress: a typed carriage return is dropped
        Enter enter;
        Enter exit;
    };
    void bind(QWidget *w, KeyDown keyDown, bool keyPress, Enter enter = {}, Enter exit = {});

    void buildWindow();
    void buildFunctionKeys(QWidget *parent);
    void buildPasteBand(QWidget *parent);
    void buildAddressBand(QWidget *parent);
    void buildHeaderBand(QWidget *parent);
    void buildLineTable(QWidget *parent);
    void buildTotalsBand(QWidget *parent);
    void buildSettingsTab(QWidget *parent);
    void buildTaxTab(QWidget *parent);
    void buildHiddenStore();
    void connectHandlers();
    void setAccessibleNames();

    void setHelp(const QString &text);
    void caretToEnd(QWidget *w);
    void moveFocus(bool next);
    void setHighlight(QWidget *w, bool on);
    void showOverflowNotices(const QStringList &notices);
    static int ListIndex(const QComboBox *list);
    static void SetListIndex(QComboBox *list, int index);

    QHash<QObject *, Binding> m_bindings;
    QStringList m_overflowNotices;  // figures that do not fit, as last told
    QStringList m_rowOverflow;      // line amounts that did not fit in the last line pass
    bool m_quietOverflow = false;   // the print command tells the figures itself
    bool m_shown = false;
    bool m_started = false;  // the start-up sequence has run
    int m_senderNumber = 0;  // current sender tab, -1 when none is selected
    TForm_SLIP97YPrn *m_formSlip97YPrn = nullptr;
    TWb_d97_Dot *m_wbD97Dot = nullptr;
};
