#include "platform/Errors.h"
#include "print/RecordingCanvas.h"
#include "print/SlipLayout.h"

#include <QTest>
#include <limits>

using namespace Qt::StringLiterals;

namespace {

SlipInputs inputsAt(int dpiX, int dpiY, int top = 0, int left = 0)
{
    SlipInputs in;
    in.geometry = {dpiX, dpiY, top, left};
    return in;
}

// A sales line with its numbers read from field texts, as the window reads
// them: text that is not a number counts as 0.
SlipRow row(const QString &item, const QString &unit, const QString &qty, const QString &price, const QString &sales)
{
    return {item, unit, StrToCurrZero(qty), StrToCurrZero(price), StrToCurrZero(sales)};
}

QStringList font(const QString &face, int points)
{
    return {u"FontName(\"%1\")"_s.arg(face), u"FontSize(%1)"_s.arg(points)};
}

QStringList mincho(int points)
{
    return font(u"ＭＳ Ｐ明朝"_s, points);
}

QStringList gothic(int points)
{
    return font(u"ＭＳ Ｐゴシック"_s, points);
}

QStringList tahoma(int points)
{
    return font(u"Tahoma"_s, points);
}

QList<CanvasCall> callsOf(const RecordingCanvas &canvas, CanvasCall::Kind kind)
{
    QList<CanvasCall> found;
    for (const CanvasCall &call : canvas.calls()) {
        if (call.kind == kind)
            found.append(call);
    }
    return found;
}

// The y of every sales-line item name: the first TextOut at the item column.
QList<int> rowYs(const RecordingCanvas &canvas, int itemX)
{
    QList<int> ys;
    for (const CanvasCall &call : callsOf(canvas, CanvasCall::Kind::TextOut)) {
        if (call.x == itemX && call.y > 0 && call.text.startsWith(u"row"_s))
            ys.append(call.y);
    }
    return ys;
}

// The three number cells of every printed sales line, in drawing order.
QStringList rowCells(const RecordingCanvas &canvas)
{
    QStringList cells;
    const QList<CanvasCall> spaced = callsOf(canvas, CanvasCall::Kind::TextOutSpaced);
    for (qsizetype i = 2; i < spaced.size(); ++i)
        cells.append(spaced.at(i).text);
    return cells;
}

} // namespace

class TestSlipLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layoutScale_data();
    void layoutScale();
    void layoutToDevice_data();
    void layoutToDevice();
    void boxText_data();
    void boxText();
    void amountText_data();
    void amountText();
    void salesNumberText_data();
    void salesNumberText();
    void parsePrintGeometry_data();
    void parsePrintGeometry();
    void badCaptionIsNotAnInteger_data();
    void badCaptionIsNotAnInteger();

    void wholeSlipAt600Dpi();
    void positionsFollowResolutionAndOffsets_data();
    void positionsFollowResolutionAndOffsets();
    void rowsAt180DpiUseOneConvertedStep();
    void amountBoxes_data();
    void amountBoxes();
    void linesWithoutQuantityAreSkipped_data();
    void linesWithoutQuantityAreSkipped();
    void numberCells_data();
    void numberCells();
};

void TestSlipLayout::layoutScale_data()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<qint64>("expected");

    QTest::newRow("zero resolution") << 0 << qint64(0);
    QTest::newRow("1 dpi: 62.5 goes to the even 62") << 1 << qint64(62);
    QTest::newRow("3 dpi: 187.5 goes to the even 188") << 3 << qint64(188);
    QTest::newRow("160 dpi is one pixel per unit") << 160 << qint64(10000);
    QTest::newRow("180 dpi") << 180 << qint64(11250);
    QTest::newRow("203 dpi: 12687.5 goes to the even 12688") << 203 << qint64(12688);
    QTest::newRow("205 dpi: 12812.5 goes to the even 12812") << 205 << qint64(12812);
    QTest::newRow("300 dpi") << 300 << qint64(18750);
    QTest::newRow("600 dpi") << 600 << qint64(37500);
    QTest::newRow("the largest int resolution") << std::numeric_limits<int>::max() << qint64(134217727938);
}

