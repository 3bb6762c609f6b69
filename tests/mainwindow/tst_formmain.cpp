// The main window, driven offscreen: its named controls, start-up and
// shut-down, the Enter and arrow walk, guidance, warning, tabs, and the
// settings round trip through a real file.

#include "MainWindowFixture.h"
#include "controls/TZuNumEdit.h"
#include "platform/Cp932.h"
#include "settings/ProfileFile.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <QToolButton>
#include <QUrlQuery>
#include <sys/stat.h>

using namespace Qt::StringLiterals;
using window_test::focusName;
using window_test::press;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray cp932(const QString &text)
{
    return vuzo::EncodeCp932(text).value();
}

// Receives the addresses the program hands to the desktop.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public Q_SLOTS:
    void open(const QUrl &url) { urls << url; }
};

} // namespace

class TestFormMain : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namedControlsExist_data();
    void namedControlsExist();
    void startStateOfTheWindow();
    void enterWalksTheSlipInOrder();
    void arrowKeys_data();
    void arrowKeys();
    void enterNeverInsertsACharacter();
    void guidanceTextOnEntering_data();
    void guidanceTextOnEntering();
    void addressLengthWarning_data();
    void addressLengthWarning();
    void tabChangeSwitchesTheF11Button();
    void exitCommandNoKeepsRunning();
    void exitCommandYesCloses();
    void firstStartShowsDefaults();
    void missingSenderRecordShowsNoBox();
    void unreadableSenderRecordIsTold();
    void negativeSenderTabShowsTabErr();
    void settingsRoundTrip();
    void unreadableSettingsFileIsNeverWritten_data();
    void unreadableSettingsFileIsNeverWritten();
    void settingsFileIsCp932WithTheShutdownKeys();
    void startupGoesOnAfterAPrinterError();
    void accessibleNamesAreUniqueAndSpoken();
    void nineDigitsCanBeTyped_data();
    void nineDigitsCanBeTyped();
    void fieldsWithoutInputMethodRefuseComposition();
    void helpButtonOpensTheManual();
    void mailButtonFollowsTheSupportAddress_data();
    void mailButtonFollowsTheSupportAddress();
};

void TestFormMain::namedControlsExist_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("hidden");
    const QStringList visible = {
        u"PageControl1"_s,   u"Panel_HelpMess"_s,  u"StatusBar1"_s,         u"Memo1"_s,          u"BitBtn_1"_s,
        u"BitBtn_WebHelp"_s, u"BitBtn_SendMail"_s, u"BitBtn_MemoCLS"_s,     u"Edit_Zip"_s,       u"Edit_Add1"_s,
        u"Edit_Add2"_s,      u"Edit_Add3"_s,       u"Edit_Custo1"_s,        u"Edit_tel"_s,       u"Label_Warning"_s,
        u"BitBtn_CLS"_s,     u"ScrollBox1"_s,      u"ZuNumEdit_sqty"_s,     u"ZuNumEdit_ssal"_s, u"ZuNumEdit_stax"_s,
        u"ZuNumEdit_sttl"_s, u"Label_stax"_s,      u"Label_PrinterName2"_s, u"SpeedButton_F1"_s, u"SpeedButton_F12"_s};
    for (const QString &n : visible)
        QTest::newRow(qPrintable(n)) << n << false;
    for (int r = 1; r <= 10; ++r) {
        for (const QString &stem : {u"Edit_itemNo"_s, u"Edit_item"_s, u"ZuNumEdit_QTY"_s, u"Edit_unit"_s,
                                    u"ZuNumEdit_Price"_s, u"ZuNumEdit_Sales"_s}) {
            const QString n = stem + QString::number(r);
            QTest::newRow(qPrintable(n)) << n << false;
        }
    }
    const QStringList hidden = {u"Label_CurrentDir"_s,
                                u"Label_SelectPaper"_s,
                                u"SpeedButton_ini_s2w"_s,
                                u"SpeedButton_ini_s2r"_s,
                                u"Panel23"_s,
                                u"Edit_My"_s,
                                u"Edit_MyZip"_s,
                                u"Edit_MyADD1"_s,
                                u"Edit_MyADD2"_s,
                                u"Edit_MyTEL"_s,
                                u"CheckBox_My"_s,
                                u"BitBtn_My"_s,
                                u"PageControl_My"_s,
                                u"ComboBox_FontSizeMy"_s,
                                u"SpeedButton_readMy"_s,
                                u"Label_Font_1"_s,
                                u"Edit_Focus_cl"_s,
                                u"ComboBox_FontSize"_s,
                                u"Label_d_i"_s,
                                u"Label_xTax"_s,
                                u"DateTimePicker_1"_s,
                                u"SpeedButton1"_s,
                                u"Memo2"_s,
                                u"Edit_M"_s,
                                u"Edit_ZipTel_chk"_s,
                                u"Edit_46"_s,
                                u"Edit_HowManyWords"_s,
                                u"ZuNumEdit_ZenChk"_s,
                                u"ListBox_46"_s,
                                u"Label_CutCut"_s,
                                u"Label_0X"_s,
                                u"Label_org"_s,
                                u"Label_na_2"_s,
                                u"Label_46"_s,
                                u"SpeedButton_trim"_s,
                                u"SpeedButton_ZenM"_s,
                                u"SpeedButton_ZipTel_Chk"_s,
                                u"SpeedButton_46"_s,
                                u"SpeedButton_Memo21"_s,
                                u"SpeedButton_Memo22"_s,
                                u"SpeedButton_1line"_s,
                                u"SpeedButton_ZIP2"_s,
                                u"SpeedButton_TEL2"_s,
                                u"SpeedButton_HowManyWords"_s,
                                u"SpeedButton_Name_Addr"_s,
                                u"ComboBox_Paper"_s,
                                u"Label_dpix"_s,
                                u"Label_dpiy"_s,
                                u"Label_PrinterIndex"_s,
                                u"SpeedButton_PRNSET"_s,
                                u"SpeedButton_Prn_ini"_s,
                                u"SpeedButton_PrnIdGet"_s,
                                u"ZuNumEdit_KOSUU"_s,
                                u"ZuNumEdit_Slipno"_s,
                                u"Edit_G1"_s,
                                u"Edit_G6"_s,
                                u"Edit_021_0"_s,
                                u"Edit_021_5"_s,
                                u"Edit_Remark1"_s,
                                u"Edit_Remark9"_s};
    for (const QString &n : hidden)
        QTest::newRow(qPrintable(n)) << n << true;
    // On the other tabs (not visible while tab 0 is shown, but not hidden).
    for (const QString &n :
         {u"ComboBox1"_s, u"ComboBox2"_s, u"ComboBox3"_s, u"ComboBox_SEL"_s, u"BitBtn_PrnSet2"_s, u"BitBtn_PrnSet"_s,
          u"Label_Prn_Top"_s, u"Label_Prn_Left"_s, u"CheckBox_NewPage"_s, u"ZuNumEdit_BUSUU"_s,
          u"ComboBox_ime_Itemno"_s, u"ComboBox_ime_Item"_s, u"ComboBox_ime_Unit"_s, u"Edit_TxDisp"_s,
          u"ZuNumEdit_TaxOld"_s, u"DateTimePicker_TaxEnforDate"_s, u"ZuNumEdit_TaxNew"_s})
        QTest::newRow(qPrintable(n)) << n << false;
}

