// Widget tests of the numeric edit field, offscreen.

#include "controls/TZuNumEdit.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

// A small window with three fields, the middle one under test.
struct Form
{
    QWidget window;
    TZuNumEdit *first = nullptr;
    TZuNumEdit *edit = nullptr;
    TZuNumEdit *last = nullptr;

    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        first = new TZuNumEdit(&window);
        edit = new TZuNumEdit(&window);
        last = new TZuNumEdit(&window);
        first->setObjectName(u"ZuNumEdit_First"_s);
        edit->setObjectName(u"ZuNumEdit_Test"_s);
        last->setObjectName(u"ZuNumEdit_Last"_s);
        layout->addWidget(first);
        layout->addWidget(edit);
        layout->addWidget(last);
        window.resize(200, 120);
    }

    bool showAndFocus()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        edit->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        return edit->hasFocus();
    }
};

int g_beeps = 0;

QAction *Item(TZuNumEdit *e, int index)
{
    return e->editPopupItems().at(index);
}

} // namespace

class TestZuNumEdit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void defaults();
    void typing_data();
    void typing();
    void typingOverAutoSelection();
    void undoAfterReplacingSelection();
    void backspaceOnSelectionEmptiesSilently();
    void clipboardKeys();
    void pasteKeepsNumberWhenNoNumber();
    void imageCopy_data();
    void imageCopy();
    void undoThroughMenu();
    void menuEnabling_data();
    void menuEnabling();
    void menuCaptions();
    void readOnly();
    void enterFocusMove_data();
    void enterFocusMove();
    void arrowFocusMove_data();
    void arrowFocusMove();
    void arrowsDropSelection();
    void focusLossRemovesLoneMinus();
    void fitTestRefusesInNarrowField();
    void changedOnlyOnUserEdits();
    void inputMethodCharacters();
    void autoSizeFollowsFont();
    void caretFollowsText();
    void mouseSelection();
    void accessibility();
    void painting_data();
    void painting();
    void hideSelection_data();
    void hideSelection();
};

void TestZuNumEdit::initTestCase()
{
    TZuNumEdit::setBeepHandler([] { ++g_beeps; });
}

void TestZuNumEdit::init()
{
    g_beeps = 0;
    QGuiApplication::clipboard()->clear();
}

void TestZuNumEdit::defaults()
{
    TZuNumEdit e;
    QCOMPARE(e.integerLength(), 9);
    QCOMPARE(e.decimalLength(), 3);
    QVERIFY(e.isMinus());
    QVERIFY(e.isComma());
    QVERIFY(!e.isDecimalFixed());
    QVERIFY(e.leftMark().isEmpty());
    QVERIFY(e.rightMark().isEmpty());
    QVERIFY(!e.isReadOnly());
    QVERIFY(!e.isEnterFocusMove());
    QVERIFY(!e.isArrowFocusMove());
    QVERIFY(e.isAutoSelect());
    QVERIFY(e.isAutoSize());
    QVERIFY(e.isErrorBeep());
    QVERIFY(!e.isImageCopy());
    QVERIFY(e.isHideSelection());
    QCOMPARE(e.alignment(), TZuNumEdit::taRightJustify);
    QCOMPARE(e.vertAlignment(), TZuNumEdit::taVCenter);
    QCOMPARE(e.borderStyle(), TZuNumEdit::bsSingle);
    QCOMPARE(e.topMargin(), 2);
    QCOMPARE(e.leftMargin(), 2);
    QCOMPARE(e.bottomMargin(), 2);
    QCOMPARE(e.rightMargin(), 2);
    QCOMPARE(e.width(), 121);
    QCOMPARE(e.focusPolicy(), Qt::StrongFocus);
    QVERIFY(e.text().isEmpty());
    QVERIFY(e.valText().isEmpty());
    QVERIFY(!e.canUndo());
    QVERIFY(!e.isModified());
    QCOMPARE(e.selLength(), 0);
    QCOMPARE(e.selStart(), 0);
    QCOMPARE(e.popupMenu(), e.editPopupItems().first()->parent());
}

