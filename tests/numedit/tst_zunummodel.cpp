// Tests of the numeric edit's value and editing model, without a window.

#include "numedit/ZuNumModel.h"

#include <QRandomGenerator>
#include <QTest>

using namespace Qt::StringLiterals;
using zunum::NumFormat;
using zunum::ZuNumModel;

namespace {

// A fit test that accepts display texts of at most `chars` characters, standing
// in for the pixel width the widget measures.
zunum::FitTest FitsChars(const NumFormat *f, int chars)
{
    return [f, chars](const QString &candidate) { return zunum::FormatValText(candidate, *f).size() <= chars; };
}

const zunum::FitTest kAlwaysFits = [](const QString &) { return true; };

// Runs a list of operations on a model and counts beeps and change events.
// Operations: a single character is typed; "BS" is Backspace; "ALL" selects
// all; "NONE" drops the selection; "UNDO"; "CUT"; "CLEAR"; "PASTE:<text>".
struct Outcome
{
    int beeps = 0;
    int changes = 0;
    QString lastClip;
};

Outcome Run(ZuNumModel &m, const QStringList &ops, const zunum::FitTest &fits)
{
    Outcome o;
    for (const QString &op : ops) {
        zunum::EditResult r;
        if (op == u"BS"_s)
            r = m.deleteLastChar();
        else if (op == u"ALL"_s)
            m.selectAll();
        else if (op == u"NONE"_s)
            m.clearSelect();
        else if (op == u"UNDO"_s)
            r = m.undo();
        else if (op == u"CUT"_s)
            r = m.cut(false, &o.lastClip);
        else if (op == u"CLEAR"_s)
            m.clear();
        else if (op.startsWith(u"PASTE:"_s))
            r = m.paste(op.mid(6));
        else if (op.size() == 1)
            r = m.inputChar(op.at(0), fits);
        else
            qFatal("unknown operation");
        o.beeps += r.beep ? 1 : 0;
        o.changes += r.changed ? 1 : 0;
    }
    return o;
}

// The invariants every model state must keep.
void CheckInvariants(const ZuNumModel &m, bool loneMinusAllowed)
{
    const QString t = m.text();
    QCOMPARE(m.valText(), zunum::FormatValText(t, m.format()));
    // With no integer digits allowed, "0." and "0.5" are what a typed or
    // filtered fraction becomes, though the filter alone would refuse them.
    if (m.format().integerLength > 0)
        QCOMPARE(zunum::CanonicalText(t, m.format()), t);
    if (!loneMinusAllowed)
        QVERIFY(t != u"-"_s);
    for (const QChar c : t)
        QVERIFY(c == u'-' || c == u'.' || (c >= u'0' && c <= u'9'));
    QVERIFY(m.selLength() == 0 || m.selLength() == m.valText().size());
    QCOMPARE(m.selStart(), 0);
}

} // namespace

class TestZuNumModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void canonicalText_data();
    void canonicalText();
    void normalizeZeros_data();
    void normalizeZeros();
    void formatValText_data();
    void formatValText();
    void caretText_data();
    void caretText();
    void inputMethodChars_data();
    void inputMethodChars();
    void editing_data();
    void editing();
    void typingOverSelectionIsOneUndoStep_data();
    void typingOverSelectionIsOneUndoStep();
    void refusedInputLeavesStateAlone();
    void modifiedFlag();
    void setTextIgnoresEqualText();
    void setTextRaisesNothing();
    void propertyChangesRefilter_data();
    void propertyChangesRefilter();
    void negativePropertiesIgnored();
    void copyText_data();
    void copyText();
    void cutEmptiesAndCopies();
    void readOnly();
    void enterKey_data();
    void enterKey();
    void loneMinusRemovedOnFocusLoss();
    void undoAfterNarrowedFormatStaysCanonical();
    void selectionFollowsDisplayText();
    void badInputStaysCanonical_data();
    void badInputStaysCanonical();
    void randomInputStaysCanonical();
};

// --- text algorithms ----------------------------------------------------------