void TestFormMain::namedControlsExist()
{
    QFETCH(QString, name);
    QFETCH(bool, hidden);
    MainWindowFixture f;
    f.start();
    QWidget *w = f.w(name);
    QVERIFY2(w, qPrintable(name));
    if (hidden)
        QVERIFY(!w->isVisible());
}

void TestFormMain::startStateOfTheWindow()
{
    MainWindowFixture f;
    f.start();
    QCOMPARE(f.form->windowTitle(), u"vuzo　< 郵便振替払込取扱票　用紙 印刷　> ver"_s + QStringLiteral(VUZO_VERSION));
    QCOMPARE(f.form->size(), QSize(769, 661));
    auto *tabs = f.w<QTabWidget>(u"PageControl1"_s);
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(0), u"入力印刷"_s);
    QCOMPARE(tabs->tabText(1), u"印刷設定"_s);
    QCOMPARE(tabs->currentIndex(), 0);
    for (int k = 1; k <= 12; ++k) {
        auto *b = f.w<QToolButton>(u"SpeedButton_F"_s + QString::number(k));
        const QString caption = k == 2    ? u"中止"_s
                                : k == 3  ? u"貼付欄"_s
                                : k == 4  ? u"新規"_s
                                : k == 6  ? u"履歴"_s
                                : k == 8  ? u"一括"_s
                                : k == 9  ? u"プレビュー"_s
                                : k == 10 ? u"請求書"_s
                                : k == 11 ? u"印刷"_s
                                          : u"F"_s + QString::number(k);
        QCOMPARE(b->text(), caption);
        QCOMPARE(b->isEnabled(), k == 2 || k == 3 || k == 4 || k == 6 || k == 8 || k == 9 || k == 10 || k == 11);
        QCOMPARE(b->geometry().size(), QSize(55, 26));
    }
    QCOMPARE(f.w<QStatusBar>(u"StatusBar1"_s)->currentMessage(), u"  "_s);
    // Each picture button shows a picture of its own, drawn to its middle.
    QSet<QByteArray> pictures;
    for (const QString &name :
         {u"BitBtn_1"_s, u"BitBtn_WebHelp"_s, u"BitBtn_MemoCLS"_s, u"BitBtn_CLS"_s, u"BitBtn_Batch"_s}) {
        const QImage picture = f.w<QToolButton>(name)->icon().pixmap(QSize(24, 24)).toImage();
        QVERIFY2(picture.pixelColor(12, 12).alpha() == 255 && picture.pixelColor(0, 0).alpha() == 0, qPrintable(name));
        pictures.insert(QByteArray(reinterpret_cast<const char *>(picture.constBits()), picture.sizeInBytes()));
    }
    QCOMPARE(pictures.size(), 5);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
    QCOMPARE(f.form->slipRowCount(), 4);
    QCOMPARE(f.w<QLabel>(u"Label_CurrentDir"_s)->text(), f.dir.path());
    QCOMPARE(f.w<QDateEdit>(u"DateTimePicker_1"_s)->date(), QDate::currentDate());
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMain::enterWalksTheSlipInOrder()
{
    MainWindowFixture f;
    f.start();
    QStringList expected = {u"Edit_Zip"_s,  u"Edit_Add1"_s,   u"Edit_Add2"_s,
                            u"Edit_Add3"_s, u"Edit_Custo1"_s, u"Edit_tel"_s};
    for (int r = 1; r <= 10; ++r) {
        const QString n = QString::number(r);
        expected << u"Edit_item"_s + n << u"ZuNumEdit_QTY"_s + n << u"Edit_unit"_s + n << u"ZuNumEdit_Price"_s + n;
    }
    QCOMPARE(focusName(), expected.first());
    for (qsizetype i = 1; i < expected.size(); ++i) {
        press(Qt::Key_Return);
        QCOMPARE(focusName(), expected.at(i));
    }
    // Enter in the unit price of row 10 leaves the focus where it is.
    press(Qt::Key_Return);
    QCOMPARE(focusName(), u"ZuNumEdit_Price10"_s);
}

