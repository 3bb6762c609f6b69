#include "print/SlipLayout.h"
#include "printer/PainterCanvas.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb Grey = 0xFF808080;
constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Black = 0xFF000000;

// A page at 600 dpi filled with grey, so every pixel the canvas touches shows.
QImage page600(int width = 1200, int height = 900)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.setDotsPerMeterX(23622);
    image.setDotsPerMeterY(23622);
    image.fill(Grey);
    return image;
}

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 96;
}

// The bounding box of ink inside a rectangle; null when there is none.
QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (isInk(image.pixel(x, y)))
                box = box.united(QRect(x, y, 1, 1));
        }
    }
    return box;
}

// Columns where an ink run starts (a column with ink after one without) inside
// the band of rows.
QList<int> inkRunStarts(const QImage &image, const QRect &area)
{
    QList<int> starts;
    bool previous = false;
    for (int x = area.left(); x <= area.right(); ++x) {
        bool any = false;
        for (int y = area.top(); y <= area.bottom() && !any; ++y)
            any = isInk(image.pixel(x, y));
        if (any && !previous)
            starts.append(x);
        previous = any;
    }
    return starts;
}

struct Cell
{
    int ascent;
    int height;
};

Cell cellOf(const PainterCanvas &canvas, const QImage &image)
{
    const QFontMetrics fm(canvas.deviceFont(), &image);
    return {fm.ascent(), fm.ascent() + fm.descent()};
}

// Draws one text straight through QPainter, baseline given, for comparisons.
QImage drawDirect(const QString &family, int pixelSize, const QString &text, QPoint baseline)
{
    // White, like the opaque cell the canvas draws on, so antialiased edges
    // count as ink alike.
    QImage image = page600(400, 300);
    image.fill(White);
    QPainter painter(&image);
    QFont font(family);
    font.setPixelSize(pixelSize);
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(baseline, text);
    return image;
}

} // namespace

class TestPainterCanvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontPixelSize_data();
    void fontPixelSize();
    void substitutes_data();
    void substitutes();
    void substitutedFacesAreInstalled();
    void deviceFontFollowsVerticalResolution();
    void canvasKeepsTheRequestedName();

    void cellsAreOpaqueSpacesIncluded();
    void textHangsFromTheTopOfItsCell();
    void spacedTextAdvancesEqually_data();
    void spacedTextAdvancesEqually();
    void coloursOfTextAndCells();

    void linesExcludeTheirEndPoint_data();
    void linesExcludeTheirEndPoint();
    void lineToTheSamePointDrawsNothing();

    void backslashIsDrawnAsYenInJapaneseFaces();
    void backslashStaysInTheLatinFace();

    void slipAmountFillsTheRightmostBoxes();
};

void TestPainterCanvas::fontPixelSize_data()
{
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero points") << 0 << 600 << 0;
    QTest::newRow("a half pixel rounds up") << 1 << 36 << 1;
    QTest::newRow("just below a half rounds down") << 1 << 35 << 0;
    QTest::newRow("12 pt at 600 dpi") << 12 << 600 << 100;
    QTest::newRow("8 pt at 600 dpi") << 8 << 600 << 67;
    QTest::newRow("7 pt at 600 dpi") << 7 << 600 << 58;
    QTest::newRow("6 pt at 600 dpi") << 6 << 600 << 50;
    QTest::newRow("9 pt at 203 dpi") << 9 << 203 << 25;
    QTest::newRow("8 pt at 300 dpi") << 8 << 300 << 33;
}

void TestPainterCanvas::fontPixelSize()
{
    QFETCH(int, points);
    QFETCH(int, dpi);
    QFETCH(int, expected);
    QCOMPARE(FontPixelSize(points, dpi), expected);
}

