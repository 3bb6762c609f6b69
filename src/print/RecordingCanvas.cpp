#include "print/RecordingCanvas.h"

using namespace Qt::StringLiterals;

namespace {

QString colorText(int value)
{
    return u"%1"_s.arg(static_cast<uint>(value), 6, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString CanvasCall::toString() const
{
    switch (kind) {
    case Kind::FontName: return u"FontName(\"%1\")"_s.arg(text);
    case Kind::FontSize: return u"FontSize(%1)"_s.arg(x);
    case Kind::FontColor: return u"FontColor(%1)"_s.arg(colorText(x));
    case Kind::BackgroundColor: return u"BackgroundColor(%1)"_s.arg(colorText(x));
    case Kind::TextOut: return u"TextOut(%1,%2,\"%3\")"_s.arg(x).arg(y).arg(text);
    case Kind::TextOutSpaced: return u"TextOutSpaced(%1,%2,\"%3\",%4)"_s.arg(x).arg(y).arg(text).arg(width);
    case Kind::MoveTo: return u"MoveTo(%1,%2)"_s.arg(x).arg(y);
    case Kind::LineTo: return u"LineTo(%1,%2)"_s.arg(x).arg(y);
    }
    return QString();
}

void RecordingCanvas::setFontName(const QString &name)
{
    m_calls.append({CanvasCall::Kind::FontName, name, 0, 0, 0});
}

void RecordingCanvas::setFontSize(int points)
{
    m_calls.append({CanvasCall::Kind::FontSize, QString(), points, 0, 0});
}

void RecordingCanvas::setFontColor(CanvasColor color)
{
    m_calls.append({CanvasCall::Kind::FontColor, QString(), static_cast<int>(color & 0xFFFFFF), 0, 0});
}

void RecordingCanvas::setBackgroundColor(CanvasColor color)
{
    m_calls.append({CanvasCall::Kind::BackgroundColor, QString(), static_cast<int>(color & 0xFFFFFF), 0, 0});
}

void RecordingCanvas::TextOut(int x, int y, const QString &text)
{
    m_calls.append({CanvasCall::Kind::TextOut, text, x, y, 0});
}

void RecordingCanvas::TextOutSpaced(int x, int y, const QString &text, int width)
{
    m_calls.append({CanvasCall::Kind::TextOutSpaced, text, x, y, width});
}

void RecordingCanvas::MoveTo(int x, int y)
{
    m_calls.append({CanvasCall::Kind::MoveTo, QString(), x, y, 0});
}

void RecordingCanvas::LineTo(int x, int y)
{
    m_calls.append({CanvasCall::Kind::LineTo, QString(), x, y, 0});
}

QStringList RecordingCanvas::transcript() const
{
    QStringList lines;
    lines.reserve(m_calls.size());
    for (const CanvasCall &call : m_calls)
        lines.append(call.toString());
    return lines;
}