void TestZuNumEdit::typing_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("expectedText");
    QTest::addColumn<QString>("expectedVal");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("changes");

    QTest::newRow("four digits") << u"1234"_s << u"1234"_s << u"1,234"_s << 0 << 4;
    QTest::newRow("a fourth decimal beeps") << u"1234.5678"_s << u"1234.567"_s << u"1,234.567"_s << 1 << 8;
    QTest::newRow("leading zeros vanish") << u"007"_s << u"7"_s << u"7"_s << 0 << 3;
    QTest::newRow("point first") << u"."_s << u"0."_s << u"0."_s << 0 << 1;
    QTest::newRow("minus toggles") << u"123--"_s << u"123"_s << u"123"_s << 0 << 5;
    QTest::newRow("letters beep") << u"1a2"_s << u"12"_s << u"12"_s << 1 << 2;
}

void TestZuNumEdit::typing()
{
    QFETCH(QString, keys);
    QFETCH(QString, expectedText);
    QFETCH(QString, expectedVal);
    QFETCH(int, beeps);
    QFETCH(int, changes);

    Form f;
    QVERIFY(f.showAndFocus());
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    QTest::keyClicks(f.edit, keys);
    QCOMPARE(f.edit->text(), expectedText);
    QCOMPARE(f.edit->valText(), expectedVal);
    QCOMPARE(g_beeps, beeps);
    QCOMPARE(spy.count(), changes);
    QCOMPARE(f.edit->isModified(), changes > 0);
}

void TestZuNumEdit::typingOverAutoSelection()
{
    Form f;
    f.edit->setText(u"1234"_s);
    QVERIFY(f.showAndFocus());
    QCOMPARE(f.edit->selLength(), 5); // entering selected "1,234"
    QTest::keyClick(f.edit, Qt::Key_5);
    QCOMPARE(f.edit->text(), u"5"_s);
    QTest::keyClick(f.edit, Qt::Key_6);
    QCOMPARE(f.edit->text(), u"56"_s);
}

void TestZuNumEdit::undoAfterReplacingSelection()
{
    Form f;
    f.edit->setText(u"1234"_s);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.edit, Qt::Key_5);
    QCOMPARE(f.edit->text(), u"5"_s);
    QVERIFY(f.edit->canUndo());
    f.edit->undo();
    QCOMPARE(f.edit->text(), u"1234"_s);
    QCOMPARE(f.edit->selLength(), 5);
}

void TestZuNumEdit::backspaceOnSelectionEmptiesSilently()
{
    Form f;
    f.edit->setText(u"12.5"_s);
    QVERIFY(f.showAndFocus());
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    f.edit->clearSelect();
    QTest::keyClick(f.edit, Qt::Key_Backspace);
    QCOMPARE(f.edit->text(), u"12"_s);
    QCOMPARE(spy.count(), 1);
    f.edit->selectAll();
    QTest::keyClick(f.edit, Qt::Key_Delete);
    QCOMPARE(f.edit->text(), u""_s);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(g_beeps, 0);
}

void TestZuNumEdit::clipboardKeys()
{
    Form f;
    f.edit->setText(u"1234"_s);
    QVERIFY(f.showAndFocus());
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    QClipboard *cb = QGuiApplication::clipboard();

    f.edit->clearSelect();
    QTest::keyClick(f.edit, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(cb->text().isEmpty()); // nothing selected, nothing copied

    QTest::keyClick(f.edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(f.edit->selLength(), 5);
    QTest::keyClick(f.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(cb->text(), u"1234"_s);
    QCOMPARE(spy.count(), 0);

    QTest::keyClick(f.edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u""_s);
    QCOMPARE(cb->text(), u"1234"_s);
    QCOMPARE(spy.count(), 1);

    cb->setText(u"3,000円"_s);
    QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u"3000"_s);
    QCOMPARE(spy.count(), 2);

    f.edit->setText(u"12"_s);
    QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u"123000"_s);

    f.edit->setText(u"12"_s);
    f.edit->selectAll();
    QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u"3000"_s);
    QCOMPARE(g_beeps, 0);
}

