#include "printer/PrinterPaintDevice.h"

#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QTextItem>

class RecordingPaintEngine : public QPaintEngine
{
public:
    RecordingPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    void setSink(QList<DrawOp> *sink) { m_sink = sink; }

    bool begin(QPaintDevice *) override
    {
        m_transform = QTransform();
        m_pen = QPen();
        m_brush = QBrush();
        m_font = QFont();
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }

    void updateState(const QPaintEngineState &newState) override
    {
        const auto flags = newState.state();
        if (flags & QPaintEngine::DirtyTransform)
            m_transform = newState.transform();
        if (flags & QPaintEngine::DirtyPen)
            m_pen = newState.pen();
        if (flags & QPaintEngine::DirtyBrush)
            m_brush = newState.brush();
        if (flags & QPaintEngine::DirtyFont)
            m_font = newState.font();
    }

    void drawTextItem(const QPointF &p, const QTextItem &textItem) override
    {
        DrawOp op = make(DrawOp::Text);
        op.pos = m_transform.map(p);
        op.text = textItem.text();
        op.font = textItem.font();
        // The item's font is resolved for this device: its pixel size is
        // the height the text has on the page.
        op.pixelSize = textItem.font().pixelSize() > 0
                           ? textItem.font().pixelSize()
                           : textItem.font().pointSizeF() * paintDevice()->logicalDpiY() / 72.0;
        op.pixelSize *= m_transform.m22();
        add(std::move(op));
    }
    void drawLines(const QLineF *lines, int lineCount) override
    {
        for (int i = 0; i < lineCount; ++i) {
            DrawOp op = make(DrawOp::Line);
            op.line = m_transform.map(lines[i]);
            add(std::move(op));
        }
    }
    void drawLines(const QLine *lines, int lineCount) override
    {
        for (int i = 0; i < lineCount; ++i) {
            const QLineF l(lines[i]);
            drawLines(&l, 1);
        }
    }
    void drawRects(const QRectF *rects, int rectCount) override
    {
        for (int i = 0; i < rectCount; ++i) {
            DrawOp op = make(DrawOp::Rect);
            op.rect = m_transform.mapRect(rects[i]);
            add(std::move(op));
        }
    }
    void drawRects(const QRect *rects, int rectCount) override
    {
        for (int i = 0; i < rectCount; ++i) {
            const QRectF r(rects[i]);
            drawRects(&r, 1);
        }
    }
    void drawEllipse(const QRectF &r) override
    {
        DrawOp op = make(DrawOp::Ellipse);
        op.rect = m_transform.mapRect(r);
        add(std::move(op));
    }
    void drawEllipse(const QRect &r) override { drawEllipse(QRectF(r)); }
    void drawPath(const QPainterPath &path) override
    {
        DrawOp op = make(DrawOp::Path);
        op.rect = m_transform.map(path).boundingRect();
        add(std::move(op));
    }
    void drawPoints(const QPointF *points, int pointCount) override
    {
        DrawOp op = make(DrawOp::Points);
        op.rect = m_transform.map(QPolygonF(QList<QPointF>(points, points + pointCount))).boundingRect();
        add(std::move(op));
    }
    void drawPoints(const QPoint *points, int pointCount) override
    {
        QList<QPointF> pts;
        for (int i = 0; i < pointCount; ++i)
            pts.append(QPointF(points[i]));
        drawPoints(pts.constData(), pointCount);
    }
    void drawPolygon(const QPointF *points, int pointCount, PolygonDrawMode) override
    {
        DrawOp op = make(DrawOp::Polygon);
        op.rect = m_transform.map(QPolygonF(QList<QPointF>(points, points + pointCount))).boundingRect();
        add(std::move(op));
    }
    void drawPolygon(const QPoint *points, int pointCount, PolygonDrawMode mode) override
    {
        QList<QPointF> pts;
        for (int i = 0; i < pointCount; ++i)
            pts.append(QPointF(points[i]));
        drawPolygon(pts.constData(), pointCount, mode);
    }
    void drawPixmap(const QRectF &r, const QPixmap &, const QRectF &) override
    {
        DrawOp op = make(DrawOp::Pixmap);
        op.rect = m_transform.mapRect(r);
        add(std::move(op));
    }
    void drawImage(const QRectF &r, const QImage &, const QRectF &, Qt::ImageConversionFlags) override
    {
        DrawOp op = make(DrawOp::Image);
        op.rect = m_transform.mapRect(r);
        add(std::move(op));
    }

private:
    DrawOp make(DrawOp::Kind kind) const
    {
        DrawOp op;
        op.kind = kind;
        op.pen = m_pen;
        op.brush = m_brush;
        op.font = m_font;
        return op;
    }
    void add(DrawOp &&op)
    {
        if (m_sink)
            m_sink->append(std::move(op));
    }

    QList<DrawOp> *m_sink = nullptr;
    QTransform m_transform;
    QPen m_pen;
    QBrush m_brush;
    QFont m_font;
};

PrinterPaintDevice::PrinterPaintDevice(int widthPx, int heightPx, int dpiX, int dpiY, int widthMm, int heightMm)
    : m_width(qMax(1, widthPx)), m_height(qMax(1, heightPx)), m_dpiX(dpiX > 0 ? dpiX : 72),
      m_dpiY(dpiY > 0 ? dpiY : 72), m_widthMm(qMax(1, widthMm)), m_heightMm(qMax(1, heightMm)),
      m_engine(std::make_unique<RecordingPaintEngine>())
{
}

PrinterPaintDevice::~PrinterPaintDevice() = default;

QPaintEngine *PrinterPaintDevice::paintEngine() const
{
    return m_engine.get();
}

void PrinterPaintDevice::setSink(QList<DrawOp> *sink)
{
    m_engine->setSink(sink);
}

int PrinterPaintDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth: return m_width;
    case PdmHeight: return m_height;
    case PdmWidthMM: return m_widthMm;
    case PdmHeightMM: return m_heightMm;
    case PdmNumColors: return 1 << 24;
    case PdmDepth: return 24;
    case PdmDpiX:
    case PdmPhysicalDpiX: return m_dpiX;
    case PdmDpiY:
    case PdmPhysicalDpiY: return m_dpiY;
    case PdmDevicePixelRatio: return 1;
    case PdmDevicePixelRatioScaled: return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}
