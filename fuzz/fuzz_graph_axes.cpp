// libFuzzer target: arbitrary bytes as the four limits typed in the graph
// options dialog (one per line, in the order the dialog takes them), through
// the same conversion and the axis computation of the graphs. A crash, a
// hang, a sanitizer report or a broken invariant is a finding: limits the
// engine accepts must give finite, advancing ticks with short labels.
#include "render/axisscale.h"
#include "stats/conversions.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkAxis(double min, double max)
{
    const std::optional<render::AxisScale> ticks = render::NiceAxis(min, max);
    if (!ticks)
        return;
    const double hi = ticks->last;
    check(std::isfinite(ticks->first) && std::isfinite(hi) && std::isfinite(ticks->step) && ticks->step != 0);
    // The ticks run from the first to the end of the axis in a bounded number
    // of steps, each one further than the last (downwards when the limits
    // were typed backwards).
    const double direction = ticks->step > 0 ? 1.0 : -1.0;
    double previous = -INFINITY;
    for (int i = 0; i < 10000; ++i) {
        const double value = direction * render::TickValue(*ticks, i);
        check(std::isfinite(value));
        if (value > direction * hi + std::fabs(ticks->step) * 1e-9)
            return;
        check(value > previous);
        previous = value;
        check(!render::FormatTickLabel(direction * value, ',').empty());
    }
    std::abort(); // an axis no window could show
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const std::string text(reinterpret_cast<const char *>(data), size);
    std::vector<std::string> fields;
    size_t start = 0;
    while (fields.size() < 4) {
        const size_t end = text.find('\n', start);
        fields.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    fields.resize(4);
    double values[4];
    for (int i = 0; i < 4; ++i)
        if (!stats::TryStrToFloat(fields[i], '.', values[i]))
            return 0;
    const PlotLimits typed{values[0], values[2], values[1], values[3]}; // xMin, xMax, yMin, yMax
    if (!render::Drawable(typed))
        return 0;
    checkAxis(typed.xMin, typed.xMax);
    checkAxis(typed.yMin, typed.yMax);
    return 0;
}
