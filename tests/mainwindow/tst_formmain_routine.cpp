// The main window in daily use, driven offscreen through its real widgets:
// the focused row kept in sight, the totals after a restart, long texts from
// the files, other windows taking the focus, the next customer with F4, the
// notice about lines the slip does not print, the keys to the paste area, the
// copy count and a small screen.

#include "controls/TZuNumEdit.h"
#include "platform/Cp932.h"
#include "settings/ProfileFile.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

using namespace Qt::StringLiterals;
using window_test::focus;
using window_test::focusName;
using window_test::press;

namespace {

const QString kSection = u"vz_Vez_1prn"_s;
const QColor kHighlight(166, 202, 240);

// A settings file at 5 % since 1997 with further keys.
void writeSettings(MainWindowFixture &f, const QList<std::pair<QString, QString>> &extra = {})
{
    ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
    ini.WriteString(kSection, u"TaxOld"_s, u"3"_s);
    ini.WriteString(kSection, u"TaxNew"_s, u"5"_s);
    ini.WriteDate(kSection, u"TaxEnforDate"_s, QDate(1997, 4, 1));
    for (const auto &[key, value] : extra)
        ini.WriteString(kSection, key, value);
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void typeNumber(TZuNumEdit *field, const QString &keys)
{
    focus(field);
    field->selectAll();
    QTest::keyClicks(field, keys);
    QCoreApplication::processEvents();
}

QStringList totals(const MainWindowFixture &f)
{
    QStringList out;
    for (const QString &name : {u"ZuNumEdit_sqty"_s, u"ZuNumEdit_ssal"_s, u"ZuNumEdit_stax"_s, u"ZuNumEdit_sttl"_s})
        out << f.w<TZuNumEdit>(name)->text();
    return out;
}

// Whether all of `w` lies within what the scroll area shows.
bool inSight(const QScrollArea *area, const QWidget *w)
{
    const QWidget *viewport = area->viewport();
    return viewport->rect().contains(QRect(w->mapTo(viewport, QPoint(0, 0)), w->size()));
}

// Whether both lines of a row are within the line table's view.
bool rowInSight(const MainWindowFixture &f, int row)
{
    const auto *table = f.w<QScrollArea>(u"ScrollBox1"_s);
    return inSight(table, f.line(row).itemNo) && inSight(table, f.line(row).item);
}

// The row (1 .. 10) of the line field that has the focus, 0 for none.
int focusedRow(const MainWindowFixture &f)
{
    for (int n = 1; n <= TForm_Main::kRows; ++n) {
        const window_test::LineFields l = f.line(n);
        const QWidget *w = QApplication::focusWidget();
        if (w == l.item || w == l.qty || w == l.unit || w == l.price)
            return n;
    }
    return 0;
}

QStringList lineKeys(const MainWindowFixture &f)
{
    ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
    QStringList out;
    for (const QString &key : {u"Edit_ITEMNO"_s, u"Edit_ITEM"_s, u"Edit_QTY"_s, u"Edit_Unit"_s, u"Edit_Price"_s}) {
        for (int n = 1; n <= TForm_Main::kRows; ++n)
            out << ini.ReadString(kSection, key + QString::number(n), u"?"_s);
    }
    return out;
}

} // namespace

class TestFormMainRoutine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keysKeepTheFocusedRowInSight_data();
    void keysKeepTheFocusedRowInSight();
    void enterWalkKeepsEveryRowInSight();
    void mouseAndProgramBringTheWholeRowIntoSight();
    void restartShowsTheTotalsOfTheRestoredLines();
    void longTextsFromTheFilesAreKeptWhole();
    void anotherWindowRunsNoFieldHandlers();
    void fieldLeftWhileInactiveIsLeftOnReturn();
    void newSlipWithF4_data();
    void newSlipWithF4();
    void functionKeysWorkFromThePasteArea_data();
    void functionKeysWorkFromThePasteArea();
    void zeroTotalIsAskedAboutPlainly_data();
    void zeroTotalIsAskedAboutPlainly();
    void linesBeyondThePrintedRowsAreTold_data();
    void linesBeyondThePrintedRowsAreTold();
    void pasteAreaAndTransferFromTheKeyboard();
    void everyButtonIsReachedWithTab();
    void copyCountOnTheSettingsTab();
    void smallScreenScrollsTheTabs();
    void largeScreenKeepsTheDesign();
};

