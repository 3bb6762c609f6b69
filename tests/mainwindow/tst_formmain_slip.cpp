// The line-item table of the real main window, driven offscreen through the
// keyboard: line amounts and totals, the tax rate and rounding, the current
// row and its highlight, clearing, the row walks, saving and restoring the
// rows through a real settings file, figures too large for their fields, the
// pre-print pass and the input-method choices.

#include "controls/TZuNumEdit.h"
#include "settings/ProfileFile.h"
#include "support/MainWindowFixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
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

// A settings file with the rates of 1997: 3 % before 1 April 1997, 5 % from
// then on, so every slip of today is taxed at 5 %. Further keys may follow.
void writeSettings(MainWindowFixture &f, const QList<std::pair<QString, QString>> &extra = {},
                   const QDate &enforcement = QDate(1997, 4, 1))
{
    ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
    ini.WriteString(kSection, u"TaxOld"_s, u"3"_s);
    ini.WriteString(kSection, u"TaxNew"_s, u"5"_s);
    ini.WriteDate(kSection, u"TaxEnforDate"_s, enforcement);
    for (const auto &[key, value] : extra)
        ini.WriteString(kSection, key, value);
}

// Replaces a numeric field's number by typing, as the operator does.
void typeNumber(TZuNumEdit *field, const QString &keys)
{
    focus(field);
    field->selectAll();
    QTest::keyClicks(field, keys);
    QCoreApplication::processEvents();
}

void typeText(QLineEdit *field, const QString &keys)
{
    focus(field);
    field->selectAll();
    QTest::keyClicks(field, keys);
    QCoreApplication::processEvents();
}

// Whether the input method may compose in the field, asked the way the
// platform's input method asks the focused widget.
bool inputMethodEnabled(QWidget *w)
{
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(w, &query);
    return query.value(Qt::ImEnabled).toBool();
}

QColor background(const QWidget *w)
{
    if (auto *n = qobject_cast<const TZuNumEdit *>(w))
        return n->color();
    return w->palette().color(QPalette::Base);
}

// The row fields that can take the focus, in tab order.
QList<QWidget *> focusableRowFields(const MainWindowFixture &f)
{
    QList<QWidget *> out;
    for (int n = 1; n <= TForm_Main::kRows; ++n) {
        const window_test::LineFields line = f.line(n);
        out << line.item << line.qty << line.unit << line.price;
    }
    return out;
}

QStringList highlightedFields(const MainWindowFixture &f)
{
    QStringList out;
    for (QWidget *w : focusableRowFields(f)) {
        if (background(w) == kHighlight)
            out << w->objectName();
    }
    return out;
}

// The four totals: quantity, amount, tax, amount with tax.
QStringList totals(const MainWindowFixture &f)
{
    QStringList out;
    for (const QString &name : {u"ZuNumEdit_sqty"_s, u"ZuNumEdit_ssal"_s, u"ZuNumEdit_stax"_s, u"ZuNumEdit_sttl"_s})
        out << f.w<TZuNumEdit>(name)->text();
    return out;
}

struct Entry
{
    int row;
    QString qty;
    QString price;
};

} // namespace

Q_DECLARE_METATYPE(QList<Entry>)

class TestFormMainSlip : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void typedLinesGiveAmountsAndTotals_data();
    void typedLinesGiveAmountsAndTotals();
    void priceWithoutQuantityIsEmptiedSilently();
    void roundingCodeDecidesTheTax_data();
    void roundingCodeDecidesTheTax();
    void rateSettingsTakeEffectAtOnce_data();
    void rateSettingsTakeEffectAtOnce();
    void enteringAFieldSetsTheCurrentRow_data();
    void enteringAFieldSetsTheCurrentRow();
    void highlightFollowsTheFocus_data();
    void highlightFollowsTheFocus();
    void clearingTheRowsRaisesNoChangeEvent();
    void rateClassBoxesAreWired();
    void registrationNumberIsTakenOrRefused();
    void clearButtonAsksFirst_data();
    void clearButtonAsksFirst();
    void rowWalks_data();
    void rowWalks();
    void rowsSurviveSaveAndRestore();
    void restoredQuantitiesAreFiltered_data();
    void restoredQuantitiesAreFiltered();
    void restoreReplacesEveryRowField();
    void figuresThatDoNotFit_data();
    void figuresThatDoNotFit();
    void restoredFigureThatDoesNotFitIsToldOnTheScreen();
    void overflowNoticeIsShownOnce();
    void printIsRefusedWhileAFigureDoesNotFit();
    void prePrintPassTellsRowsInOrder();
    void inputMethodChoiceReachesTheRows();
    void unitsWithoutInputMethod();
};

void TestFormMainSlip::typedLinesGiveAmountsAndTotals_data()
{
    QTest::addColumn<QList<Entry>>("entries");
    QTest::addColumn<QStringList>("amounts"); // rows 1..10
    QTest::addColumn<QStringList>("sums");    // sqty, ssal, stax, sttl

    const QStringList none(10, QString());
    QStringList a = none;
    a[0] = u"3600"_s;
    QTest::newRow("three at 1200 make 3600")
        << QList<Entry>{{1, u"3"_s, u"1200"_s}} << a << QStringList{u"3"_s, u"3600"_s, u"180"_s, u"3780"_s};
    a = none;
    a[0] = u"-1000"_s;
    QTest::newRow("minus two at 500 make -1000, counted with the sign")
        << QList<Entry>{{1, u"-2"_s, u"500"_s}} << a << QStringList{u"-2"_s, u"-1000"_s, u"-50"_s, u"-1050"_s};
    a = none;
    a[0] = u"3600"_s;
    a[1] = u"-1000"_s;
    QTest::newRow("both lines add up") << QList<Entry>{{1, u"3"_s, u"1200"_s}, {2, u"-2"_s, u"500"_s}} << a
                                       << QStringList{u"1"_s, u"2600"_s, u"130"_s, u"2730"_s};
    a = none;
    a[4] = u"700"_s;
    a[9] = u"1"_s;
    QTest::newRow("rows 5 and 10 count like the printed rows")
        << QList<Entry>{{5, u"7"_s, u"100"_s}, {10, u"1"_s, u"1"_s}} << a
        << QStringList{u"8"_s, u"701"_s, u"35"_s, u"736"_s};
    a = none;
    QTest::newRow("a quantity without price leaves the amount empty")
        << QList<Entry>{{3, u"4"_s, QString()}} << a << QStringList{u"4"_s, u"0"_s, u"0"_s, u"0"_s};
}