void TestSlipLayout::layoutScale()
{
    QFETCH(int, dpi);
    QFETCH(qint64, expected);
    QCOMPARE(LayoutScale(dpi), expected);
}

void TestSlipLayout::layoutToDevice_data()
{
    QTest::addColumn<int>("layout");
    QTest::addColumn<qint64>("scale");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero") << 0 << qint64(37500) << 0 << 0;
    QTest::newRow("a half pixel rounds up") << 30 << qint64(37500) << 0 << 113;
    QTest::newRow("just below a half rounds down") << 335 << qint64(37500) << 0 << 1256;
    QTest::newRow("an offset is added after rounding") << 30 << qint64(37500) << -10 << 103;
    QTest::newRow("a negative position rounds toward the floor") << -30 << qint64(37500) << 0 << -112;
    QTest::newRow("at 203 dpi") << 385 << qint64(12688) << 0 << 488;
    QTest::newRow("a result beyond int is held at its end")
        << std::numeric_limits<int>::max() << qint64(134217727937500) << 0 << std::numeric_limits<int>::max();
    QTest::newRow("a negative result beyond int is held at its end")
        << std::numeric_limits<int>::min() << qint64(134217727937500) << 0 << std::numeric_limits<int>::min();
}

void TestSlipLayout::layoutToDevice()
{
    QFETCH(int, layout);
    QFETCH(qint64, scale);
    QFETCH(int, offset);
    QFETCH(int, expected);
    QCOMPARE(LayoutToDevice(layout, scale, offset), expected);
}

void TestSlipLayout::boxText_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty value gives 11 blank cells") << QString() << u"           "_s;
    QTest::newRow("one character in the last cell") << u"7"_s << u"          7"_s;
    QTest::newRow("ten characters") << u"1234567890"_s << u" 1234567890"_s;
    QTest::newRow("eleven characters fill every cell") << u"12345678901"_s << u"12345678901"_s;
    QTest::newRow("twelve characters lose the first") << u"A12345678901"_s << u"12345678901"_s;
    QTest::newRow("amount of five digits") << u"\\12345"_s << u"     \\12345"_s;
}

void TestSlipLayout::boxText()
{
    QFETCH(QString, value);
    QFETCH(QString, expected);
    QCOMPARE(BoxText(value), expected);
}

void TestSlipLayout::amountText_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty total is the mark alone") << QString() << u"\\"_s;
    QTest::newRow("blanks around the total are trimmed") << u" 12345 "_s << u"\\12345"_s;
    QTest::newRow("the mark is U+005C, not U+00A5") << u"0"_s << u"\u005C0"_s;
}

void TestSlipLayout::amountText()
{
    QFETCH(QString, total);
    QFETCH(QString, expected);
    QCOMPARE(AmountText(total), expected);
    QVERIFY(!AmountText(total).contains(QChar(0x00A5)));
}

void TestSlipLayout::salesNumberText_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << u"0"_s << u"0"_s;
    QTest::newRow("empty text counts as 0") << QString() << u"0"_s;
    QTest::newRow("text that is not a number counts as 0") << u"abc"_s << u"0"_s;
    QTest::newRow("a lone minus counts as 0") << u"-"_s << u"0"_s;
    QTest::newRow("three digits have no separator") << u"999"_s << u"999"_s;
    QTest::newRow("four digits are grouped") << u"1000"_s << u"1,000"_s;
    QTest::newRow("1234") << u"1234"_s << u"1,234"_s;
    QTest::newRow("minus five") << u"-5"_s << u"-5"_s;
    QTest::newRow("negative millions") << u"-1234567"_s << u"-1,234,567"_s;
    QTest::newRow("a half rounds away from zero") << u"12.5"_s << u"13"_s;
    QTest::newRow("a negative half rounds away from zero") << u"-12.5"_s << u"-13"_s;
    QTest::newRow("below a half rounds down") << u"12.4999"_s << u"12"_s;
    QTest::newRow("a small negative fraction prints 0 without sign") << u"-0.4"_s << u"0"_s;
    QTest::newRow("the largest value") << u"922337203685477.5807"_s << u"922,337,203,685,478"_s;
    QTest::newRow("the smallest value") << u"-922337203685477.5808"_s << u"-922,337,203,685,478"_s;
}