void TestZuNumModel::canonicalText_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<int>("integerLength");
    QTest::addColumn<int>("decimalLength");
    QTest::addColumn<bool>("minus");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text stays empty") << u""_s << 9 << 3 << true << u""_s;
    QTest::newRow("commas are dropped") << u"1,234,567"_s << 9 << 3 << true << u"1234567"_s;
    QTest::newRow("full-width minus in the middle ends the number")
        << u"１２３－４５６７"_s << 9 << 3 << true << u"123"_s;
    QTest::newRow("full-width phone number keeps the first group without zeros")
        << u"０３－１２３４"_s << 9 << 3 << true << u"3"_s;
    QTest::newRow("letters end the number") << u"12abc34"_s << 9 << 3 << true << u"12"_s;
    QTest::newRow("no number at all gives the empty text") << u"abc"_s << 9 << 3 << true << u""_s;
    QTest::newRow("excess decimals cut and leading zeros dropped")
        << u"-0012.34567"_s << 9 << 3 << true << u"-12.345"_s;
    QTest::newRow("leading point gets a zero") << u".5"_s << 9 << 3 << true << u"0.5"_s;
    QTest::newRow("lone minus stays") << u"-"_s << 9 << 3 << true << u"-"_s;
    QTest::newRow("nine integer digits fit exactly") << u"123456789"_s << 9 << 3 << true << u"123456789"_s;
    QTest::newRow("ten integer digits are cut to nine") << u"1234567890"_s << 9 << 3 << true << u"123456789"_s;
    QTest::newRow("ten negative digits are cut to nine") << u"-1234567890"_s << 9 << 3 << true << u"-123456789"_s;
    QTest::newRow("ten integer digits with a point empty the text") << u"1234567890.5"_s << 9 << 3 << true << u""_s;
    QTest::newRow("nine integer digits with a point are kept")
        << u"123456789.5"_s << 9 << 3 << true << u"123456789.5"_s;
    QTest::newRow("three decimals fit exactly") << u"1.234"_s << 9 << 3 << true << u"1.234"_s;
    QTest::newRow("comma before the minus puts it at position 2") << u",-5"_s << 9 << 3 << true << u""_s;
    QTest::newRow("full-width comma before the minus is dropped first") << u"，-5"_s << 9 << 3 << true << u"-5"_s;
    QTest::newRow("no decimals allowed stops at the point") << u"12.5"_s << 9 << 0 << true << u"12"_s;
    QTest::newRow("no minus allowed empties a negative number") << u"-5"_s << 9 << 3 << false << u""_s;
    QTest::newRow("second point ends the number") << u"1.2.3"_s << 9 << 3 << true << u"1.2"_s;
    QTest::newRow("second minus ends the number") << u"--5"_s << 9 << 3 << true << u"-"_s;
    QTest::newRow("full-width digits and point") << u"１２．５"_s << 9 << 3 << true << u"12.5"_s;
    QTest::newRow("trailing point is kept") << u"12."_s << 9 << 3 << true << u"12."_s;
    QTest::newRow("minus point becomes minus zero point") << u"-."_s << 9 << 3 << true << u"-0."_s;
    QTest::newRow("zeros alone become one zero") << u"000"_s << 9 << 3 << true << u"0"_s;
    QTest::newRow("yen sign ends the number") << u"3,000円"_s << 9 << 3 << true << u"3000"_s;
    QTest::newRow("leading blank ends the number at once") << u" 12"_s << 9 << 3 << true << u""_s;
    QTest::newRow("ideographic space ends the number") << u"12\u300034"_s << 9 << 3 << true << u"12"_s;
    QTest::newRow("emoji ends the number") << u"12\U0001F600 34"_s << 9 << 3 << true << u"12"_s;
    QTest::newRow("lone low surrogate ends the number")
        << (u"7"_s + QChar(0xDC00) + u"8"_s) << 9 << 3 << true << u"7"_s;
    QTest::newRow("zero integer length keeps nothing of an integer") << u"5"_s << 0 << 3 << true << u""_s;
    QTest::newRow("zero integer length keeps a pure fraction") << u".5"_s << 0 << 3 << true << u"0.5"_s;
    QTest::newRow("leading zeros count against the integer length before normalising")
        << u"0001"_s << 3 << 3 << true << u"0"_s;
}

void TestZuNumModel::canonicalText()
{
    QFETCH(QString, input);
    QFETCH(int, integerLength);
    QFETCH(int, decimalLength);
    QFETCH(bool, minus);
    QFETCH(QString, expected);

    NumFormat f;
    f.integerLength = integerLength;
    f.decimalLength = decimalLength;
    f.minus = minus;
    QCOMPARE(zunum::CanonicalText(input, f), expected);

    ZuNumModel m;
    m.setIntegerLength(integerLength);
    m.setDecimalLength(decimalLength);
    m.setMinus(minus);
    m.setText(u"98765"_s); // a sentinel no row expects
    m.setText(input);
    QCOMPARE(m.text(), expected);
    QCOMPARE(m.valText(), zunum::FormatValText(expected, f));
}

void TestZuNumModel::normalizeZeros_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("expected");
    QTest::newRow("empty stays empty") << u""_s << u""_s;
    QTest::newRow("lone minus stays") << u"-"_s << u"-"_s;
    QTest::newRow("single zero stays") << u"0"_s << u"0"_s;
    QTest::newRow("leading zeros go") << u"007"_s << u"7"_s;
    QTest::newRow("only zeros leave one") << u"000"_s << u"0"_s;
    QTest::newRow("point first gets a zero") << u".5"_s << u"0.5"_s;
    QTest::newRow("negative zeros before the point") << u"-00.5"_s << u"-0.5"_s;
    QTest::newRow("zero point stays") << u"0."_s << u"0."_s;
    QTest::newRow("minus zero point stays") << u"-0."_s << u"-0."_s;
    QTest::newRow("zeros inside the number stay") << u"1000.05"_s << u"1000.05"_s;
    QTest::newRow("negative leading zeros") << u"-0070"_s << u"-70"_s;
}

