// The weighting evaluation in the results object: figures at full
// precision, null where a test or a weight cannot be computed for the study.
#include "cli/resultsjson.h"

#include <QJsonArray>

namespace cli {

namespace {

QJsonValue number(const stats::Real &v) { return v.toDouble(); }
QJsonValue figure(const std::optional<stats::Real> &v) { return v ? number(*v) : QJsonValue(QJsonValue::Null); }

template <class Test, class Fill>
QJsonValue test(const std::optional<Test> &t, Fill fill)
{
    return t ? QJsonValue(fill(*t)) : QJsonValue(QJsonValue::Null);
}

QJsonObject homogeneityJson(const stats::Homogeneity &h)
{
    auto deviation = [](const stats::DeviationTest &t) {
        return QJsonObject{{"f", number(t.f)}, {"df1", t.df1}, {"df2", t.df2}, {"p", number(t.p)}};
    };
    return {{"endsF", test(h.endsF,
                           [](const stats::EndsFTest &t) {
                               return QJsonObject{{"f", number(t.f)},         {"df1", t.df1},
                                                  {"df2", t.df2},             {"p", number(t.p)},
                                                  {"lowLevel", t.lowLevel},   {"highLevel", t.highLevel}};
                           })},
            {"cochran", test(h.cochran,
                             [](const stats::CochranTest &t) {
                                 return QJsonObject{
                                     {"c", number(t.c)}, {"critical", number(t.critical)}, {"level", t.level}};
                             })},
            {"bartlett", test(h.bartlett,
                              [](const stats::BartlettTest &t) {
                                  return QJsonObject{
                                      {"statistic", number(t.statistic)}, {"df", t.df}, {"p", number(t.p)}};
                              })},
            {"levene", test(h.levene, deviation)},
            {"brownForsythe", test(h.brownForsythe, deviation)},
            {"verdict", stats::VarianceVerdictKey(h.verdict)}};
}

QJsonObject lineJson(const stats::WeightedLine &l)
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

QJsonObject WeightingJson(const stats::WeightingResult &w)
{
    QJsonArray candidates, diagnostics, grubbs;
    for (const stats::WeightCandidate &c : w.candidates)
        candidates.append(QJsonObject{
            {"weight", stats::WeightId(c.weight)},
            {"slope", figure(c.slope)},
            {"intercept", figure(c.intercept)},
            {"sumAbsRelativeError", figure(c.sumAbsRelativeError)},
            {"rank", c.rank ? QJsonValue(c.rank) : QJsonValue(QJsonValue::Null)},
            {"undefinedBecause", c.undefinedBecause.empty() ? QJsonValue(QJsonValue::Null)
                                                            : QJsonValue(QString::fromStdString(c.undefinedBecause))}});
    for (const stats::PointDiagnostic &d : w.diagnostics)
        diagnostics.append(QJsonObject{{"observation", d.observation},
                                       {"level", d.level},
                                       {"leverage", figure(d.leverage)},
                                       {"studentized", figure(d.studentized)},
                                       {"deletedStudentized", figure(d.deletedStudentized)},
                                       {"cooksDistance", figure(d.cooksDistance)},
                                       {"influential", d.cooksDistance ? QJsonValue(d.influential)
                                                                       : QJsonValue(QJsonValue::Null)}});
    for (const stats::GrubbsTest &g : w.grubbs)
        grubbs.append(QJsonObject{{"level", g.level},
                                  {"g", figure(g.g)},
                                  {"observation", g.observation},
                                  {"critical", number(g.critical)},
                                  {"outlier", g.g ? QJsonValue(g.outlier) : QJsonValue(QJsonValue::Null)}});
    return {{"homogeneity", homogeneityJson(w.homogeneity)},
            {"candidates", candidates},
            {"chosen", stats::WeightId(w.chosen)},
            {"rule", stats::WeightRuleKey(w.rule)},
            {"weighted", w.weighted ? QJsonValue(lineJson(*w.weighted)) : QJsonValue(QJsonValue::Null)},
            {"diagnostics", diagnostics},
            {"grubbs", grubbs}};
}

} // namespace cli
