#include "print/SlipForm.h"

#include <QRegularExpression>
#include <cstdint>
#include <limits>

using namespace Qt::StringLiterals;

namespace slipform {
namespace {

// The height of a line of text of a point size: its em (points x dpi / 72)
// and a quarter more for the descent, the cell a character is drawn in.
double lineHeight(int points, int dpiY)
{
    return points * dpiY / 72.0 * 1.25;
}

} // namespace

FormReference SlipFormReference(const PrintGeometry &g)
{
    const int64_t sx = LayoutScale(g.dpiX);
    const int64_t sy = LayoutScale(g.dpiY);
    auto x = [&](int layout) { return double(LayoutToDevice(layout, sx, g.left)); };
    auto y = [&](int layout) { return double(LayoutToDevice(layout, sy, g.top)); };

    FormReference f;
    // The cells where TextOutSpaced puts the amount's characters: the width
    // divided by the cell count with integer division, as the layout does.
    const int advance = LayoutToDevice(kAmountWidth, sx, 0) / kAmountCells;
    const double boxHeight = lineHeight(kAmountPoints, g.dpiY);
    for (const auto &[bx, by] : {std::pair{kAmount1X, kAmount1Y}, std::pair{kAmount2X, kAmount2Y}}) {
        for (int k = 0; k < kAmountCells; ++k)
            f.amountCells.append(QRectF(x(bx) + k * advance, y(by), advance, boxHeight));
    }

    // The blocks run from their first line to the foot of their last, and
    // across to the right end of the amount boxes above them.
    const double line8 = lineHeight(8, g.dpiY);
    const QRectF left(QPointF(x(kLeftX), y(kLeftZipY)),
                      QPointF(x(kAmount1X) + kAmountCells * advance, y(kLeftTelY) + line8));
    const QRectF right(QPointF(x(kRightX), y(kRightAddY[0])),
                       QPointF(x(kAmount2X) + kAmountCells * advance, y(kRightNameY) + line8));
    f.remitterBlocks = {left, right};

    // The message column: from its header to the foot of the last sales line,
    // rows placed with the step converted once, as the layout places them.
    const int rowStep = LayoutToDevice(kRowStep, sy, 0);
    const double rowsTop = y(kRowsY);
    const double columnBottom = rowsTop + kPrintedRows * rowStep;
    f.messageColumn = QRectF(QPointF(x(kRuleFromX), y(kHeaderY)), QPointF(x(kRuleToX), columnBottom));
    f.messageLines.append(QLineF(x(kRuleFromX), y(kRuleY), x(kRuleToX), y(kRuleY)));
    for (int row = 1; row <= kPrintedRows; ++row) {
        const double foot = rowsTop + row * rowStep;
        f.messageLines.append(QLineF(x(kRuleFromX), foot, x(kRuleToX), foot));
    }

    f.referencePoints = {QPointF(x(kAmount1X), y(kAmount1Y)), QPointF(x(kAmount2X), y(kAmount2Y)),
                         QPointF(x(kLeftX), y(kLeftZipY)),    QPointF(x(kRightX), y(kRightAddY[0])),
                         QPointF(x(kRuleFromX), y(kRuleY)),   QPointF(x(kRuleToX), y(kRuleY))};
    f.referenceNames = {u"金額1"_s, u"金額2"_s, u"ご依頼人1"_s, u"ご依頼人2"_s, u"通信欄左"_s, u"通信欄右"_s};
    return f;
}

QList<ItemArea> SlipItemAreas(const PrintGeometry &geometry)
{
    const FormReference f = SlipFormReference(geometry);
    auto row = [&](qsizetype first) {
        return f.amountCells.at(first).united(f.amountCells.at(first + kAmountCells - 1));
    };
    return {{u"金額（1段目）"_s, row(0)},
            {u"金額（2段目）"_s, row(kAmountCells)},
            {u"ご依頼人（左）"_s, f.remitterBlocks.at(0)},
            {u"ご依頼人（右）"_s, f.remitterBlocks.at(1)},
            {u"通信欄"_s, f.messageColumn}};
}

QStringList ItemsOutside(const PrintGeometry &geometry, const QRectF &printable)
{
    // Half a pixel either way: the printable area comes from millimetres and
    // the items from whole pixels.
    const QRectF area = printable.adjusted(-0.5, -0.5, 0.5, 0.5);
    QStringList outside;
    for (const ItemArea &item : SlipItemAreas(geometry)) {
        if (!area.contains(item.rect))
            outside << item.name;
    }
    return outside;
}

} // namespace slipform

namespace {

int clampToInt(long double v)
{
    if (v >= static_cast<long double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (v <= static_cast<long double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

// n / d rounded half away from zero, d > 0, exactly in 64 bits.
int64_t divideRounded(int64_t n, int64_t d)
{
    const int64_t magnitude = (n < 0 ? -n : n);
    const int64_t q = (2 * magnitude + d) / (2 * d);
    return n < 0 ? -q : q;
}

} // namespace

int PixelsToTenthMm(int pixels, int dpi)
{
    if (dpi <= 0)
        return 0;
    return clampToInt(divideRounded(int64_t(pixels) * 254, dpi));
}

int TenthMmToPixels(int tenths, int dpi)
{
    if (dpi <= 0)
        return 0;
    return clampToInt(divideRounded(int64_t(tenths) * dpi, 254));
}

QString TenthMmText(int tenths)
{
    const int64_t magnitude = tenths < 0 ? -int64_t(tenths) : int64_t(tenths);
    QString text = QString::number(magnitude / 10);
    if (magnitude % 10 != 0)
        text += u'.' + QString::number(magnitude % 10);
    return tenths < 0 ? u'-' + text : text;
}

std::optional<int> ParseTenthMm(const QString &text)
{
    static const QRegularExpression number(uR"(^\s*(-?)(\d{1,6})(?:\.(\d*))?\s*$)"_s);
    const QRegularExpressionMatch m = number.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    // Whole tenths from the digits, the next digit rounds half away from zero.
    const QString decimals = m.captured(3);
    int tenths = m.captured(2).toInt() * 10 + (decimals.isEmpty() ? 0 : decimals.at(0).digitValue());
    if (decimals.size() > 1 && decimals.at(1).digitValue() >= 5)
        ++tenths;
    return m.captured(1).isEmpty() ? tenths : -tenths;
}