void TestPainterCanvas::substitutes_data()
{
    QTest::addColumn<QString>("requested");
    QTest::addColumn<QString>("installed");
    QTest::addColumn<bool>("yen");

    QTest::newRow("proportional Mincho") << u"ＭＳ Ｐ明朝"_s << u"IPAPMincho"_s << true;
    QTest::newRow("proportional Gothic") << u"ＭＳ Ｐゴシック"_s << u"IPAPGothic"_s << true;
    QTest::newRow("the Latin face of the number cells") << u"Tahoma"_s << u"DejaVu Sans"_s << false;
    QTest::newRow("a name with a full-width space is another face")
        << u"ＭＳ\u3000Ｐ明朝"_s << u"ＭＳ\u3000Ｐ明朝"_s << false;
    QTest::newRow("an unknown name is used as given") << u"DejaVu Serif"_s << u"DejaVu Serif"_s << false;
}

void TestPainterCanvas::substitutes()
{
    QFETCH(QString, requested);
    QFETCH(QString, installed);
    QFETCH(bool, yen);
    const FontSubstitute found = SubstituteFor(requested);
    QCOMPARE(found.installed, installed);
    QCOMPARE(found.yenForBackslash, yen);
}

void TestPainterCanvas::substitutedFacesAreInstalled()
{
    const QStringList families = QFontDatabase::families();
    for (const FontSubstitute &entry : FontSubstitutes()) {
        QVERIFY2(families.contains(entry.installed), qPrintable(entry.installed));
        QFont font(entry.installed);
        font.setPixelSize(50);
        QCOMPARE(QFontInfo(font).family(), entry.installed);
    }
}

void TestPainterCanvas::deviceFontFollowsVerticalResolution()
{
    QImage image = page600();
    image.setDotsPerMeterY(11811); // 300 dpi down, 600 across
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐ明朝"_s);
    canvas.setFontSize(12);
    const QFont font = canvas.deviceFont();
    QCOMPARE(font.pixelSize(), 50);
    QCOMPARE(font.family(), u"IPAPMincho"_s);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic());
}

void TestPainterCanvas::canvasKeepsTheRequestedName()
{
    QImage image = page600();
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐゴシック"_s);
    canvas.setFontSize(9);
    QCOMPARE(canvas.fontName(), u"ＭＳ Ｐゴシック"_s);
    QCOMPARE(canvas.fontSize(), 9);
    QCOMPARE(canvas.deviceFont().pixelSize(), 75);
}

void TestPainterCanvas::cellsAreOpaqueSpacesIncluded()
{
    QImage image = page600();
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐ明朝"_s);
    canvas.setFontSize(12);
    canvas.setFontColor(CanvasBlack);
    canvas.setBackgroundColor(CanvasWhite);
    canvas.TextOut(100, 200, u"   "_s);
    const Cell cell = cellOf(canvas, image);
    const int width = QFontMetrics(canvas.deviceFont(), &image).horizontalAdvance(u"   "_s);
    painter.end();

    QVERIFY(width > 0);
    QVERIFY(cell.height >= 100);
    for (int y = 200; y < 200 + cell.height; ++y) {
        for (int x = 100; x < 100 + width; ++x)
            QCOMPARE(image.pixel(x, y), White);
    }
    // Nothing outside the cells.
    for (int x = 99; x <= 100 + width; ++x) {
        QCOMPARE(image.pixel(x, 199), Grey);
        QCOMPARE(image.pixel(x, 200 + cell.height), Grey);
    }
    for (int y = 200; y < 200 + cell.height; ++y) {
        QCOMPARE(image.pixel(99, y), Grey);
        QCOMPARE(image.pixel(100 + width, y), Grey);
    }
}

void TestPainterCanvas::textHangsFromTheTopOfItsCell()
{
    QImage image = page600();
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐゴシック"_s);
    canvas.setFontSize(12);
    canvas.TextOut(300, 400, u"M"_s);
    const Cell cell = cellOf(canvas, image);
    painter.end();

    const QRect ink = inkBounds(image, QRect(250, 250, 400, 400));
    QVERIFY(!ink.isNull());
    // The ink lies inside the cell below y, sitting on the baseline at
    // y + ascent; text anchored at its baseline would put the ink above y.
    QVERIFY2(ink.top() >= 400, qPrintable(u"ink top %1"_s.arg(ink.top())));
    QVERIFY2(ink.top() < 400 + cell.ascent / 3, qPrintable(u"ink top %1"_s.arg(ink.top())));
    QVERIFY2(ink.bottom() <= 400 + cell.ascent, qPrintable(u"ink bottom %1"_s.arg(ink.bottom())));
    QVERIFY2(ink.bottom() >= 400 + cell.ascent - 3, qPrintable(u"ink bottom %1"_s.arg(ink.bottom())));
    QVERIFY(ink.left() >= 300);
}

