#include "render/plotengine.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <optional>
#include <tuple>

namespace render {

namespace {

// rnd() of a pixel offset. Points far outside the plot (typed limits
// narrower than the data) stay far outside without overflowing an int.
int pixel(double v)
{
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -1.0e6, 1.0e6)));
}

// Dots per inch of a printed page whose device does not say.
constexpr int kPrintDpiFallback = 600;

QStringList headerLines(const GraphKind &kind, const QString &title)
{
    QStringList lines = kind.header;
    if (!title.isEmpty())
        lines << title;
    return lines;
}

} // namespace

std::span<const GraphKind> GraphKinds()
{
    const QStringList header = {QStringLiteral("Ostrevia"), QStringLiteral("Control de Calidad"),
                                QStringLiteral("Linealidad del Método")};
    static const GraphKind kinds[] = {
        {.name = "regression",
         .windowCaption = QStringLiteral("Grafica"),
         .documentName = QStringLiteral("Gráfica de regresión"),
         .compute = stats::RegressionGraphOutcome,
         .takesFileTitles = true,
         .header = header,
         .legend = true,
         .largeAxisLabels = true,
         .heightMargin = 30,
         .widthMargin = 55,
         .signatureUnderscores = 21,
         .printRightMargin = 50},
        {.name = "residuals",
         .windowCaption = QStringLiteral("Gráfica (Residuales)"),
         .objectSuffix = QStringLiteral("1"),
         .documentName = QStringLiteral("Gráfica de residuales"),
         .compute = stats::ResidualGraphOutcome,
         .unitsAsXLabel = true,
         .header = header + QStringList{QStringLiteral("Análisis de Residuales")},
         .heightMargin = 10,
         .widthMargin = 90,
         .signatureUnderscores = 25},
        {.name = "profile",
         .windowCaption = QStringLiteral("Gráfica del perfil de exactitud"),
         .objectSuffix = QStringLiteral("2"),
         .documentName = QStringLiteral("Perfil de exactitud"),
         .compute = stats::ProfileGraphOutcome,
         .unitsAsXLabel = true,
         .header = header + QStringList{QStringLiteral("Perfil de Exactitud")},
         .legend = true,
         .heightMargin = 10,
         .widthMargin = 90,
         .signatureUnderscores = 25,
         // Eight curves and their keys: room for the legend beside the plot.
         .windowSize = {900, 600}},
    };
    return kinds;
}

const GraphKind &RegressionGraph() { return GraphKinds()[0]; }
const GraphKind &ResidualGraph() { return GraphKinds()[1]; }

const GraphKind *GraphKindNamed(std::string_view name)
{
    for (const GraphKind &kind : GraphKinds())
        if (name == kind.name)
            return &kind;
    return nullptr;
}

PlotEngine::PlotEngine(const GraphKind &kind) : kind_(kind) { ResetPlot(); }

void PlotEngine::ResetPlot()
{
    for (PlotCurve &c : state_.curves)
        c = PlotCurve{};
    state_.gridStyle = GridStyle::None;
    state_.limitsComputed = false;
}

PlotCurve *PlotEngine::curve(int number)
{
    if (number < 1 || number > kCurveCount)
        return nullptr;
    return &state_.curves[static_cast<size_t>(number - 1)];
}

bool PlotEngine::AddPoint(int number, double x, double y)
{
    PlotCurve *c = curve(number);
    if (!c) {
        notice_ = QString::fromUtf8(kCurveOutOfRange);
        return false;
    }
    if (c->pointCount() >= kMaxCurvePoints) {
        notice_ = QString::fromUtf8(kCurveFull);
        return false;
    }
    c->points.push_back({x, y});
    return true;
}

void PlotEngine::SetMarker(int number, MarkerCode code)
{
    if (PlotCurve *c = curve(number))
        c->marker = code;
    else
        notice_ = QString::fromUtf8(kCurveOutOfRange);
}

void PlotEngine::SetLineStyle(int number, LineStyleCode code)
{
    if (PlotCurve *c = curve(number))
        c->lineStyle = code;
    else
        notice_ = QString::fromUtf8(kCurveOutOfRange);
}

void PlotEngine::SetLineColour(int number, const QColor &colour)
{
    if (PlotCurve *c = curve(number))
        c->colour = colour;
    else
        notice_ = QString::fromUtf8(kCurveOutOfRange);
}

PlotLimits PlotEngine::PointLimits() const
{
    PlotLimits l;
    for (const PlotCurve &c : state_.curves)
        for (const PlotPoint &p : c.points) {
            if (p.x < l.xMin)
                l.xMin = p.x;
            if (p.x > l.xMax)
                l.xMax = p.x;
            if (p.y < l.yMin)
                l.yMin = p.y;
            if (p.y > l.yMax)
                l.yMax = p.y;
        }
    return l;
}

void PlotEngine::ComputeLimits()
{
    state_.requestedLimits = PointLimits();
    state_.limitsComputed = true;
}

PlotLimits PlotEngine::RequestedLimits() const
{
    return state_.limitsComputed ? state_.requestedLimits : PointLimits();
}