void TestFormMainRoutine::keysKeepTheFocusedRowInSight_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("to");

    const int enter = Qt::Key_Return;
    QTest::newRow("Enter from the unit price of row 4 shows row 5")
        << u"ZuNumEdit_Price4"_s << QList<int>{enter} << u"Edit_item5"_s;
    QTest::newRow("Enter on through row 5 to row 6")
        << u"ZuNumEdit_Price4"_s << QList<int>{enter, enter, enter, enter, enter} << u"Edit_item6"_s;
    QTest::newRow("Down from row 5 to row 10")
        << u"Edit_item5"_s << QList<int>(5, int(Qt::Key_Down)) << u"Edit_item10"_s;
    QTest::newRow("Up from row 10 back to row 1")
        << u"Edit_item10"_s << QList<int>(9, int(Qt::Key_Up)) << u"Edit_item1"_s;
    QTest::newRow("Up in a quantity goes back within its row")
        << u"ZuNumEdit_QTY9"_s << QList<int>{int(Qt::Key_Up)} << u"Edit_item9"_s;
    QTest::newRow("Up from the unit price of row 10 to its unit")
        << u"ZuNumEdit_Price10"_s << QList<int>{int(Qt::Key_Up)} << u"Edit_unit10"_s;
    QTest::newRow("Tab from the unit price of row 4 shows row 5")
        << u"ZuNumEdit_Price4"_s << QList<int>{int(Qt::Key_Tab), int(Qt::Key_Tab)} << u"Edit_item5"_s;
    QTest::newRow("Shift+Tab from row 1 back to the telephone")
        << u"Edit_item1"_s << QList<int>{int(Qt::Key_Backtab)} << u"Edit_tel"_s;
}

void TestFormMainRoutine::keysKeepTheFocusedRowInSight()
{
    QFETCH(QString, from);
    QFETCH(QList<int>, keys);
    QFETCH(QString, to);
    MainWindowFixture f;
    f.start();
    focus(f.w(from));
    QCOMPARE(focusName(), from);
    for (int key : keys)
        press(key);
    QCOMPARE(focusName(), to);
    if (const int row = focusedRow(f))
        QVERIFY2(rowInSight(f, row), qPrintable(QString::number(row)));
}

void TestFormMainRoutine::enterWalkKeepsEveryRowInSight()
{
    MainWindowFixture f;
    f.start();
    QVERIFY(!rowInSight(f, 5));
    focus(f.w(u"Edit_tel"_s));
    int steps = 0;
    while (focusName() != u"ZuNumEdit_Price10"_s && steps++ < 60) {
        press(Qt::Key_Return);
        const int row = focusedRow(f);
        QVERIFY(row > 0);
        QVERIFY2(rowInSight(f, row), qPrintable(focusName()));
    }
    QCOMPARE(focusName(), u"ZuNumEdit_Price10"_s);
}

void TestFormMainRoutine::mouseAndProgramBringTheWholeRowIntoSight()
{
    MainWindowFixture f;
    f.start();
    auto *bar = f.w<QScrollArea>(u"ScrollBox1"_s)->verticalScrollBar();
    // Half a row scrolled: row 1 shows only its second line.
    bar->setValue(21);
    QVERIFY(!rowInSight(f, 1));
    QTest::mouseClick(f.line(1).qty, Qt::LeftButton);
    QCoreApplication::processEvents();
    QCOMPARE(focusName(), u"ZuNumEdit_QTY1"_s);
    QVERIFY(rowInSight(f, 1));
    // The program moves the focus (the print command going back to a row).
    f.line(9).price->setFocus(Qt::OtherFocusReason);
    QCoreApplication::processEvents();
    QVERIFY(rowInSight(f, 9));
}