void TestZuNumEdit::pasteKeepsNumberWhenNoNumber()
{
    Form f;
    f.edit->setText(u"12"_s);
    QVERIFY(f.showAndFocus());
    f.edit->clearSelect();
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    QGuiApplication::clipboard()->setText(u"abc"_s);
    QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u"12"_s);
    QCOMPARE(spy.count(), 1);
}

void TestZuNumEdit::imageCopy_data()
{
    QTest::addColumn<bool>("imageCopy");
    QTest::addColumn<QString>("expected");
    QTest::newRow("image copy puts the display text") << true << u"5%"_s;
    QTest::newRow("plain copy puts the canonical text") << false << u"5"_s;
}

void TestZuNumEdit::imageCopy()
{
    QFETCH(bool, imageCopy);
    QFETCH(QString, expected);
    TZuNumEdit e;
    e.setDecimalLength(1);
    e.setRightMark(u"%"_s);
    e.setImageCopy(imageCopy);
    e.setText(u"5"_s);
    e.selectAll();
    e.copyToClipboard();
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
}

void TestZuNumEdit::undoThroughMenu()
{
    Form f;
    f.edit->setText(u"12"_s);
    QVERIFY(f.showAndFocus());
    f.edit->clearSelect();
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    QTest::keyClick(f.edit, Qt::Key_5);
    QCOMPARE(f.edit->text(), u"125"_s);
    Q_EMIT f.edit->popupMenu()->aboutToShow();
    QVERIFY(Item(f.edit, 0)->isEnabled());
    Item(f.edit, 0)->trigger();
    QCOMPARE(f.edit->text(), u"12"_s);
    QCOMPARE(f.edit->selLength(), 2);
    Item(f.edit, 0)->trigger();
    QCOMPARE(f.edit->text(), u"125"_s);
    QCOMPARE(spy.count(), 3);
}

void TestZuNumEdit::menuEnabling_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("undoable");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("clipboard");
    // Enabled state of items 0, 2, 3, 4, 5, 7 as a string of 0 and 1.
    QTest::addColumn<QString>("enabled");

    QTest::newRow("empty field, empty clipboard") << u""_s << false << false << false << u""_s << u"000000"_s;
    QTest::newRow("number not selected, text on the clipboard")
        << u"12"_s << false << false << false << u"7"_s << u"000101"_s;
    QTest::newRow("number selected") << u"12"_s << true << false << false << u""_s << u"011010"_s;
    QTest::newRow("after an edit undo is offered") << u"12"_s << false << true << false << u""_s << u"100001"_s;
    QTest::newRow("read-only and selected only copies") << u"12"_s << true << true << true << u"7"_s << u"001000"_s;
    QTest::newRow("read-only not selected still selects all")
        << u"12"_s << false << true << true << u"7"_s << u"000001"_s;
}

void TestZuNumEdit::menuEnabling()
{
    QFETCH(QString, text);
    QFETCH(bool, selected);
    QFETCH(bool, undoable);
    QFETCH(bool, readOnly);
    QFETCH(QString, clipboard);
    QFETCH(QString, enabled);

    TZuNumEdit e;
    e.setText(text);
    if (undoable) {
        e.clear(); // saves an undo step
        e.setText(text);
    }
    if (selected)
        e.selectAll();
    e.setReadOnly(readOnly);
    if (!clipboard.isEmpty())
        QGuiApplication::clipboard()->setText(clipboard);
    QCOMPARE(e.canUndo(), undoable);
    // Sentinel: everything enabled first, so a rule that is never applied fails.
    for (QAction *a : e.editPopupItems())
        a->setEnabled(true);
    Q_EMIT e.popupMenu()->aboutToShow();
    const int items[] = {0, 2, 3, 4, 5, 7};
    QString got;
    for (int i : items)
        got += Item(&e, i)->isEnabled() ? u'1' : u'0';
    QCOMPARE(got, enabled);
}