void TestSlipLayout::salesNumberText()
{
    QFETCH(QString, field);
    QFETCH(QString, expected);
    // A cell's number as the window reads its field and the layout prints it.
    QCOMPARE(GroupedNumberText(StrToCurrZero(field)), expected);
}

void TestSlipLayout::wholeSlipAt600Dpi()
{
    SlipInputs in = inputsAt(600, 600);
    in.sttl = u"12345"_s;
    in.zip = u"123-4567"_s;
    in.add1 = u"東京都千代田区"_s;
    in.add2 = u"丸の内１－１"_s;
    in.add3 = QString();
    in.custo1 = u"山田\u3000太郎"_s;
    in.tel = u"03-1234-5678"_s;
    in.rows[0] = row(u"りんご"_s, u"箱"_s, u"3"_s, u"1500"_s, u"4500"_s);
    in.rows[1] = row(u"なし"_s, u"個"_s, u"0"_s, QString(), u"100"_s);
    in.rows[2] = row(u"みかん"_s, u"kg"_s, u"-2"_s, u"1234"_s, u"-2468"_s);
    in.rows[3] = row(u"x"_s, QString(), QString(), QString(), QString());

    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);

    QStringList expected;
    expected << u"FontName(\"ＭＳ Ｐ明朝\")"_s << u"FontColor(000000)"_s << u"BackgroundColor(FFFFFF)"_s;
    expected << mincho(12) << u"TextOutSpaced(1444,289,\"     \\12345\",1350)"_s;
    expected << mincho(12) << u"TextOutSpaced(2775,1039,\"     \\12345\",1350)"_s;
    expected << mincho(7) << u"TextOut(3150,1275,\"東京都千代田区\")"_s;
    expected << mincho(7) << u"TextOut(3150,1369,\"丸の内１－１\")"_s;
    expected << mincho(7) << u"TextOut(3150,1463,\"\")"_s;
    expected << mincho(8) << u"TextOut(3188,1613,\"山田\u3000太郎\")"_s;
    expected << mincho(8) << u"TextOut(300,1256,\"123-4567\")"_s;
    expected << mincho(8) << u"TextOut(300,1369,\"東京都千代田区\")"_s;
    expected << mincho(8) << u"TextOut(300,1481,\"丸の内１－１\")"_s;
    expected << mincho(8) << u"TextOut(300,1594,\"\")"_s;
    expected << mincho(8) << u"TextOut(375,1725,\"山田\u3000太郎\")"_s;
    expected << mincho(8) << u"TextOut(788,1875,\"03-1234-5678\")"_s;
    expected << gothic(9) << u"TextOut(150,731,\"商品名\")"_s;
    expected << gothic(9) << u"TextOut(1650,731,\"数量\")"_s;
    expected << gothic(9) << u"TextOut(2006,731,\"単価\")"_s;
    expected << gothic(9) << u"TextOut(2363,731,\"税抜金額\")"_s;
    expected << u"MoveTo(113,844)"_s << u"LineTo(2700,844)"_s;
    expected << mincho(8) << u"TextOut(150,863,\"りんご\")"_s;
    expected << mincho(6) << u"TextOut(2205,863,\"箱\")"_s;
    expected << tahoma(8) << u"TextOutSpaced(1444,863,\"          3\",371)"_s;
    expected << tahoma(8) << u"TextOutSpaced(1819,863,\"      1,500\",371)"_s;
    expected << tahoma(8) << u"TextOutSpaced(2269,863,\"      4,500\",371)"_s;
    expected << mincho(8) << u"TextOut(150,957,\"みかん\")"_s;
    expected << mincho(6) << u"TextOut(2205,957,\"kg\")"_s;
    expected << tahoma(8) << u"TextOutSpaced(1444,957,\"         -2\",371)"_s;
    expected << tahoma(8) << u"TextOutSpaced(1819,957,\"      1,234\",371)"_s;
    expected << tahoma(8) << u"TextOutSpaced(2269,957,\"     -2,468\",371)"_s;

    QCOMPARE(canvas.transcript(), expected);
    // With prices that include the tax only the amount column's heading changes.
    in.pricesIncludeTax = true;
    RecordingCanvas included;
    SLIP97_Prn(included, in);
    expected.replace(expected.indexOf(u"TextOut(2363,731,\"税抜金額\")"_s), u"TextOut(2363,731,\"税込金額\")"_s);
    QCOMPARE(included.transcript(), expected);
}

