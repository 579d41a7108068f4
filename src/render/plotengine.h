#pragma once
// The drawing engine of both graphs: the curve store, the axis limits and
// their rounding, the layout of the drawing rectangle, tick labels, markers
// and lines. It draws on a QPainter whatever the device: a window, a QImage,
// an SVG generator, a PDF writer or a printer. All coordinates are integer
// device pixels of that device.
#include "render/plotstate.h"
#include "stats/outcomes.h"

#include <QFont>
#include <QLine>
#include <QRect>
#include <QStringList>

#include <span>
#include <string_view>
#include <vector>

class QPainter;
class QPaintDevice;

namespace render {

// A kind of graph, one row of GraphKinds(): what it is called, what it
// plots and how the engine, the same for every kind, lays it out.
struct GraphKind {
    const char *name = nullptr;  // on the command line: "regression"
    QString windowCaption = {};  // its window's title
    QString objectSuffix = {};   // tells its window's controls from the first kind's ("Opc1")
    QString documentName = {};   // its printout's title
    // The stats command that computes its points (line and observed) and
    // its legend lines.
    stats::CommandOutcome (*compute)(const stats::StudyAnalysis &) = nullptr;
    bool takesFileTitles = false; // a study file's title and axis labels are its own
    bool unitsAsXLabel = false;   // every build labels the X axis with the study's units
    QStringList header = {};      // fixed lines over the plot; the title follows them
    bool legend = false;          // equation, Sx/y, CVx/y and r² beside the plot
    bool largeAxisLabels = false; // axis labels in fontLarge rather than fontSmall
    int heightMargin = 0;         // plotHeight = H - 2 fontSmall - heightMargin
    int widthMargin = 0;          // plotWidth = width - TW("#######") - widthMargin
    int signatureUnderscores = 0; // length of the "Realizó" and "Revisó" lines
    int printRightMargin = 0;     // device pixels left free right of the printed graph
    QSize windowSize = {491, 315}; // its window's, and a PNG's or SVG's without --size
};
// Every kind, the regression graph first.
std::span<const GraphKind> GraphKinds();
const GraphKind &RegressionGraph();
const GraphKind &ResidualGraph();
// The kind a command line names; null for no kind.
const GraphKind *GraphKindNamed(std::string_view name);

// A legend line drawn after a short stroke in the pen of its curve, in
// the curve's colour, so that the reader knows which curve it names.
struct LegendKey {
    QString text;
    int curve = 0; // 1..4
};

// The texts of the frame that come from the study, not from the curves.
struct FrameTexts {
    QString method, analyst, date; // identification block
    QStringList legend;            // the regression graph's four legend lines
    std::vector<LegendKey> keys;   // after them, where a graph shows a further curve
};

// Layout quantities of one drawing, in device pixels of the surface drawn on.
struct PlotMetrics {
    int fontSmall = 0, fontLarge = 0, titleGap = 0, markerRadius = 0;
    int plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
};

// What one drawing puts on its surface, in device pixels: the painter only
// paints it, and the tests read it. Texts are placed by the top-left corner
// of their character cell (advance width by ascent + descent).
enum class LineKind { Axis, Tick, Grid, Curve, Key }; // Key: a legend line's stroke
struct LaidLine {
    QLine line;
    LineKind kind = LineKind::Axis;
    Qt::PenStyle style = Qt::SolidLine;
    QColor colour = Qt::black;
    int curve = 0; // a curve's line or its legend stroke: the curve's number
};
struct LaidText {
    QString text;
    QRect rect;     // the character cell
    int em = 0;     // font size in device pixels
    int ascent = 0; // baseline below rect.top()
    QColor colour = Qt::black;
};
struct LaidMarker {
    QPoint at;
    MarkerCode code = kHollowCircle;
    int radius = 0;
    // What the marker covers, its outline included.
    QRect rect(int lineWidth) const;
};
struct GraphLayout {
    QRect surface;           // the drawing rectangle
    bool background = false; // screen drawings: white with a black border
    int lineWidth = 1;       // every line and outline
    PlotMetrics metrics;     // as laid out: room made for what the formulas would hide
    PlotLimits axisLimits;   // the limits drawn, widened to whole steps
    bool axesDrawn = false;  // limits that could be widened to whole steps
    std::vector<LaidText> texts;
    std::vector<LaidLine> lines;
    std::vector<LaidMarker> markers;
};

// Written where a drawing's AddPoint refused a point; the next paint covers it.
inline constexpr const char *kCurveOutOfRange = "Curva fuera de intervalo.";
inline constexpr const char *kCurveFull = "Limite de datos excedido";

// Told when typed limits or a study's values give axes no drawing can show.
inline constexpr const char *kLimitsNotDrawable =
    "Los límites de la escala no se pueden dibujar: son demasiado grandes o demasiado próximos entre sí.";
inline constexpr const char *kPointsNotDrawable =
    "Los datos no se pueden dibujar: sus valores son demasiado grandes o demasiado próximos entre sí.";

class PlotEngine {
public:
    explicit PlotEngine(const GraphKind &kind);

