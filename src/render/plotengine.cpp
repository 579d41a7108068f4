#include "render/plotengine.h"

#include "stats/checked.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <limits>
#include <charconv>
#include <string>

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

// rnd(v) as a 64-bit integer, ties to even; empty outside that range.
std::optional<long long> roundedQuotient(long double v)
{
    if (!(std::fabs(v) < 9.2e18L))
        return {};
    return std::llrint(v);
}

// Steps an axis or a tick run may take; a drawable axis needs about 25.
constexpr int kMaxSteps = 1000;

int textWidth(const QPainter &p, const QString &s) { return p.fontMetrics().horizontalAdvance(s); }
int textHeight(const QPainter &p) { return p.fontMetrics().height(); }

// Text placed by its top-left corner.
void textAt(QPainter &p, int x, int y, const QString &s) { p.drawText(x, y + p.fontMetrics().ascent(), s); }

QPen solidPen() { return QPen(Qt::black, 1, Qt::SolidLine); }

QPen penOfStyle(int style)
{
    switch (style) {
    case 0:
        return QPen(Qt::NoPen);
    case 1:
        return QPen(Qt::black, 1, Qt::DotLine);
    case 2:
        return QPen(Qt::black, 1, Qt::DashLine);
    default:
        return solidPen();
    }
}

// The character cell of the font per unit of its em size.
double cellPerEm()
{
    static const double ratio = [] {
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(1000);
        const double height = QFontMetricsF(font).height() / 1000.0;
        return height > 0.5 ? height : 1.15;
    }();
    return ratio;
}

QStringList headerLines(const GraphKind &kind, const QString &title)
{
    QStringList lines = kind.header;
    if (!title.isEmpty())
        lines << title;
    return lines;
}

} // namespace

const GraphKind &RegressionGraph()
{
    static const GraphKind kind{30,
                                55,
                                {QStringLiteral("Ostrevia"), QStringLiteral("Control de Calidad"),
                                 QStringLiteral("Linealidad del Método")},
                                true,
                                true,
                                21,
                                50,
                                false};
    return kind;
}

const GraphKind &ResidualGraph()
{
    static const GraphKind kind{10,
                                90,
                                {QStringLiteral("Ostrevia"), QStringLiteral("Control de Calidad"),
                                 QStringLiteral("Linealidad del Método"), QStringLiteral("Análisis de Residuales")},
                                false,
                                false,
                                25,
                                0,
                                true};
    return kind;
}

double PowerOfTen(int e)
{
    double v = 1.0;
    for (int i = 0; i < e; ++i)
        v *= 10.0;
    for (int i = 0; i > e; --i)
        v /= 10.0;
    return v;
}

double Power(double base, double exponent) { return stats::checked::store(stats::checked::power(base, exponent)); }

std::optional<AxisTicks> NiceAxis(double &min, double &max)
{
    if (!std::isfinite(min) || !std::isfinite(max))
        return {};
    const double r = (max - min) / 10;
    if (!std::isfinite(r))
        return {};
    const int e = r > 0 ? static_cast<int>(std::trunc(std::log10(r))) : 0;
    const double m = std::nearbyint(r * PowerOfTen(-e));
    double s = 5;
    if (m == 0)
        s = 0.5;
    else if (m < 2)
        s = m;
    else if (m <= 3.5)
        s = 2;
    const double step = PowerOfTen(e) * s;
    if (!std::isfinite(step) || step == 0)
        return {};

    const long double quotient = static_cast<long double>(min) / step;
    std::optional<long long> q = roundedQuotient(quotient + 0.5L);
    if (!q)
        return {};
    double first = static_cast<double>(*q) * step;
    if (first > min) {
        q = roundedQuotient(quotient - 0.5L);
        if (!q)
            return {};
        first = static_cast<double>(*q) * step;
    }
    if (!std::isfinite(first))
        return {};
    // Ticks first + i * step must be distinct values: a step of a few units
    // in the last place of the axis's values would draw two ticks as one.
    if (std::fabs(step) <= std::max(std::fabs(first), std::fabs(max)) * 16 * std::numeric_limits<double>::epsilon())
        return {};
    double last = first;
    for (int steps = 0;; ++steps) {
        const double next = last + step;
        if (next == last || !std::isfinite(next) || steps == kMaxSteps)
            return {};
        last = next;
        if (last >= max)
            break;
    }
    min = first;
    max = last;
    return AxisTicks{first, step};
}

double TickValue(const AxisTicks &ticks, int index)
{
    const double t = static_cast<double>(ticks.first + static_cast<long double>(index) * ticks.step);
    return std::fabs(t) < std::fabs(ticks.step) * 1e-9 ? 0.0 : t;
}