void TestSlipLayout::positionsFollowResolutionAndOffsets_data()
{
    QTest::addColumn<int>("dpiX");
    QTest::addColumn<int>("dpiY");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("left");
    QTest::addColumn<QStringList>("expected"); // amounts, rule and the first two rows

    QTest::newRow("600 dpi without offsets") << 600 << 600 << 0 << 0
                                             << QStringList{u"TextOutSpaced(1444,289,1350)"_s,
                                                            u"TextOutSpaced(2775,1039,1350)"_s,
                                                            u"MoveTo(113,844)"_s,
                                                            u"LineTo(2700,844)"_s,
                                                            u"row 863"_s,
                                                            u"row 957"_s,
                                                            u"cells 1444/1819/2269 width 371"_s};
    QTest::newRow("top 20 and left -10 move positions, not widths or the step")
        << 600 << 600 << 20 << -10
        << QStringList{u"TextOutSpaced(1434,309,1350)"_s,
                       u"TextOutSpaced(2765,1059,1350)"_s,
                       u"MoveTo(103,864)"_s,
                       u"LineTo(2690,864)"_s,
                       u"row 883"_s,
                       u"row 977"_s,
                       u"cells 1434/1809/2259 width 371"_s};
    QTest::newRow("600 by 300 dpi scales x and y separately") << 600 << 300 << 0 << 0
                                                              << QStringList{u"TextOutSpaced(1444,144,1350)"_s,
                                                                             u"TextOutSpaced(2775,519,1350)"_s,
                                                                             u"MoveTo(113,422)"_s,
                                                                             u"LineTo(2700,422)"_s,
                                                                             u"row 431"_s,
                                                                             u"row 478"_s,
                                                                             u"cells 1444/1819/2269 width 371"_s};
    QTest::newRow("203 dpi") << 203 << 203 << 0 << 0
                             << QStringList{u"TextOutSpaced(488,98,457)"_s,
                                            u"TextOutSpaced(939,351,457)"_s,
                                            u"MoveTo(38,285)"_s,
                                            u"LineTo(914,285)"_s,
                                            u"row 292"_s,
                                            u"row 324"_s,
                                            u"cells 488/615/768 width 126"_s};
    QTest::newRow("180 dpi") << 180 << 180 << 0 << 0
                             << QStringList{u"TextOutSpaced(433,87,405)"_s,
                                            u"TextOutSpaced(833,312,405)"_s,
                                            u"MoveTo(34,253)"_s,
                                            u"LineTo(810,253)"_s,
                                            u"row 259"_s,
                                            u"row 287"_s,
                                            u"cells 433/546/681 width 111"_s};
}

void TestSlipLayout::positionsFollowResolutionAndOffsets()
{
    QFETCH(int, dpiX);
    QFETCH(int, dpiY);
    QFETCH(int, top);
    QFETCH(int, left);
    QFETCH(QStringList, expected);

    SlipInputs in = inputsAt(dpiX, dpiY, top, left);
    in.rows[0] = row(u"row1"_s, QString(), u"1"_s, u"1"_s, u"1"_s);
    in.rows[1] = row(u"row2"_s, QString(), u"1"_s, u"1"_s, u"1"_s);
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);

    QStringList seen;
    const QList<CanvasCall> spaced = callsOf(canvas, CanvasCall::Kind::TextOutSpaced);
    QCOMPARE(spaced.size(), 2 + 2 * 3);
    for (int i = 0; i < 2; ++i)
        seen << u"TextOutSpaced(%1,%2,%3)"_s.arg(spaced.at(i).x).arg(spaced.at(i).y).arg(spaced.at(i).width);
    for (const CanvasCall &call : canvas.calls()) {
        if (call.kind == CanvasCall::Kind::MoveTo || call.kind == CanvasCall::Kind::LineTo)
            seen << call.toString();
    }
    for (const CanvasCall &call : callsOf(canvas, CanvasCall::Kind::TextOut)) {
        if (call.text.startsWith(u"row"_s))
            seen << u"row %1"_s.arg(call.y);
    }
    seen << u"cells %1/%2/%3 width %4"_s.arg(spaced.at(2).x)
                .arg(spaced.at(3).x)
                .arg(spaced.at(4).x)
                .arg(spaced.at(2).width);
    QCOMPARE(seen, expected);
}

