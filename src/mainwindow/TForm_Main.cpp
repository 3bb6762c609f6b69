// The main window's behaviour: its controls, built by TForm_MainUi, wired to
// the handlers; the key, enter and exit events of the fields routed through
// one event filter.

#include "mainwindow/TForm_Main.h"

#include "controls/DialogService.h"
#include "controls/Guard.h"
#include "controls/TZuNumEdit.h"
#include "mainwindow/PostalChoiceList.h"
#include "session/JobFollower.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QToolButton>

#include <utility>

using namespace Qt::StringLiterals;

TForm_Main::TForm_Main(QWidget *parent) : QWidget(parent)
{
    setupUi(this);
    PostalSetup();
    connectHandlers();
    connectRoutine();
    connectItemCompleter();
    m_jobFollower = new session::JobFollower(this);
    // The invoice printed right after a slip has a follower of its own, so
    // the slip's job is not let go (and told as unprinted) for it.
    m_invoiceFollower = new session::JobFollower(this);
    for (session::JobFollower *follower : {m_jobFollower, m_invoiceFollower}) {
        connect(follower, &session::JobFollower::problem, this,
                [this](const QString &problem) { vuzo::Dialogs().notice(this, problem); });
    }
}

TForm_Main::~TForm_Main()
{
    // Deleting the children moves the application's focus; the window's
    // handlers must not answer that on a window half gone.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    // An open choice list closes when the window's children go, after the
    // members its handlers use; it goes first.
    delete m_postalChoice;
}

void TForm_Main::setCompanions(TForm_SLIP97YPrn *slip97YPrn, TWb_d97_Dot *d97Dot)
{
    m_formSlip97YPrn = slip97YPrn;
    m_wbD97Dot = d97Dot;
}

void TForm_Main::bind(QWidget *w, KeyDown keyDown, bool keyPress, Enter enter, Enter exit)
{
    m_bindings.insert(w, Binding{keyDown, keyPress, std::move(enter), std::move(exit)});
    w->installEventFilter(this);
}