void TestPainterCanvas::spacedTextAdvancesEqually_data()
{
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("advance");

    QTest::newRow("number cells: 371 over 11 cells is 33") << u"Tahoma"_s << u"11111111111"_s << 371 << 33;
    QTest::newRow("amount boxes: 1350 over 11 cells is 122") << u"ＭＳ Ｐ明朝"_s << u"11111111111"_s << 1350 << 122;
    QTest::newRow("the remainder of the division is dropped") << u"Tahoma"_s << u"111"_s << 302 << 100;
    QTest::newRow("a single character") << u"Tahoma"_s << u"1"_s << 57 << 57;
}

void TestPainterCanvas::spacedTextAdvancesEqually()
{
    QFETCH(QString, face);
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(int, advance);

    QImage image = page600(1600, 400);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(face);
    canvas.setFontSize(8);
    canvas.TextOutSpaced(20, 100, text, width);
    const Cell cell = cellOf(canvas, image);
    painter.end();

    const QList<int> starts = inkRunStarts(image, QRect(0, 100, 1600, cell.height));
    QCOMPARE(starts.size(), text.size());
    for (qsizetype k = 1; k < starts.size(); ++k)
        QCOMPARE(starts.at(k) - starts.at(k - 1), advance);
    QVERIFY(starts.first() >= 20 && starts.first() < 20 + advance);
    // The opaque band covers exactly the cells.
    const int span = advance * static_cast<int>(text.size());
    QCOMPARE(image.pixel(20, 100), White);
    QCOMPARE(image.pixel(20 + span - 1, 100), White);
    QCOMPARE(image.pixel(20 + span, 100), Grey);
    QCOMPARE(image.pixel(19, 100), Grey);
}

void TestPainterCanvas::coloursOfTextAndCells()
{
    QImage image = page600();
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐゴシック"_s);
    canvas.setFontSize(12);
    canvas.setFontColor(0x0000FF);
    canvas.setBackgroundColor(0x00FF00);
    canvas.TextOut(100, 100, u"■"_s);
    painter.end();

    QCOMPARE(image.pixel(100, 100), qRgb(0, 255, 0));
    // The middle of the full block is solid text colour.
    const QRect ink = inkBounds(image, QRect(90, 90, 300, 300));
    QVERIFY(!ink.isNull());
    QCOMPARE(image.pixel(ink.center()), qRgb(0, 0, 255));
}

void TestPainterCanvas::linesExcludeTheirEndPoint_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QList<QPoint>>("black");

    QTest::newRow("one pixel to the right") << QPoint(10, 20) << QPoint(11, 20) << QList<QPoint>{{10, 20}};
    QTest::newRow("rightward") << QPoint(10, 20) << QPoint(14, 20)
                               << QList<QPoint>{{10, 20}, {11, 20}, {12, 20}, {13, 20}};
    QTest::newRow("leftward") << QPoint(14, 20) << QPoint(10, 20)
                              << QList<QPoint>{{11, 20}, {12, 20}, {13, 20}, {14, 20}};
    QTest::newRow("downward") << QPoint(30, 5) << QPoint(30, 8) << QList<QPoint>{{30, 5}, {30, 6}, {30, 7}};
    QTest::newRow("upward") << QPoint(30, 8) << QPoint(30, 5) << QList<QPoint>{{30, 6}, {30, 7}, {30, 8}};
    QTest::newRow("diagonal") << QPoint(0, 0) << QPoint(3, 3) << QList<QPoint>{{0, 0}, {1, 1}, {2, 2}};
}