void TestZuNumModel::normalizeZeros()
{
    QFETCH(QString, input);
    QFETCH(QString, expected);
    QCOMPARE(zunum::NormalizeZeros(input), expected);
}

void TestZuNumModel::formatValText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("comma");
    QTest::addColumn<bool>("decimalFixed");
    QTest::addColumn<int>("decimalLength");
    QTest::addColumn<QString>("leftMark");
    QTest::addColumn<QString>("rightMark");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text shows nothing") << u""_s << true << false << 3 << u""_s << u""_s << u""_s;
    QTest::newRow("three digits take no separator") << u"123"_s << true << false << 3 << u""_s << u""_s << u"123"_s;
    QTest::newRow("four digits take one separator") << u"1234"_s << true << false << 3 << u""_s << u""_s << u"1,234"_s;
    QTest::newRow("seven digits take two separators")
        << u"1234567"_s << true << false << 3 << u""_s << u""_s << u"1,234,567"_s;
    QTest::newRow("negative with separators")
        << u"-1234567.5"_s << true << false << 3 << u""_s << u""_s << u"-1,234,567.5"_s;
    QTest::newRow("trailing point shows") << u"12."_s << true << false << 3 << u""_s << u""_s << u"12."_s;
    QTest::newRow("lone minus shows as minus") << u"-"_s << true << false << 3 << u""_s << u""_s << u"-"_s;
    QTest::newRow("no separators when comma is off")
        << u"1234567"_s << false << false << 3 << u""_s << u""_s << u"1234567"_s;
    QTest::newRow("fixed decimals on the empty text") << u""_s << true << true << 3 << u""_s << u""_s << u"0.000"_s;
    QTest::newRow("fixed decimals pad an integer") << u"12"_s << true << true << 3 << u""_s << u""_s << u"12.000"_s;
    QTest::newRow("fixed decimals on a lone minus") << u"-"_s << true << true << 3 << u""_s << u""_s << u"-0.000"_s;
    QTest::newRow("fixed decimals with separators")
        << u"1234.5"_s << true << true << 3 << u""_s << u""_s << u"1,234.500"_s;
    QTest::newRow("fixed decimals cut longer decimals")
        << u"1.23456"_s << true << true << 3 << u""_s << u""_s << u"1.234"_s;
    QTest::newRow("right mark after a number") << u"5"_s << true << false << 1 << u""_s << u"%"_s << u"5%"_s;
    QTest::newRow("no marks on the empty text") << u""_s << true << false << 1 << u"¥"_s << u"%"_s << u""_s;
    QTest::newRow("both marks around a negative number")
        << u"-1000"_s << true << false << 3 << u"¥"_s << u"円"_s << u"¥-1,000円"_s;
    QTest::newRow("marks around fixed zero decimals") << u""_s << true << true << 1 << u""_s << u"%"_s << u"0.0%"_s;
}

void TestZuNumModel::formatValText()
{
    QFETCH(QString, text);
    QFETCH(bool, comma);
    QFETCH(bool, decimalFixed);
    QFETCH(int, decimalLength);
    QFETCH(QString, leftMark);
    QFETCH(QString, rightMark);
    QFETCH(QString, expected);

    NumFormat f;
    f.comma = comma;
    f.decimalFixed = decimalFixed;
    f.decimalLength = decimalLength;
    f.leftMark = leftMark;
    f.rightMark = rightMark;
    QCOMPARE(zunum::FormatValText(text, f), expected);
}

void TestZuNumModel::caretText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("decimalFixed");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty text has the caret at the start") << u""_s << false << u""_s;
    QTest::newRow("caret after the digits, before the right mark") << u"1234.5"_s << false << u"<1,234.5"_s;
    QTest::newRow("fixed: empty text puts the caret after the zero") << u""_s << true << u"<0"_s;
    QTest::newRow("fixed: lone minus puts the caret after minus zero") << u"-"_s << true << u"<-0"_s;
    QTest::newRow("fixed: caret after the typed decimals") << u"1234.5"_s << true << u"<1,234.5"_s;
    QTest::newRow("fixed: caret after a typed point") << u"12."_s << true << u"<12."_s;
    QTest::newRow("fixed: caret before the filling zeros of an integer") << u"12"_s << true << u"<12"_s;
}

void TestZuNumModel::caretText()
{
    QFETCH(QString, text);
    QFETCH(bool, decimalFixed);
    QFETCH(QString, expected);

    NumFormat f;
    f.decimalFixed = decimalFixed;
    f.leftMark = u"<"_s;
    f.rightMark = u">"_s;
    QCOMPARE(zunum::CaretText(text, f), expected);
}

