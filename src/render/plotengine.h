#pragma once
// The drawing engine of both graphs: the curve store, the axis limits and
// their rounding, the layout of the drawing rectangle, tick labels, markers
// and lines. It draws on a QPainter whatever the device: a window, a QImage,
// an SVG generator, a PDF writer or a printer. All coordinates are integer
// device pixels of that device.
#include "render/plotstate.h"

#include <QRect>
#include <QStringList>

#include <optional>

class QPainter;

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

// Layout of one drawing, in device pixels of the surface drawn on.
struct PlotMetrics {
    int fontSmall = 0, fontLarge = 0, titleGap = 0, markerRadius = 0;
    int plotLeft = 0, plotTop = 0, plotWidth = 0, plotHeight = 0;
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

// base raised to exponent through the natural logarithm of the base; a base
// of 0 is a division by zero and a negative base an invalid operation
// (stats::FloatingPointError).
double Power(double base, double exponent);
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

    // Layout for the drawing rectangle `r`; sets the painter's font to
    // fontSmall.
    PlotMetrics SetupMetrics(QPainter &painter, const QRect &r) const;
    void DrawFrame(QPainter &painter, const QRect &r, const PlotMetrics &m);
    void DrawCurves(QPainter &painter, const PlotMetrics &m) const;
    void DrawMarker(QPainter &painter, int px, int py, MarkerCode code, const PlotPoint &point,
                    const PlotMetrics &m) const;

    // One screen drawing on a surface of `size`: limits from the points
    // when not yet computed, axis limits from the requested ones, white
    // background with a one-pixel border, frame and curves.
    void PaintPlot(QPainter &painter, const QSize &size);
    // The printed page, whose printable area is `page` device pixels:
    // frame and curves in (250, 400, width - right margin, height), no
    // background. The axis limits of the last screen drawing are widened once
    // more, as they are.
    void PrintPlot(QPainter &painter, const QSize &page);
    // The rectangle PrintPlot draws in.
    QRect printRect(const QSize &page) const;

private:
    void drawLegend(QPainter &painter, const QRect &r, const PlotMetrics &m) const;
    void drawAxisLabels(QPainter &painter, const QRect &r, const PlotMetrics &m) const;
    void drawTicks(QPainter &painter, const PlotMetrics &m, const AxisTicks &x, const AxisTicks &y) const;
    PlotCurve *curve(int number);

    const GraphKind &kind_;
    PlotState state_;
    FrameTexts frame_;
    QString notice_;
    double xScale_ = 0, yScale_ = 0; // pixels per data unit of the last frame
    bool axesDrawn_ = false;         // the last frame could widen its axes
};

// Sets the painter's font to Arial with a character cell (ascent + descent)
// of `cell` device pixels.
void SetPlotFont(QPainter &painter, int cell);

} // namespace render
