// The main window's controls: places, captions, faces, names. No behaviour
// here; TForm_Main wires the controls after they are built.

#include "mainwindow/TForm_MainUi.h"

#include "controls/InputMethod.h"
#include "controls/TZuNumEdit.h"
#include "controls/TypingLimit.h"
#include "mainwindow/ButtonGlyphs.h"
#include "platform/JapaneseText.h"
#include "printsetup/WbPrinterDialogs.h"
#include "session/FeedRegistration.h"
#include "session/SlipRecord.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

constexpr int kClientWidth = 769;
constexpr int kClientHeight = 661;
// The smallest window a tiny screen gets: the bottom bands and some rows.
constexpr int kMinimumClientWidth = 320;
constexpr int kMinimumClientHeight = 240;
constexpr int kRowHeight = 42;
constexpr int kLineHeight = 21;

const QColor kCaptionGrey(0xD4, 0xD0, 0xC8);

template <typename W> W *named(W *w, const QString &name)
{
    w->setObjectName(name);
    return w;
}

QLabel *captionCell(QWidget *parent, const QString &text, const QRect &geometry)
{
    auto *cell = new QLabel(text, parent);
    cell->setGeometry(geometry);
    cell->setAlignment(Qt::AlignCenter);
    cell->setFrameShape(QFrame::Panel);
    cell->setFrameShadow(QFrame::Raised);
    cell->setAutoFillBackground(true);
    QPalette p = cell->palette();
    p.setColor(QPalette::Window, kCaptionGrey);
    cell->setPalette(p);
    return cell;
}

QLabel *label(QWidget *parent, const QString &name, const QString &text)
{
    return named(new QLabel(text, parent), name);
}

QLineEdit *edit(QWidget *parent, const QString &name, const QRect &geometry, int maxLength = 0)
{
    auto *e = named(new QLineEdit(parent), name);
    e->setGeometry(geometry);
    // The length limits the operator's typing and pasting; text the program
    // sets (a sender record, restored lines) is kept whole.
    vuzo::SetTypingLimit(e, maxLength);
    return e;
}

QPushButton *hiddenButton(QWidget *parent, const QString &name, const QString &caption)
{
    auto *b = named(new QPushButton(caption, parent), name);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

QToolButton *pictureButton(QWidget *parent, const QString &name, ButtonGlyph glyph, const QRect &geometry,
                           const QString &hint)
{
    auto *b = named(new QToolButton(parent), name);
    b->setGeometry(geometry);
    b->setIcon(ButtonGlyphIcon(glyph));
    b->setIconSize(QSize(24, 24));
    // Reached with Tab (after the slip's fields) and pressed with Space or Enter.
    b->setFocusPolicy(Qt::TabFocus);
    if (!hint.isEmpty())
        b->setToolTip(hint);
    return b;
}

void setTextColour(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, colour);
    w->setPalette(p);
}

void setBackground(QWidget *w, const QColor &colour)
{
    QPalette p = w->palette();
    p.setColor(QPalette::Base, colour);
    p.setColor(QPalette::Window, colour);
    w->setPalette(p);
}

QFont pixelFont(const QFont &base, int pixels, bool bold = false)
{
    QFont f = base;
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// The small centred caption under a picture button.
QLabel *buttonCaption(QWidget *parent, const QString &name, const QString &text, const QRect &geometry)
{
    QLabel *l = label(parent, name, text);
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignCenter);
    l->setFont(pixelFont(parent->font(), 12));
    return l;
}

} // namespace

const QColor &TForm_MainUi::SilverColor()
{
    static const QColor silver(0xC0, 0xC0, 0xC0);
    return silver;
}

void TForm_MainUi::setupUi(QWidget *form)
{
    form->setObjectName(u"Form_Main"_s);
    // A fixed window of 769 x 661 client pixels, as the form was designed.
    form->setFixedSize(kClientWidth, kClientHeight);
    form->setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    // The window's design faces are drawn with the IPA fonts, the nearest
    // faces a Debian desktop has (fonts-ipafont).
    QFont::insertSubstitutions(u"ＭＳ Ｐゴシック"_s, {u"IPAPGothic"_s, u"IPAGothic"_s});
    QFont::insertSubstitutions(u"ＭＳ Ｐ明朝"_s, {u"IPAPMincho"_s, u"IPAMincho"_s});
    QFont base(u"ＭＳ Ｐゴシック"_s);
    base.setPixelSize(16);
    form->setFont(base);
    const QFont face = form->font();

    // The bands lie on two panels of the design's size: the tabs above, the
    // guidance, function keys and status bar below. Where the screen has room
    // for the whole window the panels fill it exactly, as designed; on a
    // smaller screen (fitClientSize) the tabs scroll while the bottom bands
    // stay in sight.
    constexpr int helpY = kClientHeight - 16 - 28 - 30;
    buildScrollPanels(form, helpY);

    Panel6 = named(new QFrame(Panel_Tabs), u"Panel6"_s);
    Panel6->setGeometry(0, 0, kClientWidth, 3);

    PageControl1 = named(new QTabWidget(Panel_Tabs), u"PageControl1"_s);
    PageControl1->setGeometry(0, 3, kClientWidth, helpY - 3);
    PageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);

    Panel_HelpMess = named(new QLabel(Panel_Bottom), u"Panel_HelpMess"_s);
    Panel_HelpMess->setGeometry(0, 0, kClientWidth, 30);
    Panel_HelpMess->setFrameShape(QFrame::Box);
    Panel_HelpMess->setAutoFillBackground(true);
    {
        QPalette p = Panel_HelpMess->palette();
        p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
        p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
        Panel_HelpMess->setPalette(p);
    }
    Panel_HelpMess->setIndent(8);
    // The keys that reach the paste area and transfer it, at the band's right.
    Label_KeyGuide = label(Panel_HelpMess, u"Label_KeyGuide"_s, QString());
    Label_KeyGuide->setGeometry(kClientWidth - 226, 1, 220, 28);
    Label_KeyGuide->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label_KeyGuide->setFont(pixelFont(face, 12));
    setTextColour(Label_KeyGuide, Qt::darkGray);

    Panel_Fnc = named(new QFrame(Panel_Bottom), u"Panel_Fnc"_s);
    Panel_Fnc->setGeometry(0, 30, kClientWidth, 28);
    buildFunctionKeys(Panel_Fnc, face);
    // The number of the slip printed last, right of the print keys.
    Label_SlipNo = label(Panel_Fnc, u"Label_SlipNo"_s, QString());
    Label_SlipNo->setGeometry(702, 1, kClientWidth - 704, 26);
    Label_SlipNo->setAlignment(Qt::AlignCenter);
    Label_SlipNo->setFont(pixelFont(face, 12));

    StatusBar1 = named(new QStatusBar(Panel_Bottom), u"StatusBar1"_s);
    StatusBar1->setGeometry(0, 58, kClientWidth, 16);
    StatusBar1->setSizeGripEnabled(false);

    auto *tab0 = named(new QWidget, u"TabSheet1"_s);
    auto *tab1 = named(new QWidget, u"TabSheet2"_s);
    auto *tab2 = named(new QWidget, u"TabSheet3"_s);
    PageControl1->addTab(tab0, u"入力印刷"_s);
    PageControl1->addTab(tab1, u"印刷設定"_s);
    PageControl1->addTab(tab2, u"税率設定"_s);

    buildPasteBand(tab0, face);
    buildAddressBand(tab0, face);
    buildHeaderBand(tab0, face);
    buildLineTable(tab0, face);
    buildTotalsBand(tab0, face);
    buildSettingsTab(tab1, face);
    buildTaxTab(tab2);
    buildHiddenStore(form);

    WbPrinterSetupDialog1 = new TWbPrinterSetupDialog(form);
    WbPrinterSetupDialog1->setObjectName(u"WbPrinterSetupDialog1"_s);

    setAccessibleNames(form);
}

