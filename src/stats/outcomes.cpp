#include "stats/outcomes.h"

#include "stats/errors.h"
#include "stats/numberformat.h"

#include <algorithm>

namespace stats {

namespace {

// An outcome that shows `document`: the text reads it.
CommandOutcome &shown(CommandOutcome &outcome, Document document)
{
    outcome.lines = TextOf(document);
    outcome.document = std::move(document);
    return outcome;
}

} // namespace

CommandOutcome InferenceOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const RegressionResult *regression = Require(a.regression(), outcome))
        outcome.lines = InferenceLines(*regression, a.decimalSeparator);
    return outcome;
}

CommandOutcome AnovaOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const AnovaAndResiduals *anova = Require(a.anova(), outcome)) {
        outcome.grid = AnovaGridCells(anova->anova, a.decimalSeparator);
        outcome.lines = AnovaConclusionLines(anova->anova);
    }
    return outcome;
}

CommandOutcome ResidualsOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const AnovaAndResiduals *anova = Require(a.anova(), outcome))
        outcome.columns = ResidualColumns(anova->residuals, a.texts.dataRowCount() - 1, a.decimalSeparator);
    return outcome;
}

CommandOutcome SystematicErrorOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const AnovaAndResiduals *anova = Require(a.anova(), outcome))
        outcome.lines = SystematicErrorLines(anova->anova, *Require(a.recovery(), outcome), a.decimalSeparator);
    return outcome;
}

CommandOutcome ReportOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    const AnovaAndResiduals *anova = Require(a.anova(), outcome);
    if (!anova)
        return outcome;
    const RegressionResult *regression = Require(a.regression(), outcome);
    if (!regression)
        return outcome;
    outcome.lines = ReportLines(a.texts, *regression, anova->anova, anova->residuals, *Require(a.recovery(), outcome),
                                a.decimalSeparator);
    return outcome;
}

CommandOutcome CriteriaOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome) || !Require(a.anova(), outcome) || !Require(a.regression(), outcome))
        return outcome;
    return shown(outcome, CriteriaDocument(*Require(a.criteria(), outcome), a.study.units, a.decimalSeparator));
}

CommandOutcome RegressionGraphOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    const RegressionResult *r = Require(a.regression(), outcome);
    if (!r)
        return outcome;
    const Rational slope = r->slope.rational(), intercept = r->intercept.rational();
    for (const Observation &o : a.study.observations) {
        outcome.graph.x.push_back(o.x);
        outcome.graph.observed.push_back(o.y);
        outcome.graph.line.push_back(NearestDouble(slope * o.exactX + intercept));
    }
    outcome.lines = RegressionLegendLines(*r, a.decimalSeparator);
    if (a.quadratic().value && !a.quadratic().value->notFitted) {
        // Enough points that the chords look like the curve at any window size.
        constexpr int kCurvePoints = 64;
        const QuadraticResult &q = *a.quadratic().value;
        const auto [low, high] = std::minmax_element(a.study.observations.begin(), a.study.observations.end(),
                                                     [](const Observation &l, const Observation &r) { return l.exactX < r.exactX; });
        for (int i = 0; i <= kCurvePoints; ++i) {
            const Rational x = low->exactX + (high->exactX - low->exactX) * i / kCurvePoints;
            outcome.graph.curveX.push_back(NearestDouble(x));
            outcome.graph.curveY.push_back(NearestDouble(q.c0.rational() + (q.c1.rational() + q.c2.rational() * x) * x));
        }
        outcome.graph.curveLegend = QuadraticLegendLine(q, a.decimalSeparator);
    }
    return outcome;
}

CommandOutcome ResidualGraphOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome) || !Require(a.regression(), outcome))
        return outcome;
    const AnovaAndResiduals *anova = Require(a.anova(), outcome);
    if (!anova)
        return outcome;
    for (size_t i = 0; i < a.study.observations.size(); ++i) {
        outcome.graph.x.push_back(a.study.observations[i].x);
        outcome.graph.observed.push_back(anova->residuals[i].studentized.toDouble());
        outcome.graph.line.push_back(0.0);
    }
    return outcome;
}

CommandOutcome WeightingOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const WeightingResult *w = Require(a.weighting(), outcome))
        shown(outcome, WeightingDocument(*w, a.decimalSeparator));
    return outcome;
}