QString FormatTickLabel(double v)
{
    if (v == 0)
        return QStringLiteral("0");
    // The point is always ".", whatever the locale: no printf.
    char buffer[64];
    const double magnitude = std::fabs(v);
    if (magnitude > 0.01 && magnitude < 10000) {
        std::string s(buffer, std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 4).ptr);
        const size_t limit = s.find('.') != std::string::npos ? 6 : 5;
        while (s.size() > limit && s.find('.') != std::string::npos)
            s.pop_back();
        if (s.find('.') != std::string::npos)
            while (!s.empty() && s.back() == '0')
                s.pop_back();
        if (!s.empty() && s.back() == '.')
            s.pop_back();
        return QString::fromStdString(s);
    }
    // Four significant digits and a four-digit exponent, then the zeros
    // before "E" and those after the exponent's sign go.
    const std::string s(buffer,
                        std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::scientific, 3).ptr);
    const size_t ePos = s.find('e');
    std::string mantissa = s.substr(0, ePos);
    const char sign = s[ePos + 1];
    std::string exponent = s.substr(ePos + 2);
    while (exponent.size() < 4)
        exponent.insert(exponent.begin(), '0');
    while (!mantissa.empty() && mantissa.back() == '0')
        mantissa.pop_back();
    const size_t nonZero = exponent.find_first_not_of('0');
    exponent = nonZero == std::string::npos ? std::string() : exponent.substr(nonZero);
    return QString::fromStdString(mantissa + "E" + sign + exponent);
}

void SetPlotFont(QPainter &painter, int cell)
{
    QFont font(QStringLiteral("Arial"));
    const double em = std::max(cell, 1) / cellPerEm();
    const int dpi = painter.device() ? painter.device()->logicalDpiY() : 96;
    font.setPointSizeF(em * 72.0 / (dpi > 0 ? dpi : 96));
    painter.setFont(font);
}

PlotEngine::PlotEngine(const GraphKind &kind) : kind_(kind) { ResetPlot(); }

void PlotEngine::ResetPlot()
{
    for (PlotCurve &c : state_.curves)
        c = PlotCurve{};
    state_.axisLimits = PlotLimits{};
    state_.gridStyle = GridStyle::None;
    state_.barDrawing = state_.logX = state_.logY = false;
    state_.limitsComputed = false;
}

PlotCurve *PlotEngine::curve(int number)
{
    if (number < 1 || number > kCurveCount)
        return nullptr;
    return &state_.curves[static_cast<size_t>(number - 1)];
}

bool PlotEngine::AddPoint(int number, double x, double y, double dx, double dy)
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
    c->points.push_back({x, y, dx, dy});
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

void PlotEngine::ComputeLimits()
{
    PlotLimits l = state_.axisLimits;
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
    state_.limitsComputed = true;
    state_.requestedLimits = l;
}

bool PlotEngine::Drawable(const PlotLimits &limits)
{
    PlotLimits l = limits;
    for (int widening = 0; widening < 2; ++widening)
        if (!NiceAxis(l.yMin, l.yMax) || !NiceAxis(l.xMin, l.xMax))
            return false;
    return std::isfinite(l.xMax - l.xMin) && std::isfinite(l.yMax - l.yMin);
}

bool PlotEngine::PointsDrawable() const
{
    PlotEngine copy(kind_);
    copy.state_ = state_;
    copy.state_.axisLimits = PlotLimits{};
    copy.ComputeLimits();
    return Drawable(copy.state_.requestedLimits);
}

PlotMetrics PlotEngine::SetupMetrics(QPainter &p, const QRect &r) const
{
    PlotMetrics m;
    const int h = r.height();
    m.fontSmall = h / 55;
    m.fontLarge = h / 40;
    m.titleGap = 2 * m.fontSmall;
    m.markerRadius = m.fontSmall / 4;
    SetPlotFont(p, m.fontSmall);
    m.plotLeft = r.x() + textWidth(p, QStringLiteral(" ###.##"));
    m.plotTop = r.y() + 4;
    m.plotHeight = h - 2 * m.fontSmall - kind_.heightMargin;
    m.plotWidth = r.width() - textWidth(p, QStringLiteral("#######")) - kind_.widthMargin;
    if (!state_.title.isEmpty()) {
        m.plotTop += m.titleGap;
        m.plotHeight -= m.titleGap;
    }
    if (!state_.xLabel.isEmpty())
        m.plotHeight -= m.fontSmall;
    if (!state_.yLabel.isEmpty()) {
        m.plotLeft += 2 * m.fontSmall;
        m.plotWidth -= textWidth(p, QStringLiteral("###.##"));
    }
    return m;
}