void TestFormMainRoutine::restartShowsTheTotalsOfTheRestoredLines()
{
    MainWindowFixture f;
    // Row 4 keeps a stale amount without quantity or price.
    writeSettings(f, {{u"Edit_QTY4"_s, u"0"_s}, {u"Edit_Sales4"_s, u"300"_s}});
    f.start();
    typeNumber(f.line(1).qty, u"2"_s);
    typeNumber(f.line(1).price, u"1500"_s);
    typeNumber(f.line(6).qty, u"1"_s);
    typeNumber(f.line(6).price, u"1000"_s);
    const QStringList typed = totals(f);
    QCOMPARE(typed, (QStringList{u"3"_s, u"4300"_s, u"215"_s, u"4515"_s}));
    // A unit price without quantity, as an older version could store it.
    f.line(3).price->setText(u"500"_s);
    f.stop();
    const QStringList stored = lineKeys(f);

    f.start();
    QCOMPARE(totals(f), typed);
    QCOMPARE(f.line(1).sales->text(), u"3000"_s);
    QCOMPARE(f.line(6).sales->text(), u"1000"_s);
    // Nothing stored is changed by the start-up: the unit price without
    // quantity stays until the pass before printing tells about it.
    QCOMPARE(f.line(3).price->text(), u"500"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
    f.stop();
    QCOMPARE(lineKeys(f), stored);
}

void TestFormMainRoutine::longTextsFromTheFilesAreKeptWhole()
{
    MainWindowFixture f;
    const QString itemNo = QString(55, u'型');
    const QString item = u"とても長い品名のりんごジュース（果汁100%）詰め合わせセット 贈答用の箱入り"_s;
    QVERIFY(item.size() > 36);
    const QString unit = u"ケース（大）"_s + u"入り"_s;
    QVERIFY(unit.size() > 6);
    writeSettings(f, {{u"Edit_ITEMNO1"_s, itemNo}, {u"Edit_ITEM1"_s, item}, {u"Edit_Unit1"_s, unit}});
    writeBytes(
        f.path(u"my0.txt"_s),
        vuzo::EncodeCp932(u"〒100-0001\r\n東京都千代田区架空町1-1\r\n架空ビル2階\r\n架空商店\r\n03-0000-1111\r\n"_s)
            .value());
    f.start();
    QCOMPARE(f.w<QLineEdit>(u"Edit_MyZip"_s)->text(), u"〒100-0001"_s);
    QCOMPARE(f.line(1).itemNo->text(), itemNo);
    QCOMPARE(f.line(1).item->text(), item);
    QCOMPARE(f.line(1).unit->text(), unit);
    f.stop();
    ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
    QCOMPARE(ini.ReadString(kSection, u"OP023MyZip"_s, QString()), u"〒100-0001"_s);
    QCOMPARE(ini.ReadString(kSection, u"Edit_ITEMNO1"_s, QString()), itemNo);
    QCOMPARE(ini.ReadString(kSection, u"Edit_ITEM1"_s, QString()), item);
    QCOMPARE(ini.ReadString(kSection, u"Edit_Unit1"_s, QString()), unit);
}

void TestFormMainRoutine::anotherWindowRunsNoFieldHandlers()
{
    MainWindowFixture f;
    f.start();
    auto *add1 = f.w<QLineEdit>(u"Edit_Add1"_s);
    auto *warning = f.w<QLabel>(u"Label_Warning"_s);
    add1->setText(QString(41, u'あ'));
    focus(add1);
    QVERIFY(!warning->text().isEmpty());
    // Shortened by the program and the caret put at the start: only entering
    // the field again may check the length or move the caret.
    add1->setText(u"東京都"_s);
    add1->setCursorPosition(0);

    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QCoreApplication::processEvents();
    QVERIFY(QApplication::focusWidget() != add1);
    QApplication::setActiveWindow(f.form);
    QCoreApplication::processEvents();
    QCOMPARE(focusName(), u"Edit_Add1"_s);
    QVERIFY(!warning->text().isEmpty());
    QCOMPARE(add1->cursorPosition(), 0);

    // A row keeps its highlight while another window is active.
    focus(f.line(3).item);
    QCOMPARE(f.line(3).item->palette().color(QPalette::Base), kHighlight);
    QApplication::setActiveWindow(&other);
    QCoreApplication::processEvents();
    QCOMPARE(f.line(3).item->palette().color(QPalette::Base), kHighlight);
    QApplication::setActiveWindow(f.form);
    QCoreApplication::processEvents();
    QCOMPARE(f.line(3).item->palette().color(QPalette::Base), kHighlight);
    QCOMPARE(f.form->currentRow(), 3);
    // Moving on within the window leaves the row as always.
    press(Qt::Key_Return);
    QCOMPARE(focusName(), u"ZuNumEdit_QTY3"_s);
    QVERIFY(f.line(3).item->palette().color(QPalette::Base) != kHighlight);
}

void TestFormMainRoutine::fieldLeftWhileInactiveIsLeftOnReturn()
{
    MainWindowFixture f;
    f.start();
    focus(f.line(2).unit);
    QCOMPARE(f.line(2).unit->palette().color(QPalette::Base), kHighlight);
    QWidget other;
    other.show();
    QApplication::setActiveWindow(&other);
    QCoreApplication::processEvents();
    // The program moves the focus while a box or another window is in front.
    f.w(u"Memo1"_s)->setFocus(Qt::OtherFocusReason);
    QApplication::setActiveWindow(f.form);
    QCoreApplication::processEvents();
    QCOMPARE(focusName(), u"Memo1"_s);
    QVERIFY(f.line(2).unit->palette().color(QPalette::Base) != kHighlight);
    QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(),
             u"テキストを貼り付けることができます　７行以内に収めてください"_s);
}