void TestSlipLayout::rowsAt180DpiUseOneConvertedStep()
{
    SlipInputs in = inputsAt(180, 180);
    for (int n = 0; n < 4; ++n)
        in.rows[n] = row(u"row%1"_s.arg(n + 1), QString(), u"1"_s, QString(), QString());
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);
    // The fourth row lands at 343, not at the 344 a direct conversion of
    // layout 305 would give.
    QCOMPARE(rowYs(canvas, 45), (QList<int>{259, 287, 315, 343}));
}

void TestSlipLayout::amountBoxes_data()
{
    QTest::addColumn<QString>("total");
    QTest::addColumn<QString>("expected");

    QTest::newRow("five digits after five blank cells") << u"12345"_s << u"     \\12345"_s;
    QTest::newRow("empty total: ten blank cells and the mark") << QString() << u"          \\"_s;
    QTest::newRow("ten digits fill every cell with the mark") << u"1234567890"_s << u"\\1234567890"_s;
    QTest::newRow("eleven digits lose the mark") << u"12345678901"_s << u"12345678901"_s;
    QTest::newRow("twelve digits lose the mark and the first digit") << u"123456789012"_s << u"23456789012"_s;
}

void TestSlipLayout::amountBoxes()
{
    QFETCH(QString, total);
    QFETCH(QString, expected);

    SlipInputs in = inputsAt(600, 600);
    in.sttl = total;
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);
    const QList<CanvasCall> spaced = callsOf(canvas, CanvasCall::Kind::TextOutSpaced);
    QCOMPARE(spaced.size(), 2);
    QCOMPARE(spaced.at(0).text, expected);
    QCOMPARE(spaced.at(1).text, expected);
}

void TestSlipLayout::linesWithoutQuantityAreSkipped_data()
{
    QTest::addColumn<QStringList>("quantities");
    QTest::addColumn<QStringList>("amounts");
    QTest::addColumn<QList<int>>("ys");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("no line has a quantity")
        << QStringList{u"0"_s, u""_s, u"0"_s, u"0.0"_s} << QStringList{u"1"_s, u"1"_s, u"1"_s, u"1"_s} << QList<int>{}
        << QStringList{};
    QTest::newRow("quantities 0, 3, 0, 2 print two rows one step apart")
        << QStringList{u"0"_s, u"3"_s, u"0"_s, u"2"_s} << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}
        << QList<int>{863, 957} << QStringList{u"row2"_s, u"row4"_s};
    QTest::newRow("a zero quantity with an amount prints nothing")
        << QStringList{u"0"_s, u"1"_s, u""_s, u""_s} << QStringList{u"5000"_s, u"10"_s, u"0"_s, u"0"_s}
        << QList<int>{863} << QStringList{u"row2"_s};
    QTest::newRow("a quantity that is not a number counts as 0")
        << QStringList{u"abc"_s, u"1"_s, u"1"_s, u"1"_s} << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}
        << QList<int>{863, 957, 1051} << QStringList{u"row2"_s, u"row3"_s, u"row4"_s};
    QTest::newRow("a negative quantity prints")
        << QStringList{u"-1"_s, u"0"_s, u"0"_s, u"0"_s} << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}
        << QList<int>{863} << QStringList{u"row1"_s};
    QTest::newRow("a fractional quantity is not 0")
        << QStringList{u"0.001"_s, u"0"_s, u"0"_s, u"0"_s} << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s}
        << QList<int>{863} << QStringList{u"row1"_s};
    QTest::newRow("all four lines") << QStringList{u"1"_s, u"1"_s, u"1"_s, u"1"_s}
                                    << QStringList{u"0"_s, u"0"_s, u"0"_s, u"0"_s} << QList<int>{863, 957, 1051, 1145}
                                    << QStringList{u"row1"_s, u"row2"_s, u"row3"_s, u"row4"_s};
}

