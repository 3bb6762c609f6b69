// Start-up, shut-down, the exit command and the window's navigation.

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/TForm_Main.h"
#include "platform/Errors.h"
#include "platform/TextUtil.h"
#include "printer/AskAway.h"
#include "printer/WbPrinters.h"
#include "printsetup/WbPrinterDialogs.h"
#include "settings/ProfileFile.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
const QString kSection = session::SlipSection();

// Holds the notices and error boxes of the start-up sequence while the window
// is not on the screen yet; questions go to the service at once.
class StartupDialogs final : public DialogService
{
public:
    std::unique_ptr<DialogService> inner;
    QList<std::pair<bool, QString>> held;

    bool confirm(QWidget *parent, const QString &text) override { return inner->confirm(parent, text); }
    bool choose(QWidget *parent, const QString &text, const QString &proceed, const QString &back) override
    {
        return inner->choose(parent, text, proceed, back);
    }
    void notice(QWidget *, const QString &text) override { held.append({false, text}); }
    void error(QWidget *, const QString &text) override { held.append({true, text}); }
    QString saveFileName(QWidget *parent, const QString &caption, const QString &proposedPath,
                         const QString &filter) override
    {
        return inner->saveFileName(parent, caption, proposedPath, filter);
    }
    QString openFileName(QWidget *parent, const QString &caption, const QString &startDir,
                         const QString &filter) override
    {
        return inner->openFileName(parent, caption, startDir, filter);
    }
};
} // namespace

void TForm_Main::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The window is shown once per run; the start-up sequence runs then.
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

// Start-up. Each step runs on its own: an error in one step (a missing sender
// record file, no printer, a stored printer index that is not a number) is
// shown and the next step still runs, so the window is always fully usable.
void TForm_Main::FormShow()
{
    // The boxes of the steps wait for the window's first paint.
    auto holder = std::make_unique<StartupDialogs>();
    StartupDialogs *held = holder.get();
    held->inner = vuzo::SetDialogs(std::move(holder));
    const auto release = qScopeGuard([this, held] {
        m_startupNotices = std::move(held->held);
        vuzo::SetDialogs(std::move(held->inner));
    });
    auto step = [this](const std::function<void()> &fn) { vuzo::Guard(this, fn); };

    step([this] {
        setWindowTitle(u"vuzo　< 郵便振替払込取扱票　用紙 印刷　> ver"_s + QStringLiteral(VUZO_VERSION));
        DateTimePicker_1->setDate(QDate::currentDate());
        Label_CurrentDir->setText(QDir::currentPath());
        Label_Prn_Top->clear();
        Label_Prn_Left->clear();
        Edit_Cls();
        Edit_Cls_My();
        Memo1->clear();
        Memo2->clear();
    });
    step([this] { ReadStartupSettings(); });
    step([this] { makeHistory(); });
    step([this] { tellUnreadableRegistration(); });
    step([this] { SendMail_CHK(); });
    step([this] {
        if (ComboBox_FontSize->currentIndex() < 0)
            ComboBox_FontSize->setCurrentIndex(0);
        if (ComboBox_FontSizeMy->currentIndex() < 0)
            ComboBox_FontSizeMy->setCurrentIndex(0);
        StatusBar1->showMessage(u"  "_s);
        for (int k = 1; k <= 12; ++k) {
            SpeedButton_F[k]->setEnabled(false);
            SpeedButton_F[k]->setText(u"F"_s + QString::number(k));
        }
        SpeedButton_F[2]->setText(u"中止"_s);
        SpeedButton_F[2]->setEnabled(true);
        SpeedButton_F[6]->setText(u"履歴"_s);
        SpeedButton_F[6]->setEnabled(true);
        SpeedButton_F[8]->setText(u"一括"_s);
        SpeedButton_F[8]->setEnabled(true);
        SpeedButton_F[9]->setText(u"プレビュー"_s);
        SpeedButton_F[9]->setEnabled(true);
        SpeedButton_F[10]->setText(u"請求書"_s);
        SpeedButton_F[10]->setEnabled(true);
        SpeedButton_F[11]->setText(u"印刷"_s);
        SpeedButton_F[11]->setEnabled(true);
    });
    step([this] {
        if (!m_deferPrinterStart)
            ComboBox_SELChange();
    });
    step([this] {
        if (ComboBox_SEL->currentIndex() < 0 && ComboBox_SEL->currentText().isEmpty())
            ComboBox_SEL->setCurrentIndex(0);
    });
    // A missing sender record is not an error worth a box: the sender fields
    // simply keep the values of the settings file. One that is there but
    // cannot be read (no plain file, too large, no permission) is told, so the
    // operator knows why the sender is not the one in the file.
    step([this] {
        try {
            SpeedButton_readMyClick();
        } catch (const EInOutError &e) {
            if (QFileInfo::exists(u"my"_s + QString::number(m_senderNumber) + u".txt"_s))
                vuzo::Dialogs().notice(this, e.message());
        }
    });
    step([this] { Ary_DAT_SET(); });
    step([this] { Ary_TabOrder(); });
    step([this] { TAX_RATE_CHK(); });
    step([this] { Edit_CLS2(); });
    step([this] { wSLPMAX = 4; });
    step([this] { SpeedButton_ini_s2rClick(); });
    step([this] { computeRestoredLines(); });
    step([this] {
        if (m_deferPrinterStart)
            Ary_DAT_SET();
        else
            Tab_Change_CHK();
    });
    step([this] { startRoutine(); });
    step([this] { PostalStart(); });
    step([this] {
        activateWindow();
        Edit_Zip->setFocus(Qt::OtherFocusReason);
    });
    // A change of the system's printers selects the registered printer again
    // (after a deferred start, set there: the printer object is not asked
    // for before the first paint).
    step([this] {
        if (!m_deferPrinterStart)
            watchPrinterChanges();
    });
    m_started = true;
    if (!m_deferPrinterStart)
        m_printersStarted = true;
    // A paint that came while a step waited is followed by one more, which
    // lets the held boxes come.
    update();
}

