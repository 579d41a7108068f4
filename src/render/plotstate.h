#pragma once
// The state of one graph: curve store, limits, grid style, the three
// modifiers the options dialog never shows, and the title and axis labels.
// Plain data; the drawing engine (plotengine.h) works on it.
#include "stats/studyfile.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

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
// A curve holds every observation a study file may hold: a graph that
// dropped points would show another study than the one computed.
inline constexpr int kMaxCurvePoints = stats::kMaxFileObservations;

struct PlotCurve {
    std::vector<PlotPoint> points; // in the order they were added
    MarkerCode marker = 2;
    LineStyleCode lineStyle = 3;
    int pointCount() const { return static_cast<int>(points.size()); }
};

struct PlotLimits {
    double xMin = 1.0E30, xMax = -1.0E30;
    double yMin = 1.0E30, yMax = -1.0E30;
    bool operator==(const PlotLimits &) const = default;
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