void TestZuNumEdit::menuCaptions()
{
    TZuNumEdit e;
    const QList<QAction *> items = e.editPopupItems();
    QCOMPARE(items.size(), 8);
    const QStringList captions = {u"元に戻す(&U)"_s, QString(),     u"切り取り(&T)"_s, u"コピー(&C)"_s,
                                  u"貼り付け(&P)"_s, u"削除(&D)"_s, QString(),         u"すべて選択(&A)"_s};
    for (int i = 0; i < 8; ++i) {
        QCOMPARE(items.at(i)->data().toInt(), i);
        QCOMPARE(items.at(i)->isSeparator(), i == 1 || i == 6);
        if (!items.at(i)->isSeparator())
            QCOMPARE(items.at(i)->text(), captions.at(i));
    }
    // An owner's menu replaces the built-in one.
    QMenu own;
    e.setPopupMenu(&own);
    QCOMPARE(e.popupMenu(), &own);
}

void TestZuNumEdit::readOnly()
{
    Form f;
    f.edit->setText(u"12"_s);
    f.edit->setReadOnly(true);
    QVERIFY(f.showAndFocus());
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    QTest::keyClicks(f.edit, u"34a"_s);
    QTest::keyClick(f.edit, Qt::Key_Backspace);
    QGuiApplication::clipboard()->setText(u"9"_s);
    QTest::keyClick(f.edit, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(f.edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(f.edit->text(), u"12"_s);
    QCOMPARE(g_beeps, 0);
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(f.edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(f.edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), u"12"_s);
}

void TestZuNumEdit::enterFocusMove_data()
{
    QTest::addColumn<bool>("enterFocusMove");
    QTest::addColumn<QString>("expectedFocus");
    QTest::addColumn<int>("beeps");
    QTest::newRow("enter moves to the next field") << true << u"ZuNumEdit_Last"_s << 0;
    QTest::newRow("without focus movement enter beeps") << false << u"ZuNumEdit_Test"_s << 1;
}

void TestZuNumEdit::enterFocusMove()
{
    QFETCH(bool, enterFocusMove);
    QFETCH(QString, expectedFocus);
    QFETCH(int, beeps);
    Form f;
    f.edit->setEnterFocusMove(enterFocusMove);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.edit, Qt::Key_Return);
    // The movement is queued behind the key: the field still has the focus.
    QVERIFY(f.edit->hasFocus());
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget()->objectName(), expectedFocus);
    QCOMPARE(g_beeps, beeps);
}

void TestZuNumEdit::arrowFocusMove_data()
{
    QTest::addColumn<bool>("arrowFocusMove");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("expectedFocus");
    QTest::newRow("up moves to the previous field") << true << int(Qt::Key_Up) << u"ZuNumEdit_First"_s;
    QTest::newRow("down moves to the next field") << true << int(Qt::Key_Down) << u"ZuNumEdit_Last"_s;
    QTest::newRow("up stays without arrow movement") << false << int(Qt::Key_Up) << u"ZuNumEdit_Test"_s;
    QTest::newRow("down stays without arrow movement") << false << int(Qt::Key_Down) << u"ZuNumEdit_Test"_s;
}

void TestZuNumEdit::arrowFocusMove()
{
    QFETCH(bool, arrowFocusMove);
    QFETCH(int, key);
    QFETCH(QString, expectedFocus);
    Form f;
    f.edit->setArrowFocusMove(arrowFocusMove);
    f.edit->setText(u"5"_s);
    QVERIFY(f.showAndFocus());
    QTest::keyClick(f.edit, Qt::Key(key));
    QCOMPARE(f.edit->selLength(), 0);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget()->objectName(), expectedFocus);
    QCOMPARE(g_beeps, 0);
}