void TForm_Main::watchPrinterChanges()
{
    vuzo::Guard(this, [this] {
        WbPrinter().SetOnSystemChanged([window = QPointer<TForm_Main>(this)](TWbPrinter *) {
            if (window)
                window->PrinterSystemChanged();
        });
    });
}

void TForm_Main::tellUnreadableRegistration()
{
    const ProfileFile ini(RegistrationPath());
    if (const QString refusal = ini.readRefusal(); !refusal.isEmpty())
        vuzo::Dialogs().notice(this, u"プリンタの登録ファイル "_s + ini.path() + u" を読めません（"_s + refusal +
                                         u"）。\nこのままでは印刷できません。ファイルを読めるようにしてから、"
                                         u"もう一度起動してください。このファイルは書き換えません。"_s);
}

void TForm_Main::tellStartupNotices()
{
    m_startupNoticesTold = true;
    const QList<std::pair<bool, QString>> notices = std::move(m_startupNotices);
    for (const auto &[isError, text] : notices) {
        if (isError)
            vuzo::Dialogs().error(this, text);
        else
            vuzo::Dialogs().notice(this, text);
    }
}

bool TForm_Main::event(QEvent *event)
{
    const bool handled = QWidget::event(event);
    // The start-up's boxes come once the window is on the screen.
    if (event->type() == QEvent::UpdateRequest && m_started && !m_startupNoticesPosted) {
        m_startupNoticesPosted = true;
        QTimer::singleShot(0, this, [this] { vuzo::Guard(this, [this] { tellStartupNotices(); }); });
    }
    // The history's database is opened on its own thread once the window is
    // on the screen, so neither its file nor its server delays the window.
    if (event->type() == QEvent::UpdateRequest && m_started && !m_historyOpenPosted) {
        m_historyOpenPosted = true;
        QTimer::singleShot(0, this, [this] { vuzo::Guard(this, [this] { openHistory(); }); });
    }
    // An update request of the window is its paint reaching the screen (the
    // scrolling content paints in it, not the window itself): after the
    // first one the print system is asked.
    if (event->type() == QEvent::UpdateRequest && m_deferPrinterStart && m_started && !m_printerStartPosted) {
        m_printerStartPosted = true;
        QTimer::singleShot(0, this, [this] { StartPrinters(); });
    }
    return handled;
}

void TForm_Main::StartPrinters()
{
    if (m_printersStarted || m_preparing)
        return;
    if (!m_preparePrinters) {
        selectStartPrinter(QString());
        return;
    }
    // The printer object is made on the print system's thread: a print
    // server that takes connections and never answers keeps that thread
    // waiting, not the window.
    m_preparing = true;
    QStringList registered;
    vuzo::Guard(this, [&] {
        ProfileFile ini(RegistrationPath());
        registered.append(session::FeedRegistration::Read(ini, ComboBox_SEL->currentText()).printerName);
    });
    vuzo::AskAway<std::shared_ptr<PreparedPrinter>>(
        this, true,
        [prepare = m_preparePrinters, registered] { return std::make_shared<PreparedPrinter>(prepare(registered)); },
        [this](const std::shared_ptr<PreparedPrinter> &prepared) {
            m_preparing = false;
            if (vuzo::ClosingDown())
                return;
            if (prepared->printer)
                InstallWbPrinter(std::move(prepared->printer));
            selectStartPrinter(prepared->unavailableMessage);
        });
}