void TestFormMainSlip::typedLinesGiveAmountsAndTotals()
{
    QFETCH(QList<Entry>, entries);
    QFETCH(QStringList, amounts);
    QFETCH(QStringList, sums);
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    QCOMPARE(f.w<QLabel>(u"Label_xTax"_s)->text(), u"0.05"_s);
    for (const Entry &e : entries) {
        typeNumber(f.line(e.row).qty, e.qty);
        if (!e.price.isEmpty())
            typeNumber(f.line(e.row).price, e.price);
    }
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(f.line(n).sales->text(), amounts.at(n - 1));
    QCOMPARE(totals(f), sums);
    QVERIFY(f.dialogs->shown().isEmpty());
    // The field shows the amount grouped.
    if (amounts.at(0) == u"3600")
        QCOMPARE(f.line(1).sales->valText(), u"3,600"_s);
}

void TestFormMainSlip::priceWithoutQuantityIsEmptiedSilently()
{
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    typeNumber(f.line(1).qty, u"2"_s);
    typeNumber(f.line(1).price, u"300"_s);
    QCOMPARE(totals(f), (QStringList{u"2"_s, u"600"_s, u"30"_s, u"630"_s}));

    typeNumber(f.line(3).price, u"5"_s);
    QCOMPARE(f.line(3).price->text(), QString());
    QCOMPARE(f.line(3).sales->text(), QString());
    QVERIFY(f.dialogs->shown().isEmpty());
    // The other rows and the totals are as before.
    QCOMPARE(f.line(1).sales->text(), u"600"_s);
    QCOMPARE(totals(f), (QStringList{u"2"_s, u"600"_s, u"30"_s, u"630"_s}));

    // Emptying the quantity of a priced row empties its price and amount too.
    focus(f.line(1).qty);
    f.line(1).qty->clearSelect(); // the caret after the number, nothing selected
    QCOMPARE(f.line(1).qty->text(), u"2"_s);
    QTest::keyClick(f.line(1).qty, Qt::Key_Backspace);
    QCOMPARE(f.line(1).qty->text(), QString());
    QCOMPARE(f.line(1).price->text(), QString());
    QCOMPARE(f.line(1).sales->text(), QString());
    QCOMPARE(totals(f), (QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainSlip::roundingCodeDecidesTheTax_data()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("tax");
    QTest::addColumn<QString>("total");
    QTest::newRow("1001 at 5%, code 0 truncates 50.05") << u"1"_s << u"1001"_s << u"0"_s << u"50"_s << u"1051"_s;
    QTest::newRow("1001 at 5%, code 1 rounds 50.05 down") << u"1"_s << u"1001"_s << u"1"_s << u"50"_s << u"1051"_s;
    QTest::newRow("1001 at 5%, code 2 leaves a fraction under 0.1")
        << u"1"_s << u"1001"_s << u"2"_s << u"50"_s << u"1051"_s;
    QTest::newRow("1002 at 5%, code 0 truncates 50.1") << u"1"_s << u"1002"_s << u"0"_s << u"50"_s << u"1052"_s;
    QTest::newRow("1002 at 5%, code 1 rounds 50.1 down") << u"1"_s << u"1002"_s << u"1"_s << u"50"_s << u"1052"_s;
    QTest::newRow("1002 at 5%, code 2 raises 50.1") << u"1"_s << u"1002"_s << u"2"_s << u"51"_s << u"1053"_s;
    QTest::newRow("1010 at 5%, code 0 truncates 50.5") << u"1"_s << u"1010"_s << u"0"_s << u"50"_s << u"1060"_s;
    QTest::newRow("1010 at 5%, code 1 rounds the half up") << u"1"_s << u"1010"_s << u"1"_s << u"51"_s << u"1061"_s;
    QTest::newRow("1010 at 5%, code 2 raises 50.5") << u"1"_s << u"1010"_s << u"2"_s << u"51"_s << u"1061"_s;
    QTest::newRow("-1010 at 5%, code 0 truncates toward zero")
        << u"-1"_s << u"1010"_s << u"0"_s << u"-50"_s << u"-1060"_s;
    QTest::newRow("-1010 at 5%, code 1 rounds away from zero")
        << u"-1"_s << u"1010"_s << u"1"_s << u"-51"_s << u"-1061"_s;
    QTest::newRow("-1010 at 5%, code 2 raises the magnitude")
        << u"-1"_s << u"1010"_s << u"2"_s << u"-51"_s << u"-1061"_s;
    QTest::newRow("code 3 gives no tax") << u"1"_s << u"1010"_s << u"3"_s << u"0"_s << u"1010"_s;
    QTest::newRow("an empty code gives no tax") << u"1"_s << u"1010"_s << QString() << u"0"_s << u"1010"_s;
}

void TestFormMainSlip::roundingCodeDecidesTheTax()
{
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(QString, code);
    QFETCH(QString, tax);
    QFETCH(QString, total);
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    auto *rounding = f.w<QLineEdit>(u"Edit_TxDisp"_s);
    focus(rounding);
    QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(), u"消費税端数 0:切捨て 1:四捨五入 2:切上げ"_s);
    rounding->selectAll();
    if (code.isEmpty())
        QTest::keyClick(rounding, Qt::Key_Backspace);
    else
        QTest::keyClicks(rounding, code);
    QCOMPARE(rounding->text(), code);
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
    typeNumber(f.line(2).qty, qty);
    typeNumber(f.line(2).price, price);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_stax"_s)->text(), tax);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text(), total);
}

void TestFormMainSlip::rateSettingsTakeEffectAtOnce_data()
{
    QTest::addColumn<QDate>("storedEnforcement");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("enforcementDays"); // from today, for the date field
    QTest::addColumn<QString>("xTax");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tax"); // of an amount total of 1000, code 0

    const QDate y1997(1997, 4, 1);
    const QDate tomorrow = QDate::currentDate().addDays(1);
    QTest::newRow("a new rate of 10 typed applies at once")
        << y1997 << u"ZuNumEdit_TaxNew"_s << u"10"_s << 0 << u"0.1"_s << u"消費税 10%"_s << u"100"_s;
    QTest::newRow("a new rate of 2.5 typed applies at once")
        << y1997 << u"ZuNumEdit_TaxNew"_s << u"2.5"_s << 0 << u"0.025"_s << u"消費税 2.5%"_s << u"25"_s;
    QTest::newRow("the old rate typed changes nothing while the new one is in force")
        << y1997 << u"ZuNumEdit_TaxOld"_s << u"8"_s << 0 << u"0.05"_s << u"消費税 5%"_s << u"50"_s;
    QTest::newRow("the old rate typed applies while the new one is not yet in force")
        << tomorrow << u"ZuNumEdit_TaxOld"_s << u"8"_s << 0 << u"0.08"_s << u"消費税 8%"_s << u"80"_s;
    QTest::newRow("an enforcement date of tomorrow brings the old rate back")
        << y1997 << u"DateTimePicker_TaxEnforDate"_s << QString() << 1 << u"0.03"_s << u"消費税 3%"_s << u"30"_s;
    QTest::newRow("an enforcement date of today puts the new rate in force")
        << tomorrow << u"DateTimePicker_TaxEnforDate"_s << QString() << 0 << u"0.05"_s << u"消費税 5%"_s << u"50"_s;
}

void TestFormMainSlip::rateSettingsTakeEffectAtOnce()
{
    QFETCH(QDate, storedEnforcement);
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(int, enforcementDays);
    QFETCH(QString, xTax);
    QFETCH(QString, caption);
    QFETCH(QString, tax);
    MainWindowFixture f;
    writeSettings(f, {}, storedEnforcement);
    f.start();
    typeNumber(f.line(1).qty, u"1"_s);
    typeNumber(f.line(1).price, u"1000"_s);
    const QString before = f.w<TZuNumEdit>(u"ZuNumEdit_stax"_s)->text();
    QCOMPARE(before, storedEnforcement == QDate(1997, 4, 1) ? u"50"_s : u"30"_s);

    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(2);
    if (field == u"DateTimePicker_TaxEnforDate")
        f.w<QDateEdit>(u"DateTimePicker_TaxEnforDate"_s)->setDate(QDate::currentDate().addDays(enforcementDays));
    else
        typeNumber(f.w<TZuNumEdit>(field), typed);

    QCOMPARE(f.w<QLabel>(u"Label_xTax"_s)->text(), xTax);
    QCOMPARE(f.w<QLabel>(u"Label_stax"_s)->text(), caption);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_stax"_s)->text(), tax);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text(), QString::number(1000 + tax.toInt()));
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainSlip::enteringAFieldSetsTheCurrentRow_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("help");
    QTest::newRow("unit price of row 10 is row 10") << u"ZuNumEdit_Price10"_s << 10 << u"単価を入力してください"_s;
    QTest::newRow("item name 2 of row 3 is row 3") << u"Edit_item3"_s << 3 << u"品名2を入力してください"_s;
    QTest::newRow("item name 2 of row 10 is row 10") << u"Edit_item10"_s << 10 << u"品名2を入力してください"_s;
    QTest::newRow("quantity of row 1 is row 1")
        << u"ZuNumEdit_QTY1"_s << 1 << u"数量を入力してください (数量が０の行は印字されません)"_s;
    QTest::newRow("quantity of row 10 is row 10")
        << u"ZuNumEdit_QTY10"_s << 10 << u"数量を入力してください (数量が０の行は印字されません)"_s;
    QTest::newRow("unit of row 7 is row 7") << u"Edit_unit7"_s << 7 << u"単位名を入力してください"_s;
    QTest::newRow("unit price of row 1 is row 1") << u"ZuNumEdit_Price1"_s << 1 << u"単価を入力してください"_s;
}

void TestFormMainSlip::enteringAFieldSetsTheCurrentRow()
{
    QFETCH(QString, field);
    QFETCH(int, row);
    QFETCH(QString, help);
    MainWindowFixture f;
    f.start();
    QCOMPARE(f.form->currentRow(), 0); // no line entered yet
    f.w<QLabel>(u"Label_d_i"_s)->setText(u"sentinel"_s);
    focus(f.w(field));
    QCOMPARE(focusName(), field);
    QCOMPARE(f.form->currentRow(), row);
    QCOMPARE(f.w<QLabel>(u"Label_d_i"_s)->text(), QString::number(row));
    QCOMPARE(f.w<QLabel>(u"Panel_HelpMess"_s)->text(), help);
}

void TestFormMainSlip::highlightFollowsTheFocus_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("to");
    QTest::newRow("quantity 2 to unit 2 with Tab") << u"ZuNumEdit_QTY2"_s << int(Qt::Key_Tab) << u"Edit_unit2"_s;
    QTest::newRow("unit price 1 to item name 2 of row 2 with Enter")
        << u"ZuNumEdit_Price1"_s << int(Qt::Key_Return) << u"Edit_item2"_s;
    QTest::newRow("item name 2 of row 3 to row 4 with Down") << u"Edit_item3"_s << int(Qt::Key_Down) << u"Edit_item4"_s;
    QTest::newRow("item name 2 of row 1 to the telephone with Up")
        << u"Edit_item1"_s << int(Qt::Key_Up) << u"Edit_tel"_s;
}

