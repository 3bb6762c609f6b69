#pragma once
// The printing device's canvas: PrintCanvas over a QPainter whose paint device
// has the printer's resolution (its logical dpi is the printer's dpi).
//
// It keeps the face names the layout asks for and maps them, only when it
// draws, to installed faces through one substitution table. Cells are opaque:
// the background colour fills every character cell, spaces included, before
// the character is drawn. Text hangs from the top-left corner of its cell, the
// cell being the font's ascent plus descent high.

#include "print/PrintCanvas.h"

#include <QFont>
#include <QPoint>
#include <QString>

class QPainter;

// One face the slip asks for and the installed face that draws it.
struct FontSubstitute
{
    QString requested;
    QString installed;
    // The requested face shows U+005C as the yen sign but the installed one
    // shows a backslash, so the canvas draws U+00A5 in its place.
    bool yenForBackslash;
};

// The whole substitution table.
const QList<FontSubstitute> &FontSubstitutes();

// The installed face for a requested one; an unknown name is used as given.
FontSubstitute SubstituteFor(const QString &requested);

// The em height in pixels of a point size at a vertical resolution:
// points x dpi / 72, rounded to the nearest pixel.
int FontPixelSize(int points, int dpiY);

class PainterCanvas final : public PrintCanvas
{
public:
    // The painter must stay active while the canvas draws. The font size maps
    // at the painter device's vertical logical resolution.
    explicit PainterCanvas(QPainter *painter);

    void setFontName(const QString &name) override;
    void setFontSize(int points) override;
    void setFontColor(CanvasColor color) override;
    void setBackgroundColor(CanvasColor color) override;
    void TextOut(int x, int y, const QString &text) override;
    void TextOutSpaced(int x, int y, const QString &text, int width) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    QString fontName() const { return m_fontName; }
    int fontSize() const { return m_fontSize; }
    QPoint penPosition() const { return m_pen; }
    // The font text is drawn with now: the substituted face at the mapped size.
    QFont deviceFont() const;
    // The text as the device draws it in the current face.
    QString deviceText(const QString &text) const;

private:
    QPainter *m_painter;
    QString m_fontName;
    int m_fontSize = 10;
    CanvasColor m_fontColor = CanvasBlack;
    CanvasColor m_backgroundColor = CanvasWhite;
    QPoint m_pen;
};
