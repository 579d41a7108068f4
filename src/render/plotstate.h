#pragma once
// The state of one graph window: curve store, limits, grid style, the three
// modifiers the options dialog never shows, and the title and axis labels.
// Plain data; the drawing engine and the windows work on it.
#include <QString>

#include <array>
#include <cstdint>

using MarkerCode = std::uint8_t;
using LineStyleCode = std::uint8_t;

// Index of the options dialog's ReferenceGroup.
enum class GridStyle : std::uint8_t {
    None = 0,   // "Ninguno": no grid
    Light = 1,  // "Ligero": dotted
    Medium = 2, // "Medio": dashed
    Strong = 3, // "Fuerte": solid
};

struct PlotPoint {
    double x = 0, y = 0;
    double dx = 0, dy = 0; // half-lengths of the error cross, data units
};

inline constexpr int kCurveCount = 4;
inline constexpr int kMaxCurvePoints = 55;

struct PlotCurve {
    std::int32_t pointCount = 0;
    MarkerCode marker = 2;
    LineStyleCode lineStyle = 3;
    std::array<PlotPoint, kMaxCurvePoints> points{};
};

struct PlotLimits {
    double xMin = 1.0E30, xMax = -1.0E30;
    double yMin = 1.0E30, yMax = -1.0E30;
};

struct PlotState {
    std::array<PlotCurve, kCurveCount> curves{}; // curve n is curves[n - 1]
    PlotLimits requestedLimits;                  // derived from the points or typed by the user
    PlotLimits axisLimits;                       // working ranges of the last drawing, widened
    bool limitsComputed = false;
    GridStyle gridStyle = GridStyle::None;
    bool barDrawing = false, logX = false, logY = false;
    QString title, xLabel, yLabel; // a reset keeps them
};

// Empties the curves, puts the axis limits back to values the first point
// overrides, no grid, modifiers off; the texts and requested limits stay.
inline void ResetPlot(PlotState &state)
{
    state.curves.fill(PlotCurve{});
    state.axisLimits = PlotLimits{};
    state.gridStyle = GridStyle::None;
    state.barDrawing = state.logX = state.logY = false;
    state.limitsComputed = false;
}