void TForm_MainUi::buildScrollPanels(QWidget *form, int bottomTop)
{
    auto scrollBox = [form](const QString &name, QWidget *panel) {
        auto *box = named(new QScrollArea(form), name);
        box->setFrameShape(QFrame::NoFrame);
        box->setFocusPolicy(Qt::NoFocus);
        box->setWidget(panel);
        return box;
    };
    Panel_Tabs = named(new QWidget, u"Panel_Tabs"_s);
    Panel_Tabs->setFixedSize(kClientWidth, bottomTop);
    ScrollBox_Tabs = scrollBox(u"ScrollBox_Tabs"_s, Panel_Tabs);
    Panel_Bottom = named(new QWidget, u"Panel_Bottom"_s);
    Panel_Bottom->setFixedSize(kClientWidth, kClientHeight - bottomTop);
    ScrollBox_Bottom = scrollBox(u"ScrollBox_Bottom"_s, Panel_Bottom);
    ScrollBox_Bottom->setFixedHeight(kClientHeight - bottomTop);
    ScrollBox_Bottom->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox_Bottom->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A window narrower than the design moves the bottom bands sideways with
    // the tabs.
    QObject::connect(ScrollBox_Tabs->horizontalScrollBar(), &QScrollBar::valueChanged,
                     ScrollBox_Bottom->horizontalScrollBar(), &QScrollBar::setValue);

    auto *layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox_Tabs, 1);
    layout->addWidget(ScrollBox_Bottom);
}

QSize TForm_MainUi::fitClientSize(QWidget *form, const QSize &room)
{
    const int bar = form->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, ScrollBox_Tabs);
    QSize size(kClientWidth, kClientHeight);
    // Too low: the tabs scroll up and down, and the window takes the width of
    // the scroll bar if it can. Too narrow: they scroll sideways, and the
    // scroll bar takes height.
    if (room.height() < size.height())
        size.rwidth() += bar;
    if (room.width() < size.width()) {
        size.rheight() += bar;
        if (room.height() < size.height() && size.width() == kClientWidth)
            size.rwidth() += bar;
    }
    size = size.boundedTo(room).expandedTo(QSize(kMinimumClientWidth, kMinimumClientHeight));
    form->setFixedSize(size);
    return size;
}

void TForm_MainUi::buildFunctionKeys(QWidget *parent, const QFont &face)
{
    static const int xs[12] = {20, 75, 130, 185, 250, 305, 360, 415, 480, 535, 590, 645};
    for (int k = 1; k <= 12; ++k) {
        auto *b = named(new QToolButton(parent), u"SpeedButton_F"_s + QString::number(k));
        b->setGeometry(xs[k - 1], 1, 55, 26);
        b->setText(u"F"_s + QString::number(k));
        b->setFocusPolicy(Qt::NoFocus);
        b->setEnabled(false);
        // 「プレビュー」 is five wide characters: it fits the key at 10 pixels.
        const int pixels = (k == 2 || k == 11) ? 15 : (k == 6 || k == 8 ? 12 : (k == 9 ? 10 : 13));
        b->setFont(pixelFont(face, pixels));
        SpeedButton_F[k] = b;
    }
}