std::string RecoveryRefusal(const StudyAnalysis &a)
{
    if (!a.recovery().error)
        return {};
    try {
        std::rethrow_exception(a.recovery().error);
    } catch (const FloatingPointError &e) {
        return e.what();
    }
}

CommandOutcome QuadraticOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome))
        return outcome;
    if (const QuadraticResult *q = Require(a.quadratic(), outcome))
        shown(outcome, QuadraticDocument(*q, a.decimalSeparator));
    return outcome;
}

CommandOutcome SamplesOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!Validated(a, outcome) || !Require(a.regression(), outcome))
        return outcome;
    const DetectionResult *detection = Require(a.detection(), outcome);
    const bool given = a.samplesGiven();
    const SamplesResult *samples = given ? Require(a.samples(), outcome) : nullptr;
    return shown(outcome, SamplesDocument(*detection, samples, a.unreadSamples, a.study.units, a.decimalSeparator));
}

CommandOutcome ProfileOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!a.options.wholeStudy && !Validated(a, outcome))
        return outcome;
    const SeriesStudy none;
    if (const ProfileResult *r = Require(a.profile(), outcome))
        shown(outcome, ProfileDocument(*r, a.options.wholeStudy ? *a.options.wholeStudy : none, a.decimalSeparator));
    return outcome;
}

CommandOutcome ProfileGraphOutcome(const StudyAnalysis &a)
{
    CommandOutcome outcome;
    if (!a.options.wholeStudy && !Validated(a, outcome))
        return outcome;
    const ProfileResult *r = Require(a.profile(), outcome);
    if (!r)
        return outcome;
    if (!r->profile) {
        outcome.validation = {.failed = true, .message = "No hay perfil de exactitud: " + r->refusal};
        return outcome;
    }
    const AccuracyProfile &p = *r->profile;
    const std::size_t shown = std::min(a.options.profile.shown.value_or(p.chosen.value_or(0)), p.models.size() - 1);
    const ModelProfile &m = p.models[shown];
    const double lambda = NearestDouble(p.lambda);
    using Look = GraphCurve::Look;
    GraphCurve results{.look = Look::Markers}, bias, lower{.look = Look::Dashed}, upper{.look = Look::Dashed},
        below{.look = Look::Dotted}, above{.look = Look::Dotted};
    bias.legend = "Sesgo relativo";
    lower.legend = "Intervalo de tolerancia (" + FormatGeneral(Real(Rational(100 * p.beta)), 6, a.decimalSeparator) + " %)";
    below.legend = "Límites de aceptación (±" + FormatGeneral(Real(p.lambda), 6, a.decimalSeparator) + " %)";
    for (std::size_t j = 0; j < m.levels.size(); ++j) {
        const ProfileLevel &l = m.levels[j];
        const double x = NearestDouble(l.x);
        for (const auto &series : m.found)
            for (const Rational &found : series[j]) {
                results.x.push_back(x);
                results.y.push_back(NearestDouble(100 * (found - l.x) / l.x));
            }
        bias.x.push_back(x);
        bias.y.push_back(l.relativeBias.toDouble());
        lower.x.push_back(x);
        lower.y.push_back(l.relativeLower.toDouble());
        upper.x.push_back(x);
        upper.y.push_back(l.relativeUpper.toDouble());
    }
    below.x = above.x = {bias.x.front(), bias.x.back()};
    below.y = {-lambda, -lambda};
    above.y = {lambda, lambda};
    outcome.graph.curves = {results, bias, lower, upper, below, above};
    Lines legend = {"Modelo: " + ProfileModelName(m.model, m.weight)};
    if (m.range) {
        // The ends of the validated range, across the acceptance limits.
        for (const Real &end : {m.range->lower, m.range->upper})
            outcome.graph.curves.push_back({.x = {end.toDouble(), end.toDouble()},
                                            .y = {-lambda, lambda},
                                            .highlighted = true,
                                            .legend = outcome.graph.curves.back().highlighted
                                                          ? ""
                                                          : "Intervalo validado (LIC y LSC)"});
        legend.push_back("LIC = " + FormatGeneral(m.range->lower, 6, a.decimalSeparator) +
                         "; LSC = " + FormatGeneral(m.range->upper, 6, a.decimalSeparator));
    } else {
        legend.push_back("Sin intervalo validado");
    }
    legend.push_back(m.valid ? "Modelo válido" : "Modelo no válido");
    outcome.lines = legend;
    return outcome;
}

} // namespace stats