void TestFormMain::arrowKeys_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("up in the postal code does nothing") << u"Edit_Zip"_s << int(Qt::Key_Up) << u"Edit_Zip"_s;
    QTest::newRow("up in address 1 goes to the postal code") << u"Edit_Add1"_s << int(Qt::Key_Up) << u"Edit_Zip"_s;
    QTest::newRow("enter in the telephone goes to row 1") << u"Edit_tel"_s << int(Qt::Key_Return) << u"Edit_item1"_s;
    QTest::newRow("up in row 1 goes to the telephone") << u"Edit_item1"_s << int(Qt::Key_Up) << u"Edit_tel"_s;
    QTest::newRow("down in row 1 goes to row 2") << u"Edit_item1"_s << int(Qt::Key_Down) << u"Edit_item2"_s;
    QTest::newRow("down in row 4 stops at the printed rows") << u"Edit_item4"_s << int(Qt::Key_Down) << u"Edit_item4"_s;
    QTest::newRow("up in row 5 goes to row 4") << u"Edit_item5"_s << int(Qt::Key_Up) << u"Edit_item4"_s;
    QTest::newRow("down in row 5 goes to row 6") << u"Edit_item5"_s << int(Qt::Key_Down) << u"Edit_item6"_s;
    QTest::newRow("down in row 10 stays") << u"Edit_item10"_s << int(Qt::Key_Down) << u"Edit_item10"_s;
    QTest::newRow("tab from price 1 goes to its rate class")
        << u"ZuNumEdit_Price1"_s << int(Qt::Key_Tab) << u"CheckBox_Reduced1"_s;
    QTest::newRow("tab from the rate class goes to row 2")
        << u"CheckBox_Reduced1"_s << int(Qt::Key_Tab) << u"Edit_item2"_s;
    QTest::newRow("backtab from row 2 goes to the rate class 1")
        << u"Edit_item2"_s << int(Qt::Key_Backtab) << u"CheckBox_Reduced1"_s;
    QTest::newRow("up in a quantity goes back") << u"ZuNumEdit_QTY3"_s << int(Qt::Key_Up) << u"Edit_item3"_s;
}

void TestFormMain::arrowKeys()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    MainWindowFixture f;
    f.start();
    f.w(from)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(focusName(), from);
    press(key);
    QCOMPARE(focusName(), to);
}

void TestFormMain::enterNeverInsertsACharacter()
{
    MainWindowFixture f;
    f.start();
    int beeps = 0;
    TZuNumEdit::setBeepHandler([&] { ++beeps; });
    auto *add1 = f.w<QLineEdit>(u"Edit_Add1"_s);
    add1->setText(u"東京都"_s);
    add1->setFocus();
    press(Qt::Key_Return);
    QCOMPARE(add1->text(), u"東京都"_s);
    TZuNumEdit *qty = f.line(2).qty;
    qty->setFocus();
    QTest::keyClicks(qty, u"5"_s);
    press(Qt::Key_Return);
    QCOMPARE(qty->text(), u"5"_s);
    QCOMPARE(beeps, 0);
    TZuNumEdit::setBeepHandler({});
    // The paste area takes Enter as a new line.
    auto *memo = f.w<QPlainTextEdit>(u"Memo1"_s);
    memo->setFocus();
    QTest::keyClicks(memo, u"a"_s);
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, u"b"_s);
    QCOMPARE(memo->toPlainText(), u"a\nb"_s);
}

void TestFormMain::guidanceTextOnEntering_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("help");
    QTest::newRow("postal code") << u"Edit_Zip"_s << u"お届け先の郵便番号を入力して下さい"_s;
    QTest::newRow("address 1")
        << u"Edit_Add1"_s
        << u"お届け先のおところ①を入力して下さい　（郵便番号が空のとき F5:おところから郵便番号を検索）"_s;
    QTest::newRow("address 3") << u"Edit_Add3"_s << u"お届け先のおところを入力して下さい"_s;
    QTest::newRow("name") << u"Edit_Custo1"_s << u"お届け先のおなまえを入力して下さい"_s;
    QTest::newRow("telephone") << u"Edit_tel"_s << u"お届け先のでんわを入力して下さい"_s;
    QTest::newRow("paste area") << u"Memo1"_s << u"テキストを貼り付けることができます　７行以内に収めてください"_s;
    QTest::newRow("item name 2") << u"Edit_item7"_s << u"品名2を入力してください"_s;
    QTest::newRow("quantity") << u"ZuNumEdit_QTY2"_s << u"数量を入力してください (数量が０の行は印字されません)"_s;
    QTest::newRow("unit") << u"Edit_unit3"_s << u"単位名を入力してください"_s;
    QTest::newRow("unit price") << u"ZuNumEdit_Price10"_s << u"単価を入力してください"_s;
}