void TestZuNumModel::inputMethodChars_data()
{
    QTest::addColumn<QChar>("input");
    QTest::addColumn<QChar>("expected");
    QTest::newRow("full-width zero") << QChar(0xFF10) << QChar(u'0');
    QTest::newRow("full-width nine") << QChar(0xFF19) << QChar(u'9');
    QTest::newRow("full-width hyphen-minus") << QChar(0xFF0D) << QChar(u'-');
    QTest::newRow("full-width full stop") << QChar(0xFF0E) << QChar(u'.');
    QTest::newRow("full-width comma is unchanged") << QChar(0xFF0C) << QChar(0xFF0C);
    QTest::newRow("full-width letter is unchanged") << QChar(0xFF21) << QChar(0xFF21);
    QTest::newRow("character before the full-width digits is unchanged") << QChar(0xFF0F) << QChar(0xFF0F);
    QTest::newRow("character after the full-width digits is unchanged") << QChar(0xFF1A) << QChar(0xFF1A);
}

void TestZuNumModel::inputMethodChars()
{
    QFETCH(QChar, input);
    QFETCH(QChar, expected);
    QCOMPARE(zunum::MapInputMethodChar(input), expected);
}

// --- editing ------------------------------------------------------------------

void TestZuNumModel::editing_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("integerLength");
    QTest::addColumn<bool>("minus");
    QTest::addColumn<int>("fitChars");
    QTest::addColumn<QStringList>("ops");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("expectedVal");
    QTest::addColumn<int>("beeps");
    QTest::addColumn<int>("changes");

    const QStringList digits1234 = {u"1"_s, u"2"_s, u"3"_s, u"4"_s};
    QTest::newRow("typing 1 2 3 4 shows separators")
        << u""_s << 9 << true << 99 << digits1234 << u"1234"_s << u"1,234"_s << 0 << 4;
    QTest::newRow("a fourth decimal beeps")
        << u""_s << 9 << true << 99 << (digits1234 + QStringList{u"."_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s})
        << u"1234.567"_s << u"1,234.567"_s << 1 << 8;
    QTest::newRow("zero zero seven gives seven")
        << u""_s << 9 << true << 99 << QStringList{u"0"_s, u"0"_s, u"7"_s} << u"7"_s << u"7"_s << 0 << 3;
    QTest::newRow("a point into an empty field gives zero point")
        << u""_s << 9 << true << 99 << QStringList{u"."_s} << u"0."_s << u"0."_s << 0 << 1;
    QTest::newRow("minus then point gives minus zero point")
        << u""_s << 9 << true << 99 << QStringList{u"-"_s, u"."_s} << u"-0."_s << u"-0."_s << 0 << 2;
    QTest::newRow("a second point beeps")
        << u"1.5"_s << 9 << true << 99 << QStringList{u"."_s} << u"1.5"_s << u"1.5"_s << 1 << 0;
    QTest::newRow("the fourth integer digit beeps at length 3")
        << u"123"_s << 3 << true << 99 << QStringList{u"4"_s} << u"123"_s << u"123"_s << 1 << 0;
    QTest::newRow("the minus sign does not count as a digit")
        << u"-12"_s << 3 << true << 99 << QStringList{u"3"_s, u"4"_s} << u"-123"_s << u"-123"_s << 1 << 1;
    QTest::newRow("decimals are not limited by the integer length")
        << u"123."_s << 3 << true << 99 << QStringList{u"4"_s} << u"123.4"_s << u"123.4"_s << 0 << 1;
    QTest::newRow("minus toggles on") << u"123"_s << 9 << true << 99 << QStringList{u"-"_s} << u"-123"_s << u"-123"_s
                                      << 0 << 1;
    QTest::newRow("minus toggles off") << u"123"_s << 9 << true << 99 << QStringList{u"-"_s, u"-"_s} << u"123"_s
                                       << u"123"_s << 0 << 2;
    QTest::newRow("minus beeps when not allowed")
        << u"123"_s << 9 << false << 99 << QStringList{u"-"_s} << u"123"_s << u"123"_s << 1 << 0;
    QTest::newRow("minus on an empty field gives a lone minus")
        << u""_s << 9 << true << 99 << QStringList{u"-"_s} << u"-"_s << u"-"_s << 0 << 1;
    QTest::newRow("a letter beeps") << u"12"_s << 9 << true << 99 << QStringList{u"a"_s} << u"12"_s << u"12"_s << 1
                                    << 0;
    QTest::newRow("full-width one and two typed give twelve")
        << u""_s << 9 << true << 99 << QStringList{u"１"_s, u"２"_s} << u"12"_s << u"12"_s << 0 << 2;
    QTest::newRow("a full-width point and decimal are typed as their ASCII forms")
        << u"3"_s << 9 << true << 99 << QStringList{u"．"_s, u"５"_s} << u"3.5"_s << u"3.5"_s << 0 << 2;
    QTest::newRow("a full-width minus toggles the sign")
        << u"12"_s << 9 << true << 99 << QStringList{u"－"_s} << u"-12"_s << u"-12"_s << 0 << 1;
    QTest::newRow("a full-width minus beeps when not allowed")
        << u"12"_s << 9 << false << 99 << QStringList{u"－"_s} << u"12"_s << u"12"_s << 1 << 0;
    QTest::newRow("a full-width digit beyond the integer length beeps")
        << u"123"_s << 3 << true << 99 << QStringList{u"４"_s} << u"123"_s << u"123"_s << 1 << 0;
    QTest::newRow("a full-width comma beeps")
        << u"12"_s << 9 << true << 99 << QStringList{u"，"_s} << u"12"_s << u"12"_s << 1 << 0;
    QTest::newRow("a NUL character beeps")
        << u"12"_s << 9 << true << 99 << QStringList{QString(QChar(0))} << u"12"_s << u"12"_s << 1 << 0;
    QTest::newRow("the control characters of handled keys are silent")
        << u"12"_s << 9 << true << 99
        << QStringList{QString(QChar(1)), QString(QChar(3)), QString(QChar(8)), QString(QChar(0x16)),
                       QString(QChar(0x18))}
        << u"12"_s << u"12"_s << 0 << 0;
    QTest::newRow("the digit that would not fit is refused")
        << u"123456"_s << 9 << true << 8 << QStringList{u"7"_s} << u"123456"_s << u"123,456"_s << 1 << 0;
    QTest::newRow("the last digit that fits is accepted")
        << u"12345"_s << 9 << true << 7 << QStringList{u"6"_s} << u"123456"_s << u"123,456"_s << 0 << 1;
    QTest::newRow("the minus sign that would not fit is refused")
        << u"123"_s << 9 << true << 3 << QStringList{u"-"_s} << u"123"_s << u"123"_s << 1 << 0;
    QTest::newRow("removing the minus sign needs no fit")
        << u"-123"_s << 9 << true << 0 << QStringList{u"-"_s} << u"123"_s << u"123"_s << 0 << 1;
    QTest::newRow("the point that would not fit is refused")
        << u"123"_s << 9 << true << 3 << QStringList{u"."_s} << u"123"_s << u"123"_s << 1 << 0;
    QTest::newRow("backspace drops the point with the last decimal")
        << u"12.5"_s << 9 << true << 99 << QStringList{u"BS"_s} << u"12"_s << u"12"_s << 0 << 1;
    QTest::newRow("backspace on minus five leaves a lone minus")
        << u"-5"_s << 9 << true << 99 << QStringList{u"BS"_s} << u"-"_s << u"-"_s << 0 << 1;
    QTest::newRow("backspace does not normalise zeros")
        << u"-0.5"_s << 9 << true << 99 << QStringList{u"BS"_s} << u"-0"_s << u"-0"_s << 0 << 1;
    QTest::newRow("backspace on an empty field does nothing")
        << u""_s << 9 << true << 99 << QStringList{u"BS"_s} << u""_s << u""_s << 0 << 0;
    QTest::newRow("backspace on a selected field empties it without a change event")
        << u"123"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"BS"_s} << u""_s << u""_s << 0 << 0;
    QTest::newRow("a digit over a selection replaces the number")
        << u"123"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"5"_s} << u"5"_s << u"5"_s << 0 << 1;
    QTest::newRow("later digits append after the replacement")
        << u"123"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"5"_s, u"6"_s} << u"56"_s << u"56"_s << 0 << 2;
    QTest::newRow("a minus over a selection gives a lone minus")
        << u"123"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"-"_s} << u"-"_s << u"-"_s << 0 << 1;
    QTest::newRow("paste into an empty field")
        << u""_s << 9 << true << 99 << QStringList{u"PASTE:3,000円"_s} << u"3000"_s << u"3,000"_s << 0 << 1;
    QTest::newRow("paste appends without a selection")
        << u"12"_s << 9 << true << 99 << QStringList{u"PASTE:3,000円"_s} << u"123000"_s << u"123,000"_s << 0 << 1;
    QTest::newRow("paste replaces a selection")
        << u"12"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"PASTE:3,000円"_s} << u"3000"_s << u"3,000"_s << 0 << 1;
    QTest::newRow("paste of no number keeps the number and still changes")
        << u"12"_s << 9 << true << 99 << QStringList{u"PASTE:abc"_s} << u"12"_s << u"12"_s << 0 << 1;
    QTest::newRow("paste of no number over a selection empties")
        << u"12"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"PASTE:abc"_s} << u""_s << u""_s << 0 << 1;
    QTest::newRow("paste has no fit test")
        << u""_s << 9 << true << 2 << QStringList{u"PASTE:1234567"_s} << u"1234567"_s << u"1,234,567"_s << 0 << 1;
    QTest::newRow("paste cuts excess integer digits") << u"1234567"_s << 9 << true << 99 << QStringList{u"PASTE:890"_s}
                                                      << u"123456789"_s << u"123,456,789"_s << 0 << 1;
    QTest::newRow("empty paste does nothing")
        << u"12"_s << 9 << true << 99 << QStringList{u"PASTE:"_s} << u"12"_s << u"12"_s << 0 << 0;
    QTest::newRow("undo after typing returns the number")
        << u"12"_s << 9 << true << 99 << QStringList{u"5"_s, u"UNDO"_s} << u"12"_s << u"12"_s << 0 << 2;
    QTest::newRow("a second undo redoes")
        << u"12"_s << 9 << true << 99 << QStringList{u"5"_s, u"UNDO"_s, u"UNDO"_s} << u"125"_s << u"125"_s << 0 << 3;
    QTest::newRow("undo without an undo step does nothing")
        << u"12"_s << 9 << true << 99 << QStringList{u"UNDO"_s} << u"12"_s << u"12"_s << 0 << 0;
    QTest::newRow("undo after paste") << u"12"_s << 9 << true << 99 << QStringList{u"PASTE:34"_s, u"UNDO"_s} << u"12"_s
                                      << u"12"_s << 0 << 2;
    QTest::newRow("undo after clear") << u"12"_s << 9 << true << 99 << QStringList{u"CLEAR"_s, u"UNDO"_s} << u"12"_s
                                      << u"12"_s << 0 << 1;
    QTest::newRow("cut empties the field and changes")
        << u"12"_s << 9 << true << 99 << QStringList{u"ALL"_s, u"CUT"_s} << u""_s << u""_s << 0 << 1;
    QTest::newRow("cut without a selection does nothing")
        << u"12"_s << 9 << true << 99 << QStringList{u"CUT"_s} << u"12"_s << u"12"_s << 0 << 0;
}