void TestFormMainRoutine::newSlipWithF4_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("byButton");
    QTest::newRow("Yes by the F4 key starts a new slip") << true << false;
    QTest::newRow("Yes by the 新規 button starts a new slip") << true << true;
    QTest::newRow("No keeps the slip") << false << false;
}

void TestFormMainRoutine::newSlipWithF4()
{
    QFETCH(bool, yes);
    QFETCH(bool, byButton);
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    window_test::fillSlip(f.form, {.zip = u"123-4567"_s,
                                   .add1 = u"東京都港区架空町1-2-3"_s,
                                   .add2 = u"架空ハイツ101"_s,
                                   .custo1 = u"山田　太郎"_s,
                                   .tel = u"03-1234-5678"_s});
    f.line(2).itemNo->setText(u"型番"_s);
    f.line(2).item->setText(u"りんご"_s);
    f.line(2).unit->setText(u"箱"_s);
    typeNumber(f.line(2).qty, u"3"_s);
    typeNumber(f.line(2).price, u"1200"_s);
    typeNumber(f.line(7).qty, u"1"_s);
    typeNumber(f.line(7).price, u"500"_s);
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(u"前のお客様のメール"_s);
    f.w<QLineEdit>(u"Edit_My"_s)->setText(u"架空商店"_s);
    f.w<QLineEdit>(u"Edit_TxDisp"_s)->setText(u"1"_s);
    f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->setText(u"42"_s);
    const QStringList before = totals(f);
    QCOMPARE(before, (QStringList{u"4"_s, u"4100"_s, u"205"_s, u"4305"_s}));

    f.dialogs->answer({yes});
    if (byButton)
        f.w<QToolButton>(u"SpeedButton_F4"_s)->click();
    else
        press(Qt::Key_F4);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"新しい伝票にしますか?"_s});

    if (!yes) {
        QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
        QCOMPARE(f.line(2).item->text(), u"りんご"_s);
        QCOMPARE(totals(f), before);
        QCOMPARE(focusName(), u"ZuNumEdit_Price7"_s);
        return;
    }
    for (const QString &name :
         {u"Edit_Zip"_s, u"Edit_Add1"_s, u"Edit_Add2"_s, u"Edit_Add3"_s, u"Edit_Custo1"_s, u"Edit_tel"_s})
        QCOMPARE(f.w<QLineEdit>(name)->text(), QString());
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), QString());
    for (int n = 1; n <= TForm_Main::kRows; ++n) {
        QCOMPARE(f.line(n).itemNo->text(), QString());
        QCOMPARE(f.line(n).item->text(), QString());
        QCOMPARE(f.line(n).unit->text(), QString());
        QCOMPARE(f.line(n).qty->text(), u"0"_s);
        QCOMPARE(f.line(n).price->text(), u"0"_s);
        QCOMPARE(f.line(n).sales->text(), u"0"_s);
    }
    QCOMPARE(totals(f), (QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
    // The sender, the settings and the slip number stay.
    QCOMPARE(f.w<QLineEdit>(u"Edit_My"_s)->text(), u"架空商店"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_TxDisp"_s)->text(), u"1"_s);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_Slipno"_s)->text(), u"42"_s);
    QCOMPARE(f.w<QScrollArea>(u"ScrollBox1"_s)->verticalScrollBar()->value(), 0);
    QCOMPARE(focusName(), u"Memo1"_s);
    // No row stays highlighted from the slip before.
    QVERIFY(f.line(7).price->color() != kHighlight);
}