void TestFormMain::guidanceTextOnEntering()
{
    QFETCH(QString, field);
    QFETCH(QString, help);
    MainWindowFixture f;
    f.start();
    if (auto *e = f.w<QLineEdit>(field))
        e->setText(u"abc"_s);
    f.w(field)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(), help);
    if (auto *e = f.w<QLineEdit>(field)) {
        // The caret stands after the last character, nothing selected.
        QCOMPARE(e->cursorPosition(), 3);
        QVERIFY(!e->hasSelectedText());
    }
}

void TestFormMain::addressLengthWarning_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("enter");
    QTest::addColumn<bool>("warned");
    QTest::newRow("41 characters, entering address 3") << 41 << u"Edit_Add3"_s << true;
    QTest::newRow("41 characters, entering address 1") << 41 << u"Edit_Add1"_s << true;
    QTest::newRow("exactly 40 clears it") << 40 << u"Edit_Add2"_s << false;
    QTest::newRow("entering the name does not check") << 41 << u"Edit_Custo1"_s << false;
}

void TestFormMain::addressLengthWarning()
{
    QFETCH(int, length);
    QFETCH(QString, enter);
    QFETCH(bool, warned);
    MainWindowFixture f;
    f.start();
    f.w<QLineEdit>(u"Edit_Add1"_s)->setText(QString(length, u'あ'));
    f.w(enter)->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QCOMPARE(f.w<QLabel>(u"Label_Warning"_s)->text(),
             warned ? u"警告:おところ①の文字数が多すぎます。　おところ②へ分割してください"_s : QString());
}

void TestFormMain::tabChangeSwitchesTheF11Button()
{
    MainWindowFixture f;
    f.start();
    f.w<QLineEdit>(u"Edit_Zip"_s)->setFocus();
    QCoreApplication::processEvents();
    QVERIFY(!f.w<QLabel>(u"Panel_HelpMess"_s)->text().isEmpty());
    auto *tabs = f.w<QTabWidget>(u"PageControl1"_s);
    auto *f11 = f.w<QToolButton>(u"SpeedButton_F11"_s);
    tabs->setCurrentIndex(1);
    QCOMPARE(f11->text(), u"F11"_s);
    QVERIFY(!f11->isEnabled());
    QVERIFY(f.w<QLabel>(u"Panel_HelpMess"_s)->text().isEmpty());
    tabs->setCurrentIndex(0);
    QCOMPARE(f11->text(), u"印刷"_s);
    QVERIFY(f11->isEnabled());
    // The printer summary shows the printer, paper and bin of the selection.
    QVERIFY(f.w<QLabel>(u"Label_PrinterName2"_s)->text().startsWith(u"テストプリンタA/"_s));
}

void TestFormMain::exitCommandNoKeepsRunning()
{
    MainWindowFixture f;
    f.start();
    f.w<QLineEdit>(u"Edit_tel"_s)->setFocus();
    f.dialogs->answer({false});
    press(Qt::Key_F2);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"終了しますか?"_s});
    QVERIFY(f.form->isVisible());
    QCOMPARE(focusName(), u"Edit_Zip"_s);
    QVERIFY(!QFile::exists(f.path(u"vuzo_Vez_1.ini"_s)));
}

void TestFormMain::exitCommandYesCloses()
{
    MainWindowFixture f;
    f.start();
    f.dialogs->answer({true});
    QTest::mouseClick(f.w<QToolButton>(u"SpeedButton_F2"_s), Qt::LeftButton);
    QVERIFY(!f.form->isVisible());
}