void TestZuNumModel::editing()
{
    QFETCH(QString, start);
    QFETCH(int, integerLength);
    QFETCH(bool, minus);
    QFETCH(int, fitChars);
    QFETCH(QStringList, ops);
    QFETCH(QString, expected);
    QFETCH(QString, expectedVal);
    QFETCH(int, beeps);
    QFETCH(int, changes);

    ZuNumModel m;
    m.setIntegerLength(integerLength);
    m.setMinus(minus);
    m.setText(start);
    QCOMPARE(m.text(), start);
    const Outcome o = Run(m, ops, FitsChars(&m.format(), fitChars));
    QCOMPARE(m.text(), expected);
    QCOMPARE(m.valText(), expectedVal);
    QCOMPARE(o.beeps, beeps);
    QCOMPARE(o.changes, changes);
    CheckInvariants(m, true);
}

void TestZuNumModel::typingOverSelectionIsOneUndoStep_data()
{
    QTest::addColumn<QString>("typed");
    QTest::newRow("a digit") << u"5"_s;
    QTest::newRow("a point") << u"."_s;
    QTest::newRow("a minus sign") << u"-"_s;
}

// Typing over a selected number first empties the field; the character and
// the emptying are one edit, so undo gives back the number, not the empty field.
void TestZuNumModel::typingOverSelectionIsOneUndoStep()
{
    QFETCH(QString, typed);
    ZuNumModel m;
    m.setText(u"1234"_s);
    m.selectAll();
    const zunum::EditResult r = m.inputChar(typed.at(0), kAlwaysFits);
    QVERIFY(r.changed);
    QVERIFY(m.text() != u"1234"_s);
    const QString afterTyping = m.text();
    QVERIFY(m.canUndo());
    QCOMPARE(m.undoBuffer(), u"1234"_s);
    m.undo();
    QCOMPARE(m.text(), u"1234"_s);
    QCOMPARE(m.valText(), u"1,234"_s);
    QCOMPARE(m.selLength(), 5);
    m.undo();
    QCOMPARE(m.text(), afterTyping);
}

