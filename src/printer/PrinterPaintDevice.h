#pragma once
// A paint device that measures like a printer (its size and resolution) and
// records what is drawn on it instead of rasterising it. It serves as the
// canvas while no job is open (the printer's information context: drawing
// goes nowhere) and as the pages of the in-memory printer, whose tests read
// the recorded drawing back.

#include <QBrush>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QTransform>
#include <memory>

// One drawing call, with coordinates already mapped to device pixels.
struct DrawOp
{
    enum Kind
    {
        Text,
        Line,
        Rect,
        Ellipse,
        Path,
        Points,
        Polygon,
        Pixmap,
        Image
    };
    Kind kind = Text;
    QPointF pos; // Text: the baseline start
    QString text;
    QFont font;           // Text: the font as set; its pointSizeF() is what the program asked for
    double pixelSize = 0; // Text: the font's height in device pixels
    QLineF line;
    QRectF rect; // Rect, Ellipse, Pixmap, Image: the target; Path, Polygon, Points: the bounds
    QPen pen;
    QBrush brush;
};

class RecordingPaintEngine;

class PrinterPaintDevice : public QPaintDevice
{
public:
    // widthPx x heightPx device pixels at dpiX x dpiY (0 counts as 72).
    PrinterPaintDevice(int widthPx, int heightPx, int dpiX, int dpiY, int widthMm, int heightMm);
    ~PrinterPaintDevice() override;
    PrinterPaintDevice(const PrinterPaintDevice &) = delete;
    PrinterPaintDevice &operator=(const PrinterPaintDevice &) = delete;

    QPaintEngine *paintEngine() const override;

    // Drawing goes into this list from now on; nullptr drops it.
    void setSink(QList<DrawOp> *sink);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    int m_width;
    int m_height;
    int m_dpiX;
    int m_dpiY;
    int m_widthMm;
    int m_heightMm;
    std::unique_ptr<RecordingPaintEngine> m_engine;
};