PlotLimits PlotEngine::ScreenLimits() const { return Widen(RequestedLimits()).limits; }

bool PlotEngine::PointsDrawable() const { return Drawable(PointLimits()); }

namespace {

// Device pixels of one drawing. On screen the described pixel constants are
// screen pixels; on paper they keep their size in inches (a pixel of a
// 96 dpi screen), lines are at least 1/300 inch and tick marks 1/20 inch.
struct Units {
    double unit = 1; // device pixels per screen pixel
    int line = 1;
    int tick = 5;
    int px(double screenPixels) const { return static_cast<int>(std::lround(screenPixels * unit)); }
};

Units unitsFor(const QPaintDevice &device, bool paper)
{
    if (!paper)
        return {};
    const double dpi = device.logicalDpiY() > 0 ? device.logicalDpiY() : kPrintDpiFallback;
    return {dpi / 96.0, std::max(1, static_cast<int>(std::lround(dpi / 300))),
            static_cast<int>(std::lround(dpi / 20))};
}

// The smallest em, in screen pixels, that reads.
constexpr double kReadableEm = 8;
// The smallest marker radius, in screen pixels, at which a triangle and a
// circle are told apart.
constexpr double kDistinctMarkerRadius = 2;

// The character cell in whole pixels that holds the font's ascent and
// descent, however they fall between pixels.
int cellOf(const QFontMetricsF &metrics)
{
    return static_cast<int>(std::ceil(metrics.ascent() - 1e-6) + std::ceil(metrics.descent() - 1e-6));
}

int cellOfEm(int em) { return cellOf(QFontMetricsF(PlotFont(em))); }

struct TextFont {
    int em = 0, cell = 0, ascent = 0;
    QFontMetricsF metrics;
    TextFont(int em_, QPaintDevice &device) : em(em_), metrics(PlotFont(em_), &device)
    {
        cell = cellOf(metrics);
        ascent = static_cast<int>(std::ceil(metrics.ascent() - 1e-6));
    }
    // Each text is measured once per drawing, however often the layout
    // tries it.
    int width(const QString &s) const
    {
        const auto found = widths.constFind(s);
        if (found != widths.constEnd())
            return *found;
        const int w = static_cast<int>(std::ceil(metrics.horizontalAdvance(s) - 1e-6));
        widths.insert(s, w);
        return w;
    }
    mutable QHash<QString, int> widths;
    LaidText at(int x, int y, const QString &s) const { return {s, QRect(x, y, width(s), cell), em, ascent}; }
};

// The part of the segment inside the rectangle, if any (Liang-Barsky).
std::optional<QLine> clipped(const QLine &segment, const QRect &rect)
{
    const double x0 = segment.x1(), y0 = segment.y1(), dx = segment.dx(), dy = segment.dy();
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - rect.left(), rect.right() - x0, y0 - rect.top(), rect.bottom() - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return {};
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return {};
    }
    return QLine(static_cast<int>(std::lround(x0 + t0 * dx)), static_cast<int>(std::lround(y0 + t0 * dy)),
                 static_cast<int>(std::lround(x0 + t1 * dx)), static_cast<int>(std::lround(y0 + t1 * dy)));
}

// Whether the segment meets the rectangle.
bool segmentMeets(const QLine &segment, const QRect &rect) { return clipped(segment, rect).has_value(); }

// A grid line with the stretches that would cross a text left out.
void addGridLine(std::vector<LaidLine> &lines, const QLine &line, Qt::PenStyle style,
                 const std::vector<LaidText> &texts, int clearance)
{
    const bool vertical = line.x1() == line.x2();
    int from = vertical ? std::min(line.y1(), line.y2()) : std::min(line.x1(), line.x2());
    const int to = vertical ? std::max(line.y1(), line.y2()) : std::max(line.x1(), line.x2());
    const int at = vertical ? line.x1() : line.y1();
    std::vector<std::pair<int, int>> gaps;
    for (const LaidText &t : texts) {
        const QRect r = t.rect.adjusted(-clearance, -clearance, clearance, clearance);
        const bool crosses = vertical ? (at >= r.left() && at <= r.right()) : (at >= r.top() && at <= r.bottom());
        if (crosses)
            gaps.push_back(vertical ? std::pair(r.top(), r.bottom()) : std::pair(r.left(), r.right()));
    }
    std::sort(gaps.begin(), gaps.end());
    auto add = [&](int a, int b) {
        if (a <= b)
            lines.push_back({vertical ? QLine(at, a, at, b) : QLine(a, at, b, at), LineKind::Grid, style});
    };
    for (const auto &[a, b] : gaps) {
        add(from, std::min(to, a - 1));
        from = std::max(from, b + 1);
    }
    add(from, to);
}

Qt::PenStyle styleOf(int code)
{
    switch (code) {
    case 0:
        return Qt::NoPen;
    case 1:
        return Qt::DotLine;
    case 2:
        return Qt::DashLine;
    default:
        return Qt::SolidLine;
    }
}