void TestZuNumModel::refusedInputLeavesStateAlone()
{
    ZuNumModel m;
    m.setIntegerLength(3);
    m.setText(u"999"_s);
    QVERIFY(!m.canUndo());
    QVERIFY(!m.isModified());
    const zunum::EditResult r = m.inputDigit(u'4', kAlwaysFits);
    QVERIFY(r.beep);
    QVERIFY(!r.changed);
    QCOMPARE(m.text(), u"999"_s);
    QVERIFY(!m.canUndo());
    QVERIFY(!m.isModified());
}

void TestZuNumModel::modifiedFlag()
{
    ZuNumModel m;
    QVERIFY(!m.isModified());
    m.setText(u"5"_s);
    QVERIFY(!m.isModified()); // writing the text is not a user edit
    m.inputDigit(u'1', kAlwaysFits);
    QVERIFY(m.isModified());
    m.clear();
    QVERIFY(!m.isModified());
    m.setText(u"5"_s);
    m.deleteLastChar();
    QVERIFY(m.isModified());
    m.setModified(false);
    m.paste(u"7"_s);
    QVERIFY(!m.isModified()); // paste leaves the flag alone
    m.undo();
    QVERIFY(!m.isModified()); // so does undo
}

void TestZuNumModel::setTextIgnoresEqualText()
{
    ZuNumModel m;
    QVERIFY(m.setText(u"12"_s));
    QVERIFY(!m.setText(u"12"_s));
    QVERIFY(!m.setText(u"0012"_s)); // a different input with the same canonical text changes nothing
    QCOMPARE(m.text(), u"12"_s);
}

void TestZuNumModel::setTextRaisesNothing()
{
    ZuNumModel m;
    m.setText(u"12"_s);
    QVERIFY(!m.canUndo());
    QVERIFY(!m.isModified());
    m.inputDigit(u'3', kAlwaysFits);
    QCOMPARE(m.undoBuffer(), u"12"_s);
    m.setText(u"99"_s);
    QCOMPARE(m.undoBuffer(), u"12"_s); // the undo step is left alone
}