void TestSlipLayout::linesWithoutQuantityAreSkipped()
{
    QFETCH(QStringList, quantities);
    QFETCH(QStringList, amounts);
    QFETCH(QList<int>, ys);
    QFETCH(QStringList, names);

    SlipInputs in = inputsAt(600, 600);
    for (int n = 0; n < 4; ++n)
        in.rows[n] = row(u"row%1"_s.arg(n + 1), u"u%1"_s.arg(n + 1), quantities.at(n), u"100"_s, amounts.at(n));
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);

    QList<int> seenYs{-1};
    seenYs.clear();
    QStringList seenNames;
    for (const CanvasCall &call : callsOf(canvas, CanvasCall::Kind::TextOut)) {
        if (call.text.startsWith(u"row"_s)) {
            seenYs << call.y;
            seenNames << call.text;
        }
    }
    QCOMPARE(seenYs, ys);
    QCOMPARE(seenNames, names);
    // Every printed line draws its unit and its three cells; skipped lines draw nothing.
    QCOMPARE(callsOf(canvas, CanvasCall::Kind::TextOutSpaced).size(), 2 + 3 * ys.size());
    qsizetype units = 0;
    for (const CanvasCall &call : callsOf(canvas, CanvasCall::Kind::TextOut))
        units += call.text.startsWith(u'u') ? 1 : 0;
    QCOMPARE(units, ys.size());
}

void TestSlipLayout::numberCells_data()
{
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("price");
    QTest::addColumn<QString>("sales");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("a negative quantity keeps its minus before the digits")
        << u"-3"_s << u"1500"_s << u"-4500"_s << QStringList{u"         -3"_s, u"      1,500"_s, u"     -4,500"_s};
    QTest::newRow("price and amount that are not numbers print a single 0")
        << u"1"_s << u"x"_s << u""_s << QStringList{u"          1"_s, u"          0"_s, u"          0"_s};
    QTest::newRow("an eleven-character number fills every cell")
        << u"1"_s << u"123456789"_s << u"1"_s << QStringList{u"          1"_s, u"123,456,789"_s, u"          1"_s};
    QTest::newRow("a longer number loses its leftmost characters")
        << u"1"_s << u"1234567890"_s << u"1"_s << QStringList{u"          1"_s, u"234,567,890"_s, u"          1"_s};
}

void TestSlipLayout::numberCells()
{
    QFETCH(QString, qty);
    QFETCH(QString, price);
    QFETCH(QString, sales);
    QFETCH(QStringList, expected);

    SlipInputs in = inputsAt(600, 600);
    in.rows[0] = row(u"row1"_s, QString(), qty, price, sales);
    RecordingCanvas canvas;
    SLIP97_Prn(canvas, in);
    QCOMPARE(rowCells(canvas), expected);
}

