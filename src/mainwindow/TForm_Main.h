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
// FormMainPrint.cpp, the help buttons in FormMainHelp.cpp, postal codes in
// FormMainPostal.cpp; the wiring itself in TForm_Main.cpp.
//
// The window holds controls, their binding and the handlers only. The rules
// live in the session library, so a slip that never was in the window is
// computed, drawn and printed the same way: the fields bind to a
// session::SlipRecord (slipRecord(), showSettings(), showLines()), the
// printer lines to a session::FeedRegistration and its selection, the postal
// help to a session::PostalAssist.

#include "batch/BatchHost.h"
#include "history/HistoryHost.h"
#include "mainwindow/TForm_MainUi.h"
#include "printer/SlipPage.h"
#include "printer/SystemPrinter.h"
#include "printsetup/PrintPositionHost.h"
#include "session/FeedRegistration.h"
#include "session/HistoryStore.h"
#include "session/PostalAssist.h"
#include "session/SlipRecord.h"
#include "slip/SlipCalc.h"
#include "transfer/PostalLookup.h"

#include <QHash>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class PostalChoiceList;
class ProfileFile;
class QComboBox;
class TForm_SLIP97YPrn;
class TWbPrinter;
class TWb_d97_Dot;
struct SlipInputs;
struct InvoiceSheet;
class QStringListModel;
class TForm_Batch;
namespace session {
class HistoryService;
class JobFollower;
} // namespace session

class TForm_Main : public QWidget, public PrintPositionHost, public HistoryHost, public BatchHost, private TForm_MainUi
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
    QString missingPrinterMessage() const override;
    QString printRefusal() override;
    void followPrintedJob() override;
    void setPrintOffsets(const QString &top, const QString &left) override;

    // ---- what the history window asks (FormMainHistoryWindow.cpp) ----
    // The stored customer into the six delivery fields (asking first when
    // they were typed by hand); withLines also the ten sales lines with their
    // rate classes, the totals recomputed.
    void takeCustomer(const session::HistorySlip &slip, bool withLines) override;
    void reprint(const session::HistorySlip &slip) override;

    // ---- what the batch print window asks (FormMainBatch.cpp) ----
    // The settings file's record dated as the window's slip, on the feed
    // selected now (its resolution, offsets and sheet), the window's postal
    // dictionary and the history's printed orders.
    session::BatchSettings batchSettings() override;
    QString batchSettingsPath() const override { return SettingsPath(); }
    QString batchDataDir() const override;
    // The order's delivery and lines into the fields, as the history's
    // customer is taken: typed fields are not replaced without asking.
    bool showBatchSlip(const session::SlipRecord &record) override;
    session::SlipRecord currentRecord() const override { return slipRecord(); }
    bool previewBatchSlip(const session::BatchSlip &slip, const session::BatchContext &context) override;
    // F11's refusals, one question, each slip kept in the history (or the
    // job added to the slip kept before), one job, its state followed; the
    // invoices when the invoice setting prints one with every slip.
    BatchPrintOutcome printBatch(const BatchPrintRequest &request) override;
    // The batch print window while it is open (one at a time).
    TForm_Batch *batchWindow() const;

    // ---- what the slip print asks (FormMainPrint.cpp) ----
    // The slip layout's inputs as the fields hold them now: the effective
    // resolution and the offsets, the total, the delivery address and the
    // first four lines.
    SlipInputs slipInputs() const;

    // ---- the slip as a value (FormMainSettings.cpp) ----
    // The record the window's fields hold now: what a save writes and what a
    // print draws.
    session::SlipRecord slipRecord() const;

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
    // What the 自動判別 transfer completes and checks addresses with: the
    // lookup set above, else the postal dictionary when it is installed,
    // else nothing.
    const transfer::PostalLookup *transferLookup();

    // The program lets the window appear before it talks to the print
    // system: with this set before show(), the printer of the paper feed is
    // selected just after the window's first paint (StartPrinters), so a
    // slow or unreachable print system never delays the window. Without it
    // (tests) the selection is part of the start-up sequence.
    // prepare runs first in the deferred start, away from the window's
    // thread, given the printer names the paper feed registers: the program
    // makes its printer object there (PreparePrinter), since even that asks
    // the print system, and the window installs it once it is ready.
    using PreparePrinters = std::function<PreparedPrinter(const QStringList &printerNames)>;
    void setDeferredPrinterStart(bool deferred, PreparePrinters prepare = {})
    {
        m_deferPrinterStart = deferred;
        m_preparePrinters = std::move(prepare);
    }
    // Selects the registered printer of the paper feed once; a print system
    // that cannot be reached, or one without printers, is told in one message.
    // After a deferred start it also starts the printer layer's change watch
    // on this window.
    void StartPrinters();
    // True once StartPrinters has run (at once, or after the first paint).
    bool printersStarted() const { return m_printersStarted; }
    // True once the notices of the start-up sequence (a file that cannot be
    // read, figures that do not fit, ...) have been told: they wait for the
    // window's first paint, so no box stands on an empty screen.
    bool startupNoticesTold() const { return m_startupNoticesTold; }
    // The postal-code dictionary of the window (its load runs in the
    // background after start-up); null before start-up.
    postal::PostalDictionary *postalDictionary() { return m_postal ? &m_postal->dictionary() : nullptr; }

    // ---- the slip history (FormMainHistory.cpp) ----
    // The history of the printed slips, made by the start-up sequence from
    // the settings file's database section (else the SQLite file in the data
    // folder) and opened after the window's first paint; null before the
    // window is shown. The window owns it.
    session::HistoryService *history() const { return m_history; }
    // A stored slip printed again (for the history window): its preview
    // first, whose 「印刷」 prints the stored slip on the registered feed,
    // with F11's refusals and questions, and adds the job to the stored slip
    // under its number. The window's fields stay as they are.
    void reprintSlip(const session::HistorySlip &slip);

    // ---- the window on the screen (FormMainRoutine.cpp) ----
    // Sizes the window for the free area of a screen and centres it there:
    // the design's 769 x 661 where it fits, otherwise the area's size, with
    // the tabs scrolling.
    void placeOnScreen(const QRect &available);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool event(QEvent *event) override;

