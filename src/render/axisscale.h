#pragma once
// The scale of a graph's axes: the ranges widened to whole steps, the tick
// values and their labels. Plain values and no Qt, so that the axis
// arithmetic can be exercised (and fuzzed) on its own.
#include <optional>
#include <string>
#include <vector>

// The ranges of both axes, beside the other plain types of a graph's state
// (plotstate.h). The default is what a reset leaves: the first point sets
// both ends of each.
struct PlotLimits {
    double xMin = 1.0E30, xMax = -1.0E30;
    double yMin = 1.0E30, yMax = -1.0E30;
    bool operator==(const PlotLimits &) const = default;
};

namespace render {

// One axis widened to whole steps: it runs from its first tick to `last`.
struct AxisScale {
    double first = 0, last = 0, step = 0;
};

// [min, max] widened to whole steps of 1, 2 or 5 times a power of ten (0.5
// or 1 times one below 1). Empty when the range cannot be drawn: a value or
// the range is not finite, the tick quotient leaves the 64-bit range, or
// adding the step no longer advances.
std::optional<AxisScale> NiceAxis(double min, double max);

// The value of tick `index`: first + index * step, and 0 for a tick that is
// zero but for rounding.
double TickValue(const AxisScale &axis, int index);

// The ticks of an axis, from the first to the last one not beyond its end
// (with a fifth of a step to spare for rounding).
std::vector<double> TickValues(const AxisScale &axis);

// The label of a tick value: "0", fixed notation with at most six
// characters, or scientific notation such as 2.5E+4 or 5.E-3, with the
// user's decimal separator ("2,5E+4" under a comma locale).
std::string FormatTickLabel(double value, char decimalSeparator);

// 10^e by repeated multiplication (or division) from 1.
double PowerOfTen(int e);

// Both axes of one drawing: the Y axis is widened first, and the X axis only
// when the Y axis could be. An axis that could not be widened keeps its
// limits and has no scale.
struct WidenedLimits {
    PlotLimits limits;
    std::optional<AxisScale> x, y;
    bool drawable() const;
};
WidenedLimits Widen(const PlotLimits &limits);

// Whether limits can be drawn: both axes widened once for the screen and
// once more for the printed page.
bool Drawable(const PlotLimits &limits);

} // namespace render