void TForm_MainUi::buildPasteBand(QWidget *parent, const QFont &face)
{
    Panel3 = named(new QFrame(parent), u"Panel3"_s);
    Panel3->setGeometry(0, 0, kClientWidth - 6, 117);

    BitBtn_1 = pictureButton(Panel3, u"BitBtn_1"_s, ButtonGlyph::Transfer, QRect(18, 18, 39, 39),
                             u"お届け先にテキストデータを転送します"_s);
    Label1 = buttonCaption(Panel3, u"Label1"_s, u"テキスト転送"_s, QRect(2, 60, 72, 16));

    Memo1 = named(new QPlainTextEdit(Panel3), u"Memo1"_s);
    Memo1->setGeometry(76, 2, 515, 98);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setTabChangesFocus(true);
    Memo1->setFocusPolicy(Qt::ClickFocus);
    Memo1->setToolTip(
        u"ここにお届け先の住所、お名前等のテキストを貼り付けると、お届け先欄に転送が可能です　(15行以内に収まるようにして下さい)"_s);
    setBackground(Memo1, TForm_MainUi::SilverColor());

    Label8 =
        label(Panel3, u"Label8"_s, u"↑↑ここクリップボードから貼り付けが、可能です　(　15行以内に収めてください　)↑↑"_s);
    Label8->setGeometry(76, 100, 560, 16);
    Label8->setFont(pixelFont(face, 12, true));
    setTextColour(Label8, Qt::gray);

    BitBtn_WebHelp =
        pictureButton(Panel3, u"BitBtn_WebHelp"_s, ButtonGlyph::Help, QRect(604, 4, 39, 39), u"操作説明書を開きます"_s);
    BitBtn_SendMail = named(new QPushButton(u"E-Mail"_s, Panel3), u"BitBtn_SendMail"_s);
    BitBtn_SendMail->setGeometry(650, 10, 80, 26);
    BitBtn_MemoCLS = pictureButton(Panel3, u"BitBtn_MemoCLS"_s, ButtonGlyph::Brush, QRect(604, 52, 39, 39),
                                   u"グレーの貼り付けメモをクリアします"_s);
    Label12 = buttonCaption(Panel3, u"Label12"_s, u"Memoｸﾘｱ"_s, QRect(596, 92, 56, 16));
    BitBtn_Batch = pictureButton(Panel3, u"BitBtn_Batch"_s, ButtonGlyph::Batch, QRect(672, 52, 39, 39),
                                 u"注文ファイルの注文をまとめて印刷します (F8)"_s);
    Label_Batch = buttonCaption(Panel3, u"Label_Batch"_s, u"一括印刷"_s, QRect(652, 92, 80, 16));
}

void TForm_MainUi::buildAddressBand(QWidget *parent, const QFont &face)
{
    Panel1 = named(new QFrame(parent), u"Panel1"_s);
    Panel1->setGeometry(0, 117, kClientWidth - 6, 154);
    Panel1->setFrameShape(QFrame::StyledPanel);

    Label_1 = label(Panel1, u"Label_1"_s, u"お届け先"_s);
    Label_1->setGeometry(4, 4, 64, 20);
    Label_1->setFont(pixelFont(face, 15, true));

    static const char16_t *captions[6] = {u"郵便番号",  u"おところ①", u"おところ②",
                                          u"おところ③", u"おなまえ",  u"でんわ"};
    for (int i = 0; i < 6; ++i)
        captionCell(Panel1, QString::fromUtf16(captions[i]), QRect(71, 4 + 24 * i, 74, 24))
            ->setFont(pixelFont(face, 14));

    Edit_Zip = edit(Panel1, u"Edit_Zip"_s, QRect(145, 4, 103, 23), 16);
    Edit_Add1 = edit(Panel1, u"Edit_Add1"_s, QRect(145, 28, 440, 23));
    Edit_Add2 = edit(Panel1, u"Edit_Add2"_s, QRect(145, 52, 440, 23));
    Edit_Add3 = edit(Panel1, u"Edit_Add3"_s, QRect(145, 76, 440, 23));
    Edit_Custo1 = edit(Panel1, u"Edit_Custo1"_s, QRect(145, 100, 360, 23), 80);
    Edit_tel = edit(Panel1, u"Edit_tel"_s, QRect(145, 124, 140, 24));
    for (QLineEdit *e : {Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1})
        e->setFont(pixelFont(face, 15));
    Edit_tel->setFont(pixelFont(face, 16));
    // The postal code and the telephone take no input-method composition.
    vuzo::ApplyImeMode(Edit_Zip, 0);
    vuzo::ApplyImeMode(Edit_tel, 0);
    // The address lines and the name open with hiragana input.
    for (QLineEdit *e : {Edit_Add1, Edit_Add2, Edit_Add3, Edit_Custo1})
        vuzo::ApplyImeMode(e, 6);

    Label_Warning = label(Panel1, u"Label_Warning"_s, QString());
    Label_Warning->setGeometry(256, 6, 500, 18);
    Label_Warning->setFont(pixelFont(face, 13));
    setTextColour(Label_Warning, Qt::red);

    BitBtn_CLS = pictureButton(Panel1, u"BitBtn_CLS"_s, ButtonGlyph::Bin, QRect(690, 40, 39, 39),
                               u"お届け先と品名をクリアします"_s);
    Label10 = buttonCaption(Panel1, u"Label10"_s, u"お届け先ｸﾘｱ"_s, QRect(672, 82, 76, 16));
}

void TForm_MainUi::buildHeaderBand(QWidget *parent, const QFont &face)
{
    Panel8 = named(new QFrame(parent), u"Panel8"_s);
    Panel8->setGeometry(0, 271, kClientWidth - 6, 46);
    const QFont small = pixelFont(face, 13);
    auto cell = [&](const QString &text, const QRect &r) { captionCell(Panel8, text, r)->setFont(small); };
    cell(u"No"_s, QRect(0, 4, 17, 38));
    cell(u"品名 1"_s, QRect(16, 4, 364, 19));
    cell(u"品名 2"_s, QRect(16, 23, 364, 19));
    cell(u"数量"_s, QRect(379, 23, 99, 19));
    cell(u"単位"_s, QRect(478, 23, 54, 19));
    cell(u"単価"_s, QRect(531, 23, 100, 19));
    cell(u"金額"_s, QRect(630, 23, 110, 19));
}

