// What each key press does in the numeric edit field, without a widget.

#include "controls/ZuNumKeyMap.h"

#include <QTest>

using namespace Qt::StringLiterals;
using vuzo::ZuNumKeyOp;

namespace vuzo {
// Names the operation in a failed comparison.
char *toString(ZuNumKeyOp op)
{
    static const char *const names[] = {"SelectAll", "Copy", "ClearSelect", "PreviousField", "NextField",
                                        "Paste",     "Cut",  "DeleteLast",  "Type",          "Pass"};
    return qstrdup(names[int(op)]);
}
} // namespace vuzo

class TestZuNumKeyMap : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyPress_data();
    void keyPress();
};

void TestZuNumKeyMap::keyPress_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<ZuNumKeyOp>("op");
    QTest::addColumn<QString>("chars");

    const Qt::KeyboardModifiers none = Qt::NoModifier;
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
    const auto row = [](const char *name, int key, Qt::KeyboardModifiers mods, const QString &text, bool readOnly,
                        ZuNumKeyOp op, const QString &chars = QString()) {
        QTest::newRow(name) << key << mods << text << readOnly << op << chars;
    };
    row("Left drops the selection", Qt::Key_Left, none, {}, false, ZuNumKeyOp::ClearSelect);
    row("the keypad's Left drops the selection", Qt::Key_Left, Qt::KeypadModifier, {}, false, ZuNumKeyOp::ClearSelect);
    row("Home drops the selection", Qt::Key_Home, none, {}, false, ZuNumKeyOp::ClearSelect);
    row("End drops the selection", Qt::Key_End, none, {}, false, ZuNumKeyOp::ClearSelect);
    row("Shift+Right selects everything", Qt::Key_Right, Qt::ShiftModifier, {}, false, ZuNumKeyOp::SelectAll);
    row("Up goes towards the previous field", Qt::Key_Up, none, {}, false, ZuNumKeyOp::PreviousField);
    row("Down goes towards the next field", Qt::Key_Down, none, {}, false, ZuNumKeyOp::NextField);
    row("Backspace deletes the last character", Qt::Key_Backspace, none, u"\b"_s, false, ZuNumKeyOp::DeleteLast);
    row("Delete deletes the last character", Qt::Key_Delete, none, u"\x7f"_s, false, ZuNumKeyOp::DeleteLast);
    row("a digit is typed", Qt::Key_5, none, u"5"_s, false, ZuNumKeyOp::Type, u"5"_s);
    row("the minus sign is typed", Qt::Key_Minus, none, u"-"_s, false, ZuNumKeyOp::Type, u"-"_s);
    row("the decimal point is typed", Qt::Key_Period, none, u"."_s, false, ZuNumKeyOp::Type, u"."_s);
    row("Enter without a text types a carriage return", Qt::Key_Enter, none, {}, false, ZuNumKeyOp::Type, u"\r"_s);
    row("Ctrl+C copies", Qt::Key_C, ctrl, u"\x03"_s, false, ZuNumKeyOp::Copy);
    row("Ctrl+V pastes", Qt::Key_V, ctrl, u"\x16"_s, false, ZuNumKeyOp::Paste);
    row("Ctrl+X cuts", Qt::Key_X, ctrl, u"\x18"_s, false, ZuNumKeyOp::Cut);
    row("Ctrl+V in a read-only field is only its character", Qt::Key_V, ctrl, u"\x16"_s, true, ZuNumKeyOp::Type,
        u"\x16"_s);
    row("Delete in a read-only field goes on to the window", Qt::Key_Delete, none, u"\x7f"_s, true, ZuNumKeyOp::Pass);
    row("Alt with a digit goes on to the window's mnemonics", Qt::Key_1, Qt::AltModifier, u"1"_s, false,
        ZuNumKeyOp::Pass);
    row("Ctrl+Alt with a digit is typed", Qt::Key_1, ctrl | Qt::AltModifier, u"1"_s, false, ZuNumKeyOp::Type, u"1"_s);
    row("a function key goes on to the window", Qt::Key_F5, none, {}, false, ZuNumKeyOp::Pass);
}

void TestZuNumKeyMap::keyPress()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, text);
    QFETCH(bool, readOnly);
    QFETCH(ZuNumKeyOp, op);
    QFETCH(QString, chars);

    const vuzo::ZuNumKeyAction action = vuzo::MapZuNumKey(key, modifiers, text, readOnly);
    QCOMPARE(action.op, op);
    QCOMPARE(action.chars, chars);
}

QTEST_APPLESS_MAIN(TestZuNumKeyMap)
#include "tst_zunumkeymap.moc"
