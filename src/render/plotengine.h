#pragma once
// The drawing engine of both graphs: the curve store, the axis limits and
// their rounding, the layout of the drawing rectangle, tick labels, markers
// and lines. It draws on a QPainter whatever the device: a window, a QImage,
// an SVG generator, a PDF writer or a printer. All coordinates are integer
// device pixels of that device.
#include "render/plotstate.h"

#include <QFont>
#include <QLine>
#include <QRect>
#include <QStringList>

#include <vector>

#include <optional>

class QPainter;
class QPaintDevice;

namespace render {

// What tells the regression graph from the residual graph; the engine is
// the same for both.
struct GraphKind {
    int heightMargin;         // plotHeight = H - 2 fontSmall - heightMargin
    int widthMargin;          // plotWidth = width - TW("#######") - widthMargin
    QStringList header;       // fixed lines over the plot; the title follows them
    bool legend;              // equation, Sx/y, CVx/y and r² beside the plot
    bool largeAxisLabels;     // axis labels in fontLarge rather than fontSmall
    int signatureUnderscores; // length of the "Realizó" and "Revisó" lines
    int printRightMargin;     // device pixels left free right of the printed graph
    bool unitsAsXLabel;       // every build labels the X axis with the study's units
};
const GraphKind &RegressionGraph();
const GraphKind &ResidualGraph();

// The texts of the frame that come from the study, not from the curves.
struct FrameTexts {
    QString method, analyst, date; // identification block
    QStringList legend;            // the regression graph's four legend lines
};

// Layout quantities of one drawing, in device pixels of the surface drawn on.
struct PlotMetrics {
    int fontSmall = 0, fontLarge = 0, titleGap = 0, markerRadius = 0;
    int plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
};

// What one drawing puts on its surface, in device pixels: the painter only
// paints it, and the tests read it. Texts are placed by the top-left corner
// of their character cell (advance width by ascent + descent).
enum class LineKind { Axis, Tick, Grid, Curve };
struct LaidLine {
    QLine line;
    LineKind kind = LineKind::Axis;
    Qt::PenStyle style = Qt::SolidLine;
};
struct LaidText {
    QString text;
    QRect rect;     // the character cell
    int em = 0;     // font size in device pixels
    int ascent = 0; // baseline below rect.top()
};
struct LaidMarker {
    QPoint at;
    MarkerCode code = 0;
    int radius = 0;
    int crossX = 0, crossY = 0; // half-lengths of an error cross, pixels
    // What the marker covers, its outline included.
    QRect rect(int lineWidth) const;
};
struct GraphLayout {
    QRect surface;           // the drawing rectangle
    bool background = false; // screen drawings: white with a black border
    int lineWidth = 1;       // every line and outline
    PlotMetrics metrics;     // as laid out: room made for what the formulas would hide
    bool axesDrawn = false;  // limits that could be widened to whole steps
    std::vector<LaidText> texts;
    std::vector<LaidLine> lines;
    std::vector<LaidMarker> markers;
};

// The first tick and the step of an axis widened to whole steps.
struct AxisTicks {
    double first = 0, step = 0;
};

// Widens [min, max] to whole steps of 1, 2 or 5 times a power of ten (0.5
// or 1 times one below 1) and returns the first tick and the step. An
// empty answer, with min and max untouched, when the range cannot be drawn:
// a value or the range is not finite, the tick quotient leaves the 64-bit
// range, or adding the step no longer advances.
std::optional<AxisTicks> NiceAxis(double &min, double &max);

// The value of tick `index`: first + index * step, and 0 for a tick that is
// zero but for rounding.
double TickValue(const AxisTicks &ticks, int index);

// The label of a tick value: "0", fixed notation with at most six
// characters, or scientific notation such as 2.5E+4 or 5.E-3.
QString FormatTickLabel(double value);

// 10^e by repeated multiplication (or division) from 1.
double PowerOfTen(int e);

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

    // Empty curves (marker 2, line 3), axis limits that the first point
    // overrides, no grid, modifiers off, limits not computed. The texts and
    // the requested limits stay.
    void ResetPlot();
    void SetTitle(const QString &text) { state_.title = text; }
    void SetXLabel(const QString &text) { state_.xLabel = text; }
    void SetYLabel(const QString &text) { state_.yLabel = text; }
    void setFrameTexts(const FrameTexts &texts) { frame_ = texts; }
    const FrameTexts &frameTexts() const { return frame_; }

    // Appends a point to curve 1..4. A curve number outside that range or a
    // full curve drops the point and leaves the notice for the next paint;
    // false then.
    bool AddPoint(int curve, double x, double y, double dx = 0, double dy = 0);
    void SetMarker(int curve, MarkerCode code);
    void SetLineStyle(int curve, LineStyleCode code);
    // The notice of the last refused AddPoint, if the surface has not shown it yet.
    const QString &notice() const { return notice_; }

    // requestedLimits from the points of every curve, starting from the
    // current axis limits.
    void ComputeLimits();

    // Whether limits can be drawn: both axes widened once for the screen and
    // once more for the printed page.
    static bool Drawable(const PlotLimits &limits);
    // Whether the points of the curves give drawable limits.
    bool PointsDrawable() const;

    // The described layout quantities for the drawing rectangle `r` on
    // `device`: fonts and marker never smaller than the screen can show
    // legibly, and on paper the pixel constants (gaps, margins) in inches as
    // on a 96 dpi screen.
    PlotMetrics SetupMetrics(const QPaintDevice &device, const QRect &r, bool paper) const;
    // The whole drawing in `r`: widens the axis limits to whole steps (as
    // every drawing does) and places each text, line and marker. Where the
    // described positions would put a text over data, over another text or
    // out of the surface, the text gives way: the header above the plot,
    // the legend and the identification block in a free corner of the plot
    // or below it, the tick labels in as many rows or columns as they need.
    GraphLayout Layout(const QPaintDevice &device, const QRect &r, bool paper);
    static void Paint(QPainter &painter, const GraphLayout &layout);
    // The layout of the last drawing.
    const GraphLayout &lastLayout() const { return last_; }

    // One screen drawing on a surface of `size`: limits from the points
    // when not yet computed, axis limits from the requested ones, white
    // background with a one-pixel border, frame and curves.
    void PaintPlot(QPainter &painter, const QSize &size);
    // The printed page, whose printable area is `page` device pixels:
    // frame and curves in (250, 400, width - right margin, height) pixels of a
    // 600 dpi page (the same inches at any resolution), no
    // background. The axis limits of the last screen drawing are widened once
    // more, as they are.
    void PrintPlot(QPainter &painter, const QSize &page);
    // The rectangle PrintPlot draws in on a page of `dpi` dots per inch.
    QRect printRect(const QSize &page, int dpi = 600) const;

private:
    PlotCurve *curve(int number);

    const GraphKind &kind_;
    PlotState state_;
    FrameTexts frame_;
    QString notice_;
    GraphLayout last_;
};

// The em size, in device pixels, of the largest Arial whose character cell
// (ascent + descent) is at most `cell` pixels.
int EmForCell(int cell);
// Arial of `em` device pixels.
QFont PlotFont(int em);

} // namespace render
