#pragma once
// The drawing surface the slip layout draws on. Coordinates are device pixels
// of the page, x to the right and y downward from the top-left corner of the
// printable area. Text is anchored at the top-left corner of its first
// character cell, never at the baseline, and every cell is filled with the
// background colour before its character is drawn (spaces included), so a
// later item covers an earlier one where they overlap.

#include <QString>
#include <cstdint>

// A colour as 0xRRGGBB.
using CanvasColor = uint32_t;
inline constexpr CanvasColor CanvasBlack = 0x000000;
inline constexpr CanvasColor CanvasWhite = 0xFFFFFF;

class PrintCanvas
{
public:
    virtual ~PrintCanvas() = default;

    // The face name used by later text. The canvas keeps the name it is
    // given; a real device maps it to an installed face.
    virtual void setFontName(const QString &name) = 0;
    // The size of later text in points. The device maps it at its vertical
    // resolution: the em height (internal leading excluded) is
    // points x vertical dpi / 72 pixels, rounded to the nearest pixel.
    virtual void setFontSize(int points) = 0;
    virtual void setFontColor(CanvasColor color) = 0;
    // The colour that fills the character cells behind later text.
    virtual void setBackgroundColor(CanvasColor color) = 0;

    // Draws the text with natural character advances.
    virtual void TextOut(int x, int y, const QString &text) = 0;
    // Draws the text with every character advanced by width div (number of
    // characters): character k (from 0) starts at x + k x advance.
    virtual void TextOutSpaced(int x, int y, const QString &text, int width) = 0;

    // Sets the pen position without drawing.
    virtual void MoveTo(int x, int y) = 0;
    // Draws a line from the pen position to (x, y), end point excluded, with a
    // black solid pen 1 pixel wide; the pen position becomes (x, y).
    virtual void LineTo(int x, int y) = 0;

protected:
    PrintCanvas() = default;
    PrintCanvas(const PrintCanvas &) = default;
    PrintCanvas &operator=(const PrintCanvas &) = default;
};

// The spaced drawing in the argument order the layout's callers use.
inline void TextOutSpaced(PrintCanvas &canvas, const QString &text, int x, int y, int width)
{
    canvas.TextOutSpaced(x, y, text, width);
}