void TestFormMainSlip::highlightFollowsTheFocus()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(QString, to);
    MainWindowFixture f;
    f.start();
    const QColor normal = background(f.w<QLineEdit>(u"Edit_Zip"_s));
    QVERIFY(normal != kHighlight);
    QCOMPARE(highlightedFields(f), QStringList());

    focus(f.w(from));
    QCOMPARE(highlightedFields(f), QStringList{from});
    press(key);
    QCOMPARE(focusName(), to);
    const QStringList expected = to.startsWith(u"Edit_tel") ? QStringList() : QStringList{to};
    QCOMPARE(highlightedFields(f), expected);
    QCOMPARE(background(f.w(from)), normal);
}

// The rate-class box is reached with Tab, toggled with Space, taxes its row
// at the reduced rate with one line per rate under the totals, is stored with
// the lines and cleared with them.
void TestFormMainSlip::rateClassBoxesAreWired()
{
    MainWindowFixture f;
    writeSettings(f, {{u"TaxOld"_s, u"8"_s}, {u"TaxNew"_s, u"10"_s}}, QDate(2019, 10, 1));
    f.start();
    typeNumber(f.line(1).qty, u"2"_s);
    typeNumber(f.line(1).price, u"1500"_s);
    typeNumber(f.line(2).qty, u"1"_s);
    typeNumber(f.line(2).price, u"1000"_s);
    auto *label = f.w<QLabel>(u"Label_RateShares"_s);
    QVERIFY(label->isHidden());
    QCOMPARE(totals(f), (QStringList{u"3"_s, u"4000"_s, u"400"_s, u"4400"_s}));

    focus(f.line(1).price);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto *box = f.w<QCheckBox>(u"CheckBox_Reduced1"_s);
    QCOMPARE(QApplication::focusWidget(), box);
    QCOMPARE(box->accessibleName(), u"軽減税率 1"_s);
    QTest::keyClick(box, Qt::Key_Space);
    QVERIFY(box->isChecked());
    QCOMPARE(totals(f), (QStringList{u"3"_s, u"4000"_s, u"340"_s, u"4340"_s}));
    QVERIFY(!label->isHidden());
    QCOMPARE(label->text(), u"10%対象 1,000円　消費税 100円\n8%対象 3,000円　消費税 240円"_s);

    f.w<QPushButton>(u"SpeedButton_ini_s2w"_s)->click();
    QCOMPARE(ProfileFile(f.path(u"vuzo_Vez_1.ini"_s)).ReadString(kSection, u"TaxClass1"_s, {}), u"1"_s);
    f.form->Edit_CLS2();
    QVERIFY(!box->isChecked());
    QVERIFY(label->isHidden());
}