void TestFormMain::firstStartShowsDefaults()
{
    MainWindowFixture f;
    writeBytes(f.path(u"my0.txt"_s),
               cp932(u"100-0001\r\n東京都千代田区\r\n架空ビル\r\n発送商店\r\n03-0000-0000\r\n"_s));
    f.start();
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_TaxOld"_s)->text(), u"8"_s);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_TaxNew"_s)->text(), u"10"_s);
    QCOMPARE(f.w<QDateEdit>(u"DateTimePicker_TaxEnforDate"_s)->date(), QDate(2019, 10, 1));
    QCOMPARE(f.w<QLabel>(u"Label_stax"_s)->text(), u"消費税 10%"_s);
    QCOMPARE(f.w<QComboBox>(u"ComboBox_SEL"_s)->currentText(), u"手差し"_s);
    QCOMPARE(f.w<QComboBox>(u"ComboBox_ime_Item"_s)->currentText(), u"0:漢字未使用"_s);
    QCOMPARE(f.w<QComboBox>(u"ComboBox_FontSize"_s)->currentIndex(), 1);
    QCOMPARE(f.w<QLineEdit>(u"Edit_021_0"_s)->text(), u"納品書　兼　請求書"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_TxDisp"_s)->text(), u"0"_s);
    QVERIFY(!f.w<QCheckBox>(u"CheckBox_NewPage"_s)->isChecked());
    QCOMPARE(f.w<QLineEdit>(u"Edit_MyZip"_s)->text(), u"100-0001"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_My"_s)->text(), u"発送商店"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_MyTEL"_s)->text(), u"03-0000-0000"_s);
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(f.line(n).qty->text(), QString());
        QCOMPARE(f.line(n).price->text(), QString());
        QCOMPARE(f.line(n).sales->text(), QString());
        QCOMPARE(f.line(n).item->text(), QString());
    }
    for (const QString &total : {u"ZuNumEdit_sqty"_s, u"ZuNumEdit_ssal"_s, u"ZuNumEdit_stax"_s, u"ZuNumEdit_sttl"_s})
        QCOMPARE(f.w<TZuNumEdit>(total)->text(), u"0"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
    f.stop();
    QVERIFY(QFile::exists(f.path(u"vuzo_Vez_1.ini"_s)));
    ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
    QCOMPARE(ini.ReadString(kSection, u"OP023MyZip"_s, u"?"_s), u"100-0001"_s);
    QCOMPARE(ini.ReadString(kSection, u"TaxNew"_s, u"?"_s), u"10"_s);
    QCOMPARE(ini.ReadString(kSection, u"Edit_QTY1"_s, u"?"_s), QString());
}