// A group of lines that moves as one (the legend, the identification
// block): each line's offset from the group's top-left corner, and the
// strokes that key legend lines to their curves.
struct Block {
    std::vector<LaidText> lines; // at their offsets from (0, 0)
    std::vector<LaidLine> strokes;
    int width() const
    {
        int w = 0;
        for (const LaidText &t : lines)
            w = std::max(w, t.rect.right() + 1);
        return w;
    }
    int height() const { return lines.empty() ? 0 : lines.back().rect.bottom() + 1; }
    std::vector<LaidText> at(const QPoint &corner) const
    {
        std::vector<LaidText> placed = lines;
        for (LaidText &t : placed)
            t.rect.translate(corner);
        return placed;
    }
    std::vector<LaidLine> strokesAt(const QPoint &corner) const
    {
        std::vector<LaidLine> placed = strokes;
        for (LaidLine &l : placed)
            l.line.translate(corner);
        return placed;
    }
};

// A block from lines placed where the description puts them; returns the
// block and the corner it was described at.
std::pair<Block, QPoint> blockOf(std::vector<LaidText> lines, std::vector<LaidLine> strokes = {})
{
    int x = std::numeric_limits<int>::max(), y = std::numeric_limits<int>::max();
    for (const LaidText &t : lines) {
        x = std::min(x, t.rect.left());
        y = std::min(y, t.rect.top());
    }
    for (const LaidLine &l : strokes)
        x = std::min(x, std::min(l.line.x1(), l.line.x2()));
    Block b;
    for (LaidText &t : lines)
        t.rect.translate(-x, -y);
    for (LaidLine &l : strokes)
        l.line.translate(-x, -y);
    b.lines = std::move(lines);
    b.strokes = std::move(strokes);
    return {b, QPoint(x, y)};
}

// What a legend stroke covers with its pen: kept clear like a text.
LaidText strokeCell(const LaidLine &stroke, int lineWidth)
{
    const QRect r = QRect(stroke.line.p1(), stroke.line.p2()).normalized();
    return {QString(), r.adjusted(-lineWidth, -lineWidth, lineWidth, lineWidth)};
}

} // namespace

QRect LaidMarker::rect(int lineWidth) const
{
    const int a = radius + lineWidth;
    return QRect(at.x() - a, at.y() - a, 2 * a + 1, 2 * a + 1);
}

int EmForCell(int cell)
{
    // Each thread its own: a batch run's workers lay out graphs at once.
    thread_local std::map<int, int> cache;
    const auto found = cache.find(cell);
    if (found != cache.end())
        return found->second;
    int em = std::max(1, static_cast<int>(cell / 1.15));
    while (cellOfEm(em + 1) <= cell)
        ++em;
    while (em > 1 && cellOfEm(em) > cell)
        --em;
    cache.emplace(cell, em);
    return em;
}

QFont PlotFont(int em)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(em, 1));
    return font;
}

PlotMetrics PlotEngine::SetupMetrics(const QPaintDevice &device, const QRect &r, bool paper) const
{
    const Units u = unitsFor(device, paper);
    const int readableEm = static_cast<int>(std::ceil(kReadableEm * u.unit));
    const int readableCell = cellOfEm(readableEm);
    PlotMetrics m;
    const int h = r.height();
    m.fontSmall = std::max(h / 55, readableCell);
    m.fontLarge = std::max(h / 40, readableCell);
    m.titleGap = 2 * m.fontSmall;
    m.markerRadius = std::max(m.fontSmall / 4, u.px(kDistinctMarkerRadius));
    const QFontMetrics small(PlotFont(EmForCell(m.fontSmall)), const_cast<QPaintDevice *>(&device));
    m.plotLeft = r.x() + small.horizontalAdvance(QStringLiteral(" ###.##"));
    m.plotTop = r.y() + u.px(4);
    m.plotHeight = h - 2 * m.fontSmall - u.px(kind_.heightMargin);
    m.plotWidth = r.width() - small.horizontalAdvance(QStringLiteral("#######")) - u.px(kind_.widthMargin);
    if (!state_.title.isEmpty()) {
        m.plotTop += m.titleGap;
        m.plotHeight -= m.titleGap;
    }
    if (!state_.xLabel.isEmpty())
        m.plotHeight -= m.fontSmall;
    if (!state_.yLabel.isEmpty()) {
        m.plotLeft += 2 * m.fontSmall;
        m.plotWidth -= small.horizontalAdvance(QStringLiteral("###.##"));
    }
    return m;
}

namespace {

// What every phase of one drawing shares: the surface, its units and fonts,
// and the rectangle the texts keep inside (the surface within its border).
struct Surface {
    QRect r;
    Units u;
    int lw = 1, pad = 0, radius = 0;
    TextFont small, large;
    bool largeAxisLabels = false;
    int innerLeft = 0, innerTop = 0, innerRight = 0, innerBottom = 0;

