#pragma once
// The main window: the whole user interface of the program. Its controls are
// described in TForm_MainUi (places, captions, faces, names) and are the
// window's own: other windows and subsystems reach them only through the named
// operations below. Every control's objectName is the name the program
// addresses it by (Edit_Zip, ZuNumEdit_QTY3, Label_xTax, ...).
//
// The handlers are defined next to the logic they wire: shell and navigation
// in FormMainShell.cpp, settings in FormMainSettings.cpp, the line table and
// tax in FormMainSlip.cpp, the address transfer in FormMainTransfer.cpp,
// printer registration in FormMainPrintSetup.cpp, printing in
// FormMainPrint.cpp; the wiring itself in TForm_Main.cpp.

#include "mainwindow/TForm_MainUi.h"
#include "printsetup/PrintPositionHost.h"
#include "slip/SlipCalc.h"

#include <QHash>
#include <QWidget>
#include <array>
#include <functional>

class ProfileFile;
class QComboBox;
class TForm_SLIP97YPrn;
class TWbPrinter;
class TWb_d97_Dot;
struct SlipInputs;
namespace transfer {
class PostalLookup;
}

class TForm_Main : public QWidget, public PrintPositionHost, private TForm_MainUi
{
    Q_OBJECT
public:
    static constexpr int kRows = TForm_MainUi::kRows;

    explicit TForm_Main(QWidget *parent = nullptr);
    ~TForm_Main() override;

    // The companion windows created after the main window (see ProgramWindows).
    void setCompanions(TForm_SLIP97YPrn *slip97YPrn, TWb_d97_Dot *d97Dot);

    // ---- what the print position window asks (FormMainPrintSetup.cpp) ----
    // The print offsets are Label_Prn_Top and Label_Prn_Left.
    QWidget *hostWindow() override { return this; }
    QString paperFeedSection() const override;
    QString printerName() const override;
    QString printerIndexText() const override;
    QString printTopText() const override;
    QString printLeftText() const override;
    void setPrintOffsets(const QString &top, const QString &left) override;

    // ---- what the slip print asks (FormMainPrint.cpp) ----
    // The slip layout's inputs as the fields hold them now: the effective
    // resolution and the offsets, the total, the delivery address and the
    // first four lines.
    SlipInputs slipInputs() const;

    // ---- state of the line table (FormMainSlip.cpp) ----
    // The rows and totals whose figure does not fit its field; printing is
    // refused while this is not empty.
    QStringList AmountOverflowNotices() const { return m_overflowNotices; }
    // The row of the line field entered last (d_i), 0 before any.
    int currentRow() const { return d_i; }
    // The number of lines the printed slip holds (wSLPMAX); Down in the item
    // names stops there.
    int slipRowCount() const { return wSLPMAX; }

    // ---- handlers called from outside the window ----
    // The shut-down sequence: the sales lines, then the settings keys. main()
    // runs it once the event loop has ended, however the window was closed.
    void FormDestroy();
    // Empties the line table and the totals without raising change events.
    void Edit_CLS2();
    // The postal-code dictionary the 自動判別 transfer consults; null (the
    // default) transfers without one. The window does not own it.
    void setPostalLookup(const transfer::PostalLookup *lookup) { m_postalLookup = lookup; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // ---- start-up, exit, navigation and shell (FormMainShell.cpp) ----
    void FormShow();
    void SpeedButton_F2Click();
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

    // ---- settings (FormMainSettings.cpp) ----
    QString SettingsPath() const;     // Label_CurrentDir + "/vuzo_Vez_1.ini"
    QString RegistrationPath() const; // Label_CurrentDir + "/vuzo_a500.ini"
    void ReadStartupSettings();       // the keys of the start-up table, in order
    void WriteShutdownSettings();     // the keys of the shut-down table, in order
    void SpeedButton_ini_s2wClick();
    void SpeedButton_ini_s2rClick();
    void SpeedButton_readMyClick();
    void ComboBox_ime_Change();
    // The sales-line keys and the shut-down keys into one open batch.
    void writeSalesLines(ProfileFile &ini) const;
    void writeShutdownSettings(ProfileFile &ini) const;

    // ---- line table, amounts and tax (FormMainSlip.cpp) ----
    void Ary_DAT_SET();
    void Ary_TabOrder();
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

    // ---- address transfer (FormMainTransfer.cpp) ----
    void BitBtn_1Click();
    void smartTransfer(); // BitBtn_1Click in mode 自動判別
    void connectTransferHandlers();
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

    // ---- printer registration (FormMainPrintSetup.cpp) ----
    void SpeedButton_PrnIdGetClick();
    void ComboBox_SELChange();
    void SpeedButton_PRNSETClick();
    void BitBtn_PrnSetClick();
    void BitBtn_PrnSet2Click();
    // The printer the selection keeps to (m_wantedPrinter) chosen by name,
    // or marked missing; the printer and paper lists; the summary line.
    void selectWantedPrinter(TWbPrinter &printer);
    void fillPrinterLists(TWbPrinter &printer);
    void showPrinterSummary();
    // The printer selected now becomes the one the selection keeps to.
    void setWantedPrinter(TWbPrinter &printer);
    // The answer to a change of the system's printers.
    void PrinterSystemChanged();

    // ---- printing (FormMainPrint.cpp) ----
    void SpeedButton_F11Click();

    // ---- wiring (TForm_Main.cpp) ----
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
    void connectHandlers();

    // ---- helpers of the handlers ----
    void setHelp(const QString &text);
    void caretToEnd(QWidget *w);
    void moveFocus(bool next);
    void setHighlight(QWidget *w, bool on);
    void showOverflowNotices(const QStringList &notices);
    // The numbers of the line table, as the line and totals passes take them.
    slip::Rows readRows() const;
    void writeRows(const slip::LinePass &pass);
    static int ListIndex(const QComboBox *list);
    static void SetListIndex(QComboBox *list, int index);

    // ---- row state: the line table's fields by row [1] .. [kRows] ----
    int wSLPMAX = 0;
    int d_i = 0;
    std::array<QLineEdit *, kRows + 1> dITEMNO_Ary{};
    std::array<QLineEdit *, kRows + 1> dITEM_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dQTY_Ary{};
    std::array<QLineEdit *, kRows + 1> dUNIT_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dPRICE_Ary{};
    std::array<TZuNumEdit *, kRows + 1> dSALES_Ary{};

    QHash<QObject *, Binding> m_bindings;
    QStringList m_overflowNotices; // figures that do not fit, as last told
    QStringList m_rowOverflow;     // line amounts that did not fit in the last line pass
    bool m_quietOverflow = false;  // the print command tells the figures itself
    bool m_shown = false;
    bool m_started = false; // the start-up sequence has run
    int m_senderNumber = 0; // current sender tab, -1 when none is selected
    // The printer of the feed's registration (PrnName), empty when the
    // registration gives only a position; missing when no queue has its name.
    QString m_wantedPrinter;
    bool m_printerMissing = false;
    bool m_selectingPrinter = false;
    // The operator typed into a delivery field since the last transfer.
    bool m_deliveryTyped = false;
    const transfer::PostalLookup *m_postalLookup = nullptr;
    TForm_SLIP97YPrn *m_formSlip97YPrn = nullptr;
    TWb_d97_Dot *m_wbD97Dot = nullptr;
};