void PlotEngine::DrawFrame(QPainter &p, const QRect &r, const PlotMetrics &m)
{
    const int top = r.y(), bottom = r.y() + r.height();
    p.setPen(solidPen());

    SetPlotFont(p, m.fontLarge);
    const QStringList header = headerLines(kind_, state_.title);
    for (int i = 0; i < header.size(); ++i) {
        const QString &line = header[i];
        const int h = textHeight(p);
        textAt(p, m.plotLeft + (m.plotWidth - textWidth(p, line)) / 2, i == 0 ? top + 1 : top + i * h, line);
    }

    SetPlotFont(p, m.fontSmall);
    const QString underscores(kind_.signatureUnderscores, QLatin1Char('_'));
    const std::pair<QString, int> identification[] = {
        {QStringLiteral("Nombre del Método = ") + frame_.method, 16},
        {QStringLiteral("Analista = ") + frame_.analyst, 14},
        {QStringLiteral("Fecha = ") + frame_.date, 12},
        {QStringLiteral("Realizó ") + underscores + QLatin1Char(' '), 10},
        {QStringLiteral("Revisó ") + underscores + QLatin1Char(' '), 8},
    };
    for (const auto &[line, lines] : identification)
        textAt(p, m.plotLeft + m.plotWidth - textWidth(p, line), bottom - lines * textHeight(p), line);

    if (kind_.legend)
        drawLegend(p, r, m);
    drawAxisLabels(p, r, m);

    p.setPen(solidPen());
    const int base = m.plotTop + m.plotHeight;
    p.drawLine(m.plotLeft, base, m.plotLeft + m.plotWidth, base);
    p.drawLine(m.plotLeft, m.plotTop, m.plotLeft, base);

    SetPlotFont(p, m.fontSmall);
    PlotLimits &l = state_.axisLimits;
    const std::optional<AxisTicks> y = NiceAxis(l.yMin, l.yMax);
    const std::optional<AxisTicks> x = y ? NiceAxis(l.xMin, l.xMax) : std::nullopt;
    axesDrawn_ = x && y && std::isfinite(l.xMax - l.xMin) && std::isfinite(l.yMax - l.yMin);
    if (!axesDrawn_)
        return; // limits no drawing can show: the options refuse them
    xScale_ = m.plotWidth / (l.xMax - l.xMin);
    yScale_ = m.plotHeight / (l.yMax - l.yMin);
    drawTicks(p, m, *x, *y);
}

void PlotEngine::drawLegend(QPainter &p, const QRect &r, const PlotMetrics &m) const
{
    SetPlotFont(p, m.fontLarge);
    const int h = textHeight(p);
    for (int i = 0; i < frame_.legend.size(); ++i) {
        const QString &line = frame_.legend[i];
        textAt(p, m.plotLeft + (m.plotWidth - textWidth(p, line)) / 9, r.y() + (13 + i) * h, line);
    }
}

void PlotEngine::drawAxisLabels(QPainter &p, const QRect &r, const PlotMetrics &m) const
{
    const int left = r.x(), top = r.y(), bottom = r.y() + r.height();
    SetPlotFont(p, kind_.largeAxisLabels ? m.fontLarge : m.fontSmall);
    if (!state_.xLabel.isEmpty()) {
        const QString &label = state_.xLabel;
        textAt(p, m.plotLeft + (m.plotWidth - textWidth(p, label)) / 2, bottom - textHeight(p), label);
    }
    if (!state_.yLabel.isEmpty()) {
        const QString &label = state_.yLabel;
        const int hj = textHeight(p);
        const int y0 = ((bottom - top) - hj * static_cast<int>(label.size())) / 2;
        for (int i = 0; i < label.size(); ++i) {
            const QString character(label[i]);
            textAt(p, left + (m.plotLeft - left - textWidth(p, character)) / 3, m.plotTop + y0 + i * hj, character);
        }
    }
}

void PlotEngine::drawTicks(QPainter &p, const PlotMetrics &m, const AxisTicks &x, const AxisTicks &y) const
{
    const PlotLimits &l = state_.axisLimits;
    const QPen grid = penOfStyle(static_cast<int>(state_.gridStyle) <= 3 ? static_cast<int>(state_.gridStyle) : 0);
    const int base = m.plotTop + m.plotHeight;
    const int h = textHeight(p);

    for (int i = 0; i < kMaxSteps; ++i) {
        const double t = TickValue(x, i);
        const int px = m.plotLeft + pixel((t - l.xMin) * xScale_);
        p.setPen(solidPen());
        p.drawLine(px, base, px, base + 5);
        p.setPen(grid);
        p.drawLine(px, m.plotTop, px, base);
        p.setPen(solidPen());
        const QString label = FormatTickLabel(t);
        textAt(p, px - textWidth(p, label) / 2, base + h / 2, label);
        if (TickValue(x, i + 1) > l.xMax + x.step / 5)
            break;
    }
    for (int i = 0; i < kMaxSteps; ++i) {
        const double t = TickValue(y, i);
        const int py = m.plotHeight - pixel((t - l.yMin) * yScale_);
        p.setPen(solidPen());
        p.drawLine(m.plotLeft - 5, m.plotTop + py, m.plotLeft, m.plotTop + py);
        p.setPen(grid);
        p.drawLine(m.plotLeft, m.plotTop + py, m.plotLeft + m.plotWidth, m.plotTop + py);
        p.setPen(solidPen());
        const QString label = FormatTickLabel(t);
        textAt(p, m.plotLeft - 10 - textWidth(p, label), m.plotTop + py - h / 2, label);
        if (TickValue(y, i + 1) > l.yMax + y.step / 5)
            break;
    }
}