void TestZuNumModel::propertyChangesRefilter_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("property");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("lowering the integer length cuts digits") << u"12345"_s << u"int"_s << 3 << u"123"_s;
    QTest::newRow("lowering the integer length below a decimal number empties it")
        << u"12345.5"_s << u"int"_s << 3 << u""_s;
    QTest::newRow("lowering the decimal length cuts decimals") << u"1.234"_s << u"dec"_s << 1 << u"1.2"_s;
    QTest::newRow("no decimals drop the point") << u"1.234"_s << u"dec"_s << 0 << u"1"_s;
    QTest::newRow("forbidding the minus empties a negative number") << u"-12"_s << u"minus"_s << 0 << u""_s;
    QTest::newRow("refilter does not normalise zeros") << u"0.5"_s << u"int"_s << 1 << u"0.5"_s;
}

void TestZuNumModel::propertyChangesRefilter()
{
    QFETCH(QString, start);
    QFETCH(QString, property);
    QFETCH(int, value);
    QFETCH(QString, expected);

    ZuNumModel m;
    m.setText(start);
    m.setModified(false);
    if (property == u"int"_s)
        QVERIFY(m.setIntegerLength(value));
    else if (property == u"dec"_s)
        QVERIFY(m.setDecimalLength(value));
    else
        QVERIFY(m.setMinus(value != 0));
    QCOMPARE(m.text(), expected);
    QCOMPARE(m.valText(), zunum::FormatValText(expected, m.format()));
    QVERIFY(!m.isModified());
    QVERIFY(!m.canUndo());

    // Raising it back does not restore what was cut.
    m.setIntegerLength(9);
    m.setDecimalLength(3);
    m.setMinus(true);
    QCOMPARE(m.text(), expected);
}

void TestZuNumModel::negativePropertiesIgnored()
{
    ZuNumModel m;
    m.setText(u"12.5"_s);
    QVERIFY(!m.setIntegerLength(-1));
    QVERIFY(!m.setDecimalLength(-1));
    QCOMPARE(m.format().integerLength, 9);
    QCOMPARE(m.format().decimalLength, 3);
    QVERIFY(!m.setIntegerLength(9)); // equal value: nothing happens
    QVERIFY(m.setIntegerLength(0));
    QCOMPARE(m.text(), u""_s);
}

void TestZuNumModel::copyText_data()
{
    QTest::addColumn<bool>("imageCopy");
    QTest::addColumn<bool>("selected");
    QTest::addColumn<QString>("expected");
    QTest::newRow("display text with image copy") << true << true << u"5%"_s;
    QTest::newRow("canonical text without image copy") << false << true << u"5"_s;
    QTest::newRow("nothing without a selection") << false << false << u""_s;
}

void TestZuNumModel::copyText()
{
    QFETCH(bool, imageCopy);
    QFETCH(bool, selected);
    QFETCH(QString, expected);
    ZuNumModel m;
    m.setDecimalLength(1);
    m.setRightMark(u"%"_s);
    m.setText(u"5"_s);
    if (selected)
        m.selectAll();
    QCOMPARE(m.copyText(imageCopy), expected);
    QCOMPARE(m.text(), u"5"_s);
}

void TestZuNumModel::cutEmptiesAndCopies()
{
    ZuNumModel m;
    m.setText(u"1234"_s);
    m.selectAll();
    QString clip = u"sentinel"_s;
    const zunum::EditResult r = m.cut(true, &clip);
    QCOMPARE(clip, u"1,234"_s);
    QVERIFY(r.changed);
    QCOMPARE(m.text(), u""_s);
    QCOMPARE(m.undoBuffer(), u"1234"_s);
    QVERIFY(!m.hasSelection());
}

void TestZuNumModel::readOnly()
{
    ZuNumModel m;
    m.setText(u"12"_s);
    m.setReadOnly(true);
    const zunum::EditResult r = m.inputChar(u'5', kAlwaysFits);
    QVERIFY(!r.beep);
    QVERIFY(!r.changed);
    const zunum::EditResult e = m.inputChar(QChar(0x0D), kAlwaysFits);
    QVERIFY(!e.beep);
    QCOMPARE(e.focus, zunum::FocusMove::None);
    const zunum::EditResult b = m.deleteLastChar();
    QVERIFY(!b.changed);
    QCOMPARE(m.text(), u"12"_s);
}

void TestZuNumModel::enterKey_data()
{
    QTest::addColumn<bool>("enterFocusMove");
    QTest::addColumn<bool>("beep");
    QTest::addColumn<bool>("moves");
    QTest::newRow("enter moves the focus when allowed") << true << false << true;
    QTest::newRow("enter beeps otherwise") << false << true << false;
}

void TestZuNumModel::enterKey()
{
    QFETCH(bool, enterFocusMove);
    QFETCH(bool, beep);
    QFETCH(bool, moves);
    ZuNumModel m;
    m.setEnterFocusMove(enterFocusMove);
    const zunum::EditResult r = m.inputChar(QChar(0x0D), kAlwaysFits);
    QCOMPARE(r.beep, beep);
    QCOMPARE(r.focus == zunum::FocusMove::Next, moves);
    QVERIFY(!r.changed);
}