// 登録番号 takes a full-width typing in its one writing, refuses anything
// else with a message and keeps the number it had.
void TestFormMainSlip::registrationNumberIsTakenOrRefused()
{
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    auto *field = f.w<QLineEdit>(u"Edit_InvoiceRegNo"_s);
    field->setText(u"Ｔ１２３４－５６７８－９０１２３"_s);
    Q_EMIT field->editingFinished();
    QCOMPARE(field->text(), u"T1234567890123"_s);
    QVERIFY(f.dialogs->shown().isEmpty());
    field->setText(u"T12345"_s);
    Q_EMIT field->editingFinished();
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY(f.dialogs->notices().first().startsWith(u"登録番号は「T」と13桁"_s));
    QCOMPARE(field->text(), u"T1234567890123"_s);
    f.stop();
    QCOMPARE(ProfileFile(f.path(u"vuzo_Vez_1.ini"_s)).ReadString(kSection, u"InvoiceRegNo"_s, {}), u"T1234567890123"_s);
}

void TestFormMainSlip::clearingTheRowsRaisesNoChangeEvent()
{
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    for (int n = 1; n <= 10; ++n) {
        f.line(n).itemNo->setText(u"品名一"_s);
        typeText(f.line(n).item, u"item"_s);
        typeText(f.line(n).unit, u"kg"_s);
        typeNumber(f.line(n).qty, QString::number(n));
        typeNumber(f.line(n).price, u"100"_s);
    }
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_ssal"_s)->text(), u"5500"_s);
    QScrollBar *scroll = f.w<QScrollArea>(u"ScrollBox1"_s)->verticalScrollBar();
    scroll->setValue(scroll->maximum());
    QVERIFY(scroll->value() > 0);

    QList<std::shared_ptr<QSignalSpy>> spies;
    for (int n = 1; n <= 10; ++n) {
        for (TZuNumEdit *w : {f.line(n).qty, f.line(n).price, f.line(n).sales})
            spies << std::make_shared<QSignalSpy>(w, &TZuNumEdit::changed);
    }
    f.dialogs->clear();
    f.form->Edit_CLS2();
    for (const auto &spy : spies)
        QCOMPARE(spy->count(), 0);
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(f.line(n).itemNo->text(), QString());
        QCOMPARE(f.line(n).item->text(), QString());
        QCOMPARE(f.line(n).unit->text(), QString());
        QCOMPARE(f.line(n).qty->text(), u"0"_s);
        QCOMPARE(f.line(n).price->text(), u"0"_s);
        QCOMPARE(f.line(n).sales->text(), u"0"_s);
    }
    QCOMPARE(totals(f), (QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}));
    QCOMPARE(scroll->value(), 0);
    QVERIFY(f.dialogs->shown().isEmpty());
}

