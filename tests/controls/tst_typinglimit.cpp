// The typing limit on a plain line edit: the operator's typing, pasting and
// input-method commits stop at the limit, the program's own texts do not.

#include "controls/TypingLimit.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTestEventList>

using namespace Qt::StringLiterals;

class TestTypingLimit : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void operatorInput_data();
    void operatorInput();
    void programTextIsKeptWhole();
    void inputMethodCommitIsCut();
    void noLimitLeavesTheFieldAlone();
};

void TestTypingLimit::operatorInput_data()
{
    QTest::addColumn<int>("limit");
    QTest::addColumn<QString>("programText");
    QTest::addColumn<int>("cursor"); // -1: at the end; -2: all selected
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QTestEventList>("keys");
    QTest::addColumn<QString>("expected");

    QTestEventList eight;
    eight.addKeyClicks(u"abcdefgh"_s);
    QTest::newRow("typing stops at the limit") << 6 << QString() << -1 << QString() << eight << u"abcdef"_s;
    QTestEventList six;
    six.addKeyClicks(u"abcdef"_s);
    QTest::newRow("the last character that fits is taken") << 6 << QString() << -1 << QString() << six << u"abcdef"_s;
    QTestEventList one;
    one.addKeyClick(Qt::Key_X);
    QTest::newRow("typing into a program text longer than the limit is refused")
        << 8 << u"〒100-0001"_s << -1 << QString() << one << u"〒100-0001"_s;
    QTestEventList backspace;
    backspace.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("a program text longer than the limit can be shortened")
        << 8 << u"〒100-0001"_s << -1 << QString() << backspace << u"〒100-000"_s;
    QTestEventList two;
    two.addKeyClicks(u"ab"_s);
    QTest::newRow("typing over the selected long text replaces it")
        << 8 << u"〒100-0001"_s << -2 << QString() << two << u"ab"_s;
    QTestEventList paste;
    paste.addKeyClick(Qt::Key_V, Qt::ControlModifier);
    QTest::newRow("a paste is cut to what fits") << 6 << u"12"_s << -1 << u"ABCDEFGHIJ"_s << paste << u"12ABCD"_s;
    QTest::newRow("a paste in the middle keeps what follows")
        << 6 << u"1256"_s << 2 << u"ABCD"_s << paste << u"12AB56"_s;
    QTest::newRow("a paste into a full field is refused") << 6 << u"123456"_s << -1 << u"AB"_s << paste << u"123456"_s;
    QTest::newRow("a paste never keeps half a surrogate pair") << 3 << u"ab"_s << -1 << u"😀x"_s << paste << u"ab"_s;
    QTest::newRow("a paste that fits is taken whole") << 36 << u"ab"_s << -1 << u"りんご"_s << paste << u"abりんご"_s;
}

void TestTypingLimit::operatorInput()
{
    QFETCH(int, limit);
    QFETCH(QString, programText);
    QFETCH(int, cursor);
    QFETCH(QString, clipboard);
    QFETCH(QTestEventList, keys);
    QFETCH(QString, expected);

    QLineEdit edit;
    vuzo::SetTypingLimit(&edit, limit);
    edit.setText(programText);
    edit.show();
    edit.setFocus();
    if (cursor == -2)
        edit.selectAll();
    else
        edit.setCursorPosition(cursor < 0 ? int(programText.size()) : cursor);
    QApplication::clipboard()->setText(clipboard);
    // The field never shows a text longer than it may become, not even for a
    // moment: the change handlers of the window see only what is kept.
    qsizetype longest = 0;
    connect(&edit, &QLineEdit::textChanged, &edit,
            [&longest](const QString &text) { longest = qMax(longest, text.size()); });
    keys.simulate(&edit);
    QCOMPARE(edit.text(), expected);
    QVERIFY(longest <= qMax(qsizetype(limit), programText.size()));
}

void TestTypingLimit::programTextIsKeptWhole()
{
    QLineEdit edit;
    vuzo::SetTypingLimit(&edit, 36);
    QCOMPARE(vuzo::TypingLimit(&edit), 36);
    const QString longName = QString(50, u'品');
    edit.setText(longName);
    QCOMPARE(edit.text(), longName);
    QVERIFY(edit.hasAcceptableInput());
}

void TestTypingLimit::inputMethodCommitIsCut()
{
    QLineEdit edit;
    vuzo::SetTypingLimit(&edit, 5);
    edit.setText(u"abc"_s);
    edit.show();
    edit.setFocus();
    QInputMethodEvent commit;
    commit.setCommitString(u"あいうえお"_s);
    QApplication::sendEvent(&edit, &commit);
    QCOMPARE(edit.text(), u"abcあい"_s);
}

void TestTypingLimit::noLimitLeavesTheFieldAlone()
{
    QLineEdit edit;
    vuzo::SetTypingLimit(&edit, 0);
    QCOMPARE(vuzo::TypingLimit(&edit), 0);
    QVERIFY(!edit.validator());
    QTest::keyClicks(&edit, QString(100, u'x'));
    QCOMPARE(edit.text().size(), 100);
}

QTEST_MAIN(TestTypingLimit)
#include "tst_typinglimit.moc"
