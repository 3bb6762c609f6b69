#include "printer/PainterCanvas.h"

#include "print/FontFaces.h"

#include <QColor>
#include <QFontMetrics>
#include <QPaintDevice>
#include <QPainter>
#include <QRect>
#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

QColor toQColor(CanvasColor color)
{
    return QColor::fromRgb(0xFF000000u | (color & 0xFFFFFFu));
}

// The character cell height: ascent plus descent, internal leading included.
struct CellMetrics
{
    int ascent;
    int height;
};

CellMetrics cellMetrics(const QFontMetrics &fm)
{
    return {fm.ascent(), fm.ascent() + fm.descent()};
}

} // namespace

const QList<FontSubstitute> &FontSubstitutes()
{
    // The Japanese faces of the slip show U+005C as a yen sign; the IPA faces
    // standing in for them show a backslash, hence the flag. The Latin face of
    // the number cells shows a backslash in both.
    static const QList<FontSubstitute> table{
        {SlipFace::Mincho(), u"IPAPMincho"_s, true},
        {SlipFace::Gothic(), u"IPAPGothic"_s, true},
        {SlipFace::Tahoma(), u"DejaVu Sans"_s, false},
    };
    return table;
}

FontSubstitute SubstituteFor(const QString &requested)
{
    for (const FontSubstitute &entry : FontSubstitutes()) {
        if (entry.requested == requested)
            return entry;
    }
    return {requested, requested, false};
}

int FontPixelSize(int points, int dpiY)
{
    const int64_t product = int64_t(points) * dpiY;
    const int64_t rounded = product >= 0 ? (product + 36) / 72 : -((-product + 36) / 72);
    return static_cast<int>(rounded);
}

PainterCanvas::PainterCanvas(QPainter *painter) : m_painter(painter) {}

void PainterCanvas::setFontName(const QString &name)
{
    m_fontName = name;
}

void PainterCanvas::setFontSize(int points)
{
    m_fontSize = points;
}

void PainterCanvas::setFontColor(CanvasColor color)
{
    m_fontColor = color;
}

void PainterCanvas::setBackgroundColor(CanvasColor color)
{
    m_backgroundColor = color;
}

QFont PainterCanvas::deviceFont() const
{
    QFont font(SubstituteFor(m_fontName).installed);
    // A size that maps to less than a pixel still draws something visible
    // instead of leaving the font invalid.
    font.setPixelSize(qMax(1, std::abs(FontPixelSize(m_fontSize, m_painter->device()->logicalDpiY()))));
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    // Printer text keeps the face's own advances: no kerning, no hinting that
    // would move glyphs to the screen's grid.
    font.setKerning(false);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QString PainterCanvas::deviceText(const QString &text) const
{
    if (!SubstituteFor(m_fontName).yenForBackslash)
        return text;
    QString shown = text;
    shown.replace(QChar(0x005C), QChar(0x00A5));
    return shown;
}

void PainterCanvas::TextOut(int x, int y, const QString &text)
{
    if (text.isEmpty())
        return;
    const QFont font = deviceFont();
    const QFontMetrics fm(font, m_painter->device());
    const QString shown = deviceText(text);
    const CellMetrics cell = cellMetrics(fm);

    m_painter->save();
    m_painter->fillRect(QRect(x, y, fm.horizontalAdvance(shown), cell.height), toQColor(m_backgroundColor));
    m_painter->setFont(font);
    m_painter->setPen(toQColor(m_fontColor));
    m_painter->drawText(QPoint(x, y + cell.ascent), shown);
    m_painter->restore();
}

void PainterCanvas::TextOutSpaced(int x, int y, const QString &text, int width)
{
    const qsizetype count = text.size();
    if (count == 0)
        return;
    const int advance = static_cast<int>(width / count);
    const QFont font = deviceFont();
    const QFontMetrics fm(font, m_painter->device());
    const QString shown = deviceText(text);
    const CellMetrics cell = cellMetrics(fm);

    m_painter->save();
    // One opaque band over every cell, then each character at its own cell.
    const int span = static_cast<int>(advance * count);
    m_painter->fillRect(QRect(x, y, span, cell.height).normalized(), toQColor(m_backgroundColor));
    m_painter->setFont(font);
    m_painter->setPen(toQColor(m_fontColor));
    for (qsizetype k = 0; k < count; ++k) {
        // A surrogate pair is one character drawn at the cell of its first
        // code unit; the cell of its second unit stays blank.
        qsizetype length = 1;
        if (shown.at(k).isHighSurrogate() && k + 1 < count && shown.at(k + 1).isLowSurrogate())
            length = 2;
        const int cellX = static_cast<int>(x + k * advance);
        m_painter->drawText(QPoint(cellX, y + cell.ascent), shown.mid(k, length));
        k += length - 1;
    }
    m_painter->restore();
}

void PainterCanvas::MoveTo(int x, int y)
{
    m_pen = QPoint(x, y);
}

void PainterCanvas::LineTo(int x, int y)
{
    const QPoint from = m_pen;
    const QPoint to(x, y);
    m_pen = to;
    if (from == to)
        return;

    const QColor black(Qt::black);
    if (from.y() == to.y()) {
        // Pixels from the start up to, not including, the end.
        const int left = from.x() < to.x() ? from.x() : to.x() + 1;
        m_painter->fillRect(QRect(left, from.y(), std::abs(to.x() - from.x()), 1), black);
        return;
    }
    if (from.x() == to.x()) {
        const int top = from.y() < to.y() ? from.y() : to.y() + 1;
        m_painter->fillRect(QRect(from.x(), top, 1, std::abs(to.y() - from.y())), black);
        return;
    }

    // Any other direction: the pixels of a Bresenham walk, end point left out.
    int px = from.x();
    int py = from.y();
    const int dx = std::abs(to.x() - px);
    const int dy = -std::abs(to.y() - py);
    const int sx = px < to.x() ? 1 : -1;
    const int sy = py < to.y() ? 1 : -1;
    int error = dx + dy;
    while (px != to.x() || py != to.y()) {
        m_painter->fillRect(QRect(px, py, 1, 1), black);
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += sx;
        }
        if (twice <= dx) {
            error += dx;
            py += sy;
        }
    }
}