void TestFormMain::missingSenderRecordShowsNoBox()
{
    MainWindowFixture f;
    writeBytes(f.path(u"vuzo_Vez_1.ini"_s),
               cp932(u"[vz_Vez_1prn]\r\nTab_My=2\r\nop023myzip  = 999-9999\r\nOP023My=設定の依頼主\r\n"_s));
    f.start();
    QVERIFY(f.dialogs->shown().isEmpty());
    QCOMPARE(f.w<QLineEdit>(u"Edit_MyZip"_s)->text(), u"999-9999"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_My"_s)->text(), u"設定の依頼主"_s);
    // The steps after the sender record still ran.
    QCOMPARE(f.form->slipRowCount(), 4);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
}

void TestFormMain::unreadableSenderRecordIsTold()
{
    MainWindowFixture f;
    writeBytes(f.path(u"vuzo_Vez_1.ini"_s), cp932(u"[vz_Vez_1prn]\r\nTab_My=2\r\nOP023My=設定の依頼主\r\n"_s));
    // A named pipe never ends: reading it must neither hang nor pass unnoticed.
    QCOMPARE(::mkfifo(QFile::encodeName(f.path(u"my2.txt"_s)).constData(), 0600), 0);
    f.start();
    QCOMPARE(f.dialogs->notices().size(), 1);
    // The message names the file and why it cannot be read.
    QCOMPARE(f.dialogs->notices().first(), u"ファイル my2.txt を開けません（通常のファイルではありません）"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_My"_s)->text(), u"設定の依頼主"_s);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
}

void TestFormMain::negativeSenderTabShowsTabErr()
{
    MainWindowFixture f;
    writeBytes(f.path(u"vuzo_Vez_1.ini"_s), cp932(u"[vz_Vez_1prn]\r\nTab_My=-1\r\nOP023MyTEL=011\r\n"_s));
    writeBytes(f.path(u"my0.txt"_s), cp932(u"a\r\nb\r\nc\r\nd\r\ne\r\n"_s));
    f.start();
    QCOMPARE(f.dialogs->notices(), QStringList{u"TabErr"_s});
    QCOMPARE(f.w<QLineEdit>(u"Edit_MyTEL"_s)->text(), u"011"_s);
}

// A settings file that cannot be read gives a window of defaults; the exit
// never saves those over it.
void TestFormMain::unreadableSettingsFileIsNeverWritten_data()
{
    QTest::addColumn<bool>("folder"); // else a file over 64 MiB
    QTest::newRow("a folder in its place") << true;
    QTest::newRow("an over-size file") << false;
}
void TestFormMain::unreadableSettingsFileIsNeverWritten()
{
    QFETCH(bool, folder);
    MainWindowFixture f;
    const QString file = f.path(u"vuzo_Vez_1.ini"_s);
    const qint64 size = 64 * 1024 * 1024 + 1;
    const QByteArray head = "[vz_Vez_1prn]\r\nE_CUS=keep\r\n";
    if (folder) {
        QVERIFY(QDir(f.dir.path()).mkdir(u"vuzo_Vez_1.ini"_s));
    } else {
        writeBytes(file, head);
        QVERIFY(QFile::resize(file, size)); // sparse: quick to make
    }
    f.firstStart = true; // no registration file either
    f.start();
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY2(f.dialogs->notices().first().startsWith(u"設定ファイル "_s + file + u" を読めません"_s),
             qPrintable(f.dialogs->notices().first()));
    f.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"typed"_s);
    f.dialogs->clear();
    f.stop();
    QCOMPARE(f.dialogs, nullptr);
    QCOMPARE(QFileInfo(file).isDir(), folder);
    if (!folder) {
        QCOMPARE(QFileInfo(file).size(), size);
        QFile in(file);
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.read(head.size()), head);
    }
    QCOMPARE(QDir(f.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{u"vuzo_Vez_1.ini"_s});
}

void TestFormMain::settingsRoundTrip()
{
    MainWindowFixture first;
    first.start();
    first.w<TZuNumEdit>(u"ZuNumEdit_TaxOld"_s)->setText(u"5"_s);
    first.w<TZuNumEdit>(u"ZuNumEdit_TaxNew"_s)->setText(u"7.5"_s);
    first.w<QDateEdit>(u"DateTimePicker_TaxEnforDate"_s)->setDate(QDate(2030, 4, 1));
    first.w<QComboBox>(u"ComboBox_FontSize"_s)->setCurrentIndex(3);
    first.w<QComboBox>(u"ComboBox_FontSizeMy"_s)->setCurrentIndex(2);
    first.w<QLineEdit>(u"Edit_Zip"_s)->setText(u"123-4567"_s);
    first.w<QLineEdit>(u"Edit_Add1"_s)->setText(u"東京都港区架空町1-2-3"_s);
    first.w<QLineEdit>(u"Edit_Add2"_s)->setText(u"架空ハイツ101"_s);
    first.w<QLineEdit>(u"Edit_Add3"_s)->setText(u"三行目"_s);
    first.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"山田　太郎"_s);
    first.w<QLineEdit>(u"Edit_tel"_s)->setText(u"03-1234-5678"_s);
    for (int k = 1; k <= 6; ++k)
        first.w<QLineEdit>(u"Edit_G"_s + QString::number(k))->setText(u"G"_s + QString::number(k));
    for (int k = 1; k <= 9; ++k)
        first.w<QLineEdit>(u"Edit_Remark"_s + QString::number(k))->setText(u"備考"_s + QString::number(k));
    for (int k = 0; k <= 5; ++k)
        first.w<QLineEdit>(u"Edit_021_"_s + QString::number(k))->setText(u"見出し"_s + QString::number(k));
    first.w<TZuNumEdit>(u"ZuNumEdit_KOSUU"_s)->setText(u"3"_s);
    first.w<QLineEdit>(u"Edit_My"_s)->setText(u"依頼主"_s);
    first.w<QLineEdit>(u"Edit_MyZip"_s)->setText(u"100-0001"_s);
    first.w<QLineEdit>(u"Edit_MyADD1"_s)->setText(u"住所一"_s);
    first.w<QLineEdit>(u"Edit_MyADD2"_s)->setText(u"住所二"_s);
    first.w<QLineEdit>(u"Edit_MyTEL"_s)->setText(u"03-9999-0000"_s);
    first.w<QComboBox>(u"ComboBox_SEL"_s)->setCurrentIndex(1);
    first.w<QComboBox>(u"ComboBox_ime_Itemno"_s)->setCurrentIndex(2);
    first.w<QComboBox>(u"ComboBox_ime_Item"_s)->setCurrentIndex(6);
    first.w<QComboBox>(u"ComboBox_ime_Unit"_s)->setCurrentIndex(8);
    first.w<QComboBox>(u"ComboBox_Paper"_s)->setCurrentIndex(2);
    first.w<QCheckBox>(u"CheckBox_NewPage"_s)->setChecked(true);
    first.line(3).itemNo->setText(u"型番"_s);
    first.line(3).item->setText(u"りんご"_s);
    first.line(3).qty->setText(u"1200"_s);
    first.line(3).unit->setText(u"箱"_s);
    first.line(3).price->setText(u"350"_s);
    first.line(3).sales->setText(u"420000"_s);
    first.stop();

    const QByteArray ini = [&] {
        QFile file(first.path(u"vuzo_Vez_1.ini"_s));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();

    MainWindowFixture second;
    writeBytes(second.path(u"vuzo_Vez_1.ini"_s), ini);
    second.start();
    QCOMPARE(second.w<TZuNumEdit>(u"ZuNumEdit_TaxOld"_s)->text(), u"5"_s);
    QCOMPARE(second.w<TZuNumEdit>(u"ZuNumEdit_TaxNew"_s)->text(), u"7.5"_s);
    QCOMPARE(second.w<QDateEdit>(u"DateTimePicker_TaxEnforDate"_s)->date(), QDate(2030, 4, 1));
    QCOMPARE(second.w<QComboBox>(u"ComboBox_FontSize"_s)->currentIndex(), 3);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_FontSizeMy"_s)->currentIndex(), 2);
    QCOMPARE(second.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_Add1"_s)->text(), u"東京都港区架空町1-2-3"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_Add2"_s)->text(), u"架空ハイツ101"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_Add3"_s)->text(), u"三行目"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"山田　太郎"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_tel"_s)->text(), u"03-1234-5678"_s);
    for (int k = 1; k <= 6; ++k)
        QCOMPARE(second.w<QLineEdit>(u"Edit_G"_s + QString::number(k))->text(), u"G"_s + QString::number(k));
    for (int k = 1; k <= 9; ++k)
        QCOMPARE(second.w<QLineEdit>(u"Edit_Remark"_s + QString::number(k))->text(), u"備考"_s + QString::number(k));
    for (int k = 0; k <= 5; ++k)
        QCOMPARE(second.w<QLineEdit>(u"Edit_021_"_s + QString::number(k))->text(), u"見出し"_s + QString::number(k));
    QCOMPARE(second.w<TZuNumEdit>(u"ZuNumEdit_KOSUU"_s)->text(), u"3"_s);
    // No sender record file: the sender fields come from the settings.
    QCOMPARE(second.w<QLineEdit>(u"Edit_My"_s)->text(), u"依頼主"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_MyZip"_s)->text(), u"100-0001"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_MyADD1"_s)->text(), u"住所一"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_MyADD2"_s)->text(), u"住所二"_s);
    QCOMPARE(second.w<QLineEdit>(u"Edit_MyTEL"_s)->text(), u"03-9999-0000"_s);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_SEL"_s)->currentIndex(), 1);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_ime_Itemno"_s)->currentIndex(), 2);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_ime_Item"_s)->currentIndex(), 6);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_ime_Unit"_s)->currentIndex(), 8);
    QCOMPARE(second.w<QComboBox>(u"ComboBox_Paper"_s)->currentIndex(), 2);
    QVERIFY(second.w<QCheckBox>(u"CheckBox_NewPage"_s)->isChecked());
    QCOMPARE(second.line(3).itemNo->text(), u"型番"_s);
    QCOMPARE(second.line(3).item->text(), u"りんご"_s);
    QCOMPARE(second.line(3).qty->text(), u"1200"_s);
    QCOMPARE(second.line(3).qty->valText(), u"1,200"_s);
    QCOMPARE(second.line(3).unit->text(), u"箱"_s);
    QCOMPARE(second.line(3).price->text(), u"350"_s);
    QCOMPARE(second.line(3).sales->text(), u"420000"_s);
    // Start-up adds up the restored lines, at the old rate of 5 % in force
    // before 2030.
    QCOMPARE(second.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text(), u"441000"_s);
    // The rounding code is not stored.
    QCOMPARE(second.w<QLineEdit>(u"Edit_TxDisp"_s)->text(), u"0"_s);
    // The input-method choice reached the row fields.
    QCOMPARE(second.line(5).item->property("imeMode").toInt(), 6);
    QCOMPARE(second.line(5).unit->property("imeMode").toInt(), 8);
}