void TestZuNumEdit::arrowsDropSelection()
{
    Form f;
    f.edit->setText(u"5"_s);
    QVERIFY(f.showAndFocus());
    QCOMPARE(f.edit->selLength(), 1);
    QTest::keyClick(f.edit, Qt::Key_Left);
    QCOMPARE(f.edit->selLength(), 0);
    QTest::keyClick(f.edit, Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(f.edit->selLength(), 1);
    QTest::keyClick(f.edit, Qt::Key_Home);
    QCOMPARE(f.edit->selLength(), 0);
}

void TestZuNumEdit::focusLossRemovesLoneMinus()
{
    Form f;
    f.edit->setText(u"-5"_s);
    QVERIFY(f.showAndFocus());
    QSignalSpy spy(f.edit, &TZuNumEdit::changed);
    f.edit->clearSelect();
    QTest::keyClick(f.edit, Qt::Key_Backspace);
    QCOMPARE(f.edit->text(), u"-"_s);
    QCOMPARE(spy.count(), 1);
    f.last->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.edit->text(), u""_s);
    QCOMPARE(f.edit->valText(), u""_s);
    QCOMPARE(spy.count(), 1);
}

void TestZuNumEdit::fitTestRefusesInNarrowField()
{
    TZuNumEdit e;
    const QFontMetrics fm(e.font());
    // Wide enough for "123,456", too narrow for "1,234,567": the border (2 on
    // each side), the margins (2 + 2) and the 2-pixel reserve on each side.
    e.resize(fm.horizontalAdvance(u"123,456"_s) + 2 * 2 + 2 + 2 + 2 * 2, e.height());
    QVERIFY(e.textFits(u"123456"_s));
    QVERIFY(!e.textFits(u"1234567"_s));
    QTest::keyClicks(&e, u"1234567"_s);
    QCOMPARE(e.text(), u"123456"_s);
    QCOMPARE(g_beeps, 1);
}

void TestZuNumEdit::changedOnlyOnUserEdits()
{
    TZuNumEdit e;
    QSignalSpy spy(&e, &TZuNumEdit::changed);
    e.setText(u"1234"_s);
    e.setIntegerLength(2);
    e.setDecimalLength(0);
    e.setMinus(false);
    e.setComma(false);
    e.setDecimalFixed(true);
    e.setLeftMark(u"¥"_s);
    e.setRightMark(u"円"_s);
    e.selectAll();
    e.clear();
    e.clearUndo();
    e.setModified(true);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(e.text(), u""_s);
    QTest::keyClick(&e, Qt::Key_7);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(e.valText(), u"¥7.円"_s);
}

void TestZuNumEdit::inputMethodCharacters()
{
    TZuNumEdit e;
    QSignalSpy spy(&e, &TZuNumEdit::changed);
    QInputMethodEvent ime;
    ime.setCommitString(u"１２．５"_s);
    QCoreApplication::sendEvent(&e, &ime);
    QCOMPARE(e.text(), u"12.5"_s);
    QCOMPARE(spy.count(), 4);
    QInputMethodEvent minus;
    minus.setCommitString(u"－"_s);
    QCoreApplication::sendEvent(&e, &minus);
    QCOMPARE(e.text(), u"-12.5"_s);
    QInputMethodEvent letter;
    letter.setCommitString(u"Ａ"_s);
    QCoreApplication::sendEvent(&e, &letter);
    QCOMPARE(e.text(), u"-12.5"_s);
    QCOMPARE(g_beeps, 1);
    QVERIFY(e.testAttribute(Qt::WA_InputMethodEnabled));
    e.setInputMethodEnabled(false);
    QVERIFY(!e.testAttribute(Qt::WA_InputMethodEnabled));
}

void TestZuNumEdit::autoSizeFollowsFont()
{
    TZuNumEdit e;
    const int border = 2;
    QCOMPARE(e.fontHeight(), QFontMetrics(e.font()).height());
    QCOMPARE(e.height(), e.fontHeight() + 2 + 2 + 2 * border);
    QFont big = e.font();
    big.setPixelSize(40);
    big.setBold(true);
    e.setFont(big);
    QCOMPARE(e.fontHeight(), QFontMetrics(big).height());
    QCOMPARE(e.height(), e.fontHeight() + 2 + 2 + 2 * border);
    QCOMPARE(e.caretRect().height(), e.fontHeight());
    QCOMPARE(e.caretRect().width(), 2);
    e.setTopMargin(-1); // ignored
    QCOMPARE(e.topMargin(), 2);
    e.setTopMargin(6);
    QCOMPARE(e.height(), e.fontHeight() + 6 + 2 + 2 * border);
    e.setAutoSize(false);
    e.setTopMargin(2);
    QCOMPARE(e.height(), e.fontHeight() + 6 + 2 + 2 * border);
}