void TestFormMainSlip::clearButtonAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("No keeps every field") << false;
    QTest::newRow("Yes empties the delivery address only") << true;
}

void TestFormMainSlip::clearButtonAsksFirst()
{
    QFETCH(bool, yes);
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    f.line(1).item->setText(u"りんご"_s);
    typeNumber(f.line(1).qty, u"3"_s);
    typeNumber(f.line(1).price, u"1200"_s);
    f.w<QLineEdit>(u"Edit_Zip"_s)->setText(u"123-4567"_s);
    f.w<QLineEdit>(u"Edit_Add1"_s)->setText(QString(41, u'架'));
    f.w<QLineEdit>(u"Edit_Add2"_s)->setText(u"架空ハイツ"_s);
    f.w<QLineEdit>(u"Edit_Add3"_s)->setText(u"101号室"_s);
    f.w<QLineEdit>(u"Edit_Custo1"_s)->setText(u"山田　太郎"_s);
    f.w<QLineEdit>(u"Edit_tel"_s)->setText(u"03-1234-5678"_s);
    focus(f.w<QLineEdit>(u"Edit_Add1"_s));
    QVERIFY(!f.w<QLabel>(u"Label_Warning"_s)->text().isEmpty());
    f.w<QLineEdit>(u"Edit_My"_s)->setText(u"発送商店"_s);
    const QStringList sumsBefore = totals(f);

    f.dialogs->answer({yes});
    QTest::mouseClick(f.w<QToolButton>(u"BitBtn_CLS"_s), Qt::LeftButton);
    QCOMPARE(f.dialogs->confirms(), QStringList{u"お届け先をクリアますか?"_s});
    if (yes) {
        for (const QString &name :
             {u"Edit_Zip"_s, u"Edit_Add1"_s, u"Edit_Add2"_s, u"Edit_Add3"_s, u"Edit_Custo1"_s, u"Edit_tel"_s})
            QCOMPARE(f.w<QLineEdit>(name)->text(), QString());
        QCOMPARE(f.w<QLabel>(u"Label_Warning"_s)->text(), QString());
    } else {
        QCOMPARE(f.w<QLineEdit>(u"Edit_Zip"_s)->text(), u"123-4567"_s);
        QCOMPARE(f.w<QLineEdit>(u"Edit_Add1"_s)->text(), QString(41, u'架'));
        QCOMPARE(f.w<QLineEdit>(u"Edit_Add3"_s)->text(), u"101号室"_s);
        QCOMPARE(f.w<QLineEdit>(u"Edit_tel"_s)->text(), u"03-1234-5678"_s);
        QVERIFY(!f.w<QLabel>(u"Label_Warning"_s)->text().isEmpty());
    }
    QCOMPARE(f.w<QLineEdit>(u"Edit_My"_s)->text(), u"発送商店"_s);
    QCOMPARE(f.line(1).item->text(), u"りんご"_s);
    QCOMPARE(f.line(1).sales->text(), u"3600"_s);
    QCOMPARE(totals(f), sumsBefore);
}

void TestFormMainSlip::rowWalks_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("to");
    const int none = Qt::NoModifier;
    QTest::newRow("Tab from the telephone enters row 1")
        << u"Edit_tel"_s << int(Qt::Key_Tab) << none << u"Edit_item1"_s;
    QTest::newRow("Tab from item name 2 goes to the quantity")
        << u"Edit_item1"_s << int(Qt::Key_Tab) << none << u"ZuNumEdit_QTY1"_s;
    QTest::newRow("Tab from the quantity goes to the unit")
        << u"ZuNumEdit_QTY1"_s << int(Qt::Key_Tab) << none << u"Edit_unit1"_s;
    QTest::newRow("Tab from the unit goes to the unit price")
        << u"Edit_unit1"_s << int(Qt::Key_Tab) << none << u"ZuNumEdit_Price1"_s;
    QTest::newRow("Tab from unit price 1 skips the amount to its rate class")
        << u"ZuNumEdit_Price1"_s << int(Qt::Key_Tab) << none << u"CheckBox_Reduced1"_s;
    QTest::newRow("Shift+Tab from row 2 goes back to the rate class 1")
        << u"Edit_item2"_s << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << u"CheckBox_Reduced1"_s;
    QTest::newRow("Tab from the rate class 9 goes to row 10")
        << u"CheckBox_Reduced9"_s << int(Qt::Key_Tab) << none << u"Edit_item10"_s;
    QTest::newRow("Shift+Tab from row 1 goes back to the telephone")
        << u"Edit_item1"_s << int(Qt::Key_Backtab) << int(Qt::ShiftModifier) << u"Edit_tel"_s;
    QTest::newRow("Down in row 1 goes to row 2") << u"Edit_item1"_s << int(Qt::Key_Down) << none << u"Edit_item2"_s;
    QTest::newRow("Down in row 3 goes to row 4") << u"Edit_item3"_s << int(Qt::Key_Down) << none << u"Edit_item4"_s;
    QTest::newRow("Down in row 4 stops at the last printed row")
        << u"Edit_item4"_s << int(Qt::Key_Down) << none << u"Edit_item4"_s;
    QTest::newRow("Down in row 5 goes to row 6") << u"Edit_item5"_s << int(Qt::Key_Down) << none << u"Edit_item6"_s;
    QTest::newRow("Down in row 9 goes to row 10") << u"Edit_item9"_s << int(Qt::Key_Down) << none << u"Edit_item10"_s;
    QTest::newRow("Down in row 10 stays") << u"Edit_item10"_s << int(Qt::Key_Down) << none << u"Edit_item10"_s;
    QTest::newRow("Up in row 1 goes to the telephone") << u"Edit_item1"_s << int(Qt::Key_Up) << none << u"Edit_tel"_s;
    QTest::newRow("Up in row 2 goes to row 1") << u"Edit_item2"_s << int(Qt::Key_Up) << none << u"Edit_item1"_s;
    QTest::newRow("Up in row 5 goes to row 4") << u"Edit_item5"_s << int(Qt::Key_Up) << none << u"Edit_item4"_s;
    QTest::newRow("Up in row 10 goes to row 9") << u"Edit_item10"_s << int(Qt::Key_Up) << none << u"Edit_item9"_s;
    QTest::newRow("Enter in item name 2 goes to the quantity")
        << u"Edit_item3"_s << int(Qt::Key_Return) << none << u"ZuNumEdit_QTY3"_s;
    QTest::newRow("Enter in the unit price of row 10 stays")
        << u"ZuNumEdit_Price10"_s << int(Qt::Key_Return) << none << u"ZuNumEdit_Price10"_s;
}