void TestFormMain::settingsFileIsCp932WithTheShutdownKeys()
{
    MainWindowFixture f;
    f.start();
    f.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"山田　太郎"_s);
    f.stop();
    QFile file(f.path(u"vuzo_Vez_1.ini"_s));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.startsWith("\xFF\xFE"));
    QVERIFY(bytes.contains("[vz_Vez_1prn]\r\n"));
    QVERIFY(bytes.contains(cp932(u"E_CUS=山田　太郎\r\n"_s)));
    QVERIFY(bytes.contains("OP023MyZip="));
    QVERIFY(bytes.contains("TaxEnforDate=2019/10/01\r\n"));
    QVERIFY(bytes.contains("NewPage=0\r\n"));
    // Shut-down order: the sales lines first, then the settings keys.
    QVERIFY(bytes.indexOf("Edit_Sales10=") < bytes.indexOf("TaxOld="));
    QVERIFY(bytes.indexOf("TaxOld=") < bytes.indexOf("Comb_Paper="));
}

void TestFormMain::startupGoesOnAfterAPrinterError()
{
    MainWindowFixture f;
    writeBytes(f.path(u"vuzo_a500.ini"_s), cp932(u"[手差し]\r\nPrnNoIndex=abc\r\n"_s));
    writeBytes(f.path(u"vuzo_Vez_1.ini"_s), cp932(u"[vz_Vez_1prn]\r\nEdit_ITEM2=みかん\r\n"_s));
    f.start();
    QVERIFY(!f.dialogs->errors().isEmpty());
    QCOMPARE(f.dialogs->errors().first(), u"''abc'' は整数ではありません"_s);
    // Every later step ran: the lines are bound, restored, and the focus is set.
    QCOMPARE(f.line(2).item->text(), u"みかん"_s);
    QCOMPARE(f.w<QLabel>(u"Label_stax"_s)->text(), u"消費税 10%"_s);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
}

void TestFormMain::accessibleNamesAreUniqueAndSpoken()
{
    MainWindowFixture f;
    f.start();
    QSet<QString> seen;
    const auto widgets = f.form->findChildren<QWidget *>();
    for (QWidget *w : widgets) {
        const bool input = qobject_cast<QLineEdit *>(w) || qobject_cast<TZuNumEdit *>(w) ||
                           qobject_cast<QComboBox *>(w) || qobject_cast<QPlainTextEdit *>(w) ||
                           qobject_cast<QAbstractButton *>(w);
        if (!input || w->isHidden() || !w->isVisibleTo(f.form) || w->objectName().isEmpty())
            continue;
        if (qobject_cast<QLineEdit *>(w) && qobject_cast<QComboBox *>(w->parentWidget()))
            continue; // the edit part of a list speaks through its list
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY2(iface, qPrintable(w->objectName()));
        const QString name = iface->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(w->objectName()));
        QVERIFY2(!seen.contains(name), qPrintable(w->objectName() + u": "_s + name));
        seen.insert(name);
    }
    QVERIFY(seen.contains(u"数量 3"_s));
}

