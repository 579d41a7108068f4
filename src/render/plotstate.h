#pragma once
// The state of one graph: curve store, requested limits, grid style, and
// the title and axis labels. Plain data; the drawing engine (plotengine.h)
// lays it out on a surface without changing it.
#include "render/axisscale.h"
#include "stats/seriesstudy.h"
#include "stats/studyfile.h"

#include <QColor>
#include <QString>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

using MarkerCode = std::uint8_t;
using LineStyleCode = std::uint8_t;

// The markers the graphs draw; any other code draws none.
inline constexpr MarkerCode kHollowCircle = 1;
inline constexpr MarkerCode kHollowSquare = 2;   // a point left out of the computations
inline constexpr MarkerCode kHollowTriangle = 4; // apex up

// Index of the options dialog's ReferenceGroup.
enum class GridStyle : std::uint8_t {
    None = 0,   // "Ninguno": no grid
    Light = 1,  // "Ligero": dotted
    Medium = 2, // "Medio": dashed
    Strong = 3, // "Fuerte": solid
};

struct PlotPoint {
    double x = 0, y = 0;
};

// The accuracy profile draws eight: its results, the bias, two tolerance
// limits, two acceptance limits and the two ends of the validated range.
inline constexpr int kCurveCount = 8;
// A curve holds every observation a study file may hold, a .w04 one or
// every validation standard of a .lin one: a graph that dropped points
// would show another study than the one computed.
inline constexpr int kMaxCurvePoints = std::max(stats::kMaxFileObservations,
                                                stats::kMaxSeries * stats::kMaxSeriesLevels * stats::kMaxLevelPoints);

struct PlotCurve {
    std::vector<PlotPoint> points; // in the order they were added
    MarkerCode marker = 2;
    LineStyleCode lineStyle = 3;
    QColor colour = Qt::black; // of its line
    int pointCount() const { return static_cast<int>(points.size()); }
};

struct PlotState {
    std::array<PlotCurve, kCurveCount> curves{}; // curve n is curves[n - 1]
    PlotLimits requestedLimits;                  // derived from the points or typed by the user
    bool limitsComputed = false;                 // requestedLimits hold them
    GridStyle gridStyle = GridStyle::None;
    QString title, xLabel, yLabel; // a reset keeps them
};