void TestZuNumModel::loneMinusRemovedOnFocusLoss()
{
    ZuNumModel m;
    m.setText(u"-"_s);
    QVERIFY(m.removeLoneMinus());
    QCOMPARE(m.text(), u""_s);
    m.setText(u"-5"_s);
    QVERIFY(!m.removeLoneMinus());
    QCOMPARE(m.text(), u"-5"_s);
}

void TestZuNumModel::undoAfterNarrowedFormatStaysCanonical()
{
    ZuNumModel m;
    m.setText(u"-12345"_s);
    m.inputDigit(u'6', kAlwaysFits);
    m.setIntegerLength(3);
    m.setMinus(false);
    m.undo();
    QCOMPARE(m.text(), u""_s);
    CheckInvariants(m, false);
}

void TestZuNumModel::selectionFollowsDisplayText()
{
    ZuNumModel m;
    m.setText(u"123"_s);
    m.selectAll();
    QCOMPARE(m.selLength(), 3);
    m.setText(u"1234"_s);
    QCOMPARE(m.selLength(), 5);
    m.setRightMark(u"円"_s);
    QCOMPARE(m.selLength(), 6);
    m.clearSelect();
    QCOMPARE(m.selLength(), 0);
    m.setText(u""_s);
    m.selectAll();
    QVERIFY(!m.hasSelection()); // an empty display text has nothing to select
    m.setDecimalFixed(true);
    m.selectAll();
    QCOMPARE(m.selLength(), 6); // "0.000円"
}

// --- bad and random input -----------------------------------------------------

void TestZuNumModel::badInputStaysCanonical_data()
{
    QTest::addColumn<QString>("input");
    QByteArray junk;
    for (int i = 0; i < 256; ++i)
        junk.append(char(i));
    QTest::newRow("binary junk") << QString::fromLatin1(junk);
    QTest::newRow("a hundred thousand digits") << QString(100000, u'7');
    QTest::newRow("a hundred thousand decimals") << (u"1."_s + QString(100000, u'7'));
    QTest::newRow("a hundred thousand commas then a digit") << (QString(100000, u',') + u"5"_s);
    QTest::newRow("lone high surrogate first") << (QString(QChar(0xD800)) + u"12"_s);
    QTest::newRow("full-width forms mixed") << u"－１，２３４．５６７８"_s;
    QTest::newRow("emoji only") << u"\U0001F4B4\U0001F4B4"_s;
    QTest::newRow("NUL characters") << QString(4, QChar(0));
}

void TestZuNumModel::badInputStaysCanonical()
{
    QFETCH(QString, input);
    ZuNumModel m;
    m.setText(input);
    CheckInvariants(m, true);
    m.setText(u"1"_s);
    m.paste(input);
    CheckInvariants(m, true);
    m.selectAll();
    m.paste(input);
    CheckInvariants(m, true);
}

void TestZuNumModel::randomInputStaysCanonical()
{
    // Characters the filter treats specially, plus arbitrary code units.
    const QString special = u"0123456789.,-０１９－．，\u3000 a円"_s;
    QRandomGenerator rng(20240611);
    const NumFormat formats[] = {
        NumFormat{},
        NumFormat{3, 1, false, false, true, u"¥"_s, u"%"_s},
        NumFormat{0, 0, true, true, false, {}, {}},
        NumFormat{12, 4, true, true, true, {}, u"円"_s},
    };
    for (const NumFormat &f : formats) {
        ZuNumModel m;
        m.setIntegerLength(f.integerLength);
        m.setDecimalLength(f.decimalLength);
        m.setMinus(f.minus);
        m.setComma(f.comma);
        m.setDecimalFixed(f.decimalFixed);
        m.setLeftMark(f.leftMark);
        m.setRightMark(f.rightMark);
        QCOMPARE(m.format(), f);
        for (int round = 0; round < 3000; ++round) {
            const int len = int(rng.bounded(24));
            QString s;
            for (int k = 0; k < len; ++k) {
                if (rng.bounded(4) == 0)
                    s += QChar(char16_t(rng.bounded(0x10000)));
                else
                    s += special.at(qsizetype(rng.bounded(quint32(special.size()))));
            }
            switch (rng.bounded(6)) {
            case 0: m.setText(s); break;
            case 1:
                if (rng.bounded(2))
                    m.selectAll();
                m.paste(s);
                break;
            case 2:
                for (const QChar c : s)
                    m.inputChar(c, FitsChars(&m.format(), 14));
                break;
            case 3: m.deleteLastChar(); break;
            case 4: m.undo(); break;
            default: m.removeLoneMinus(); break;
            }
            CheckInvariants(m, true);
            if (QTest::currentTestFailed()) {
                qWarning() << "input" << s << "round" << round;
                return;
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestZuNumModel)
#include "tst_zunummodel.moc"