void TestFormMainSlip::rowWalks()
{
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, to);
    MainWindowFixture f;
    f.start();
    focus(f.w(from));
    QCOMPARE(focusName(), from);
    press(key, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(focusName(), to);
}

void TestFormMainSlip::rowsSurviveSaveAndRestore()
{
    MainWindowFixture f;
    writeSettings(f);
    f.start();
    struct Row
    {
        QString itemNo, item, qty, unit, price, sales;
    };
    QList<Row> rows;
    for (int n = 1; n <= 10; ++n) {
        const QString k = QString::number(n);
        rows << Row{u"品名一の"_s + k, u"品名二の"_s + k, QString(), u"個"_s + k, QString(), QString()};
    }
    rows[0].qty = u"1200"_s;
    rows[0].price = u"3"_s;
    rows[1].qty = u"-2"_s;
    rows[1].price = u"500"_s;
    rows[9].qty = u"12345678"_s;
    rows[9].price = u"1"_s;
    for (int n = 1; n <= 10; ++n) {
        const Row &r = rows[n - 1];
        // Item names and units are plain text fields without change
        // handling; only the numbers are typed.
        f.line(n).itemNo->setText(r.itemNo);
        f.line(n).item->setText(r.item);
        f.line(n).unit->setText(r.unit);
        if (!r.qty.isEmpty()) {
            typeNumber(f.line(n).qty, r.qty);
            typeNumber(f.line(n).price, r.price);
        }
    }
    QCOMPARE(f.line(1).qty->valText(), u"1,200"_s);
    QCOMPARE(f.line(1).sales->text(), u"3600"_s);
    QStringList before;
    for (int n = 1; n <= 10; ++n) {
        before << f.line(n).itemNo->text() << f.line(n).item->text() << f.line(n).qty->text() << f.line(n).unit->text()
               << f.line(n).price->text() << f.line(n).sales->text();
    }

    f.w<QPushButton>(u"SpeedButton_ini_s2w"_s)->click();
    {
        ProfileFile ini(f.path(u"vuzo_Vez_1.ini"_s));
        QCOMPARE(ini.ReadString(kSection, u"Edit_QTY1"_s, u"?"_s), u"1200"_s);
        QCOMPARE(ini.ReadString(kSection, u"Edit_Sales2"_s, u"?"_s), u"-1000"_s);
        QCOMPARE(ini.ReadString(kSection, u"Edit_ITEMNO10"_s, u"?"_s), u"品名一の10"_s);
        QCOMPARE(ini.ReadString(kSection, u"Edit_Unit3"_s, u"?"_s), u"個3"_s);
    }
    f.form->Edit_CLS2();
    QCOMPARE(f.line(1).qty->text(), u"0"_s);
    const QStringList sums = totals(f);

    f.w<QPushButton>(u"SpeedButton_ini_s2r"_s)->click();
    QStringList after;
    for (int n = 1; n <= 10; ++n) {
        after << f.line(n).itemNo->text() << f.line(n).item->text() << f.line(n).qty->text() << f.line(n).unit->text()
              << f.line(n).price->text() << f.line(n).sales->text();
    }
    QCOMPARE(after, before);
    QCOMPARE(f.line(1).qty->valText(), u"1,200"_s);
    // The restore does not recalculate: the totals stay as they were.
    QCOMPARE(totals(f), sums);
    QVERIFY(f.dialogs->errors().isEmpty());
}

void TestFormMainSlip::restoredQuantitiesAreFiltered_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("quantityTotal");
    QTest::newRow("ten digits are cut to the first nine") << u"1234567890"_s << u"123456789"_s << u"246913578"_s;
    // Twice nine nines do not fit the total field, which then shows nothing.
    QTest::newRow("nine digits are kept") << u"999999999"_s << u"999999999"_s << QString();
    QTest::newRow("one digit is kept") << u"7"_s << u"7"_s << u"14"_s;
    QTest::newRow("an empty value shows nothing") << QString() << QString() << u"0"_s;
}

void TestFormMainSlip::restoredQuantitiesAreFiltered()
{
    QFETCH(QString, stored);
    QFETCH(QString, shown);
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_QTY1"_s, stored}, {u"Edit_QTY10"_s, stored}});
    f.start();
    QCOMPARE(f.line(1).qty->text(), shown);
    QCOMPARE(f.line(10).qty->text(), shown);
    // Start-up adds up the restored lines.
    QFETCH(QString, quantityTotal);
    QCOMPARE(totals(f).first(), quantityTotal);
}

