#pragma once
// A canvas that draws nothing and records every call in order, so a layout can
// be checked as an exact list of drawing operations without a printer.

#include "print/PrintCanvas.h"

#include <QList>
#include <QStringList>

struct CanvasCall
{
    enum class Kind
    {
        FontName,
        FontSize,
        FontColor,
        BackgroundColor,
        TextOut,
        TextOutSpaced,
        MoveTo,
        LineTo
    };

    Kind kind = Kind::TextOut;
    QString text; // face name or drawn text
    int x = 0;    // also the point size or the colour for the setters
    int y = 0;
    int width = 0; // TextOutSpaced only

    bool operator==(const CanvasCall &) const = default;

    // One readable line, for example TextOutSpaced(1444,289,"     \12345",1350)
    // or FontSize(12). Colours are written as six hex digits.
    QString toString() const;
};

class RecordingCanvas final : public PrintCanvas
{
public:
    void setFontName(const QString &name) override;
    void setFontSize(int points) override;
    void setFontColor(CanvasColor color) override;
    void setBackgroundColor(CanvasColor color) override;
    void TextOut(int x, int y, const QString &text) override;
    void TextOutSpaced(int x, int y, const QString &text, int width) override;
    void MoveTo(int x, int y) override;
    void LineTo(int x, int y) override;

    const QList<CanvasCall> &calls() const { return m_calls; }
    // Every call as CanvasCall::toString(), in order.
    QStringList transcript() const;
    void clear() { m_calls.clear(); }

private:
    QList<CanvasCall> m_calls;
};