void TestFormMainRoutine::functionKeysWorkFromThePasteArea_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("asked");
    QTest::newRow("F11 in the paste area asks to print as its button does") << int(Qt::Key_F11) << u"印刷しますか?"_s;
}

void TestFormMainRoutine::functionKeysWorkFromThePasteArea()
{
    QFETCH(int, key);
    QFETCH(QString, asked);
    MainWindowFixture f;
    f.start();
    typeNumber(f.line(1).qty, u"2"_s);
    typeNumber(f.line(1).price, u"300"_s);
    focus(f.w(u"Memo1"_s));
    f.dialogs->answer({false});
    press(key);
    QCOMPARE(f.dialogs->confirms(), QStringList{asked});
    QCOMPARE(int(f.memory->jobs().size()), 0);
}

void TestFormMainRoutine::zeroTotalIsAskedAboutPlainly_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<int>("jobs");
    QTest::newRow("a slip of no amount: the default answer prints nothing") << QList<bool>{} << 0;
}

void TestFormMainRoutine::zeroTotalIsAskedAboutPlainly()
{
    QFETCH(QList<bool>, answers);
    QFETCH(int, jobs);
    MainWindowFixture f;
    f.start();
    f.line(1).item->setText(u"りんご"_s);
    focus(f.w(u"Edit_Zip"_s));
    for (bool answer : answers)
        f.dialogs->answer({answer});
    press(Qt::Key_F11);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text(), u"0"_s);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"請求金額が０円です。このまま印刷しますか?"_s});
    QCOMPARE(int(f.memory->jobs().size()), jobs);
}

void TestFormMainRoutine::linesBeyondThePrintedRowsAreTold_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<int>("jobs");
    QTest::addColumn<QString>("focusAfter");

    const QString row6 = u"6行目に数量が入っていますが、伝票に印刷されるのは4行目までです。\n"
                         u"5行目以降は印刷されないため、伝票に並ぶ明細を足しても税込合計の金額と合いません。"_s;
    const QString print = u"印刷しますか?"_s;
    QTest::newRow("a quantity in row 6: going back, the default, prints nothing")
        << 6 << QList<bool>{} << QStringList{row6} << 0 << u"Edit_item6"_s;
    QTest::newRow("a quantity in row 6: printing anyway asks to print")
        << 6 << QList<bool>{true, true} << QStringList{row6, print} << 1 << QString();
    QTest::newRow("a quantity in row 4 only: no notice")
        << 4 << QList<bool>{true} << QStringList{print} << 1 << QString();
}

void TestFormMainRoutine::linesBeyondThePrintedRowsAreTold()
{
    QFETCH(int, row);
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, asked);
    QFETCH(int, jobs);
    QFETCH(QString, focusAfter);
    MainWindowFixture f;
    f.start();
    typeNumber(f.line(1).qty, u"1"_s);
    typeNumber(f.line(1).price, u"100"_s);
    typeNumber(f.line(row).qty, u"2"_s);
    typeNumber(f.line(row).price, u"50"_s);
    focus(f.w(u"Edit_Zip"_s));
    for (bool answer : answers)
        f.dialogs->answer({answer});
    press(Qt::Key_F11);
    QCOMPARE(f.dialogs->confirms(), asked);
    QCOMPARE(f.dialogs->notices(), QStringList());
    QCOMPARE(int(f.memory->jobs().size()), jobs);
    if (!focusAfter.isEmpty()) {
        QCOMPARE(focusName(), focusAfter);
        QVERIFY(rowInSight(f, row));
    }
}