void TestFormMainSlip::restoreReplacesEveryRowField()
{
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_ITEM2"_s, u"保存された品名"_s}});
    f.start();
    for (int n = 1; n <= 10; ++n) {
        f.line(n).itemNo->setText(u"x"_s);
        f.line(n).item->setText(u"x"_s);
        f.line(n).unit->setText(u"x"_s);
        f.line(n).qty->setText(u"5"_s);
        f.line(n).price->setText(u"5"_s);
        f.line(n).sales->setText(u"25"_s);
    }
    f.w<QPushButton>(u"SpeedButton_ini_s2r"_s)->click();
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(f.line(n).itemNo->text(), QString());
        QCOMPARE(f.line(n).item->text(), n == 2 ? u"保存された品名"_s : QString());
        QCOMPARE(f.line(n).unit->text(), QString());
        QCOMPARE(f.line(n).qty->text(), QString());
        QCOMPARE(f.line(n).price->text(), QString());
        QCOMPARE(f.line(n).sales->text(), QString());
    }
}

// Nine-digit numbers come from the settings file: typed, the ninth digit of
// 999999999 does not fit the field's width in the fonts of this platform, and
// the field refuses it.
void TestFormMainSlip::figuresThatDoNotFit_data()
{
    QTest::addColumn<QString>("storedPrice");
    QTest::addColumn<QString>("typedQty");
    QTest::addColumn<QString>("amount");
    QTest::addColumn<QString>("total");
    QTest::addColumn<QStringList>("notices");
    QTest::newRow("1 x 999999999 fits the line, the total with tax does not")
        << u"999999999"_s << u"1"_s << u"999999999"_s << QString()
        << QStringList{u"税込合計が大きすぎます。９桁以内になるように明細を直してください"_s};
    QTest::newRow("2 x 999999999 does not fit the line")
        << u"999999999"_s << u"2"_s << QString() << u"0"_s
        << QStringList{u"1行目の金額が大きすぎます。９桁以内にしてください"_s};
    QTest::newRow("the largest total with tax that fits")
        << u"952380952"_s << u"1"_s << u"952380952"_s << u"999999999"_s << QStringList();
    QTest::newRow("the first total with tax that does not fit")
        << u"952380953"_s << u"1"_s << u"952380953"_s << QString()
        << QStringList{u"税込合計が大きすぎます。９桁以内になるように明細を直してください"_s};
}

void TestFormMainSlip::figuresThatDoNotFit()
{
    QFETCH(QString, storedPrice);
    QFETCH(QString, typedQty);
    QFETCH(QString, amount);
    QFETCH(QString, total);
    QFETCH(QStringList, notices);
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_Price1"_s, storedPrice}});
    f.start();
    QCOMPARE(f.line(1).price->text(), storedPrice);
    typeNumber(f.line(1).qty, typedQty);
    QCOMPARE(f.line(1).sales->text(), amount);
    QCOMPARE(f.w<TZuNumEdit>(u"ZuNumEdit_sttl"_s)->text(), total);
    QCOMPARE(f.dialogs->notices(), notices);
    QCOMPARE(f.form->AmountOverflowNotices(), notices);
}

// The start-up's notice waits until the window is on the screen.
void TestFormMainSlip::restoredFigureThatDoesNotFitIsToldOnTheScreen()
{
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_QTY1"_s, u"2"_s}, {u"Edit_Price1"_s, u"999999999"_s}});
    f.start();
    QCOMPARE(f.dialogs->shown().size(), 1);
    const ScriptedDialogs::Shown notice = f.dialogs->shown().first();
    QVERIFY2(notice.text.startsWith(u"1行目の金額が大きすぎます"_s), qPrintable(notice.text));
    QVERIFY(notice.windowExposed);
}

void TestFormMainSlip::overflowNoticeIsShownOnce()
{
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_Price3"_s, u"999999999"_s}});
    f.start();
    typeNumber(f.line(3).qty, u"2"_s);
    const QString rowNotice = u"3行目の金額が大きすぎます。９桁以内にしてください"_s;
    QCOMPARE(f.dialogs->notices(), QStringList{rowNotice});
    QCOMPARE(f.line(3).sales->text(), QString());
    // Further edits while the row still does not fit say nothing new.
    QTest::keyClicks(f.line(3).qty, u"0"_s);
    QCOMPARE(f.line(3).qty->text(), u"20"_s);
    typeNumber(f.line(1).qty, u"4"_s);
    QCOMPARE(f.dialogs->notices(), QStringList{rowNotice});
    QCOMPARE(f.line(3).sales->text(), QString());
    // Once the row fits its notice is gone; a new overflow is told again.
    typeNumber(f.line(3).qty, u"1"_s);
    QCOMPARE(f.line(3).sales->text(), u"999999999"_s);
    QVERIFY(!f.form->AmountOverflowNotices().contains(rowNotice));
    typeNumber(f.line(3).qty, u"3"_s);
    QCOMPARE(f.line(3).sales->text(), QString());
    QCOMPARE(f.dialogs->notices().count(rowNotice), 2);
}

void TestFormMainSlip::printIsRefusedWhileAFigureDoesNotFit()
{
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_Price1"_s, u"999999999"_s}});
    f.start();
    typeNumber(f.line(1).qty, u"2"_s);
    f.dialogs->clear();
    f.dialogs->answer({true});
    QTest::keyClick(f.line(1).qty, Qt::Key_F11);
    QCoreApplication::processEvents();
    QCOMPARE(f.dialogs->confirms(), QStringList());
    QCOMPARE(f.dialogs->notices().size(), 1);
    QVERIFY(f.dialogs->notices().first().startsWith(u"1行目の金額が大きすぎます。９桁以内にしてください"_s));
    QVERIFY(f.dialogs->notices().first().endsWith(u"印刷できません。"_s));
    QCOMPARE(f.memory->jobs().size(), 0);

    // Bringing the row back within nine digits lets the print command ask.
    typeNumber(f.line(1).price, u"3"_s);
    QCOMPARE(f.line(1).sales->text(), u"6"_s);
    f.dialogs->clear();
    f.dialogs->answer({false});
    f.w<QToolButton>(u"SpeedButton_F11"_s)->click();
    QCOMPARE(f.dialogs->confirms(), QStringList{u"印刷しますか?"_s});
    QCOMPARE(f.dialogs->notices(), QStringList());
}