void TForm_Main::connectHandlers()
{
    using vuzo::Guarded;
    auto plain = [this](void (TForm_Main::*h)()) {
        return [this, h](QWidget *) { vuzo::Guard(this, [&] { (this->*h)(); }); };
    };
    auto withSender = [this](void (TForm_Main::*h)(QWidget *)) {
        return [this, h](QWidget *w) { vuzo::Guard(this, [&] { (this->*h)(w); }); };
    };

    // Keys, characters, entering and leaving, field by field.
    bind(Edit_Zip, &TForm_Main::Edit_ZipKeyDown, true, plain(&TForm_Main::Edit_ZipEnter));
    bind(Edit_Add1, &TForm_Main::Edit_Add1KeyDown, true, plain(&TForm_Main::Edit_Add1Enter));
    bind(Edit_Add2, &TForm_Main::FormKeyDown, true, plain(&TForm_Main::Edit_Add2Enter));
    bind(Edit_Add3, &TForm_Main::FormKeyDown, true, plain(&TForm_Main::Edit_Add2Enter));
    bind(Edit_Custo1, &TForm_Main::FormKeyDown, true, plain(&TForm_Main::Edit_Custo1Enter));
    bind(Edit_tel, &TForm_Main::Edit_telKeyDown, true, plain(&TForm_Main::Edit_telEnter));
    for (int n = 1; n <= kRows; ++n) {
        const QString num = QString::number(n);
        auto *item = findChild<QLineEdit *>(u"Edit_item"_s + num);
        auto *qty = findChild<TZuNumEdit *>(u"ZuNumEdit_QTY"_s + num);
        auto *unit = findChild<QLineEdit *>(u"Edit_unit"_s + num);
        auto *price = findChild<TZuNumEdit *>(u"ZuNumEdit_Price"_s + num);
        auto *sales = findChild<TZuNumEdit *>(u"ZuNumEdit_Sales"_s + num);
        bind(item, &TForm_Main::Edit_itemKeyDown, true, withSender(&TForm_Main::Edit_itemEnter),
             withSender(&TForm_Main::Edit_itemExit));
        bind(qty, &TForm_Main::FormKeyDown, true, withSender(&TForm_Main::ZuNumEdit_QTYEnter),
             withSender(&TForm_Main::ZuNumEdit_QTYExit));
        bind(unit, &TForm_Main::FormKeyDown, true, withSender(&TForm_Main::Edit_unitEnter),
             withSender(&TForm_Main::Edit_unitExit));
        bind(price, n == kRows ? &TForm_Main::ZuNumEdit_Price10KeyDown : &TForm_Main::FormKeyDown, true,
             withSender(&TForm_Main::ZuNumEdit_PriceEnter), withSender(&TForm_Main::ZuNumEdit_PriceExit));
        bind(sales, &TForm_Main::FormKeyDown, true);
        connect(qty, &TZuNumEdit::changed, this, Guarded(this, &TForm_Main::ZuNumEdit_QTYChange));
        connect(price, &TZuNumEdit::changed, this, Guarded(this, &TForm_Main::ZuNumEdit_PriceChange));
        auto *reduced = findChild<QCheckBox *>(u"CheckBox_Reduced"_s + num);
        bind(reduced, &TForm_Main::FormKeyDown, true);
        connect(reduced, &QCheckBox::toggled, this,
                [this, n](bool) { vuzo::Guard(this, [this, n] { CheckBox_ReducedChange(n); }); });
    }
    bind(Memo1, nullptr, false, plain(&TForm_Main::Memo1Enter));
    for (QComboBox *c : {ComboBox_ime_Itemno, ComboBox_ime_Item, ComboBox_ime_Unit})
        bind(c, nullptr, false, plain(&TForm_Main::ComboBox_imeEnter));
    bind(Edit_TxDisp, nullptr, false, plain(&TForm_Main::Edit_TxDispEnter));

    // Buttons, visible and hidden (the program clicks the hidden ones).
    connect(SpeedButton_F[2], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F2Click));
    connect(SpeedButton_F[6], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F6Click));
    connect(SpeedButton_F[8], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F8Click));
    connect(SpeedButton_F[9], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F9Click));
    connect(SpeedButton_F[10], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F10Click));
    connect(SpeedButton_F[11], &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F11Click));
    // F2, F6, F8, F9 and F11 press their buttons wherever the focus is in the
    // window, the paste area and the settings tabs included; a disabled button
    // (F6, F8, F9 and F11 on a settings tab) takes no key either.
    for (const auto &[k, fkey] : {std::pair{2, Qt::Key_F2}, std::pair{6, Qt::Key_F6}, std::pair{8, Qt::Key_F8},
                                  std::pair{9, Qt::Key_F9}, std::pair{10, Qt::Key_F10}, std::pair{11, Qt::Key_F11}}) {
        auto *key = new QShortcut(QKeySequence(fkey), this);
        connect(key, &QShortcut::activated, SpeedButton_F[k], &QToolButton::click);
    }
    connect(BitBtn_1, &QToolButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_1Click));
    connect(BitBtn_Batch, &QToolButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_F8Click));
    connect(BitBtn_WebHelp, &QToolButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_WebHelpClick));
    connect(BitBtn_SendMail, &QPushButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_SendMailClick));
    connect(BitBtn_MemoCLS, &QToolButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_MemoCLSClick));
    connect(BitBtn_CLS, &QToolButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_CLSClick));
    connect(BitBtn_PrnSet, &QPushButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_PrnSetClick));
    connect(BitBtn_PrnSet2, &QPushButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_PrnSet2Click));
    connect(BitBtn_InvoicePrnSet, &QPushButton::clicked, this, Guarded(this, &TForm_Main::BitBtn_InvoicePrnSetClick));
    connect(SpeedButton_ini_s2w, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_ini_s2wClick));
    connect(SpeedButton_ini_s2r, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_ini_s2rClick));
    connect(SpeedButton_readMy, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_readMyClick));
    connect(SpeedButton1, &QPushButton::clicked, this, Guarded(this, &TForm_Main::DEN_SUM));
    connect(SpeedButton_trim, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_trimClick));
    connect(SpeedButton_ZenM, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_ZenMClick));
    connect(SpeedButton_ZipTel_Chk, &QPushButton::clicked, this,
            Guarded(this, &TForm_Main::SpeedButton_ZipTel_ChkClick));
    connect(SpeedButton_46, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_46Click));
    connect(SpeedButton_Memo21, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_Memo21Click));
    connect(SpeedButton_Memo22, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_Memo22Click));
    connect(SpeedButton_1line, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_1lineClick));
    connect(SpeedButton_ZIP2, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_ZIP2Click));
    connect(SpeedButton_TEL2, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_TEL2Click));
    connect(SpeedButton_HowManyWords, &QPushButton::clicked, this,
            Guarded(this, &TForm_Main::SpeedButton_HowManyWordsClick));
    connect(SpeedButton_Name_Addr, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_Name_AddrClick));
    connect(SpeedButton_PRNSET, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_PRNSETClick));
    connect(SpeedButton_PrnIdGet, &QPushButton::clicked, this, Guarded(this, &TForm_Main::SpeedButton_PrnIdGetClick));

    // Change events.
    connect(PageControl1, &QTabWidget::currentChanged, this,
            [this](int) { vuzo::Guard(this, [this] { PageControl1Change(); }); });
    connect(Edit_Zip, &QLineEdit::textChanged, this,
            [this](const QString &) { vuzo::Guard(this, [this] { Edit_ZipChange(); }); });
    connect(Edit_tel, &QLineEdit::textChanged, this,
            [this](const QString &) { vuzo::Guard(this, [this] { Edit_telChange(); }); });
    connect(Memo1, &QPlainTextEdit::textChanged, this, Guarded(this, &TForm_Main::Memo1Change));
    connectTransferHandlers();
    connect(DateTimePicker_1, &QDateEdit::dateChanged, this,
            [this](QDate) { vuzo::Guard(this, [this] { DateTimePicker_1Change(); }); });
    connect(ZuNumEdit_TaxOld, &TZuNumEdit::changed, this, Guarded(this, &TForm_Main::TaxSettingChange));
    connect(ZuNumEdit_TaxNew, &TZuNumEdit::changed, this, Guarded(this, &TForm_Main::TaxSettingChange));
    connect(DateTimePicker_TaxEnforDate, &QDateEdit::dateChanged, this,
            [this](QDate) { vuzo::Guard(this, [this] { TaxSettingChange(); }); });
    connect(ZuNumEdit_TaxReduced, &TZuNumEdit::changed, this, Guarded(this, &TForm_Main::TaxSettingChange));
    connect(DateTimePicker_TaxReducedDate, &QDateEdit::dateChanged, this,
            [this](QDate) { vuzo::Guard(this, [this] { TaxSettingChange(); }); });
    connect(ComboBox_PriceTax, &QComboBox::currentIndexChanged, this,
            [this](int) { vuzo::Guard(this, [this] { TaxSettingChange(); }); });
    connect(Edit_InvoiceRegNo, &QLineEdit::editingFinished, this, Guarded(this, &TForm_Main::Edit_InvoiceRegNoExit));
    // The item name 1 list stores all three input-method choices when the
    // operator changes it (choosing an item or typing free text).
    connect(ComboBox_ime_Itemno, &QComboBox::activated, this,
            [this](int) { vuzo::Guard(this, [this] { ComboBox_ime_Change(); }); });
    for (QComboBox *c : {ComboBox_ime_Itemno, ComboBox_ime_Item, ComboBox_ime_Unit, ComboBox_SEL}) {
        // Typed text that is not one of the items leaves the list without a
        // selected item, as such lists always behaved.
        connect(c->lineEdit(), &QLineEdit::textEdited, this, [this, c](const QString &text) {
            const int index = c->findText(text, Qt::MatchExactly);
            if (index != c->currentIndex()) {
                const QSignalBlocker block(c);
                c->setCurrentIndex(index);
                c->setEditText(text);
            }
            if (c == ComboBox_ime_Itemno)
                vuzo::Guard(this, [this] { ComboBox_ime_Change(); });
        });
    }
}

