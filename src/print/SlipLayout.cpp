#include "print/SlipLayout.h"

#include "platform/TextUtil.h"
#include "print/FontFaces.h"
#include "print/SlipForm.h"

#include <limits>

using namespace Qt::StringLiterals;
using namespace slipform;

namespace {

__extension__ typedef __int128 i128;

i128 floorDiv(i128 n, i128 d)
{
    i128 q = n / d;
    if ((n % d != 0) && ((n < 0) != (d < 0)))
        --q;
    return q;
}

int clampToInt(i128 v)
{
    if (v > std::numeric_limits<int>::max())
        return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min())
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// Offsets are whole device pixels; an empty caption means none.
int readOffset(const QString &caption)
{
    if (caption.isEmpty())
        return 0;
    return vuzo::StrToIntStrict(caption);
}

// Converts layout positions of one page with fixed scales and offsets.
class Grid
{
public:
    Grid(int64_t scaleX, int64_t scaleY, int left, int top)
        : m_scaleX(scaleX), m_scaleY(scaleY), m_left(left), m_top(top)
    {
    }
    int x(int layout) const { return LayoutToDevice(layout, m_scaleX, m_left); }
    int y(int layout) const { return LayoutToDevice(layout, m_scaleY, m_top); }
    int width(int layout) const { return LayoutToDevice(layout, m_scaleX, 0); }
    int height(int layout) const { return LayoutToDevice(layout, m_scaleY, 0); }

private:
    int64_t m_scaleX, m_scaleY;
    int m_left, m_top;
};

void useFont(PrintCanvas &canvas, const QString &face, int points)
{
    canvas.setFontName(face);
    canvas.setFontSize(points);
}

struct FixedText
{
    const QString SlipInputs::*field;
    int points;
    int x, y;
    const char16_t *label;
    int rightEdge; // the block's right edge in layout units
};

// The right-hand block ends with the second amount row, the left-hand one
// with the first, as the form draws them.
constexpr int kRightBlockEnd = kAmount2X + kAmountWidth;
constexpr int kLeftBlockEnd = kAmount1X + kAmountWidth;

const FixedText remitter[] = {
    // The right-hand remitter block: address, then name.
    {&SlipInputs::add1, 7, kRightX, kRightAddY[0], u"ご依頼人（右）の住所1行目", kRightBlockEnd},
    {&SlipInputs::add2, 7, kRightX, kRightAddY[1], u"ご依頼人（右）の住所2行目", kRightBlockEnd},
    {&SlipInputs::add3, 7, kRightX, kRightAddY[2], u"ご依頼人（右）の住所3行目", kRightBlockEnd},
    {&SlipInputs::custo1, 8, kRightNameX, kRightNameY, u"ご依頼人（右）のおなまえ", kRightBlockEnd},
    // The left-hand remitter block: postal code, address, name and telephone.
    {&SlipInputs::zip, 8, kLeftX, kLeftZipY, u"ご依頼人（左）の郵便番号", kLeftBlockEnd},
    {&SlipInputs::add1, 8, kLeftX, kLeftAddY[0], u"ご依頼人（左）の住所1行目", kLeftBlockEnd},
    {&SlipInputs::add2, 8, kLeftX, kLeftAddY[1], u"ご依頼人（左）の住所2行目", kLeftBlockEnd},
    {&SlipInputs::add3, 8, kLeftX, kLeftAddY[2], u"ご依頼人（左）の住所3行目", kLeftBlockEnd},
    {&SlipInputs::custo1, 8, kLeftNameX, kLeftNameY, u"ご依頼人（左）のおなまえ", kLeftBlockEnd},
    {&SlipInputs::tel, 8, kLeftTelX, kLeftTelY, u"ご依頼人（左）の電話番号", kLeftBlockEnd},
};

struct Heading
{
    QString text;
    int x;
};

} // namespace

int64_t LayoutScale(int dpi)
{
    // dpi x 10000 / 160 = dpi x 125 / 2: a tie can only come from an odd
    // numerator, and it goes to the even neighbour.
    const i128 n = i128(dpi) * 125;
    i128 q = floorDiv(n, 2);
    if ((n % 2 != 0) && (q % 2 != 0))
        ++q;
    return static_cast<int64_t>(q);
}

int LayoutToDevice(int layout, int64_t scale, int offset)
{
    return clampToInt(floorDiv(i128(layout) * scale + 5000, 10000) + offset);
}

QString BoxText(const QString &value)
{
    return (u"           "_s + value).right(11);
}

QString AmountText(const QString &totalText)
{
    return u"\\"_s + vuzo::Trim(totalText);
}

QString GroupedNumberText(Currency value)
{
    const int64_t raw = value.raw();
    const bool negative = raw < 0;
    // The magnitude of INT64_MIN does not fit in int64; unsigned holds it.
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(raw) : static_cast<uint64_t>(raw);
    const uint64_t scale = static_cast<uint64_t>(Currency::Scale);
    const uint64_t units = magnitude / scale + (magnitude % scale >= scale / 2 ? 1 : 0);

    const QString digits = QString::number(units);
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped.append(u',');
        grouped.append(digits.at(i));
    }
    // A value that rounds to nothing prints as a plain 0.
    if (negative && units != 0)
        grouped.prepend(u'-');
    return grouped;
}