void TestSlipLayout::parsePrintGeometry_data()
{
    QTest::addColumn<QString>("dpiX");
    QTest::addColumn<QString>("dpiY");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QList<int>>("expected"); // dpiX, dpiY, top, left

    const int intMax = std::numeric_limits<int>::max();
    const int intMin = std::numeric_limits<int>::min();
    QTest::newRow("600 dpi without offsets")
        << u"600"_s << u"600"_s << QString() << QString() << QList<int>{600, 600, 0, 0};
    QTest::newRow("offsets of 0 written out") << u"600"_s << u"600"_s << u"0"_s << u"0"_s << QList<int>{600, 600, 0, 0};
    QTest::newRow("each caption goes to its own place")
        << u"600"_s << u"300"_s << u"20"_s << u"-10"_s << QList<int>{600, 300, 20, -10};
    QTest::newRow("a zero resolution is read as it is")
        << u"0"_s << u"0"_s << QString() << QString() << QList<int>{0, 0, 0, 0};
    QTest::newRow("blanks before the digits and a plus sign are allowed")
        << u" 203"_s << u"+203"_s << u" -5"_s << u"+7"_s << QList<int>{203, 203, -5, 7};
    QTest::newRow("the largest int fits every caption")
        << u"2147483647"_s << u"2147483647"_s << u"2147483647"_s << u"2147483647"_s
        << QList<int>{intMax, intMax, intMax, intMax};
    QTest::newRow("the smallest int fits every caption")
        << u"-2147483648"_s << u"-2147483648"_s << u"-2147483648"_s << u"-2147483648"_s
        << QList<int>{intMin, intMin, intMin, intMin};
}

void TestSlipLayout::parsePrintGeometry()
{
    QFETCH(QString, dpiX);
    QFETCH(QString, dpiY);
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QList<int>, expected);

    const PrintGeometry g = ParsePrintGeometry(dpiX, dpiY, top, left);
    QCOMPARE((QList<int>{g.dpiX, g.dpiY, g.top, g.left}), expected);
}

void TestSlipLayout::badCaptionIsNotAnInteger_data()
{
    QTest::addColumn<QString>("dpix");
    QTest::addColumn<QString>("dpiy");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::addColumn<QString>("message");

    QTest::newRow("top offset still holds its design text")
        << u"600"_s << u"600"_s << u"Top"_s << u"0"_s << u"''Top'' は整数ではありません"_s;
    QTest::newRow("left offset still holds its design text")
        << u"600"_s << u"600"_s << u"0"_s << u"Left"_s << u"''Left'' は整数ではありません"_s;
    QTest::newRow("trailing blank after the digits")
        << u"600"_s << u"600"_s << u"20 "_s << QString() << u"''20 '' は整数ではありません"_s;
    QTest::newRow("a blank caption is not empty")
        << u"600"_s << u"600"_s << u" "_s << QString() << u"'' '' は整数ではありません"_s;
    QTest::newRow("resolution that is not an integer")
        << u"abc"_s << u"600"_s << QString() << QString() << u"''abc'' は整数ではありません"_s;
    QTest::newRow("vertical resolution that is not an integer")
        << u"600"_s << u"1.5"_s << QString() << QString() << u"''1.5'' は整数ではありません"_s;
    QTest::newRow("an empty resolution is not an integer")
        << QString() << u"600"_s << QString() << QString() << u"'''' は整数ではありません"_s;
    QTest::newRow("a resolution one beyond int is not an integer")
        << u"2147483648"_s << u"600"_s << QString() << QString() << u"''2147483648'' は整数ではありません"_s;
    QTest::newRow("an offset one below int is not an integer")
        << u"600"_s << u"600"_s << u"-2147483649"_s << QString() << u"''-2147483649'' は整数ではありません"_s;
    QTest::newRow("the horizontal resolution is read first")
        << u"a"_s << u"b"_s << u"c"_s << u"d"_s << u"''a'' は整数ではありません"_s;
    QTest::newRow("the vertical resolution is read before the offsets")
        << u"600"_s << u"b"_s << u"c"_s << u"d"_s << u"''b'' は整数ではありません"_s;
    QTest::newRow("the top offset is read before the left one")
        << u"600"_s << u"600"_s << u"c"_s << u"d"_s << u"''c'' は整数ではありません"_s;
}

void TestSlipLayout::badCaptionIsNotAnInteger()
{
    QFETCH(QString, dpix);
    QFETCH(QString, dpiy);
    QFETCH(QString, top);
    QFETCH(QString, left);
    QFETCH(QString, message);

    QString seen = u"(nothing raised)"_s;
    try {
        ParsePrintGeometry(dpix, dpiy, top, left);
    } catch (const EConvertError &error) {
        seen = error.message();
    }
    QCOMPARE(seen, message);
}

QTEST_GUILESS_MAIN(TestSlipLayout)
#include "tst_sliplayout.moc"