    Surface(QPaintDevice &device, const QRect &rect, bool paper, const PlotMetrics &described, bool largeAxis)
        : r(rect), u(unitsFor(device, paper)), lw(u.line), pad(std::max(u.px(2), lw + 1)),
          radius(described.markerRadius), small(EmForCell(described.fontSmall), device),
          large(EmForCell(described.fontLarge), device), largeAxisLabels(largeAxis)
    {
        const int edge = paper ? 0 : lw;
        innerLeft = r.x() + edge;
        innerTop = r.y() + edge;
        innerRight = r.x() + r.width() - edge;
        innerBottom = r.y() + r.height() - edge;
    }
    const TextFont &axisFont() const { return largeAxisLabels ? large : small; }
};

// The ticks of both axes and their labels.
struct Ticks {
    WidenedLimits widened;
    std::vector<double> xValues, yValues;
    QStringList xLabels, yLabels;
    int widestX = 0, widestY = 0;
};

// The ticks come first: the room left of the Y axis is that of their
// labels. The page takes the screen's limits and widens them once more,
// which can give it a wider range and a larger step than the window.
Ticks ticksFor(const PlotLimits &requested, bool paper, const TextFont &small, char separator)
{
    Ticks t;
    const WidenedLimits screen = Widen(requested);
    const WidenedLimits widened = paper ? Widen(screen.limits) : screen;
    t.widened = widened;
    if (!widened.drawable())
        return t;
    // An axis's tick values, their labels and the widest label.
    auto ticksOf = [&small, separator](const AxisScale &axis, std::vector<double> &values, QStringList &labels) {
        int widest = 0;
        values = TickValues(axis);
        for (const double v : values) {
            labels << QString::fromStdString(FormatTickLabel(v, separator));
            widest = std::max(widest, small.width(labels.back()));
        }
        return widest;
    };
    t.widestX = ticksOf(*widened.x, t.xValues, t.xLabels);
    t.widestY = ticksOf(*widened.y, t.yValues, t.yLabels);
    return t;
}

// The texts around the plot, before any is placed.
struct FrameWords {
    QStringList header;    // above the plot, the title last
    QString xLabel, yLabel;
    int yLabelColumn = 0;  // the widest character of the vertical label
    std::vector<std::pair<QString, int>> identification; // each line with its lines from the bottom
    QStringList legend;
    std::vector<LegendKey> keys; // of curves that exist
    bool hasLegend = false;
    // A key's stroke: long enough to show its pen's dashes, a space before its text.
    int strokeLength = 0, strokeGap = 0;
};

FrameWords wordsFor(const GraphKind &kind, const PlotState &state, const FrameTexts &frame, const Surface &s)
{
    FrameWords w;
    w.header = headerLines(kind, state.title);
    w.xLabel = state.xLabel;
    w.yLabel = state.yLabel;
    for (const QChar c : w.yLabel)
        w.yLabelColumn = std::max(w.yLabelColumn, s.axisFont().width(QString(c)));
    const QString underscores(kind.signatureUnderscores, QLatin1Char('_'));
    w.identification = {
        {QStringLiteral("Nombre del Método = ") + frame.method, 16},
        {QStringLiteral("Analista = ") + frame.analyst, 14},
        {QStringLiteral("Fecha = ") + frame.date, 12},
        {QStringLiteral("Realizó ") + underscores + QLatin1Char(' '), 10},
        {QStringLiteral("Revisó ") + underscores + QLatin1Char(' '), 8},
    };
    if (kind.legend) {
        w.legend = frame.legend;
        for (const LegendKey &key : frame.keys)
            if (key.curve >= 1 && key.curve <= kCurveCount)
                w.keys.push_back(key);
    }
    w.hasLegend = !w.legend.isEmpty() || !w.keys.empty();
    w.strokeLength = 3 * s.large.cell;
    w.strokeGap = s.large.width(QStringLiteral("  "));
    return w;
}

// The blocks that no corner of the plot could take, moved under it.
struct Below {
    bool id = false, legend = false;
};

// The plot area and what is placed from it.
struct PlotFrame {
    PlotMetrics m;
    int plotRight = 0, base = 0, labelGap = 0, labelOffset = 0, bandTop = 0;
    int xRows = 1, yColumns = 1, yLabelColumns = 1; // of the tick labels and the vertical label
    Block idBlock, legendBlock;                     // as described, with the corners they were described at
    QPoint idCorner, legendCorner;
};

// The identification block and the legend where the description puts them
// around the plot of `f`, for their shapes and first corners.
void describeBlocks(PlotFrame &f, const Surface &s, const FrameWords &w, const PlotState &state)
{
    const TextFont &small = s.small, &large = s.large;
    const PlotMetrics &m = f.m;
    const QRect &r = s.r;
    std::vector<LaidText> idLines, legendLines;
    for (const auto &[line, lines] : w.identification)
        idLines.push_back(small.at(f.plotRight - small.width(line), r.y() + r.height() - lines * small.cell, line));
    for (int i = 0; i < w.legend.size(); ++i)
        legendLines.push_back(large.at(m.plotLeft + (m.plotWidth - large.width(w.legend[i])) / 9,
                                       r.y() + (13 + i) * large.cell, w.legend[i]));
    std::vector<LaidLine> legendStrokes;
    for (size_t k = 0; k < w.keys.size(); ++k) {
        const PlotCurve &c = state.curves[static_cast<size_t>(w.keys[k].curve - 1)];
        const int x = m.plotLeft + (m.plotWidth - w.strokeLength - w.strokeGap - large.width(w.keys[k].text)) / 9;
        const int y = r.y() + (13 + static_cast<int>(w.legend.size() + k)) * large.cell;
        LaidText text = large.at(x + w.strokeLength + w.strokeGap, y, w.keys[k].text);
        text.colour = c.colour;
        legendLines.push_back(text);
        const int middle = y + large.cell / 2;
        legendStrokes.push_back({QLine(x, middle, x + w.strokeLength - 1, middle), LineKind::Key,
                                 styleOf(c.lineStyle <= 3 ? c.lineStyle : 3), c.colour, w.keys[k].curve});
    }
    std::tie(f.idBlock, f.idCorner) = blockOf(idLines);
    if (!legendLines.empty())
        std::tie(f.legendBlock, f.legendCorner) = blockOf(legendLines, legendStrokes);
}

// The plot area: what the formulas give, narrowed where the texts around it
// need the room. The rows of the X tick labels, the columns of the Y tick
// labels and of the vertical label follow from the plot's size, which
// follows from them: repeated until they agree.
PlotFrame fixPlot(const Surface &s, const PlotMetrics &described, const Ticks &t, const FrameWords &w,
                  const Below &below, const PlotState &state)
{
    const TextFont &small = s.small, &large = s.large, &axisFont = s.axisFont();
    const int pad = s.pad, lw = s.lw, radius = s.radius;
    const PlotLimits &l = t.widened.limits;
    PlotFrame f;
    f.m = described;
    PlotMetrics &m = f.m;
    for (int pass = 0; pass < 8; ++pass) {
        const int yTickRoom = f.yColumns * t.widestY + (f.yColumns - 1) * pad;
        const int yLabelRoom = w.yLabel.isEmpty() ? 0 : f.yLabelColumns * w.yLabelColumn + f.yLabelColumns * pad;
        f.labelGap = std::max(s.u.px(10), radius + lw + pad);
        m.plotLeft = std::max(described.plotLeft, s.innerLeft + pad + yLabelRoom + yTickRoom + f.labelGap);
        f.plotRight = described.plotLeft + described.plotWidth;
        const int lastHalf = t.xLabels.isEmpty() ? 0 : (small.width(t.xLabels.back()) + 1) / 2;
        f.plotRight = std::min(f.plotRight, s.innerRight - pad - std::max(lastHalf, radius + lw));
        m.plotWidth = std::max(1, f.plotRight - m.plotLeft);
        f.plotRight = m.plotLeft + m.plotWidth;

        describeBlocks(f, s, w, state);

        // Under the plot: tick labels, the blocks no corner could take,
        // the X label at the bottom.
        f.labelOffset = std::max({(small.cell + 1) / 2, s.u.tick + lw + 1, radius + lw + 1});
        int band = 0;
        const bool bothBelow = below.id && below.legend && w.hasLegend;
        const bool sideBySide = bothBelow && std::max(s.innerLeft + pad, m.plotLeft) + f.legendBlock.width() + pad <=
                                                 f.plotRight - f.idBlock.width();
        if (bothBelow)
            band = sideBySide ? std::max(f.idBlock.height(), f.legendBlock.height())
                              : f.idBlock.height() + pad + f.legendBlock.height();
        else if (below.id)
            band = f.idBlock.height();
        else if (below.legend && w.hasLegend)
            band = f.legendBlock.height();
        const int xLabelRoom = w.xLabel.isEmpty() ? 0 : axisFont.cell + pad;
        const int under = f.labelOffset + f.xRows * small.cell + pad + (band > 0 ? band + pad : 0) + xLabelRoom;
        f.base = std::min(described.plotTop + described.plotHeight, s.innerBottom - under);
        f.bandTop = f.base + f.labelOffset + f.xRows * small.cell + pad;

        m.plotTop = std::max(described.plotTop, s.innerTop + static_cast<int>(w.header.size()) * large.cell + pad +
                                                    std::max((small.cell + 1) / 2, radius + lw));
        m.plotHeight = std::max(1, f.base - m.plotTop);
        f.base = m.plotTop + m.plotHeight;

        // Counts that follow from the plot's size.
        int rows = 1, columns = 1, labelColumns = 1;
        if (t.widened.drawable() && t.xValues.size() > 1) {
            const double spacing = m.plotWidth * t.widened.x->step / (l.xMax - l.xMin);
            while (rows < static_cast<int>(t.xValues.size()) && rows * spacing < t.widestX + pad)
                ++rows;
        }
        if (t.widened.drawable() && t.yValues.size() > 1) {
            const double spacing = m.plotHeight * t.widened.y->step / (l.yMax - l.yMin);
            while (columns < static_cast<int>(t.yValues.size()) && columns * spacing < small.cell + 1)
                ++columns;
        }
        if (!w.yLabel.isEmpty()) {
            const int perColumn = std::max(1, m.plotHeight / axisFont.cell);
            labelColumns = (static_cast<int>(w.yLabel.size()) + perColumn - 1) / perColumn;
        }
        if (rows == f.xRows && columns == f.yColumns && labelColumns == f.yLabelColumns)
            break;
        f.xRows = rows;
        f.yColumns = columns;
        f.yLabelColumns = labelColumns;
    }
    return f;
}

// The header, the axis labels, the axes and the ticks with their labels.
// Returns the grid's lines, drawn last.
std::vector<QLine> placeAxes(GraphLayout &out, const Surface &s, const PlotFrame &f, const Ticks &t,
                             const FrameWords &w)
{
    const TextFont &small = s.small, &large = s.large, &axisFont = s.axisFont();
    const int pad = s.pad;
    const PlotMetrics &m = f.m;
    const PlotLimits &l = t.widened.limits;
    const int base = f.base;

    // Header, centred over the X axis, above the plot.
    for (int i = 0; i < w.header.size(); ++i) {
        const int width = large.width(w.header[i]);
        const int x = std::clamp(m.plotLeft + (m.plotWidth - width) / 2, s.innerLeft + pad, s.innerRight - pad - width);
        out.texts.push_back(large.at(x, s.innerTop + i * large.cell, w.header[i]));
    }
    // X label at the bottom, Y label down the left edge.
    if (!w.xLabel.isEmpty()) {
        const int width = axisFont.width(w.xLabel);
        const int x = std::clamp(m.plotLeft + (m.plotWidth - width) / 2, s.innerLeft + pad, s.innerRight - pad - width);
        out.texts.push_back(axisFont.at(x, s.innerBottom - pad - axisFont.cell, w.xLabel));
    }
    if (!w.yLabel.isEmpty()) {
        const int hj = axisFont.cell, n = static_cast<int>(w.yLabel.size());
        const int perColumn = (n + f.yLabelColumns - 1) / f.yLabelColumns;
        const int y0 = ((s.r.height()) - hj * n) / 2;
        const bool asDescribed =
            f.yLabelColumns == 1 && m.plotTop + y0 >= m.plotTop && m.plotTop + y0 + hj * n <= base;
        const int columnTop = asDescribed ? m.plotTop + y0 : m.plotTop + (m.plotHeight - hj * perColumn) / 2;
        const int tickLabelsLeft = m.plotLeft - f.labelGap - (f.yColumns * t.widestY + (f.yColumns - 1) * pad);
        for (int i = 0; i < n; ++i) {
            const QString c(w.yLabel[i]);
            const int column = i / perColumn, width = axisFont.width(c);
            int x = s.innerLeft + pad + column * (w.yLabelColumn + pad) + (w.yLabelColumn - width) / 2;
            if (f.yLabelColumns == 1)
                x = std::max(s.innerLeft + pad,
                             std::min(s.r.x() + (m.plotLeft - s.r.x() - width) / 3, tickLabelsLeft - pad - width));
            out.texts.push_back(axisFont.at(x, columnTop + (i % perColumn) * hj, c));
        }
    }

    // Axes, ticks and their labels.
    out.lines.push_back({QLine(m.plotLeft, base, f.plotRight, base), LineKind::Axis});
    out.lines.push_back({QLine(m.plotLeft, m.plotTop, m.plotLeft, base), LineKind::Axis});
    std::vector<QLine> grid;
    const double xs = out.axesDrawn ? m.plotWidth / (l.xMax - l.xMin) : 0;
    const double ys = out.axesDrawn ? m.plotHeight / (l.yMax - l.yMin) : 0;
    for (size_t i = 0; i < t.xValues.size(); ++i) {
        const int px = m.plotLeft + pixel((t.xValues[i] - l.xMin) * xs);
        out.lines.push_back({QLine(px, base, px, base + s.u.tick), LineKind::Tick});
        grid.emplace_back(px, m.plotTop, px, base);
        const int row = static_cast<int>(i) % f.xRows;
        const QString &label = t.xLabels[int(i)];
        out.texts.push_back(small.at(px - small.width(label) / 2, base + f.labelOffset + row * small.cell, label));
    }
    for (size_t i = 0; i < t.yValues.size(); ++i) {
        const int py = base - pixel((t.yValues[i] - l.yMin) * ys);
        out.lines.push_back({QLine(m.plotLeft - s.u.tick, py, m.plotLeft, py), LineKind::Tick});
        grid.emplace_back(m.plotLeft, py, f.plotRight, py);
        const int column = static_cast<int>(i) % f.yColumns;
        const QString &label = t.yLabels[int(i)];
        out.texts.push_back(small.at(m.plotLeft - f.labelGap - small.width(label) - column * (t.widestY + pad),
                                     py - small.cell / 2, label));
    }
    return grid;
}

// The curves, within the plot area: their lines clipped to it, their
// markers where they fall inside it.
void placeCurves(GraphLayout &out, const PlotFrame &f, const PlotLimits &l, int radius, const PlotState &state)
{
    if (!out.axesDrawn)
        return;
    const PlotMetrics &m = f.m;
    const int base = f.base;
    const double xs = m.plotWidth / (l.xMax - l.xMin);
    const double ys = m.plotHeight / (l.yMax - l.yMin);
    const QRect plot(m.plotLeft, m.plotTop, m.plotWidth + 1, m.plotHeight + 1);
    for (const PlotCurve &c : state.curves) {
        const int number = static_cast<int>(&c - state.curves.data()) + 1;
        if (c.points.empty())
            continue;
        auto position = [&](const PlotPoint &pt) {
            return QPoint(m.plotLeft + pixel((pt.x - l.xMin) * xs), base - pixel((pt.y - l.yMin) * ys));
        };
        // A code outside the table leaves the pen as it was: solid.
        const Qt::PenStyle style = styleOf(c.lineStyle <= 3 ? c.lineStyle : 3);
        QPoint penAt = position(c.points.front());
        for (const PlotPoint &pt : c.points) {
            const QPoint at = position(pt);
            if (style != Qt::NoPen && at != penAt)
                if (const std::optional<QLine> part = clipped(QLine(penAt, at), plot))
                    out.lines.push_back({*part, LineKind::Curve, style, c.colour, number});
            if (plot.contains(at) && (c.marker == kHollowCircle || c.marker == kHollowTriangle || c.marker == kHollowSquare))
                out.markers.push_back({at, c.marker, radius});
            penAt = at;
        }
    }
}

// The identification block and the legend: where described if that hides
// nothing, else in a free corner of the plot, else below it. Returns false
// when a block found no corner and was moved below: the plot must then be
// laid out again to make room for it.
bool placeBlocks(GraphLayout &out, const Surface &s, const PlotFrame &f, bool hasLegend, Below &below)
{
    const int pad = s.pad, lw = s.lw;
    const PlotMetrics &m = f.m;
    const QRect surfaceInside(s.innerLeft, s.innerTop, s.innerRight - s.innerLeft, s.innerBottom - s.innerTop);
    auto clear = [&](const std::vector<LaidText> &lines) {
        for (const LaidText &t : lines) {
            if (!surfaceInside.contains(t.rect))
                return false;
            const QRect near = t.rect.adjusted(-pad, -pad, pad, pad);
            for (const LaidText &o : out.texts)
                if (near.intersects(o.rect))
                    return false;
            for (const LaidMarker &mk : out.markers)
                if (near.intersects(mk.rect(lw)))
                    return false;
            for (const LaidLine &line : out.lines)
                if (segmentMeets(line.line, near))
                    return false;
        }
        return true;
    };
    const QRect plot(m.plotLeft, m.plotTop, m.plotWidth + 1, m.plotHeight + 1);
    const QRect inner = plot.adjusted(lw + pad, pad, -pad, -(lw + pad));
    auto corners = [&](const Block &b, const QPoint &asDescribed, bool top, bool leftSide) {
        const int xl = inner.left(), xr = inner.right() + 1 - b.width();
        const int yt = inner.top(), yb = inner.bottom() + 1 - b.height();
        std::vector<QPoint> order{asDescribed};
        for (int i = 0; i < 4; ++i) {
            const bool t = (i < 2) == top, lft = (i % 2 == 0) == leftSide;
            order.emplace_back(lft ? xl : xr, t ? yt : yb);
        }
        return order;
    };
    auto place = [&](const Block &b, const std::vector<QPoint> &where) {
        for (const QPoint &corner : where) {
            const std::vector<LaidText> lines = b.at(corner);
            const std::vector<LaidLine> strokes = b.strokesAt(corner);
            std::vector<LaidText> covered = lines;
            for (const LaidLine &stroke : strokes)
                covered.push_back(strokeCell(stroke, lw));
            if (clear(covered)) {
                out.texts.insert(out.texts.end(), lines.begin(), lines.end());
                out.lines.insert(out.lines.end(), strokes.begin(), strokes.end());
                return true;
            }
        }
        return false;
    };
    const int bandLeft = std::max(s.innerLeft + pad, m.plotLeft);
    if (below.id) {
        const int x = std::max(s.innerLeft + pad, f.plotRight - f.idBlock.width());
        const bool afterLegend =
            below.legend && hasLegend && bandLeft + f.legendBlock.width() + pad > f.plotRight - f.idBlock.width();
        const std::vector<LaidText> lines =
            f.idBlock.at(QPoint(x, afterLegend ? f.bandTop + f.legendBlock.height() + pad : f.bandTop));
        out.texts.insert(out.texts.end(), lines.begin(), lines.end());
    } else if (!place(f.idBlock, corners(f.idBlock, f.idCorner, false, false))) {
        below.id = true;
        return false;
    }
    if (!hasLegend)
        return true;
    if (below.legend) {
        const std::vector<LaidText> lines = f.legendBlock.at(QPoint(bandLeft, f.bandTop));
        out.texts.insert(out.texts.end(), lines.begin(), lines.end());
        const std::vector<LaidLine> strokes = f.legendBlock.strokesAt(QPoint(bandLeft, f.bandTop));
        out.lines.insert(out.lines.end(), strokes.begin(), strokes.end());
    } else if (!place(f.legendBlock, corners(f.legendBlock, f.legendCorner, true, true))) {
        below.legend = true;
        return false;
    }
    return true;
}

// The grid last, left out where it would cross a text or a legend's stroke.
void placeGrid(GraphLayout &out, const std::vector<QLine> &grid, GridStyle style)
{
    const Qt::PenStyle gridStyle = styleOf(static_cast<int>(style) <= 3 ? static_cast<int>(style) : 0);
    if (gridStyle == Qt::NoPen)
        return;
    std::vector<LaidText> kept = out.texts;
    for (const LaidLine &line : out.lines)
        if (line.kind == LineKind::Key)
            kept.push_back(strokeCell(line, out.lineWidth));
    for (const QLine &g : grid)
        addGridLine(out.lines, g, gridStyle, kept, out.lineWidth);
}

} // namespace