void TForm_MainUi::buildLineTable(QWidget *parent, const QFont &face)
{
    Panel_2 = named(new QFrame(parent), u"Panel_2"_s);
    const int top = 317;
    const int height = PageControl1->height() - PageControl1->tabBar()->sizeHint().height() - top - 70 - 4;
    Panel_2->setGeometry(0, top, kClientWidth - 6, height);

    ScrollBox1 = named(new QScrollArea(Panel_2), u"ScrollBox1"_s);
    ScrollBox1->setGeometry(0, 0, kClientWidth - 6, height);
    ScrollBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    ScrollBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ScrollBox1->setFrameShape(QFrame::NoFrame);
    ScrollBox1->setFocusPolicy(Qt::NoFocus);
    ScrollBox1->verticalScrollBar()->setSingleStep(kRowHeight);
    ScrollBox1->verticalScrollBar()->setPageStep(kRowHeight * 4);

    auto *rows = named(new QWidget, u"ScrollBox1Rows"_s);
    rows->setFixedSize(742, kRowHeight * kRows);
    const QFont rowFont = pixelFont(face, 15);
    // Numbers are drawn a little smaller so that nine digits with their
    // separators fit the quantity and price columns.
    const QFont numberFont = pixelFont(face, 13);
    for (int n = 1; n <= kRows; ++n) {
        const int y = (n - 1) * kRowHeight;
        const QString num = QString::number(n);
        captionCell(rows, num, QRect(0, y, 17, kRowHeight))->setFont(pixelFont(face, 12));

        auto *itemNo = edit(rows, u"Edit_itemNo"_s + num, QRect(16, y, 364, kLineHeight), 50);
        itemNo->setEnabled(false);
        auto *item = edit(rows, u"Edit_item"_s + num, QRect(16, y + kLineHeight, 364, kLineHeight), 36);
        item->setToolTip(u"半角36文字まで入力できます"_s);
        auto *unit = edit(rows, u"Edit_unit"_s + num, QRect(478, y + kLineHeight, 54, kLineHeight), 6);
        unit->setToolTip(u"半角6文字まで入力できます"_s);
        for (QLineEdit *e : {itemNo, item, unit})
            e->setFont(rowFont);

        auto numeric = [&](const QString &name, int x, int w) {
            auto *f = named(new TZuNumEdit(rows), name + num);
            f->setGeometry(x, y + kLineHeight, w, kLineHeight);
            f->setAutoSize(false);
            f->setDecimalLength(session::LineNumberFormat().decimalLength);
            f->setIntegerLength(session::LineNumberFormat().integerLength);
            f->setAttribute(Qt::WA_InputMethodEnabled, false);
            f->setFont(numberFont);
            f->setText(u"0"_s);
            return f;
        };
        numeric(u"ZuNumEdit_QTY"_s, 379, 99);
        numeric(u"ZuNumEdit_Price"_s, 531, 100);
        auto *sales = numeric(u"ZuNumEdit_Sales"_s, 630, 110);
        sales->setReadOnly(true);
        sales->setFocusPolicy(Qt::NoFocus);

        // The line's rate class, on the free upper half of the row beside
        // item name 1: checked, the line is taxed at the reduced rate.
        auto *reduced = named(new QCheckBox(u"軽"_s, rows), u"CheckBox_Reduced"_s + num);
        reduced->setGeometry(384, y, 48, kLineHeight);
        reduced->setFont(pixelFont(face, 13));
        reduced->setFocusPolicy(Qt::StrongFocus);
        reduced->setToolTip(u"軽減税率（飲食料品）の行はチェックします"_s);
    }
    ScrollBox1->setWidget(rows);
}

void TForm_MainUi::buildTotalsBand(QWidget *parent, const QFont &face)
{
    Panel_3 = named(new QFrame(parent), u"Panel_3"_s);
    Panel_3->setGeometry(0, Panel_2->geometry().bottom() + 1, kClientWidth - 6, 70);
    Panel_3->setFrameShape(QFrame::StyledPanel);
    auto total = [&](const QString &name, const QRect &r) {
        auto *f = named(new TZuNumEdit(Panel_3), name);
        f->setGeometry(r);
        f->setAutoSize(false);
        f->setDecimalLength(session::LineNumberFormat().decimalLength);
        f->setIntegerLength(session::LineNumberFormat().integerLength);
        f->setReadOnly(true);
        f->setFocusPolicy(Qt::NoFocus);
        f->setText(u"0"_s);
        return f;
    };
    ZuNumEdit_sqty = total(u"ZuNumEdit_sqty"_s, QRect(379, 2, 99, 21));
    ZuNumEdit_ssal = total(u"ZuNumEdit_ssal"_s, QRect(630, 2, 110, 21));
    ZuNumEdit_stax = total(u"ZuNumEdit_stax"_s, QRect(630, 24, 110, 21));
    ZuNumEdit_sttl = total(u"ZuNumEdit_sttl"_s, QRect(630, 46, 110, 21));
    Label18 = label(Panel_3, u"Label18"_s, u"合　計"_s);
    Label18->setGeometry(520, 2, 106, 21);
    Label_stax = label(Panel_3, u"Label_stax"_s, u"消費税"_s);
    Label_stax->setGeometry(520, 24, 106, 21);
    Label20 = label(Panel_3, u"Label20"_s, u"税込合計"_s);
    Label20->setGeometry(520, 46, 106, 21);
    for (QLabel *l : {Label18, Label_stax, Label20})
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Label_RateShares = label(Panel_3, u"Label_RateShares"_s, QString());
    Label_RateShares->setGeometry(4, 2, 370, 44);
    Label_RateShares->setFont(pixelFont(face, 12));
    Label_RateShares->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label_RateShares->setVisible(false);

    Label_PrinterName2 = label(Panel_3, u"Label_PrinterName2"_s, QString());
    Label_PrinterName2->setGeometry(4, 48, 500, 18);
    Label_PrinterName2->setFont(pixelFont(face, 12));
    setTextColour(Label_PrinterName2, Qt::gray);
}

