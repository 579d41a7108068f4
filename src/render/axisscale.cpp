#include "render/axisscale.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace render {

namespace {

// rnd(v) as a 64-bit integer, ties to even; empty outside that range.
std::optional<long long> roundedQuotient(double v)
{
    if (!(std::fabs(v) < 9.2e18))
        return {};
    return std::llrint(v);
}

// Steps an axis or a tick run may take; a drawable axis needs about 25.
constexpr int kMaxSteps = 1000;

} // namespace

double PowerOfTen(int e)
{
    double v = 1.0;
    for (int i = 0; i < e; ++i)
        v *= 10.0;
    for (int i = 0; i > e; --i)
        v /= 10.0;
    return v;
}

std::optional<AxisScale> NiceAxis(double min, double max)
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

    // The quotient in double, as described: 0.45 / 0.05 is then 9 and the
    // axis starts at 0.4 (an odd multiple starts one step lower).
    const double quotient = min / step;
    std::optional<long long> q = roundedQuotient(quotient + 0.5);
    if (!q)
        return {};
    double first = static_cast<double>(*q) * step;
    if (first > min) {
        q = roundedQuotient(quotient - 0.5);
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
    return AxisScale{first, last, step};
}

double TickValue(const AxisScale &axis, int index)
{
    const double t = static_cast<double>(axis.first + static_cast<long double>(index) * axis.step);
    return std::fabs(t) < std::fabs(axis.step) * 1e-9 ? 0.0 : t;
}

std::vector<double> TickValues(const AxisScale &axis)
{
    std::vector<double> values;
    for (int i = 0; i < kMaxSteps; ++i) {
        values.push_back(TickValue(axis, i));
        if (TickValue(axis, i + 1) > axis.last + axis.step / 5)
            break;
    }
    return values;
}

namespace {

std::string tickLabel(double v)
{
    if (v == 0)
        return "0";
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
        return s;
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
    return mantissa + "E" + sign + exponent;
}

} // namespace

std::string FormatTickLabel(double v, char decimalSeparator)
{
    std::string label = tickLabel(v);
    for (char &c : label)
        if (c == '.')
            c = decimalSeparator;
    return label;
}

bool WidenedLimits::drawable() const
{
    return x && y && std::isfinite(limits.xMax - limits.xMin) && std::isfinite(limits.yMax - limits.yMin);
}

WidenedLimits Widen(const PlotLimits &limits)
{
    WidenedLimits w{limits, {}, {}};
    w.y = NiceAxis(limits.yMin, limits.yMax);
    if (!w.y)
        return w;
    w.limits.yMin = w.y->first;
    w.limits.yMax = w.y->last;
    w.x = NiceAxis(limits.xMin, limits.xMax);
    if (w.x) {
        w.limits.xMin = w.x->first;
        w.limits.xMax = w.x->last;
    }
    return w;
}

bool Drawable(const PlotLimits &limits)
{
    const WidenedLimits screen = Widen(limits);
    return screen.x && screen.y && Widen(screen.limits).drawable();
}

} // namespace render