PrintGeometry ParsePrintGeometry(const QString &dpiX, const QString &dpiY, const QString &top, const QString &left)
{
    PrintGeometry geometry;
    geometry.dpiX = vuzo::StrToIntStrict(dpiX);
    geometry.dpiY = vuzo::StrToIntStrict(dpiY);
    geometry.top = readOffset(top);
    geometry.left = readOffset(left);
    return geometry;
}

void SLIP97_Prn(PrintCanvas &canvas, const SlipInputs &in)
{
    const PrintGeometry &g = in.geometry;
    const Grid grid(LayoutScale(g.dpiX), LayoutScale(g.dpiY), g.left, g.top);

    canvas.setFontName(SlipFace::Mincho());
    canvas.setFontColor(CanvasBlack);
    canvas.setBackgroundColor(CanvasWhite);

    // The two rows of amount boxes: 11 cells over 360 layout units each.
    const QString amount = BoxText(AmountText(in.sttl));
    useFont(canvas, SlipFace::Mincho(), kAmountPoints);
    canvas.TextOutSpaced(grid.x(kAmount1X), grid.y(kAmount1Y), amount, grid.width(kAmountWidth));
    useFont(canvas, SlipFace::Mincho(), kAmountPoints);
    canvas.TextOutSpaced(grid.x(kAmount2X), grid.y(kAmount2Y), amount, grid.width(kAmountWidth));

    // The two remitter blocks.
    for (const FixedText &item : remitter) {
        useFont(canvas, SlipFace::Mincho(), item.points);
        canvas.TextOut(grid.x(item.x), grid.y(item.y), in.*(item.field));
    }

    // The column header of the message column and its rule.
    const Heading headings[] = {
        {u"商品名"_s, kHeaderItemX},
        {u"数量"_s, kHeaderQtyX},
        {u"単価"_s, kHeaderPriceX},
        {in.pricesIncludeTax ? u"税込金額"_s : u"税抜金額"_s, kHeaderSalesX},
    };
    for (const Heading &heading : headings) {
        useFont(canvas, SlipFace::Gothic(), 9);
        canvas.TextOut(grid.x(heading.x), grid.y(kHeaderY), heading.text);
    }
    canvas.MoveTo(grid.x(kRuleFromX), grid.y(kRuleY));
    canvas.LineTo(grid.x(kRuleToX), grid.y(kRuleY));

    // Sales lines 1 to 4. The start and the step are converted once, so rows
    // sit a whole number of pixels apart; a line without quantity leaves its
    // place to the next one.
    int rowY = grid.y(kRowsY);
    const int rowStep = grid.height(kRowStep);
    for (const SlipRow &row : in.rows) {
        if (row.qty.isZero())
            continue;
        useFont(canvas, SlipFace::Mincho(), 8);
        canvas.TextOut(grid.x(kRowItemX), rowY, row.item);
        useFont(canvas, SlipFace::Mincho(), 6);
        canvas.TextOut(grid.x(kRowUnitX), rowY, row.unit);
        useFont(canvas, SlipFace::Tahoma(), 8);
        canvas.TextOutSpaced(grid.x(kRowQtyX), rowY, BoxText(GroupedNumberText(row.qty)), grid.width(kRowCellWidth));
        useFont(canvas, SlipFace::Tahoma(), 8);
        canvas.TextOutSpaced(grid.x(kRowPriceX), rowY, BoxText(GroupedNumberText(row.price)),
                             grid.width(kRowCellWidth));
        useFont(canvas, SlipFace::Tahoma(), 8);
        canvas.TextOutSpaced(grid.x(kRowSalesX), rowY, BoxText(GroupedNumberText(row.sales)),
                             grid.width(kRowCellWidth));
        rowY += rowStep;
    }
}

QList<SlipTextCell> SlipTextCells(const SlipInputs &in)
{
    const PrintGeometry &g = in.geometry;
    const Grid grid(LayoutScale(g.dpiX), LayoutScale(g.dpiY), g.left, g.top);
    auto room = [&](int from, int to) { return grid.x(to) - grid.x(from); };
    QList<SlipTextCell> cells;
    auto add = [&](const QString &label, const QString &text, const QString &face, int points, int width) {
        if (!text.isEmpty())
            cells.append({label, text, face, points, width});
    };
    for (const FixedText &item : remitter)
        add(QString::fromUtf16(item.label), in.*(item.field), SlipFace::Mincho(), item.points,
            room(item.x, item.rightEdge));
    // The item name runs up to the quantity cell, the unit up to the line
    // amount's cell; both are drawn before the number cells cover them.
    for (qsizetype n = 0; n < qsizetype(in.rows.size()); ++n) {
        const SlipRow &row = in.rows[size_t(n)];
        if (row.qty.isZero())
            continue;
        const QString line = QString::number(n + 1) + u"行目の"_s;
        add(line + u"商品名"_s, row.item, SlipFace::Mincho(), 8, room(kRowItemX, kRowQtyX));
        add(line + u"単位"_s, row.unit, SlipFace::Mincho(), 6, room(kRowUnitX, kRowSalesX));
    }
    return cells;
}