void TForm_MainUi::buildSettingsTab(QWidget *parent, const QFont &face)
{
    auto *group1 = named(new QFrame(parent), u"GroupBox1"_s);
    group1->setGeometry(8, 8, 745, 230);
    group1->setFrameShape(QFrame::StyledPanel);
    label(group1, u"GroupBox1Caption"_s, u"プリンタセット"_s)->setGeometry(8, 4, 200, 20);

    auto greyList = [&](const QString &name, const QRect &r) {
        auto *c = named(new QComboBox(group1), name);
        c->setGeometry(r);
        c->setFocusPolicy(Qt::NoFocus);
        setBackground(c, TForm_MainUi::SilverColor());
        return c;
    };
    ComboBox1 = greyList(u"ComboBox1"_s, QRect(16, 64, 340, 24));
    ComboBox2 = greyList(u"ComboBox2"_s, QRect(16, 96, 340, 24));
    ComboBox3 = greyList(u"ComboBox3"_s, QRect(16, 128, 340, 24));

    Label_4 = captionCell(group1, u"用紙選択"_s, QRect(16, 30, 90, 24));
    Label_4->setObjectName(u"Label_4"_s);
    ComboBox_SEL = named(new QComboBox(group1), u"ComboBox_SEL"_s);
    ComboBox_SEL->setGeometry(106, 30, 250, 24);
    ComboBox_SEL->setEditable(true);
    ComboBox_SEL->setInsertPolicy(QComboBox::NoInsert);
    ComboBox_SEL->addItems(session::PaperFeeds());
    ComboBox_SEL->setCurrentIndex(-1);

    BitBtn_PrnSet2 = named(new QPushButton(u"余白調整"_s, group1), u"BitBtn_PrnSet2"_s);
    BitBtn_PrnSet2->setGeometry(380, 30, 150, 30);
    BitBtn_PrnSet2->setToolTip(u"印刷する用紙の上余白、左余白を調整します"_s);
    BitBtn_PrnSet = named(new QPushButton(u"セットするプリンタを登録"_s, group1), u"BitBtn_PrnSet"_s);
    BitBtn_PrnSet->setGeometry(380, 70, 240, 30);
    BitBtn_PrnSet->setToolTip(u"送り状ごとに使用にするプリンタをセットします"_s);
    Label_Prn_Top = label(group1, u"Label_Prn_Top"_s, u"Top"_s);
    Label_Prn_Top->setGeometry(540, 34, 80, 16);
    Label_Prn_Left = label(group1, u"Label_Prn_Left"_s, u"Left"_s);
    Label_Prn_Left->setGeometry(620, 34, 80, 16);
    for (QLabel *l : {Label_Prn_Top, Label_Prn_Left})
        l->setFont(pixelFont(face, 12));

    CheckBox_NewPage = named(new QCheckBox(u"改ページ信号"_s, group1), u"CheckBox_NewPage"_s);
    CheckBox_NewPage->setGeometry(380, 120, 160, 24);
    CheckBox_NewPage->setLayoutDirection(Qt::RightToLeft); // caption left of the box
    CheckBox_NewPage->setToolTip(u"白紙ページが出力される場合に、チェックをはずしてください。"_s);

    // The number of copies F11 prints, 1 to 99; every start begins with 1.
    captionCell(group1, u"部数"_s, QRect(380, 160, 90, 24));
    ZuNumEdit_BUSUU = named(new TZuNumEdit(group1), u"ZuNumEdit_BUSUU"_s);
    ZuNumEdit_BUSUU->setGeometry(470, 160, 60, 24);
    ZuNumEdit_BUSUU->setAutoSize(false);
    ZuNumEdit_BUSUU->setDecimalLength(0);
    ZuNumEdit_BUSUU->setIntegerLength(2);
    ZuNumEdit_BUSUU->setMinus(false);
    ZuNumEdit_BUSUU->setAttribute(Qt::WA_InputMethodEnabled, false);
    ZuNumEdit_BUSUU->setToolTip(u"印刷する部数 (1～99)"_s);
    ZuNumEdit_BUSUU->setText(u"1"_s);
    QWidget::setTabOrder(CheckBox_NewPage, ZuNumEdit_BUSUU);

    auto *group3 = named(new QFrame(parent), u"GroupBox3"_s);
    group3->setGeometry(8, 248, 745, 150);
    group3->setFrameShape(QFrame::StyledPanel);
    label(group3, u"GroupBox3Caption"_s, u"売上明細入力の設定"_s)->setGeometry(8, 4, 200, 20);
    const QStringList modes = {u"0:漢字未使用"_s, u"1:漢字変換を閉じる"_s, u"2:漢字変換を開く"_s,
                               u"3:変更しない"_s, u"4:英数半角"_s,         u"5:英数全角"_s,
                               u"6:かな全角"_s,   u"7:かな半角"_s,         u"8:カナ全角"_s};
    auto imeList = [&](const QString &caption, const QString &name, int y) {
        captionCell(group3, caption, QRect(16, y, 90, 24));
        auto *c = named(new QComboBox(group3), name);
        c->setGeometry(106, y, 200, 24);
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->addItems(modes);
        c->setCurrentIndex(0);
        c->setToolTip(u"IME(漢字変換)モードを指定します"_s);
        return c;
    };
    ComboBox_ime_Itemno = imeList(u"品名 1"_s, u"ComboBox_ime_Itemno"_s, 30);
    ComboBox_ime_Item = imeList(u"品名 2"_s, u"ComboBox_ime_Item"_s, 58);
    ComboBox_ime_Unit = imeList(u"単位"_s, u"ComboBox_ime_Unit"_s, 86);
    // The item name 1 list itself opens with the input method closed.
    ComboBox_ime_Itemno->setInputMethodHints(Qt::ImhLatinOnly);

    captionCell(group3, u"消費税の端数"_s, QRect(340, 30, 110, 24));
    Edit_TxDisp = edit(group3, u"Edit_TxDisp"_s, QRect(450, 30, 30, 24), 1);
    Edit_TxDisp->setText(u"0"_s);
    vuzo::ApplyImeMode(Edit_TxDisp, 0);
    Edit_TxDisp->setToolTip(u"消費税端数 0:切捨て 1:四捨五入 2:切上げ"_s);

    captionCell(group3, u"テキスト転送"_s, QRect(340, 86, 110, 24))->setObjectName(u"Label_TransferMode"_s);
    ComboBox_TransferMode = named(new QComboBox(group3), u"ComboBox_TransferMode"_s);
    ComboBox_TransferMode->setGeometry(450, 86, 130, 24);
    ComboBox_TransferMode->addItems({u"従来方式"_s, u"自動判別"_s});
    ComboBox_TransferMode->setCurrentIndex(1);
    ComboBox_TransferMode->setToolTip(
        u"自動判別: 貼り付けた文章全体からお届け先を読み取ります　従来方式: 先頭の7行を1行ずつ判定します"_s);

    captionCell(group3, u"単価"_s, QRect(340, 58, 110, 24))->setObjectName(u"Label_PriceTax"_s);
    ComboBox_PriceTax = named(new QComboBox(group3), u"ComboBox_PriceTax"_s);
    ComboBox_PriceTax->setGeometry(450, 58, 130, 24);
    ComboBox_PriceTax->addItems({u"税抜"_s, u"税込"_s});
    ComboBox_PriceTax->setCurrentIndex(0);
    ComboBox_PriceTax->setToolTip(u"税込: 単価と金額に消費税が含まれます（内消費税）"_s);

    auto *group4 = named(new QFrame(parent), u"GroupBox4"_s);
    group4->setGeometry(8, 408, 745, 70);
    group4->setFrameShape(QFrame::StyledPanel);
    label(group4, u"GroupBox4Caption"_s, u"納品書兼請求書"_s)->setGeometry(8, 4, 200, 20);
    captionCell(group4, u"登録番号"_s, QRect(16, 30, 90, 24));
    Edit_InvoiceRegNo = edit(group4, u"Edit_InvoiceRegNo"_s, QRect(106, 30, 160, 24), 20);
    vuzo::ApplyImeMode(Edit_InvoiceRegNo, 0);
    Edit_InvoiceRegNo->setToolTip(u"適格請求書発行事業者の登録番号（T＋13桁）。空欄なら「納品書」になります"_s);
    captionCell(group4, u"請求書"_s, QRect(276, 30, 70, 24));
    ComboBox_InvoiceWithSlip = named(new QComboBox(group4), u"ComboBox_InvoiceWithSlip"_s);
    ComboBox_InvoiceWithSlip->setGeometry(346, 30, 150, 24);
    ComboBox_InvoiceWithSlip->addItems({u"F10で印刷"_s, u"伝票と一緒に印刷"_s});
    ComboBox_InvoiceWithSlip->setCurrentIndex(0);
    BitBtn_InvoicePrnSet = named(new QPushButton(u"請求書のプリンタを登録"_s, group4), u"BitBtn_InvoicePrnSet"_s);
    BitBtn_InvoicePrnSet->setGeometry(510, 27, 220, 30);
    BitBtn_InvoicePrnSet->setToolTip(u"納品書兼請求書を印刷するプリンタと用紙（A4・A5）を登録します"_s);
}