GraphLayout PlotEngine::Layout(const QPaintDevice &constDevice, const QRect &r, bool paper) const
{
    QPaintDevice &device = const_cast<QPaintDevice &>(constDevice);
    const PlotMetrics described = SetupMetrics(device, r, paper);
    const Surface s(device, r, paper, described, kind_.largeAxisLabels);
    GraphLayout out;
    out.surface = r;
    out.background = !paper;
    out.lineWidth = s.lw;
    const Ticks ticks = ticksFor(RequestedLimits(), paper, s.small, decimalSeparator_);
    out.axisLimits = ticks.widened.limits;
    out.axesDrawn = ticks.widened.drawable();
    const FrameWords words = wordsFor(kind_, state_, frame_, s);

    Below below;
    for (int attempt = 0;; ++attempt) {
        const PlotFrame f = fixPlot(s, described, ticks, words, below, state_);
        out.metrics = f.m;
        out.texts.clear();
        out.lines.clear();
        out.markers.clear();
        const std::vector<QLine> grid = placeAxes(out, s, f, ticks, words);
        placeCurves(out, f, ticks.widened.limits, s.radius, state_);
        if (!placeBlocks(out, s, f, words.hasLegend, below) && attempt < 3)
            continue;
        placeGrid(out, grid, state_.gridStyle);
        return out;
    }
}

