// The weighting evaluation in the results object: figures at full
// precision, null where a test or a weight cannot be computed for the study.
#include "cli/resultsjson.h"


namespace cli {

namespace {

Json number(const stats::Real &v) { return v.toDouble(); }
Json figure(const std::optional<stats::Real> &v) { return v ? number(*v) : Json(); }

template <class Test, class Fill>
Json test(const std::optional<Test> &t, Fill fill)
{
    return t ? Json(fill(*t)) : Json();
}

JsonObject homogeneityJson(const stats::Homogeneity &h)
{
    auto deviation = [](const stats::DeviationTest &t) {
        return JsonObject{{"f", number(t.f)}, {"df1", t.df1}, {"df2", t.df2}, {"p", number(t.p)}};
    };
    return {{"endsF", test(h.endsF,
                           [](const stats::EndsFTest &t) {
                               return JsonObject{{"f", number(t.f)},         {"df1", t.df1},
                                                  {"df2", t.df2},             {"p", number(t.p)},
                                                  {"lowLevel", t.lowLevel},   {"highLevel", t.highLevel}};
                           })},
            {"cochran", test(h.cochran,
                             [](const stats::CochranTest &t) {
                                 return JsonObject{
                                     {"c", number(t.c)}, {"critical", number(t.critical)}, {"level", t.level}};
                             })},
            {"bartlett", test(h.bartlett,
                              [](const stats::BartlettTest &t) {
                                  return JsonObject{
                                      {"statistic", number(t.statistic)}, {"df", t.df}, {"p", number(t.p)}};
                              })},
            {"levene", test(h.levene, deviation)},
            {"brownForsythe", test(h.brownForsythe, deviation)},
            {"verdict", stats::VarianceVerdictKey(h.verdict)}};
}

JsonObject lineJson(const stats::WeightedLine &l)
{
    return {{"slope", number(l.slope)},
            {"intercept", number(l.intercept)},
            {"sdRegression", number(l.sdRegression)},
            {"slopeSe", number(l.slopeSe)},
            {"interceptSe", number(l.interceptSe)},
            {"slopeUpperLimit", number(l.slopeUpperLimit)},
            {"slopeLowerLimit", number(l.slopeLowerLimit)},
            {"interceptUpperLimit", number(l.interceptUpperLimit)},
            {"interceptLowerLimit", number(l.interceptLowerLimit)},
            {"backCalculated", BackCalculationJson(l.backCalculated)},
            {"levelBias", LevelBiasJson(l.levelBias)}};
}

} // namespace

JsonObject WeightingJson(const stats::WeightingResult &w)
{
    JsonArray candidates, diagnostics, grubbs;
    for (const stats::WeightCandidate &c : w.candidates)
        candidates.push_back(JsonObject{
            {"weight", stats::WeightId(c.weight)},
            {"slope", figure(c.slope)},
            {"intercept", figure(c.intercept)},
            {"sumAbsRelativeError", figure(c.sumAbsRelativeError)},
            {"rank", c.rank ? Json(c.rank) : Json()},
            {"undefinedBecause", c.undefinedBecause.empty() ? Json()
                                                            : Json(c.undefinedBecause)}});
    for (const stats::PointDiagnostic &d : w.diagnostics)
        diagnostics.push_back(JsonObject{{"observation", d.observation},
                                       {"level", d.level},
                                       {"leverage", figure(d.leverage)},
                                       {"studentized", figure(d.studentized)},
                                       {"deletedStudentized", figure(d.deletedStudentized)},
                                       {"cooksDistance", figure(d.cooksDistance)},
                                       {"influential", d.cooksDistance ? Json(d.influential)
                                                                       : Json()}});
    for (const stats::GrubbsTest &g : w.grubbs)
        grubbs.push_back(JsonObject{{"level", g.level},
                                  {"g", figure(g.g)},
                                  {"observation", g.observation},
                                  {"critical", number(g.critical)},
                                  {"outlier", g.g ? Json(g.outlier) : Json()}});
    return {{"homogeneity", homogeneityJson(w.homogeneity)},
            {"candidates", candidates},
            {"chosen", stats::WeightId(w.chosen)},
            {"rule", stats::WeightRuleKey(w.rule)},
            {"weighted", w.weighted ? Json(lineJson(*w.weighted)) : Json()},
            {"diagnostics", diagnostics},
            {"grubbs", grubbs}};
}

} // namespace cli