void TForm_MainUi::buildTaxTab(QWidget *parent)
{
    Panel_TaxConf = named(new QFrame(parent), u"Panel_TaxConf"_s);
    Panel_TaxConf->setGeometry(8, 8, 420, 126);
    Panel_TaxConf->setFrameShape(QFrame::StyledPanel);
    captionCell(Panel_TaxConf, u"旧税率"_s, QRect(8, 8, 120, 24));
    captionCell(Panel_TaxConf, u"新税率実施日"_s, QRect(138, 8, 140, 24));
    captionCell(Panel_TaxConf, u"新税率"_s, QRect(288, 8, 120, 24));
    auto rate = [&](const QString &name, const QRect &r) {
        auto *f = named(new TZuNumEdit(Panel_TaxConf), name);
        f->setGeometry(r);
        f->setAutoSize(false);
        f->setIntegerLength(session::TaxRateFormat().integerLength);
        f->setDecimalLength(session::TaxRateFormat().decimalLength);
        f->setRightMark(session::TaxRateFormat().rightMark);
        f->setAttribute(Qt::WA_InputMethodEnabled, false);
        return f;
    };
    ZuNumEdit_TaxOld = rate(u"ZuNumEdit_TaxOld"_s, QRect(8, 34, 120, 24));
    ZuNumEdit_TaxOld->setColor(TForm_MainUi::SilverColor());
    DateTimePicker_TaxEnforDate = named(new QDateEdit(Panel_TaxConf), u"DateTimePicker_TaxEnforDate"_s);
    DateTimePicker_TaxEnforDate->setGeometry(138, 34, 140, 24);
    DateTimePicker_TaxEnforDate->setDisplayFormat(u"yyyy/MM/dd"_s);
    DateTimePicker_TaxEnforDate->setCalendarPopup(true);
    ZuNumEdit_TaxNew = rate(u"ZuNumEdit_TaxNew"_s, QRect(288, 34, 120, 24));
    // Food and drink since its first day; a slip dated earlier taxes such
    // lines at the standard rate in force.
    captionCell(Panel_TaxConf, u"軽減税率"_s, QRect(8, 66, 120, 24));
    captionCell(Panel_TaxConf, u"軽減税率実施日"_s, QRect(138, 66, 140, 24));
    ZuNumEdit_TaxReduced = rate(u"ZuNumEdit_TaxReduced"_s, QRect(8, 92, 120, 24));
    DateTimePicker_TaxReducedDate = named(new QDateEdit(Panel_TaxConf), u"DateTimePicker_TaxReducedDate"_s);
    DateTimePicker_TaxReducedDate->setGeometry(138, 92, 140, 24);
    DateTimePicker_TaxReducedDate->setDisplayFormat(u"yyyy/MM/dd"_s);
    DateTimePicker_TaxReducedDate->setCalendarPopup(true);

    // The sender panel exists for the stored sender keys; it is never shown.
    Panel23 = named(new QFrame(parent), u"Panel23"_s);
    Panel23->setGeometry(8, 146, 740, 300);
    Edit_MyZip = edit(Panel23, u"Edit_MyZip"_s, QRect(8, 40, 100, 23), 8);
    Edit_MyADD1 = edit(Panel23, u"Edit_MyADD1"_s, QRect(8, 64, 400, 23));
    Edit_MyADD2 = edit(Panel23, u"Edit_MyADD2"_s, QRect(8, 88, 400, 23));
    Edit_My = edit(Panel23, u"Edit_My"_s, QRect(8, 112, 300, 23), 80);
    Edit_MyTEL = edit(Panel23, u"Edit_MyTEL"_s, QRect(8, 136, 140, 23));
    CheckBox_My = named(new QCheckBox(Panel23), u"CheckBox_My"_s);
    BitBtn_My = named(new QPushButton(Panel23), u"BitBtn_My"_s);
    PageControl_My = named(new QTabWidget(Panel23), u"PageControl_My"_s);
    PageControl_My->setGeometry(420, 8, 300, 30);
    for (int k = 1; k <= 10; ++k)
        PageControl_My->addTab(new QWidget, u"依頼主"_s + QString::number(k));
    ComboBox_FontSizeMy = named(new QComboBox(Panel23), u"ComboBox_FontSizeMy"_s);
    ComboBox_FontSizeMy->addItems({u"12"_s, u"11"_s, u"10"_s, u"9"_s});
    ComboBox_FontSizeMy->setCurrentIndex(-1);
    Panel23->setVisible(false);
}