void PlotEngine::Paint(QPainter &p, const GraphLayout &g)
{
    const int lw = g.lineWidth;
    const QPen solid(Qt::black, lw, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    p.setPen(solid);
    if (g.background) {
        p.setBrush(Qt::white);
        p.drawRect(g.surface.x(), g.surface.y(), g.surface.width() - 1, g.surface.height() - 1);
    }
    p.setBrush(Qt::NoBrush);
    for (const LaidLine &line : g.lines) {
        QPen pen = solid;
        pen.setStyle(line.style);
        pen.setColor(line.colour);
        p.setPen(pen);
        p.drawLine(line.line);
    }
    p.setPen(solid);
    int em = -1;
    for (const LaidText &t : g.texts) {
        if (t.em != em) {
            em = t.em;
            p.setFont(PlotFont(em));
        }
        if (p.pen().color() != t.colour)
            p.setPen(QPen(t.colour));
        p.drawText(t.rect.x(), t.rect.y() + t.ascent, t.text);
    }
    p.setPen(solid);
    // Hollow markers: the brush is still none.
    for (const LaidMarker &mk : g.markers) {
        const int px = mk.at.x(), py = mk.at.y(), r = mk.radius;
        if (mk.code == kHollowCircle)
            p.drawEllipse(QPoint(px, py), r, r);
        else if (mk.code == kHollowSquare)
            p.drawRect(px - r, py - r, 2 * r, 2 * r);
        else
            p.drawPolygon(
                QPolygon({QPoint(px, py - r), QPoint(px - r, py + (2 * r) / 3), QPoint(px + r, py + (2 * r) / 3)}));
    }
}

GraphLayout PlotEngine::PaintPlot(QPainter &p, const QSize &size)
{
    GraphLayout g = Layout(*p.device(), QRect(0, 0, size.width(), size.height()), false);
    if (!notice_.isEmpty()) {
        const TextFont large(EmForCell(g.metrics.fontLarge), *p.device());
        g.texts.push_back(large.at(10, 10, notice_));
        notice_.clear();
    }
    Paint(p, g);
    return g;
}

QRect PlotEngine::printRect(const QSize &page, int dpi) const
{
    // The margins are those of a 600 dpi printer, kept in inches on others.
    auto inches = [dpi](int pixelsAt600) { return static_cast<int>(std::lround(pixelsAt600 * dpi / 600.0)); };
    return QRect(inches(250), inches(400), page.width() - inches(kind_.printRightMargin) - inches(250),
                 page.height() - inches(400));
}

GraphLayout PlotEngine::PrintPlot(QPainter &p, const QSize &page) const
{
    const int dpi = p.device()->logicalDpiY() > 0 ? p.device()->logicalDpiY() : kPrintDpiFallback;
    GraphLayout g = Layout(*p.device(), printRect(page, dpi), true);
    Paint(p, g);
    return g;
}

} // namespace render