bool TForm_Main::eventFilter(QObject *watched, QEvent *event)
{
    const auto it = m_bindings.constFind(watched);
    if (it == m_bindings.constEnd())
        return QWidget::eventFilter(watched, event);
    const Binding &b = it.value();
    auto *w = static_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *ke = static_cast<QKeyEvent *>(event);
        int key = ke->key();
        if (b.keyDown)
            vuzo::Guard(this, [&] { (this->*b.keyDown)(w, key); });
        if (key == 0)
            return true;
        // FormKeyPress: a typed carriage return becomes no character, so no
        // field takes it or beeps at it.
        if (b.keyPress && (ke->key() == Qt::Key_Return || ke->key() == Qt::Key_Enter))
            return true;
        return false;
    }
    case QEvent::FocusIn: {
        // The focus coming back to the field that had it (the window
        // activated again, a box or a menu closed) is no change of field.
        if (w == m_enteredField)
            return false;
        // A field left while the window was inactive is left now.
        if (QWidget *left = m_enteredField.data()) {
            m_enteredField = nullptr;
            const auto l = m_bindings.constFind(left);
            if (l != m_bindings.constEnd() && l->exit)
                l->exit(left);
        }
        m_enteredField = w;
        if (!b.enter)
            return false;
        if (qobject_cast<TZuNumEdit *>(w)) {
            // The owner's enter event runs before the field selects its number.
            b.enter(w);
            return false;
        }
        // A text field selects its text when entered; the enter handler runs
        // after that, so its caret placement is what the operator sees.
        static_cast<QObject *>(w)->event(event);
        b.enter(w);
        return true;
    }
    case QEvent::FocusOut: {
        // The focus going to another window, a box or a menu leaves the field
        // entered: it is left when another field of the window is entered.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason)
            return false;
        if (m_enteredField == w)
            m_enteredField = nullptr;
        if (b.exit)
            b.exit(w);
        return false;
    }
    default: return false;
    }
}