void TForm_MainUi::buildHiddenStore(QWidget *form)
{
    // Working storage that the program reads and writes by name. The
    // container is never shown, so none of these can take the focus.
    HiddenStore = named(new QWidget(form), u"HiddenStore"_s);
    HiddenStore->setVisible(false);
    QWidget *h = HiddenStore;

    Label_CurrentDir = label(h, u"Label_CurrentDir"_s, QString());
    Label_SelectPaper = label(h, u"Label_SelectPaper"_s, QString());
    SpeedButton_ini_s2w = hiddenButton(h, u"SpeedButton_ini_s2w"_s, u"W"_s);
    SpeedButton_ini_s2r = hiddenButton(h, u"SpeedButton_ini_s2r"_s, u"R"_s);
    SpeedButton_readMy = hiddenButton(h, u"SpeedButton_readMy"_s, QString());
    Label_Font_1 = label(h, u"Label_Font_1"_s, QString());
    {
        QFont f(u"ＭＳ Ｐゴシック"_s);
        f.setPointSize(10);
        Label_Font_1->setFont(f);
    }
    Edit_Focus_cl = edit(h, u"Edit_Focus_cl"_s, QRect());
    setBackground(Edit_Focus_cl, QColor(166, 202, 240));
    ComboBox_FontSize = named(new QComboBox(h), u"ComboBox_FontSize"_s);
    ComboBox_FontSize->addItems({u"12"_s, u"11"_s, u"10"_s, u"9"_s});
    ComboBox_FontSize->setCurrentIndex(-1);
    Label_d_i = label(h, u"Label_d_i"_s, QString());
    Label_xTax = label(h, u"Label_xTax"_s, QString());
    DateTimePicker_1 = named(new QDateEdit(h), u"DateTimePicker_1"_s);
    DateTimePicker_1->setDisplayFormat(u"yyyy/MM/dd"_s);
    SpeedButton1 = hiddenButton(h, u"SpeedButton1"_s, u"sum"_s);
    ZuNumEdit_Slipno = named(new TZuNumEdit(h), u"ZuNumEdit_Slipno"_s);
    ZuNumEdit_Slipno->setComma(false);
    ZuNumEdit_Slipno->setIntegerLength(10);
    ZuNumEdit_Slipno->setDecimalLength(0);
    ZuNumEdit_Slipno->setText(u"1"_s);

    Memo2 = named(new QPlainTextEdit(h), u"Memo2"_s);
    Edit_M = edit(h, u"Edit_M"_s, QRect());
    Edit_ZipTel_chk = edit(h, u"Edit_ZipTel_chk"_s, QRect());
    Edit_46 = edit(h, u"Edit_46"_s, QRect());
    Edit_HowManyWords = edit(h, u"Edit_HowManyWords"_s, QRect());
    ZuNumEdit_ZenChk = named(new TZuNumEdit(h), u"ZuNumEdit_ZenChk"_s);
    ListBox_46 = named(new QListWidget(h), u"ListBox_46"_s);
    ListBox_46->addItems(vuzo::PrefectureNameList());
    Label_CutCut = label(h, u"Label_CutCut"_s, QString());
    Label_0X = label(h, u"Label_0X"_s, QString());
    Label_org = label(h, u"Label_org"_s, QString());
    Label_na_2 = label(h, u"Label_na_2"_s, QString());
    Label_46 = label(h, u"Label_46"_s, QString());
    SpeedButton_trim = hiddenButton(h, u"SpeedButton_trim"_s, u"除"_s);
    SpeedButton_ZenM = hiddenButton(h, u"SpeedButton_ZenM"_s, QString());
    SpeedButton_ZipTel_Chk = hiddenButton(h, u"SpeedButton_ZipTel_Chk"_s, u"〒/電話番工判断"_s);
    SpeedButton_46 = hiddenButton(h, u"SpeedButton_46"_s, QString());
    SpeedButton_Memo21 = hiddenButton(h, u"SpeedButton_Memo21"_s, QString());
    SpeedButton_Memo22 = hiddenButton(h, u"SpeedButton_Memo22"_s, u"改行をカットMemo1←Memo2"_s);
    SpeedButton_1line = hiddenButton(h, u"SpeedButton_1line"_s, u"１行"_s);
    SpeedButton_ZIP2 = hiddenButton(h, u"SpeedButton_ZIP2"_s, QString());
    SpeedButton_TEL2 = hiddenButton(h, u"SpeedButton_TEL2"_s, QString());
    SpeedButton_HowManyWords = hiddenButton(h, u"SpeedButton_HowManyWords"_s, QString());
    SpeedButton_Name_Addr = hiddenButton(h, u"SpeedButton_Name_Addr"_s, QString());

    ComboBox_Paper = named(new QComboBox(h), u"ComboBox_Paper"_s);
    ComboBox_Paper->addItems({u"A5縦1"_s, u"A5縦2"_s, u"A5横"_s});
    ComboBox_Paper->setCurrentIndex(-1);
    Label_dpix = label(h, u"Label_dpix"_s, QString());
    Label_dpiy = label(h, u"Label_dpiy"_s, QString());
    Label_PrinterIndex = label(h, u"Label_PrinterIndex"_s, QString());
    SpeedButton_PRNSET = hiddenButton(h, u"SpeedButton_PRNSET"_s, u"PRN"_s);
    SpeedButton_Prn_ini = hiddenButton(h, u"SpeedButton_Prn_ini"_s, QString());
    SpeedButton_PrnIdGet = hiddenButton(h, u"SpeedButton_PrnIdGet"_s, u"名からプリンタIDを取得"_s);
    ZuNumEdit_KOSUU = named(new TZuNumEdit(h), u"ZuNumEdit_KOSUU"_s);
    ZuNumEdit_KOSUU->setText(u"1"_s);
    for (int k = 1; k <= 6; ++k)
        Edit_G[k] = edit(h, u"Edit_G"_s + QString::number(k), QRect(), 60);
    for (int k = 0; k <= 5; ++k)
        Edit_021[k] = edit(h, u"Edit_021_"_s + QString::number(k), QRect(), 100);
    for (int k = 1; k <= 9; ++k)
        Edit_Remark[k] = edit(h, u"Edit_Remark"_s + QString::number(k), QRect(), 100);
}