void TestFormMain::nineDigitsCanBeTyped_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("quantity") << u"ZuNumEdit_QTY1"_s;
    QTest::newRow("unit price") << u"ZuNumEdit_Price1"_s;
    QTest::newRow("quantity of row 10") << u"ZuNumEdit_QTY10"_s;
}

void TestFormMain::nineDigitsCanBeTyped()
{
    QFETCH(QString, field);
    MainWindowFixture f;
    f.start();
    // A unit price without a quantity is emptied at once, so the row gets one.
    f.line(1).qty->setText(u"1"_s);
    auto *edit = f.w<TZuNumEdit>(field);
    edit->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    QTest::keyClicks(edit, u"9999999999"_s);
    // The tenth digit is refused by the digit limit, never by the width.
    QCOMPARE(edit->text(), u"999999999"_s);
    QCOMPARE(edit->valText(), u"999,999,999"_s);
    QVERIFY(edit->textFits(u"-999999999"_s));
}

void TestFormMain::fieldsWithoutInputMethodRefuseComposition()
{
    MainWindowFixture f;
    f.start();
    for (QWidget *w : {f.w(u"Edit_Zip"_s), f.w(u"Edit_tel"_s), f.w(u"Edit_TxDisp"_s)}) {
        QInputMethodQueryEvent query(Qt::ImEnabled);
        QCoreApplication::sendEvent(w, &query);
        QVERIFY2(!query.value(Qt::ImEnabled).toBool(), qPrintable(w->objectName()));
    }
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(f.w(u"Edit_Add1"_s), &query);
    QVERIFY(query.value(Qt::ImEnabled).toBool());
}

void TestFormMain::helpButtonOpensTheManual()
{
    MainWindowFixture f;
    f.start();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"file"_s, &catcher, "open");
    QTest::mouseClick(f.w<QAbstractButton>(u"BitBtn_WebHelp"_s), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(u"file"_s);
    // Run from the build tree, the program finds the manual of its sources.
    QCOMPARE(catcher.urls.size(), 1);
    const QUrl manual = catcher.urls.at(0);
    QVERIFY(manual.isLocalFile());
    QVERIFY2(manual.toLocalFile().endsWith(u"/docs/manual/index.html"_s), qPrintable(manual.toString()));
    QVERIFY(QFile::exists(manual.toLocalFile()));
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMain::mailButtonFollowsTheSupportAddress_data()
{
    QTest::addColumn<QString>("entry"); // the line in [vz_Vez_1prn], empty for none
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("hintPart");
    QTest::newRow("an address enables the button and is its hint")
        << u"SupportMail=otoiawase@shop.example.jp"_s << u"otoiawase@shop.example.jp"_s
        << u"otoiawase@shop.example.jp"_s;
    QTest::newRow("no key: disabled, the hint says where to set it")
        << QString() << QString() << u"SupportMail=アドレス を書くと使えます"_s;
    QTest::newRow("an empty value counts as none") << u"SupportMail="_s << QString() << u"設定されていません"_s;
    QTest::newRow("a value that is no address: disabled, the hint names it")
        << u"SupportMail=shop example"_s << QString() << u"「shop example」はメールアドレスとして使えません"_s;
    QTest::newRow("a second @ is no address") << u"SupportMail=a@b@c"_s << QString() << u"「a@b@c」"_s;
    QTest::newRow("a query part is no address") << u"SupportMail=a@b?cc=x"_s << QString() << u"「a@b?cc=x」"_s;
}

void TestFormMain::mailButtonFollowsTheSupportAddress()
{
    QFETCH(QString, entry);
    QFETCH(QString, address);
    QFETCH(QString, hintPart);
    MainWindowFixture f;
    writeBytes(f.path(u"vuzo_Vez_1.ini"_s), cp932(u"[vz_Vez_1prn]\r\n"_s + entry + u"\r\n"_s));
    f.start();
    auto *button = f.w<QAbstractButton>(u"BitBtn_SendMail"_s);
    QCOMPARE(button->isEnabled(), !address.isEmpty());
    QVERIFY2(button->toolTip().contains(hintPart), qPrintable(button->toolTip()));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(u"mailto"_s, &catcher, "open");
    QTest::mouseClick(button, Qt::LeftButton);
    QDesktopServices::unsetUrlHandler(u"mailto"_s);
    if (address.isEmpty()) {
        QVERIFY(catcher.urls.isEmpty());
        return;
    }
    QCOMPARE(catcher.urls.size(), 1);
    const QUrl mail = catcher.urls.at(0);
    QVERIFY(mail.isValid());
    QCOMPARE(mail.scheme(), u"mailto"_s);
    QCOMPARE(mail.path(), address);
    const QUrlQuery query(mail);
    QCOMPARE(query.queryItemValue(u"subject"_s, QUrl::FullyDecoded), u"vuzoへの問い合わせ"_s);
    QVERIFY(query.hasQueryItem(u"cc"_s));
    QVERIFY(query.hasQueryItem(u"bcc"_s));
}

QTEST_MAIN(TestFormMain)
#include "tst_formmain.moc"
