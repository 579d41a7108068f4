#pragma once
// A graph built from the active study: what the windows and the headless
// export both do before drawing.
#include "render/plotengine.h"
#include "stats/outcomes.h"

namespace render {

enum class Graph { Regression, Residuals, Profile };

inline const QColor kQuadraticCurveColour{0, 90, 200};
// The accuracy profile's tolerance limits, and the ends of its validated range.
inline const QColor kToleranceColour{0, 90, 200};
inline const QColor kRangeColour{200, 0, 0};

const GraphKind &KindOf(Graph graph);

// The graph's points and legend from the study's analysis, or its refusal.
stats::CommandOutcome ComputeGraph(Graph graph, const stats::StudyAnalysis &analysis);

// Refills `engine` from a computed (not refused) outcome, as a build does:
// reset; curve 2 the line (fitted amounts or zeros) solid with hollow
// circles; curve 1 the observations (amounts recovered or studentized
// residuals) as hollow triangles, not joined; the identification block and
// legend; the units as X label where the graph takes them; the tick labels
// with `decimalSeparator`, the one the outcome's texts were written with.
// With `quadratic`, curve 3 is the quadratic model's curve, where the
// outcome has it: dashed, in kQuadraticCurveColour, without markers, with a
// legend line of its own giving its equation.
// A graph of further curves only (the accuracy profile) fills curve k + 1
// from the outcome's k-th further curve instead, its keys after the legend.
void FillGraph(PlotEngine &engine, const stats::CommandOutcome &outcome, const stats::StudyTexts &study,
               char decimalSeparator, bool quadratic = false);

} // namespace render