void TestFormMainRoutine::pasteAreaAndTransferFromTheKeyboard()
{
    MainWindowFixture f;
    f.start();
    auto *guide = f.w<QLabel>(u"Label_KeyGuide"_s);
    QCOMPARE(guide->text(), u"F3:貼り付け欄へ　F6:履歴　F8:一括印刷"_s);
    QVERIFY(guide->isVisible());
    focus(f.line(2).unit);
    press(Qt::Key_F3);
    QCOMPARE(focusName(), u"Memo1"_s);
    QCOMPARE(guide->text(), u"Ctrl+Enter:テキスト転送"_s);

    QApplication::clipboard()->setText(u"〒123-4567\n東京都港区架空町1-2-3\n山田　太郎\nTEL：03-1234-5678"_s);
    press(Qt::Key_V, Qt::ControlModifier);
    press(Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_Custo1"_s)->text(), u"山田　太郎"_s);
    QCOMPARE(f.w<QLineEdit>(u"Edit_tel"_s)->text(), u"03-1234-5678"_s);
    QCOMPARE(focusName(), u"Edit_Zip"_s);
    QCOMPARE(guide->text(), u"F3:貼り付け欄へ　F6:履歴　F8:一括印刷"_s);

    // F3 also brings the slip tab back from the settings.
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    focus(f.w(u"Edit_TxDisp"_s));
    press(Qt::Key_F3);
    QCOMPARE(f.w<QTabWidget>(u"PageControl1"_s)->currentIndex(), 0);
    QCOMPARE(focusName(), u"Memo1"_s);
    // A plain Enter still starts a new line in the paste area.
    f.w<QPlainTextEdit>(u"Memo1"_s)->setPlainText(u"一行目"_s);
    f.w<QPlainTextEdit>(u"Memo1"_s)->moveCursor(QTextCursor::End);
    press(Qt::Key_Return);
    QCOMPARE(f.w<QPlainTextEdit>(u"Memo1"_s)->toPlainText(), u"一行目\n"_s);
}

void TestFormMainRoutine::everyButtonIsReachedWithTab()
{
    MainWindowFixture f;
    // E-Mail is enabled only with a support address.
    {
        QFile ini(f.path(u"vuzo_Vez_1.ini"_s));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[vz_Vez_1prn]\r\nSupportMail=support@example.jp\r\n");
    }
    f.start();
    QStringList reached;
    focus(f.w(u"Edit_Zip"_s));
    for (int i = 0; i < 120; ++i) {
        press(Qt::Key_Tab);
        if (focusName() == u"Edit_Zip"_s)
            break;
        reached << focusName();
    }
    for (const QString &button :
         {u"BitBtn_1"_s, u"BitBtn_WebHelp"_s, u"BitBtn_SendMail"_s, u"BitBtn_MemoCLS"_s, u"BitBtn_CLS"_s})
        QVERIFY2(reached.contains(button), qPrintable(button));
    // The Enter walk still ends in the unit price of row 10, before any button.
    QVERIFY(reached.indexOf(u"ZuNumEdit_Price10"_s) < reached.indexOf(u"BitBtn_CLS"_s));

    // A button reached with Tab is pressed with Enter.
    focus(f.w(u"BitBtn_CLS"_s));
    press(Qt::Key_Return);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"お届け先をクリアますか?"_s});

    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    focus(f.w(u"ComboBox_SEL"_s));
    reached.clear();
    for (int i = 0; i < 20; ++i) {
        press(Qt::Key_Tab);
        reached << focusName();
    }
    for (const QString &name : {u"BitBtn_PrnSet2"_s, u"BitBtn_PrnSet"_s, u"ZuNumEdit_BUSUU"_s})
        QVERIFY2(reached.contains(name), qPrintable(name));
}

void TestFormMainRoutine::copyCountOnTheSettingsTab()
{
    MainWindowFixture f;
    f.start();
    window_test::fillSlip(f.form,
                          {.zip = u"123-4567"_s, .lines = {{.item = u"りんご"_s, .qty = u"1"_s, .price = u"100"_s}}});
    auto *tabs = f.w<QTabWidget>(u"PageControl1"_s);
    auto *copies = f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s);
    tabs->setCurrentIndex(1);
    QVERIFY(copies->isVisible());
    QCOMPARE(copies->text(), u"1"_s);
    // Nothing or 0 prints one copy; two digits at most.
    typeNumber(copies, u"0"_s);
    press(Qt::Key_Tab);
    QCOMPARE(copies->text(), u"1"_s);
    typeNumber(copies, u"123"_s);
    QCOMPARE(copies->text(), u"12"_s);
    typeNumber(copies, u"2"_s);
    press(Qt::Key_Tab);
    tabs->setCurrentIndex(0);
    f.dialogs->answer({true});
    f.w<QToolButton>(u"SpeedButton_F11"_s)->click();
    QCOMPARE(f.memory->jobs().size(), 1);
    QCOMPARE(f.memory->jobs().first().pages.size(), 2);
    // Every start begins with one copy.
    f.stop();
    f.start();
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_BUSUU"_s)->text(), u"1"_s);
}

