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

GraphLayout PlotEngine::Layout(const QPaintDevice &constDevice, const QRect &r, bool paper) const
{
    QPaintDevice &device = const_cast<QPaintDevice &>(constDevice);
    const Units u = unitsFor(device, paper);
    const PlotMetrics described = SetupMetrics(device, r, paper);
    GraphLayout out;
    out.surface = r;
    out.background = !paper;
    out.lineWidth = u.line;
    const int lw = u.line;
    const int pad = std::max(u.px(2), lw + 1);
    const TextFont small(EmForCell(described.fontSmall), device), large(EmForCell(described.fontLarge), device);
    const TextFont &axisFont = kind_.largeAxisLabels ? large : small;
    const int radius = described.markerRadius;
    // What texts keep inside: the surface within its border.
    const int edge = out.background ? lw : 0;
    const int innerLeft = r.x() + edge, innerTop = r.y() + edge;
    const int innerRight = r.x() + r.width() - edge, innerBottom = r.y() + r.height() - edge;

    // The ticks come first: the room left of the Y axis is that of their
    // labels. The page takes the screen's limits and widens them once more,
    // which can give it a wider range and a larger step than the window.
    const WidenedLimits screen = Widen(RequestedLimits());
    const WidenedLimits widened = paper ? Widen(screen.limits) : screen;
    const PlotLimits &l = widened.limits;
    const std::optional<AxisScale> &xTicks = widened.x, &yTicks = widened.y;
    out.axisLimits = l;
    out.axesDrawn = widened.drawable();
    std::vector<double> xValues, yValues;
    QStringList xLabels, yLabels;
    int widestX = 0, widestY = 0;
    // An axis's tick values, their labels and the widest label.
    const char separator = decimalSeparator_;
    auto ticksOf = [&small, separator](const AxisScale &axis, std::vector<double> &values, QStringList &labels) {
        int widest = 0;
        values = TickValues(axis);
        for (const double v : values) {
            labels << QString::fromStdString(FormatTickLabel(v, separator));
            widest = std::max(widest, small.width(labels.back()));
        }
        return widest;
    };
    if (out.axesDrawn) {
        widestX = ticksOf(*xTicks, xValues, xLabels);
        widestY = ticksOf(*yTicks, yValues, yLabels);
    }

    const QStringList header = headerLines(kind_, state_.title);
    const QString &yLabel = state_.yLabel;
    int yLabelColumn = 0; // the widest character of the vertical label
    for (const QChar c : yLabel)
        yLabelColumn = std::max(yLabelColumn, axisFont.width(QString(c)));

    const QString underscores(kind_.signatureUnderscores, QLatin1Char('_'));
    const std::pair<QString, int> identification[] = {
        {QStringLiteral("Nombre del Método = ") + frame_.method, 16},
        {QStringLiteral("Analista = ") + frame_.analyst, 14},
        {QStringLiteral("Fecha = ") + frame_.date, 12},
        {QStringLiteral("Realizó ") + underscores + QLatin1Char(' '), 10},
        {QStringLiteral("Revisó ") + underscores + QLatin1Char(' '), 8},
    };
    const QStringList legend = kind_.legend ? frame_.legend : QStringList();
    std::vector<LegendKey> keys;
    if (kind_.legend)
        for (const LegendKey &key : frame_.keys)
            if (key.curve >= 1 && key.curve <= kCurveCount)
                keys.push_back(key);
    const bool hasLegend = !legend.isEmpty() || !keys.empty();
    // A key's stroke: long enough to show its pen's dashes, a space before its text.
    const int strokeLength = 3 * large.cell, strokeGap = large.width(QStringLiteral("  "));

    bool idBelow = false, legendBelow = false; // moved under the plot: no corner was free
    for (int attempt = 0;; ++attempt) {
        // The plot area: what the formulas give, narrowed where the texts
        // around it need the room.
        PlotMetrics m = described;
        int xRows = 1, yColumns = 1, yLabelColumns = 1;
        int plotRight = 0, base = 0, labelGap = 0, labelOffset = 0, bandTop = 0;
        Block idBlock, legendBlock;
        QPoint idCorner, legendCorner;
        for (int pass = 0; pass < 8; ++pass) {
            const int yTickRoom = yColumns * widestY + (yColumns - 1) * pad;
            const int yLabelRoom = yLabel.isEmpty() ? 0 : yLabelColumns * yLabelColumn + yLabelColumns * pad;
            labelGap = std::max(u.px(10), radius + lw + pad);
            m.plotLeft = std::max(described.plotLeft, innerLeft + pad + yLabelRoom + yTickRoom + labelGap);
            plotRight = described.plotLeft + described.plotWidth;
            const int lastHalf = xLabels.isEmpty() ? 0 : (small.width(xLabels.back()) + 1) / 2;
            plotRight = std::min(plotRight, innerRight - pad - std::max(lastHalf, radius + lw));
            m.plotWidth = std::max(1, plotRight - m.plotLeft);
            plotRight = m.plotLeft + m.plotWidth;

            // The blocks as described, for their shapes.
            std::vector<LaidText> idLines, legendLines;
            for (const auto &[line, lines] : identification)
                idLines.push_back(small.at(plotRight - small.width(line), r.y() + r.height() - lines * small.cell, line));
            for (int i = 0; i < legend.size(); ++i)
                legendLines.push_back(large.at(m.plotLeft + (m.plotWidth - large.width(legend[i])) / 9,
                                               r.y() + (13 + i) * large.cell, legend[i]));
            std::vector<LaidLine> legendStrokes;
            for (size_t k = 0; k < keys.size(); ++k) {
                const PlotCurve &c = state_.curves[static_cast<size_t>(keys[k].curve - 1)];
                const int x = m.plotLeft + (m.plotWidth - strokeLength - strokeGap - large.width(keys[k].text)) / 9;
                const int y = r.y() + (13 + static_cast<int>(legend.size() + k)) * large.cell;
                LaidText text = large.at(x + strokeLength + strokeGap, y, keys[k].text);
                text.colour = c.colour;
                legendLines.push_back(text);
                const int middle = y + large.cell / 2;
                legendStrokes.push_back({QLine(x, middle, x + strokeLength - 1, middle), LineKind::Key,
                                         styleOf(c.lineStyle <= 3 ? c.lineStyle : 3), c.colour, keys[k].curve});
            }
            std::tie(idBlock, idCorner) = blockOf(idLines);
            if (!legendLines.empty())
                std::tie(legendBlock, legendCorner) = blockOf(legendLines, legendStrokes);

            // Under the plot: tick labels, the blocks no corner could take,
            // the X label at the bottom.
            labelOffset = std::max({(small.cell + 1) / 2, u.tick + lw + 1, radius + lw + 1});
            int band = 0;
            const bool bothBelow = idBelow && legendBelow && hasLegend;
            const bool sideBySide =
                bothBelow && std::max(innerLeft + pad, m.plotLeft) + legendBlock.width() + pad <= plotRight - idBlock.width();
            if (bothBelow)
                band = sideBySide ? std::max(idBlock.height(), legendBlock.height())
                                  : idBlock.height() + pad + legendBlock.height();
            else if (idBelow)
                band = idBlock.height();
            else if (legendBelow && hasLegend)
                band = legendBlock.height();
            const int xLabelRoom = state_.xLabel.isEmpty() ? 0 : axisFont.cell + pad;
            const int below = labelOffset + xRows * small.cell + pad + (band > 0 ? band + pad : 0) + xLabelRoom;
            base = std::min(described.plotTop + described.plotHeight, innerBottom - below);
            bandTop = base + labelOffset + xRows * small.cell + pad;

            m.plotTop = std::max(described.plotTop, innerTop + static_cast<int>(header.size()) * large.cell + pad +
                                                        std::max((small.cell + 1) / 2, radius + lw));
            m.plotHeight = std::max(1, base - m.plotTop);
            base = m.plotTop + m.plotHeight;

            // Counts that follow from the plot's size.
            int rows = 1, columns = 1, labelColumns = 1;
            if (out.axesDrawn && xValues.size() > 1) {
                const double spacing = m.plotWidth * xTicks->step / (l.xMax - l.xMin);
                while (rows < static_cast<int>(xValues.size()) && rows * spacing < widestX + pad)
                    ++rows;
            }
            if (out.axesDrawn && yValues.size() > 1) {
                const double spacing = m.plotHeight * yTicks->step / (l.yMax - l.yMin);
                while (columns < static_cast<int>(yValues.size()) && columns * spacing < small.cell + 1)
                    ++columns;
            }
            if (!yLabel.isEmpty()) {
                const int perColumn = std::max(1, m.plotHeight / axisFont.cell);
                labelColumns = (static_cast<int>(yLabel.size()) + perColumn - 1) / perColumn;
            }
            if (rows == xRows && columns == yColumns && labelColumns == yLabelColumns)
                break;
            xRows = rows;
            yColumns = columns;
            yLabelColumns = labelColumns;
        }
        out.metrics = m;
        out.texts.clear();
        out.lines.clear();
        out.markers.clear();

        // Header, centred over the X axis, above the plot.
        for (int i = 0; i < header.size(); ++i) {
            const int w = large.width(header[i]);
            const int x = std::clamp(m.plotLeft + (m.plotWidth - w) / 2, innerLeft + pad, innerRight - pad - w);
            out.texts.push_back(large.at(x, innerTop + i * large.cell, header[i]));
        }
        // X label at the bottom, Y label down the left edge.
        if (!state_.xLabel.isEmpty()) {
            const int w = axisFont.width(state_.xLabel);
            const int x = std::clamp(m.plotLeft + (m.plotWidth - w) / 2, innerLeft + pad, innerRight - pad - w);
            out.texts.push_back(axisFont.at(x, innerBottom - pad - axisFont.cell, state_.xLabel));
        }
        if (!yLabel.isEmpty()) {
            const int hj = axisFont.cell, n = static_cast<int>(yLabel.size());
            const int perColumn = (n + yLabelColumns - 1) / yLabelColumns;
            const int y0 = ((r.height()) - hj * n) / 2;
            const bool asDescribed = yLabelColumns == 1 && m.plotTop + y0 >= m.plotTop && m.plotTop + y0 + hj * n <= base;
            const int columnTop = asDescribed ? m.plotTop + y0 : m.plotTop + (m.plotHeight - hj * perColumn) / 2;
            const int tickLabelsLeft = m.plotLeft - labelGap - (yColumns * widestY + (yColumns - 1) * pad);
            for (int i = 0; i < n; ++i) {
                const QString c(yLabel[i]);
                const int column = i / perColumn, w = axisFont.width(c);
                int x = innerLeft + pad + column * (yLabelColumn + pad) + (yLabelColumn - w) / 2;
                if (yLabelColumns == 1)
                    x = std::max(innerLeft + pad, std::min(r.x() + (m.plotLeft - r.x() - w) / 3, tickLabelsLeft - pad - w));
                out.texts.push_back(axisFont.at(x, columnTop + (i % perColumn) * hj, c));
            }
        }

        // Axes, ticks and their labels.
        out.lines.push_back({QLine(m.plotLeft, base, plotRight, base), LineKind::Axis});
        out.lines.push_back({QLine(m.plotLeft, m.plotTop, m.plotLeft, base), LineKind::Axis});
        std::vector<QLine> grid;
        const double xs = out.axesDrawn ? m.plotWidth / (l.xMax - l.xMin) : 0;
        const double ys = out.axesDrawn ? m.plotHeight / (l.yMax - l.yMin) : 0;
        for (size_t i = 0; i < xValues.size(); ++i) {
            const int px = m.plotLeft + pixel((xValues[i] - l.xMin) * xs);
            out.lines.push_back({QLine(px, base, px, base + u.tick), LineKind::Tick});
            grid.emplace_back(px, m.plotTop, px, base);
            const int row = static_cast<int>(i) % xRows;
            out.texts.push_back(small.at(px - small.width(xLabels[int(i)]) / 2, base + labelOffset + row * small.cell,
                                         xLabels[int(i)]));
        }
        for (size_t i = 0; i < yValues.size(); ++i) {
            const int py = base - pixel((yValues[i] - l.yMin) * ys);
            out.lines.push_back({QLine(m.plotLeft - u.tick, py, m.plotLeft, py), LineKind::Tick});
            grid.emplace_back(m.plotLeft, py, plotRight, py);
            const int column = static_cast<int>(i) % yColumns;
            const int w = small.width(yLabels[int(i)]);
            out.texts.push_back(small.at(m.plotLeft - labelGap - w - column * (widestY + pad), py - small.cell / 2,
                                         yLabels[int(i)]));
        }

        // The curves, within the plot area.
        const QRect plot(m.plotLeft, m.plotTop, m.plotWidth + 1, m.plotHeight + 1);
        std::vector<QLine> curveLines;
        if (out.axesDrawn)
            for (const PlotCurve &c : state_.curves) {
                const int number = static_cast<int>(&c - state_.curves.data()) + 1;
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
                        if (const std::optional<QLine> part = clipped(QLine(penAt, at), plot)) {
                            out.lines.push_back({*part, LineKind::Curve, style, c.colour, number});
                            curveLines.push_back(*part);
                        }
                    if (plot.contains(at) && (c.marker == kHollowCircle || c.marker == kHollowTriangle))
                        out.markers.push_back({at, c.marker, radius});
                    penAt = at;
                }
            }

        // The legend and the identification block: where described if that
        // hides nothing, else in a free corner of the plot, else below it.
        const QRect surfaceInside(innerLeft, innerTop, innerRight - innerLeft, innerBottom - innerTop);
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
        const int bandLeft = std::max(innerLeft + pad, m.plotLeft);
        bool retry = false;
        if (idBelow) {
            const int x = std::max(innerLeft + pad, plotRight - idBlock.width());
            const bool afterLegend = legendBelow && hasLegend &&
                                     bandLeft + legendBlock.width() + pad > plotRight - idBlock.width();
            const std::vector<LaidText> lines =
                idBlock.at(QPoint(x, afterLegend ? bandTop + legendBlock.height() + pad : bandTop));
            out.texts.insert(out.texts.end(), lines.begin(), lines.end());
        } else if (!place(idBlock, corners(idBlock, idCorner, false, false))) {
            idBelow = retry = true;
        }
        if (!retry && hasLegend) {
            if (legendBelow) {
                const std::vector<LaidText> lines = legendBlock.at(QPoint(bandLeft, bandTop));
                out.texts.insert(out.texts.end(), lines.begin(), lines.end());
                const std::vector<LaidLine> strokes = legendBlock.strokesAt(QPoint(bandLeft, bandTop));
                out.lines.insert(out.lines.end(), strokes.begin(), strokes.end());
            } else if (!place(legendBlock, corners(legendBlock, legendCorner, true, true))) {
                legendBelow = retry = true;
            }
        }
        if (retry && attempt < 3)
            continue;

        // The grid last, left out where it would cross a text.
        const Qt::PenStyle gridStyle =
            styleOf(static_cast<int>(state_.gridStyle) <= 3 ? static_cast<int>(state_.gridStyle) : 0);
        if (gridStyle != Qt::NoPen) {
            std::vector<LaidText> kept = out.texts;
            for (const LaidLine &line : out.lines)
                if (line.kind == LineKind::Key)
                    kept.push_back(strokeCell(line, lw));
            for (const QLine &g : grid)
                addGridLine(out.lines, g, gridStyle, kept, lw);
        }
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