void TestFormMainSlip::prePrintPassTellsRowsInOrder()
{
    MainWindowFixture f;
    writeSettings(f, {{u"Edit_QTY1"_s, u"2"_s},
                      {u"Edit_Price1"_s, u"100"_s},
                      {u"Edit_Sales1"_s, u"200"_s},
                      {u"Edit_QTY2"_s, u"0"_s},
                      {u"Edit_Price2"_s, u"500"_s},
                      {u"Edit_Sales2"_s, u"0"_s},
                      {u"Edit_QTY3"_s, u"0"_s},
                      {u"Edit_Price3"_s, u"0"_s},
                      {u"Edit_Sales3"_s, u"300"_s},
                      {u"Edit_Price7"_s, u"70"_s}});
    f.start();
    // Start-up adds up the lines as stored: a price without quantity and a
    // stale amount stay until the pass before printing.
    QCOMPARE(f.line(2).price->text(), u"500"_s);
    QCOMPARE(totals(f), (QStringList{u"2"_s, u"500"_s, u"25"_s, u"525"_s}));
    f.dialogs->answer({false});
    QTest::keyClick(f.w<QLineEdit>(u"Edit_Zip"_s), Qt::Key_F11);
    QCoreApplication::processEvents();

    const QList<ScriptedDialogs::Shown> &shown = f.dialogs->shown();
    QCOMPARE(shown.size(), 3);
    QCOMPARE(shown[0].kind, ScriptedDialogs::Kind::Notice);
    QCOMPARE(shown[0].text, u"2行目　数量の入力がないので、単価を０にします"_s);
    QCOMPARE(shown[1].kind, ScriptedDialogs::Kind::Notice);
    QCOMPARE(shown[1].text, u"7行目　数量の入力がないので、単価を０にします"_s);
    QCOMPARE(shown[2].kind, ScriptedDialogs::Kind::Confirm);
    QCOMPARE(shown[2].text, u"印刷しますか?"_s);
    for (int n : {2, 7}) {
        QCOMPARE(f.line(n).price->text(), QString());
        QCOMPARE(f.line(n).sales->text(), QString());
    }
    // The stale amount of a row without quantity or price is dropped.
    QCOMPARE(f.line(3).sales->text(), QString());
    QCOMPARE(f.line(1).sales->text(), u"200"_s);
    QCOMPARE(totals(f), (QStringList{u"2"_s, u"200"_s, u"10"_s, u"210"_s}));
    QCOMPARE(f.memory->jobs().size(), 0);
    QCOMPARE(focusName(), u"Memo1"_s);
}

void TestFormMainSlip::inputMethodChoiceReachesTheRows()
{
    MainWindowFixture f;
    f.start();
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(f.line(n).item->property("imeMode").toInt(), 0);
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    auto *imeItem = f.w<QComboBox>(u"ComboBox_ime_Item"_s);
    imeItem->setCurrentIndex(imeItem->findText(u"6:かな全角"_s));
    QCOMPARE(imeItem->currentIndex(), 6);
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
    for (int n = 1; n <= 10; ++n) {
        QCOMPARE(f.line(n).item->property("imeMode").toInt(), 6);
        QVERIFY(f.line(n).item->testAttribute(Qt::WA_InputMethodEnabled));
        // The other columns keep their own choice.
        QCOMPARE(f.line(n).unit->property("imeMode").toInt(), 0);
        QCOMPARE(f.line(n).itemNo->property("imeMode").toInt(), 0);
    }
    focus(f.line(4).item);
    QVERIFY(inputMethodEnabled(f.line(4).item));

    // A list typed into (no item chosen) leaves the fields as they were.
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    imeItem->setEditText(u"自由入力"_s);
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
    for (int n = 1; n <= 10; ++n)
        QCOMPARE(f.line(n).item->property("imeMode").toInt(), 6);
}

void TestFormMainSlip::unitsWithoutInputMethod()
{
    MainWindowFixture f;
    ProfileFile(f.path(u"vuzo_Vez_1.ini"_s)).WriteInteger(kSection, u"ime_Unit"_s, 6);
    f.start();
    for (int n = 1; n <= 10; ++n)
        QVERIFY(f.line(n).unit->testAttribute(Qt::WA_InputMethodEnabled));
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(1);
    auto *imeUnit = f.w<QComboBox>(u"ComboBox_ime_Unit"_s);
    imeUnit->setCurrentIndex(imeUnit->findText(u"0:漢字未使用"_s));
    QCOMPARE(imeUnit->currentIndex(), 0);
    f.w<QTabWidget>(u"PageControl1"_s)->setCurrentIndex(0);
    for (int n = 1; n <= 10; ++n) {
        QVERIFY(!f.line(n).unit->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(f.line(n).unit->property("imeMode").toInt(), 0);
    }
    focus(f.line(2).unit);
    QVERIFY(!inputMethodEnabled(f.line(2).unit));
    // Quantities and unit prices never take composition.
    for (TZuNumEdit *w : {f.line(2).qty, f.line(2).price}) {
        focus(w);
        QVERIFY(!inputMethodEnabled(w));
    }
}

QTEST_MAIN(TestFormMainSlip)
#include "tst_formmain_slip.moc"