void TestFormMainRoutine::smallScreenScrollsTheTabs()
{
    MainWindowFixture f;
    f.start();
    // A 1024 x 600 screen with a panel of 30 pixels.
    const QRect available(0, 30, 1024, 570);
    f.form->placeOnScreen(available);
    QCoreApplication::processEvents();
    QVERIFY(f.form->height() < 661);
    QVERIFY(f.form->frameGeometry().height() <= available.height());
    QVERIFY(available.contains(f.form->frameGeometry().topLeft()));

    // The guidance and every function key stay in sight at the bottom.
    for (QWidget *w : {f.w(u"Panel_HelpMess"_s), f.w(u"SpeedButton_F1"_s), f.w(u"SpeedButton_F12"_s)}) {
        const QRect r(w->mapTo(f.form, QPoint(0, 0)), w->size());
        QVERIFY2(f.form->rect().contains(r), qPrintable(w->objectName()));
    }
    // The tabs scroll: a field low on the slip tab comes into sight with the
    // focus, and so does one at the top again.
    auto *tabsBox = f.w<QScrollArea>(u"ScrollBox_Tabs"_s);
    QVERIFY(tabsBox->verticalScrollBar()->maximum() > 0);
    focus(f.w(u"Edit_tel"_s));
    for (int i = 0; i < 4 * 4; ++i)
        press(Qt::Key_Return);
    QCOMPARE(focusName(), u"ZuNumEdit_Price4"_s);
    QVERIFY(inSight(tabsBox, f.line(4).price));
    QVERIFY(rowInSight(f, 4));
    press(Qt::Key_Return);
    QVERIFY(inSight(tabsBox, f.line(5).item));
    QVERIFY(inSight(tabsBox, f.line(5).itemNo));
    QVERIFY(rowInSight(f, 5));
    focus(f.w(u"Edit_Zip"_s));
    QVERIFY(inSight(tabsBox, f.w(u"Edit_Zip"_s)));
    // The whole design can be scrolled to.
    QCOMPARE(tabsBox->verticalScrollBar()->maximum() + tabsBox->viewport()->height(), tabsBox->widget()->height());
}

void TestFormMainRoutine::largeScreenKeepsTheDesign()
{
    MainWindowFixture f;
    f.start();
    f.form->placeOnScreen(QRect(0, 0, 1280, 1024));
    QCoreApplication::processEvents();
    QCOMPARE(f.form->size(), QSize(769, 661));
    auto *tabsBox = f.w<QScrollArea>(u"ScrollBox_Tabs"_s);
    QVERIFY(!tabsBox->verticalScrollBar()->isVisible());
    QVERIFY(!tabsBox->horizontalScrollBar()->isVisible());
    // Every band where the design puts it.
    QCOMPARE(f.w(u"PageControl1"_s)->mapTo(f.form, QPoint(0, 0)), QPoint(0, 3));
    QCOMPARE(f.w(u"Panel_HelpMess"_s)->mapTo(f.form, QPoint(0, 0)), QPoint(0, 587));
    QCOMPARE(f.w(u"Panel_Fnc"_s)->mapTo(f.form, QPoint(0, 0)), QPoint(0, 617));
    QCOMPARE(f.w(u"StatusBar1"_s)->mapTo(f.form, QPoint(0, 0)), QPoint(0, 645));
    // Centred on the screen.
    const QRect frame = f.form->frameGeometry();
    QVERIFY(qAbs(frame.center().x() - 640) <= 8);
    QVERIFY(qAbs(frame.center().y() - 512) <= 24);
}

QTEST_MAIN(TestFormMainRoutine)
#include "tst_formmain_routine.moc"