void TestZuNumEdit::caretFollowsText()
{
    TZuNumEdit e;
    e.setText(u"1234"_s);
    const QFontMetrics fm(e.font());
    // Right-aligned: the caret stands right after the last digit.
    QCOMPARE(e.caretRect().left(), e.drawRect().left() + fm.horizontalAdvance(u"1,234"_s));
    QCOMPARE(e.drawRect().left() + e.drawRect().width(), e.width() - 2 - 2 - 1);
    e.setDecimalFixed(true);
    QCOMPARE(e.valText(), u"1,234.000"_s);
    QCOMPARE(e.caretRect().left(), e.drawRect().left() + fm.horizontalAdvance(u"1,234"_s));
    e.setAlignment(TZuNumEdit::taLeftJustify);
    QCOMPARE(e.drawRect().left(), 2 + 2);
}

void TestZuNumEdit::mouseSelection()
{
    Form f;
    f.edit->setText(u"1234"_s);
    QVERIFY(f.showAndFocus());
    const QPoint inside = f.edit->drawRect().center();
    QTest::mouseClick(f.edit, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(f.edit->selLength(), 0);
    QTest::mouseDClick(f.edit, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(f.edit->selLength(), 5);
    QTest::mouseClick(f.edit, Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(f.edit->selLength(), 0);
}

void TestZuNumEdit::accessibility()
{
    TZuNumEdit e;
    e.setAccessibleName(u"数量"_s);
    e.setText(u"1234"_s);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&e);
    QVERIFY(iface);
    QCOMPARE(iface->role(), QAccessible::EditableText);
    QCOMPARE(iface->text(QAccessible::Value), u"1,234"_s);
    QCOMPARE(iface->text(QAccessible::Name), u"数量"_s);
    QAccessibleTextInterface *text = iface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 5);
    QCOMPARE(text->text(0, 5), u"1,234"_s);
    QCOMPARE(text->selectionCount(), 0);
}

void TestZuNumEdit::painting_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("highlighted");
    QTest::newRow("plain number on the field colour") << false << true << false;
    QTest::newRow("selected number on the highlight colour") << true << true << true;
    QTest::newRow("disabled wins over the selection") << true << false << false;
}

void TestZuNumEdit::painting()
{
    QFETCH(bool, selected);
    QFETCH(bool, enabled);
    QFETCH(bool, highlighted);
    TZuNumEdit e;
    const QColor field(Qt::yellow);
    e.setColor(field);
    e.setText(u"1234"_s);
    if (selected)
        e.selectAll();
    e.setEnabled(enabled);
    const QImage img = e.grab().toImage();
    const QRect r = e.drawRect();
    QVERIFY(r.width() > 0);
    const QColor highlight = e.palette().color(QPalette::Active, QPalette::Highlight);
    QCOMPARE(QColor(img.pixel(r.left(), r.top())), highlighted ? highlight : field);
    // Outside the text the field keeps its own colour.
    QCOMPARE(QColor(img.pixel(r.left() - 1, r.top())), field);
}

void TestZuNumEdit::hideSelection_data()
{
    QTest::addColumn<bool>("hide");
    QTest::addColumn<int>("selLengthAfterLeaving");
    QTest::newRow("the selection is dropped on leaving") << true << 0;
    QTest::newRow("the selection stays without hide selection") << false << 1;
}

void TestZuNumEdit::hideSelection()
{
    QFETCH(bool, hide);
    QFETCH(int, selLengthAfterLeaving);
    Form f;
    f.edit->setText(u"5"_s);
    f.edit->setHideSelection(hide);
    QVERIFY(f.showAndFocus());
    QCOMPARE(f.edit->selLength(), 1);
    f.last->setFocus(Qt::TabFocusReason);
    QCOMPARE(f.edit->selLength(), selLengthAfterLeaving);
}

QTEST_MAIN(TestZuNumEdit)
#include "tst_zunumedit.moc"