void TForm_Main::selectStartPrinter(const QString &unavailable)
{
    m_printersStarted = true;
    if (m_deferPrinterStart)
        watchPrinterChanges();
    // Said once; the change watch selects the printer when the print system
    // is back, and F11 tells the state when it is used.
    auto tellUnavailable = [this](const QString &message) {
        vuzo::Dialogs().notice(this, message + u"\n印刷システム(CUPS)が動いているか確かめてください。"
                                               u"入力はこのまま続けられます。"_s);
    };
    try {
        // The print system was not there when the printer object was made:
        // the registration is read, and the selection, which would only ask
        // again on the window's thread, waits for the change watch.
        if (!unavailable.isEmpty()) {
            readFeedRegistration();
            tellUnavailable(unavailable);
        } else {
            ComboBox_SELChange();
        }
    } catch (const EWbPrinterNoPrinter &e) {
        vuzo::Dialogs().notice(this, vuzo::NoPrinterMessage(e.message()));
    } catch (const EWbPrinter &e) {
        tellUnavailable(e.message());
    } catch (const EVuzoError &e) {
        vuzo::Dialogs().error(this, e.message());
    }
    vuzo::Guard(this, [this] {
        Label_SelectPaper->setText(ComboBox_Paper->currentText());
        showPrinterSummary();
    });
    // From now on a change of the system's printers (a queue added or
    // removed, the print system back) selects the registered printer again.
    if (m_deferPrinterStart)
        WbPrinter().StartChangeWatch(this);
}

void TForm_Main::FormDestroy()
{
    // A settings file that could not be read at start-up keeps what it holds:
    // the window shows defaults, not its content (told at start-up).
    if (m_settingsUnreadable)
        return;
    // The sales lines and the settings reach the disk together, in one
    // replacement of the file: a kill or a full disk never pairs new lines
    // with an old address. Keys another program changed meanwhile are told,
    // and its file is kept beside as a dated copy.
    const session::SlipSave save = session::SaveSlipRecord(slipRecord(), SettingsPath(), session::SlipKeys::All,
                                                           m_keysAsRead, QDateTime::currentDateTime());
    if (const QString message = session::ChangedKeysMessage(save); !message.isEmpty())
        vuzo::Dialogs().notice(this, message);
}

void TForm_Main::SpeedButton_F2Click()
{
    if (vuzo::Dialogs().confirm(this, u"終了しますか?"_s))
        close();
    else
        Edit_Zip->setFocus(Qt::OtherFocusReason);
}

void TForm_Main::moveFocus(bool next)
{
    // Enter and Up walk the slip's text and number fields as they always
    // have; the rate-class boxes are reached with Tab (and Space toggles them).
    focusNextPrevChild(next);
    for (int k = 0; k < 2 && focusWidget() && focusWidget()->objectName().startsWith(u"CheckBox_Reduced"_s); ++k)
        focusNextPrevChild(next);
}

// The keys every field of the slip shares. F2, F6, F9 and F11 are also the
// window-wide shortcuts of their buttons; a key the shortcut took never
// reaches a field, so the field handles one only while the window is not the
// active one (a box just closed) and the shortcut did not see it.
void TForm_Main::FormKeyDown(QWidget *, int &key)
{
    switch (key) {
    case Qt::Key_F2: SpeedButton_F2Click(); break;
    case Qt::Key_F6: SpeedButton_F6Click(); break;
    case Qt::Key_F8: SpeedButton_F8Click(); break;
    case Qt::Key_F9: SpeedButton_F9Click(); break;
    case Qt::Key_F10: SpeedButton_F10Click(); break;
    case Qt::Key_F11: SpeedButton_F11Click(); break;
    case Qt::Key_Up: moveFocus(false); break;
    case Qt::Key_F7: SpeedButton_F7Click(); break;
    case Qt::Key_Return:
    case Qt::Key_Enter: moveFocus(true); break;
    default: break;
    }
}

void TForm_Main::Edit_ZipKeyDown(QWidget *sender, int &key)
{
    if (key == Qt::Key_Up)
        return;
    FormKeyDown(sender, key);
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        Edit_ZipPostalFill();
}

void TForm_Main::Edit_telKeyDown(QWidget *sender, int &key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (dITEM_Ary[1])
            dITEM_Ary[1]->setFocus(Qt::TabFocusReason);
        return;
    }
    FormKeyDown(sender, key);
}

void TForm_Main::ZuNumEdit_Price10KeyDown(QWidget *sender, int &key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return;
    FormKeyDown(sender, key);
}

void TForm_Main::setHelp(const QString &text)
{
    Panel_HelpMess->setText(text);
}

void TForm_Main::caretToEnd(QWidget *w)
{
    if (auto *e = qobject_cast<QLineEdit *>(w))
        e->end(false);
}

