#pragma once
// A paint device of any resolution and size that records what is drawn on
// it, page by page: each text with its baseline, advance width, ascent and
// size, each line and each shape. Positions are in device pixels. (The
// integer forms of the drawing calls reach the floating-point ones below.)
#include <QFont>
#include <QFontMetricsF>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QTextItem>

#include <algorithm>
#include <cmath>
#include <vector>

struct RecordedText {
    QString text;
    QPointF baseline;
    double width = 0;   // advance, after the painter's scaling
    double ascent = 0;
    double descent = 0;
    double pointSize = 0;
    QRectF ink; // the glyphs' own outline, device pixels
};

struct RecordedPage {
    std::vector<RecordedText> texts;
    std::vector<QLineF> lines;
    std::vector<double> lineWidths; // the pen of each line, device pixels
    std::vector<QPen> linePens;     // and the whole pen: colour, dashes
    std::vector<QRectF> shapes;     // ellipses and polygons, their bounds with the pen
};

class RecordingEngine final : public QPaintEngine {
public:
    std::vector<RecordedPage> pages{1};

    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyTransform)
            m_transform = state.transform();
        if (state.state() & QPaintEngine::DirtyPen) {
            m_penWidth = std::max(1.0, state.pen().widthF());
            m_pen = state.pen();
        }
    }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &p, const QTextItem &item) override
    {
        const QFont font = item.font();
        const double dpi = paintDevice()->logicalDpiY();
        const double pixels = font.pixelSize() > 0 ? font.pixelSize() * m_transform.m22()
                                                   : font.pointSizeF() * dpi / 72.0;
        const QRectF ink = QFontMetricsF(font, paintDevice()).tightBoundingRect(item.text()).translated(p);
        pages.back().texts.push_back({item.text(), m_transform.map(p), item.width() * m_transform.m11(),
                                      item.ascent() * m_transform.m22(), item.descent() * m_transform.m22(),
                                      pixels * 72.0 / dpi, m_transform.mapRect(ink)});
    }
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i) {
            pages.back().lines.push_back(m_transform.map(lines[i]));
            pages.back().lineWidths.push_back(m_penWidth);
            pages.back().linePens.push_back(m_pen);
        }
    }
    void drawEllipse(const QRectF &r) override { shape(r); }
    void drawPolygon(const QPointF *points, int count, PolygonDrawMode) override
    {
        shape(QPolygonF(QList<QPointF>(points, points + count)).boundingRect());
    }
    void drawRects(const QRectF *rects, int count) override
    {
        for (int i = 0; i < count; ++i)
            shape(rects[i]);
    }

private:
    void shape(const QRectF &r)
    {
        const double half = m_penWidth / 2;
        pages.back().shapes.push_back(m_transform.mapRect(r).adjusted(-half, -half, half, half));
    }
    QTransform m_transform;
    double m_penWidth = 1;
    QPen m_pen;
};

class RecordingDevice final : public QPaintDevice {
public:
    // A printable area of `inches`, at `dpi` dots per inch.
    RecordingDevice(double dpi, QSizeF inches) : m_dpi(dpi), m_inches(inches) {}

    QPaintEngine *paintEngine() const override { return &m_engine; }
    std::vector<RecordedPage> &pages() { return m_engine.pages; }
    bool newPage()
    {
        m_engine.pages.emplace_back();
        return true;
    }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: return int(std::lround(m_inches.width() * m_dpi));
        case PdmHeight: return int(std::lround(m_inches.height() * m_dpi));
        case PdmWidthMM: return int(std::lround(m_inches.width() * 25.4));
        case PdmHeightMM: return int(std::lround(m_inches.height() * 25.4));
        case PdmNumColors: return 2;
        case PdmDepth: return 1;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return int(m_dpi);
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 0;
        }
    }

private:
    double m_dpi;
    QSizeF m_inches;
    mutable RecordingEngine m_engine;
};