    const GraphKind &kind() const { return kind_; }
    const PlotState &state() const { return state_; }
    PlotState &state() { return state_; }

    // Empty curves (marker 2, line 3), no grid, limits not computed. The
    // texts and the requested limits stay.
    void ResetPlot();
    void SetTitle(const QString &text) { state_.title = text; }
    void SetXLabel(const QString &text) { state_.xLabel = text; }
    void SetYLabel(const QString &text) { state_.yLabel = text; }
    void setFrameTexts(const FrameTexts &texts) { frame_ = texts; }
    // The separator of the tick labels, the user's as in every other text.
    void setDecimalSeparator(char separator) { decimalSeparator_ = separator; }
    char decimalSeparator() const { return decimalSeparator_; }
    const FrameTexts &frameTexts() const { return frame_; }

    // Appends a point to curve 1..4. A curve number outside that range or a
    // full curve drops the point and leaves the notice for the next paint;
    // false then.
    bool AddPoint(int curve, double x, double y);
    void SetMarker(int curve, MarkerCode code);
    void SetLineStyle(int curve, LineStyleCode code);
    void SetLineColour(int curve, const QColor &colour);
    // The notice of the last refused AddPoint, if the surface has not shown it yet.
    const QString &notice() const { return notice_; }

    // The ranges of the points of every curve.
    PlotLimits PointLimits() const;
    // requestedLimits from the points.
    void ComputeLimits();
    // The limits asked for: requestedLimits once computed or typed, else
    // those of the points (a build leaves them to be derived from its points).
    PlotLimits RequestedLimits() const;
    // The limits every screen drawing shows: those asked for, widened.
    PlotLimits ScreenLimits() const;
    // Whether the points of the curves give drawable limits.
    bool PointsDrawable() const;

    // The described layout quantities for the drawing rectangle `r` on
    // `device`: fonts and marker never smaller than the screen can show
    // legibly, and on paper the pixel constants (gaps, margins) in inches as
    // on a 96 dpi screen.
    PlotMetrics SetupMetrics(const QPaintDevice &device, const QRect &r, bool paper) const;
    // The whole drawing in `r`, a function of the state and the surface
    // alone: the limits asked for widened to whole steps (on paper twice,
    // the screen's limits widened once more), and each text, line and
    // marker placed. Where the described positions would put a text over
    // data, over another text or out of the surface, the text gives way: the
    // header above the plot, the legend and the identification block in a
    // free corner of the plot or below it, the tick labels in as many rows or
    // columns as they need.
    GraphLayout Layout(const QPaintDevice &device, const QRect &r, bool paper) const;
    static void Paint(QPainter &painter, const GraphLayout &layout);

    // One screen drawing on a surface of `size`: white background with a
    // one-pixel border, frame and curves, and the notice of a refused point
    // if one is waiting. Returns what it painted.
    GraphLayout PaintPlot(QPainter &painter, const QSize &size);
    // The printed page, whose printable area is `page` device pixels:
    // frame and curves in (250, 400, width - right margin, height) pixels of a
    // 600 dpi page (the same inches at any resolution), no background.
    // Returns what it painted.
    GraphLayout PrintPlot(QPainter &painter, const QSize &page) const;
    // The rectangle PrintPlot draws in on a page of `dpi` dots per inch.
    QRect printRect(const QSize &page, int dpi = 600) const;

private:
    PlotCurve *curve(int number);

    const GraphKind &kind_;
    PlotState state_;
    FrameTexts frame_;
    QString notice_;
    char decimalSeparator_ = '.';
};

// The em size, in device pixels, of the largest Arial whose character cell
// (ascent + descent) is at most `cell` pixels.
int EmForCell(int cell);
// Arial of `em` device pixels.
QFont PlotFont(int em);

} // namespace render