void TForm_MainUi::setAccessibleNames(QWidget *form)
{
    const auto set = [](QWidget *w, const QString &name) { w->setAccessibleName(name); };
    set(Edit_Zip, u"郵便番号"_s);
    set(Edit_Add1, u"おところ①"_s);
    set(Edit_Add2, u"おところ②"_s);
    set(Edit_Add3, u"おところ③"_s);
    set(Edit_Custo1, u"おなまえ"_s);
    set(Edit_tel, u"でんわ"_s);
    set(Memo1, u"貼り付けメモ"_s);
    set(BitBtn_1, u"テキスト転送"_s);
    set(BitBtn_WebHelp, u"操作説明書"_s);
    set(BitBtn_SendMail, u"E-Mail"_s);
    set(BitBtn_MemoCLS, u"Memoｸﾘｱ"_s);
    set(BitBtn_Batch, u"一括印刷"_s);
    set(BitBtn_CLS, u"お届け先ｸﾘｱ"_s);
    for (int n = 1; n <= kRows; ++n) {
        const QString num = QString::number(n);
        set(form->findChild<QWidget *>(u"Edit_itemNo"_s + num), u"品名 1 "_s + num);
        set(form->findChild<QWidget *>(u"Edit_item"_s + num), u"品名 2 "_s + num);
        set(form->findChild<QWidget *>(u"ZuNumEdit_QTY"_s + num), u"数量 "_s + num);
        set(form->findChild<QWidget *>(u"Edit_unit"_s + num), u"単位 "_s + num);
        set(form->findChild<QWidget *>(u"ZuNumEdit_Price"_s + num), u"単価 "_s + num);
        set(form->findChild<QWidget *>(u"ZuNumEdit_Sales"_s + num), u"金額 "_s + num);
        set(form->findChild<QWidget *>(u"CheckBox_Reduced"_s + num), u"軽減税率 "_s + num);
    }
    set(ZuNumEdit_sqty, u"数量合計"_s);
    set(ZuNumEdit_ssal, u"合計"_s);
    set(ZuNumEdit_stax, u"消費税"_s);
    set(ZuNumEdit_sttl, u"税込合計"_s);
    set(ComboBox1, u"プリンタ名"_s);
    set(ComboBox2, u"用紙サイズ"_s);
    set(ComboBox3, u"給紙方法"_s);
    set(ComboBox_SEL, u"用紙選択"_s);
    set(BitBtn_PrnSet2, u"余白調整"_s);
    set(BitBtn_PrnSet, u"セットするプリンタを登録"_s);
    set(CheckBox_NewPage, u"改ページ信号"_s);
    set(ZuNumEdit_BUSUU, u"部数"_s);
    set(ComboBox_ime_Itemno, u"品名 1 のIMEモード"_s);
    set(ComboBox_ime_Item, u"品名 2 のIMEモード"_s);
    set(ComboBox_ime_Unit, u"単位のIMEモード"_s);
    set(Edit_TxDisp, u"消費税の端数"_s);
    set(ZuNumEdit_TaxOld, u"旧税率"_s);
    set(DateTimePicker_TaxEnforDate, u"新税率実施日"_s);
    set(ZuNumEdit_TaxNew, u"新税率"_s);
    set(ZuNumEdit_TaxReduced, u"軽減税率"_s);
    set(DateTimePicker_TaxReducedDate, u"軽減税率実施日"_s);
    set(ComboBox_PriceTax, u"単価"_s);
    set(Edit_InvoiceRegNo, u"登録番号"_s);
    set(ComboBox_InvoiceWithSlip, u"請求書"_s);
    set(BitBtn_InvoicePrnSet, u"請求書のプリンタを登録"_s);
    set(PageControl1, u"入力印刷・印刷設定・税率設定"_s);
}