void PlotEngine::DrawCurves(QPainter &p, const PlotMetrics &m) const
{
    if (!axesDrawn_)
        return;
    const PlotLimits &l = state_.axisLimits;
    for (const PlotCurve &c : state_.curves) {
        if (c.points.empty())
            continue;
        auto position = [&](const PlotPoint &pt) {
            return QPoint(m.plotLeft + pixel((pt.x - l.xMin) * xScale_),
                          m.plotTop + m.plotHeight - pixel((pt.y - l.yMin) * yScale_));
        };
        QPoint penAt = position(c.points.front());
        for (const PlotPoint &pt : c.points) {
            const QPoint at = position(pt);
            // A code outside the table leaves the pen as it was: solid.
            p.setPen(penOfStyle(c.lineStyle <= 3 ? c.lineStyle : 3));
            if (at != penAt)
                p.drawLine(penAt, at);
            p.setPen(solidPen());
            DrawMarker(p, at.x(), at.y(), c.marker, pt, m);
            penAt = at;
        }
    }
}

void PlotEngine::DrawMarker(QPainter &p, int px, int py, MarkerCode code, const PlotPoint &point,
                            const PlotMetrics &m) const
{
    const int r = m.markerRadius;
    p.setPen(solidPen());
    p.setBrush(code >= 6 && code <= 9 ? QBrush(Qt::black) : QBrush(Qt::NoBrush));
    switch (code) {
    case 0:
        p.drawPoint(px, py);
        break;
    case 1:
    case 6:
        p.drawEllipse(QPoint(px, py), r, r);
        break;
    case 2:
    case 7:
        p.drawRect(px - r, py - r, 2 * r, 2 * r);
        break;
    case 3:
    case 8:
        p.drawPolygon(QPolygon({QPoint(px, py - r), QPoint(px + r, py), QPoint(px, py + r), QPoint(px - r, py)}));
        break;
    case 4:
    case 9:
        p.drawPolygon(
            QPolygon({QPoint(px, py - r), QPoint(px - r, py + (2 * r) / 3), QPoint(px + r, py + (2 * r) / 3)}));
        break;
    case 5: {
        const int a = pixel(point.dx * xScale_), d = pixel(point.dy * yScale_);
        p.drawLine(px - a, py, px + a, py);
        p.drawLine(px, py + d, px, py - d);
        p.drawLine(px - a, py - 1, px - a, py + 1);
        p.drawLine(px + a, py - 1, px + a, py + 1);
        p.drawLine(px - 1, py + d, px + 1, py + d);
        p.drawLine(px - 1, py - d, px + 1, py - d);
        break;
    }
    default:
        break;
    }
    p.setBrush(Qt::NoBrush);
}

void PlotEngine::PaintPlot(QPainter &p, const QSize &size)
{
    if (!state_.limitsComputed)
        ComputeLimits();
    state_.axisLimits = state_.requestedLimits;
    const QRect r(0, 0, size.width(), size.height());
    const PlotMetrics m = SetupMetrics(p, r);
    p.setPen(solidPen());
    p.setBrush(Qt::white);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.setBrush(Qt::NoBrush);
    DrawFrame(p, r, m);
    DrawCurves(p, m);
    if (!notice_.isEmpty()) {
        SetPlotFont(p, m.fontLarge);
        p.setPen(solidPen());
        textAt(p, 10, 10, notice_);
        notice_.clear();
    }
}

QRect PlotEngine::printRect(const QSize &page) const
{
    return QRect(250, 400, page.width() - kind_.printRightMargin - 250, page.height() - 400);
}

void PlotEngine::PrintPlot(QPainter &p, const QSize &page)
{
    const QRect r = printRect(page);
    const PlotMetrics m = SetupMetrics(p, r);
    DrawFrame(p, r, m);
    DrawCurves(p, m);
}

} // namespace render