private:
    // ---- start-up, exit, navigation and shell (FormMainShell.cpp) ----
    void FormShow();
    void tellStartupNotices();
    void tellUnreadableRegistration();
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
    // A record's settings into the fields, in the order of the start-up.
    void showSettings(const session::SlipRecord &record);
    // A record's sales lines into the line fields; showLineFigures writes
    // only the unit prices and amounts a line pass changes.
    void showLines(const session::SlipRecord &record);
    void showLineFigures(const session::SlipRecord &record);
    void showTotals(const slip::Totals &totals);
    // The six fields of sales line n (1-based): the row arrays once they are
    // set up, the fields found by name before.
    struct LineFields
    {
        QLineEdit *itemNo, *item, *unit;
        TZuNumEdit *qty, *price, *sales;
        QCheckBox *reduced;
    };
    LineFields lineFields(int n) const;

    // ---- help buttons (FormMainHelp.cpp) ----
    void BitBtn_WebHelpClick();
    void BitBtn_SendMailClick();
    // Reads SupportMail: the E-Mail button works only with an address, and
    // its hint says which one, or why there is none.
    void SendMail_CHK();

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
    // A line's rate class changed: its row mark and the totals follow.
    void CheckBox_ReducedChange(int row);
    void markReducedRow(int row);
    // 登録番号 left: a number in its one writing, or refused and restored.
    void Edit_InvoiceRegNoExit();
    QString m_invoiceRegNo; // the number last accepted

    // ---- address transfer (FormMainTransfer.cpp) ----
    void BitBtn_1Click();
    void smartTransfer(); // BitBtn_1Click in mode 自動判別
    // Ctrl+J: the delivery fields from a gift's recipient to its orderer and
    // back, while they hold one of the two.
    void swapGiftParty();
    // The six delivery fields from a transfer's result (either mode's).
    template <typename Result> void fillDelivery(const Result &r);
    void connectTransferHandlers();
    // The paste area's caption and tool tip for the chosen transfer mode.
    void ShowPasteAreaHints();
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
    // The feed's registration as the window holds it: the file's, with the
    // printer index and the offsets of their hidden captions.
    session::FeedRegistration feedRegistration() const;
    // The printer and paper lists; the summary line.
    void fillPrinterLists(TWbPrinter &printer);
    void showPrinterSummary();
    // The answer to a change of the system's printers, and its wiring.
    void PrinterSystemChanged();
    void watchPrinterChanges();

    // ---- printing (FormMainPrint.cpp) ----
    void SpeedButton_F11Click();
    // F11's refusals and questions before a slip of these inputs and total
    // is printed (windowRows: also the window's lines beyond the slip's);
    // false when nothing is to be printed.
    bool slipPrintAccepted(const std::function<SlipInputs()> &inputs, const QString &totalText, bool windowRows);
    // Hands copies of a slip to the print system: the resolution read into
    // Label_dpix/Label_dpiy, drawCopy for each copy, the job titled with the
    // slip number and followed; the history's job (0: none) follows what
    // became of it.
    void sendSlip(const QString &slipNo, int copies, const std::function<void()> &drawCopy, qint64 historyJob);
    // The line and totals passes before a print; false, after telling the
    // figures that do not fit, when the slip must not be printed.
    bool prePrintPass();
    // The layout's inputs at a resolution given as text, the offsets and
    // fields as they stand.
    SlipInputs slipInputsAt(const QString &dpiX, const QString &dpiY) const;
    // The slip at the resolution a print job would lay it out at now.
    SlipInputs slipInputsForPrint() const;
    // The paper a print job gets now: the selected printer's sheet, else the
    // feed's registered one printed up to its edges.
    PrintedSheet sheetForPrint() const;
    // Before printing on a printer no feed is registered for: names the
    // queue and asks, once, whether to print there (false: nothing printed).
    bool unregisteredPrinterAccepted();

    // ---- the history window (FormMainHistoryWindow.cpp) ----
    void SpeedButton_F6Click();

    // ---- the batch print window (FormMainBatch.cpp) ----
    // Asks for the order file, then opens the window on it; raises the one
    // already open instead.
    void SpeedButton_F8Click();
    // The invoices of the slips printed in one batch on the invoice feed.
    void printBatchInvoices(const QList<session::BatchSlip> &slips);

    // ---- the slip history (FormMainHistory.cpp) ----
    // Makes the service for the settings file's location (start-up).
    void makeHistory();
    // Opens it (after the first paint); a failure is told in the guidance band.
    void openHistory();
    // Shows the slip number in the window (「伝票番号 12」).
    void showSlipNumber(const QString &slipNo);
    // The window's slip as the history keeps it (after the pass before
    // printing), and a job of it about to be handed over.
    session::HistorySlip historySlipOfWindow() const;
    session::HistoryJob historyJobFor(session::HistoryJobKind kind, int copies) const;
    // Before a job: keeps the slip with its first job, waiting a bounded
    // time, and puts the number taken into ZuNumEdit_Slipno. nullopt, after
    // the one notice that it is not recorded, when it could not be.
    std::optional<session::HistorySlip> recordSlip(session::HistorySlip slip, session::HistoryJob &job);
    // Adds a job to a stored slip; 0 after the same notice when it could not.
    qint64 addHistoryJob(qint64 slipId, const session::HistoryJob &job,
                         const std::optional<InvoiceSheet> &invoice = std::nullopt);
    void tellNotRecorded(const QString &why);
    // A stored slip's layout inputs at a resolution given as text, with the
    // current feed's offsets.
    SlipInputs storedSlipInputs(const session::HistorySlip &slip, const QString &dpiX, const QString &dpiY) const;
    // The window's slip is the one recorded last, unchanged since.
    bool windowSlipIsLastRecorded() const;
    // A job's state posted to the store (nothing waits for it).
    void setHistoryJobState(qint64 jobId, session::HistoryJobState state, int cupsJobId = 0);
    // After PrintDocument: the job is 「送信済み」 with the print system's
    // number, and its end is recorded when the follower learns it.
    void historyJobHandedOver(qint64 jobId);
    void historyJobEnded(const SystemPrinter::JobTicket &job, vuzo::JobEnd end);
    // The item names of 品名2 offered from the history as the operator types.
    void connectItemCompleter();
    void askItems(QLineEdit *field, const QString &typed);
    void takeItem(int row, const QString &name);

    // ---- preview (FormMainPreview.cpp) ----
    void SpeedButton_F9Click();

    // ---- the delivery note and invoice (FormMainInvoice.cpp) ----
    void SpeedButton_F10Click();
    void BitBtn_InvoicePrnSetClick();
    session::FeedRegistration invoiceRegistration() const;
    // The sheet of the slip as it stands, after the pass before printing.
    InvoiceSheet invoiceSheet();
    // Prints the sheet on its registered printer; false, after telling why,
    // when nothing was sent. withSlip: the stored slip printed just before
    // (0 when it could not be recorded) that the sheet's job is added to;
    // none for F10 alone.
    bool printInvoice(std::optional<qint64> withSlip = std::nullopt);

    // ---- the daily routine (FormMainRoutine.cpp) ----
    // The keys of the routine (F3 to the paste area, F4 a new slip, Ctrl+Enter
    // in the paste area, Enter on the picture buttons), the copy count and
    // the focus tracking; wired once by the constructor.
    void connectRoutine();
    // Start-up: the routine's function keys and the copy count.
    void startRoutine();
    void SpeedButton_F3Click();
    void SpeedButton_F4Click();
    void ZuNumEdit_BUSUUEnter();
    void ZuNumEdit_BUSUUExit();
    // The amounts and totals of the lines restored at start-up.
    void computeRestoredLines();
    // Before printing: lines beyond the printed rows are told, and the
    // operator goes back (false) or prints anyway (true).
    bool unprintedRowsAccepted();
    // The focus has moved to `now`: its row, and the field itself on a small
    // screen, are scrolled into sight; the key guide follows.
    void focusMoved(QWidget *now);

    // ---- postal codes (FormMainPostal.cpp) ----
    void PostalSetup();        // the choice list, the warning label and their wiring
    void PostalStart();        // start-up: the dictionary of ZipDictDir, loaded soon after
    void Edit_ZipPostalFill(); // Enter leaving Edit_Zip
    void Edit_Add1KeyDown(QWidget *sender, int &key);
    void Edit_Add1PostalSearch(); // F5 in Edit_Add1
    // What a code or an address offered: written, listed, or told.
    void PostalOfferMade(const session::PostalOffer &offer);
    void PostalChoiceMade(int index);
    void PostalSetAddress(const QString &address);
    void PostalCheck(); // the warning when code and address disagree

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
    // Label_Warning: the text cut to the label's width, the whole in its tool tip.
    void showWarning(const QString &text);
    void caretToEnd(QWidget *w);
    void moveFocus(bool next);
    void setHighlight(QWidget *w, bool on);
    void showOverflowNotices(const QStringList &notices);
    // The numbers of the line table, as the line and totals passes take them.
    slip::Rows readRows() const;
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
    std::array<QCheckBox *, kRows + 1> dREDUCED_Ary{};

    QHash<QObject *, Binding> m_bindings;
    // The field whose enter handler ran last and whose exit handler has not
    // run yet: the focus leaving the window and coming back to it is no
    // change of field.
    QPointer<QWidget> m_enteredField;
    QStringList m_overflowNotices; // figures that do not fit, as last told
    QStringList m_rowOverflow;     // line amounts that did not fit in the last line pass
    bool m_quietOverflow = false;  // the print command tells the figures itself
    bool m_shown = false;
    bool m_started = false; // the start-up sequence has run
    bool m_deferPrinterStart = false;
    PreparePrinters m_preparePrinters;
    bool m_preparing = false;
    // Runs the printer start once the printer object is there; the message
    // when the print system could not be read for it.
    void selectStartPrinter(const QString &unavailable);
    // The paper feed's registration from vuzo_a500.ini into m_feed and the
    // printer captions, without selecting it.
    void readFeedRegistration();
    bool m_printerStartPosted = false;
    // The boxes of the start-up sequence, held until the first paint
    // (true: an error box).
    QList<std::pair<bool, QString>> m_startupNotices;
    bool m_startupNoticesPosted = false;
    bool m_startupNoticesTold = false;
    // The settings file could not be read at start-up: it is never saved
    // over, so what it holds is not replaced by defaults.
    bool m_settingsUnreadable = false;
    // The texts of the slip's keys as read at start-up or last saved: the
    // exit save tells the keys another program changed since.
    session::SlipKeyTexts m_keysAsRead;
    bool m_printersStarted = false;
    int m_senderNumber = 0; // current sender tab, -1 when none is selected
    QString m_supportMail;  // the E-Mail button's address, empty when none is set
    // The paper feed's registration bound to the printer lines (the printer
    // index and offsets live in their hidden captions), and what selecting it
    // came to: a missing printer or paper refuses every print.
    session::FeedRegistration m_feed;
    session::FeedSelection m_selection;
    bool m_selectingPrinter = false;
    // The operator has agreed to print on the unregistered feed's printer.
    bool m_unregisteredAccepted = false;
    // Tells when the print system stops the job just sent.
    session::JobFollower *m_jobFollower = nullptr;
    session::JobFollower *m_invoiceFollower = nullptr;
    // The postal-code help, from start-up on, and what the open choice list
    // offers.
    std::unique_ptr<session::PostalAssist> m_postal;
    session::PostalOffer m_postalOffer;
    PostalChoiceList *m_postalChoice = nullptr;
    QLabel *Label_ZipWarning = nullptr;
    // The operator typed into a delivery field since the last transfer.
    bool m_deliveryTyped = false;
    // The six fields of the last 自動判別 transfer's recipient and of the
    // gift's orderer it found (both empty when it found none).
    QStringList m_giftRecipient, m_giftOrderer;
    const transfer::PostalLookup *m_postalLookup = nullptr;
    TForm_SLIP97YPrn *m_formSlip97YPrn = nullptr;
    TWb_d97_Dot *m_wbD97Dot = nullptr;
    // The slip history and whether its opening has been posted.
    session::HistoryService *m_history = nullptr;
    bool m_historyOpenPosted = false;
    // The slip recorded last and what it held then.
    qint64 m_lastRecordedSlip = 0;
    QString m_lastRecordedIdentity;
    // The print system's job numbers of jobs followed, to their history job.
    QHash<int, qint64> m_historyJobs;
    // The same for a batch's job: one history job for each of its slips.
    QHash<int, QList<qint64>> m_batchHistoryJobs;
    QPointer<TForm_Batch> m_batchWindow;
    // The item names offered now and the count of their questions.
    QStringListModel *m_itemModel = nullptr;
    QList<session::HistoryItem> m_itemOffers;
    quint64 m_itemRound = 0;
};