void TestPainterCanvas::linesExcludeTheirEndPoint()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(QList<QPoint>, black);

    QImage image = page600(50, 50);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.MoveTo(from.x(), from.y());
    QCOMPARE(image.pixel(from), Grey);
    canvas.LineTo(to.x(), to.y());
    QCOMPARE(canvas.penPosition(), to);
    painter.end();

    QList<QPoint> seen;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == Black)
                seen.append(QPoint(x, y));
            else
                QCOMPARE(pixel, Grey);
        }
    }
    std::sort(black.begin(), black.end(),
              [](QPoint a, QPoint b) { return a.y() != b.y() ? a.y() < b.y() : a.x() < b.x(); });
    QCOMPARE(seen, black);
}

void TestPainterCanvas::lineToTheSamePointDrawsNothing()
{
    QImage image = page600(20, 20);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.MoveTo(5, 5);
    canvas.LineTo(5, 5);
    painter.end();
    QImage grey = page600(20, 20);
    QCOMPARE(image, grey);
}

void TestPainterCanvas::backslashIsDrawnAsYenInJapaneseFaces()
{
    QImage image = page600(400, 300);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"ＭＳ Ｐ明朝"_s);
    canvas.setFontSize(12);
    canvas.TextOut(50, 50, u"\\"_s);
    const Cell cell = cellOf(canvas, image);
    painter.end();

    QCOMPARE(canvas.deviceText(u"\\12"_s), u"\u00A512"_s);
    const QImage yen = drawDirect(u"IPAPMincho"_s, 100, u"\u00A5"_s, QPoint(50, 50 + cell.ascent));
    const QImage backslash = drawDirect(u"IPAPMincho"_s, 100, u"\\"_s, QPoint(50, 50 + cell.ascent));
    // The substituted face draws the two characters differently, and the
    // canvas draws the yen sign.
    QVERIFY(yen != backslash);
    const QRect area(40, 40, 300, 200);
    QCOMPARE(inkBounds(image, area), inkBounds(yen, area));
    QVERIFY(inkBounds(image, area) != inkBounds(backslash, area));
}

void TestPainterCanvas::backslashStaysInTheLatinFace()
{
    QImage image = page600(400, 300);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    canvas.setFontName(u"Tahoma"_s);
    canvas.setFontSize(12);
    canvas.TextOut(50, 50, u"\\"_s);
    const Cell cell = cellOf(canvas, image);
    painter.end();

    QCOMPARE(canvas.deviceText(u"\\12"_s), u"\\12"_s);
    const QImage backslash = drawDirect(u"DejaVu Sans"_s, 100, u"\\"_s, QPoint(50, 50 + cell.ascent));
    const QRect area(40, 40, 300, 200);
    QCOMPARE(inkBounds(image, area), inkBounds(backslash, area));
}

void TestPainterCanvas::slipAmountFillsTheRightmostBoxes()
{
    QImage image = page600(3000, 1200);
    image.fill(White);
    QPainter painter(&image);
    PainterCanvas canvas(&painter);
    SlipInputs in;
    in.geometry = {600, 600, 0, 0};
    in.sttl = u"12345"_s;
    SLIP97_Prn(canvas, in);
    canvas.setFontName(u"ＭＳ Ｐ明朝"_s);
    canvas.setFontSize(12);
    const Cell cell = cellOf(canvas, image);
    painter.end();

    // The first row of boxes starts at (1444, 289), 122 pixels a box: five
    // empty boxes, the yen sign, then the five digits.
    for (int box = 0; box < 11; ++box) {
        const QRect area(1444 + box * 122, 289, 122, cell.height);
        QCOMPARE(inkBounds(image, area).isNull(), box < 5);
    }
    const QImage yen = drawDirect(u"IPAPMincho"_s, 100, u"\u00A5"_s, QPoint(0, cell.ascent));
    const QRect yenInk = inkBounds(yen, QRect(0, 0, 122, cell.height));
    const QRect drawn = inkBounds(image, QRect(1444 + 5 * 122, 289, 122, cell.height));
    QCOMPARE(drawn.size(), yenInk.size());
    QCOMPARE(drawn.topLeft() - QPoint(1444 + 5 * 122, 289), yenInk.topLeft());
}

QTEST_MAIN(TestPainterCanvas)
#include "tst_paintercanvas.moc"