void TForm_Main::Edit_ZipEnter()
{
    setHelp(u"お届け先の郵便番号を入力して下さい"_s);
    caretToEnd(Edit_Zip);
}

void TForm_Main::Edit_Add1Enter()
{
    Edit_Warning();
    setHelp(u"お届け先のおところ①を入力して下さい　（郵便番号が空のとき F5:おところから郵便番号を検索）"_s);
    caretToEnd(Edit_Add1);
}

void TForm_Main::Edit_Add2Enter()
{
    Edit_Warning();
    setHelp(u"お届け先のおところを入力して下さい"_s);
    caretToEnd(focusWidget());
}

void TForm_Main::Edit_Custo1Enter()
{
    setHelp(u"お届け先のおなまえを入力して下さい"_s);
    caretToEnd(Edit_Custo1);
}

void TForm_Main::Edit_telEnter()
{
    setHelp(u"お届け先のでんわを入力して下さい"_s);
    caretToEnd(Edit_tel);
}

void TForm_Main::Memo1Enter()
{
    setHelp(u"テキストを貼り付けることができます　７行以内に収めてください"_s);
}

void TForm_Main::ComboBox_imeEnter()
{
    setHelp(u"IME(漢字変換)モードを選択してください"_s);
}

void TForm_Main::Edit_TxDispEnter()
{
    setHelp(u"消費税端数 0:切捨て 1:四捨五入 2:切上げ"_s);
}

void TForm_Main::Edit_Warning()
{
    if (Edit_Add1->text().size() > 40)
        showWarning(u"警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"_s);
    else
        showWarning(QString());
}

void TForm_Main::showWarning(const QString &text)
{
    // The label is one line beside the postal code: a longer warning is cut
    // with "…" to its width, and its tool tip holds the whole text.
    const QFontMetrics metrics(Label_Warning->font());
    Label_Warning->setText(metrics.elidedText(text, Qt::ElideRight, Label_Warning->contentsRect().width()));
    Label_Warning->setToolTip(text);
}

void TForm_Main::SpeedButton_F7Click()
{
    int index = -1;
    {
        ProfileFile ini(SettingsPath());
        index = ini.ReadInteger(kSection, u"Sbr_12prnno"_s, -1);
    }
    try {
        WbPrinter().SetIndex(index);
    } catch (const EVuzoError &) {
        WbPrinter().SetIndex(0);
    }
    WbPrinterSetupDialog1->Execute();
    const int chosen = WbPrinter().Index();
    {
        ProfileFile ini(SettingsPath());
        ini.WriteInteger(kSection, u"Sbr_12prnno"_s, chosen);
    }
    Label_PrinterIndex->setText(QString::number(chosen));
    m_feed.takeSelectedPrinter(WbPrinter());
    m_selection = session::FeedSelection{};
    SpeedButton_PRNSETClick();
}

void TForm_Main::Tab_Change_CHK()
{
    Ary_DAT_SET();
    ComboBox_SELChange();
    SpeedButton_PRNSETClick();
    SpeedButton_PrnIdGetClick();
    Label_SelectPaper->setText(ComboBox_Paper->currentText());
    showPrinterSummary();
}

void TForm_Main::PageControl1Change()
{
    // Each step on its own, so a printer error does not leave the F11 button
    // in the state of the previous tab.
    vuzo::Guard(this, [this] { Tab_Change_CHK(); });
    setHelp(QString());
    if (PageControl1->currentIndex() == 0) {
        SpeedButton_F[6]->setText(u"履歴"_s);
        SpeedButton_F[6]->setEnabled(true);
        SpeedButton_F[8]->setText(u"一括"_s);
        SpeedButton_F[8]->setEnabled(true);
        SpeedButton_F[9]->setText(u"プレビュー"_s);
        SpeedButton_F[9]->setEnabled(true);
        SpeedButton_F[10]->setText(u"請求書"_s);
        SpeedButton_F[10]->setEnabled(true);
        SpeedButton_F[11]->setText(u"印刷"_s);
        SpeedButton_F[11]->setEnabled(true);
    } else {
        SpeedButton_F[6]->setText(u"F6"_s);
        SpeedButton_F[6]->setEnabled(false);
        SpeedButton_F[8]->setText(u"F8"_s);
        SpeedButton_F[8]->setEnabled(false);
        SpeedButton_F[9]->setText(u"F9"_s);
        SpeedButton_F[9]->setEnabled(false);
        SpeedButton_F[10]->setText(u"F10"_s);
        SpeedButton_F[10]->setEnabled(false);
        SpeedButton_F[11]->setText(u"F11"_s);
        SpeedButton_F[11]->setEnabled(false);
    }
    Ary_DAT_SET();
}
