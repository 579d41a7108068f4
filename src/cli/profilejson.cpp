// The accuracy profile in the results object: every figure at full
// precision, the amounts found point by point, the verdicts as booleans.
#include "cli/resultsjson.h"

namespace cli {

namespace {

Json number(const stats::Real &v) { return v.toDouble(); }
Json number(const stats::Rational &v) { return stats::NearestDouble(v); }

JsonObject levelJson(const stats::ProfileLevel &l)
{
    return {{"x", number(l.x)},
            {"n", l.n},
            {"mean", number(l.mean)},
            {"bias", number(l.bias)},
            {"relativeBias", number(l.relativeBias)},
            {"recovery", number(l.recovery)},
            {"sr", number(l.sr)},
            {"sB", number(l.sB)},
            {"sIP", number(l.sIP)},
            {"cvr", number(l.cvr)},
            {"cvIP", number(l.cvIP)},
            {"totalError", number(l.totalError)},
            {"dof", number(l.dof)},
            {"ktol", number(l.ktol)},
            {"lower", number(l.lower)},
            {"upper", number(l.upper)},
            {"relativeLower", number(l.relativeLower)},
            {"relativeUpper", number(l.relativeUpper)},
            {"u", number(l.u)},
            {"U", number(l.U)},
            {"relativeU", number(l.relativeU)},
            {"accepted", l.accepted}};
}

Json rangeJson(const std::optional<stats::ProfileRange> &range)
{
    return range ? Json(JsonObject{{"lower", number(range->lower)}, {"upper", number(range->upper)}}) : Json();
}

JsonObject modelJson(const stats::ModelProfile &m)
{
    JsonArray fits, found, levels;
    for (const stats::ProfileFit &f : m.fits)
        fits.push_back(JsonObject{{"intercept", number(f.intercept)},
                                  {"slope", number(f.slope)},
                                  {"quadratic", f.quadratic ? number(*f.quadratic) : Json()}});
    for (const auto &series : m.found) {
        JsonArray seriesLevels;
        for (const auto &level : series) {
            JsonArray points;
            for (const stats::Rational &x : level)
                points.push_back(number(x));
            seriesLevels.push_back(std::move(points));
        }
        found.push_back(std::move(seriesLevels));
    }
    for (const stats::ProfileLevel &l : m.levels)
        levels.push_back(levelJson(l));
    return {{"model", stats::ProfileModelKey(m.model)},
            {"weight", stats::ProfileWeightKey(m.weight)},
            {"series", std::move(fits)},
            {"found", std::move(found)},
            {"levels", std::move(levels)},
            {"range", rangeJson(m.range)},
            {"valid", m.valid}};
}

JsonObject testJson(const stats::FTest &t)
{
    return {{"f", number(t.f)}, {"df1", t.df1}, {"df2", t.df2}, {"p", number(t.p)}};
}

} // namespace

void AddProfileJson(const stats::ProfileResult &result, JsonObject &object)
{
    if (const auto &p = result.profile) {
        JsonArray models;
        for (const stats::ModelProfile &m : p->models)
            models.push_back(modelJson(m));
        Json chosen;
        if (p->chosen) {
            const stats::ModelProfile &m = p->models[*p->chosen];
            // Its name, range and verdict beside its keys: what a summary reads.
            chosen = JsonObject{{"model", stats::ProfileModelKey(m.model)},
                                {"weight", stats::ProfileWeightKey(m.weight)},
                                {"name", stats::ProfileModelName(m.model, m.weight)},
                                {"lower", number(m.range->lower)},
                                {"upper", number(m.range->upper)},
                                {"valid", m.valid}};
        }
        object["profile"] = JsonObject{{"type", "beta-expectation"},
                                       {"beta", number(p->beta)},
                                       {"lambda", number(p->lambda)},
                                       {"models", std::move(models)},
                                       {"chosen", std::move(chosen)}};
        object["profileRefusal"] = Json();
    } else {
        object["profile"] = Json();
        object["profileRefusal"] = result.refusal;
    }
    object["seriesComparison"] =
        result.comparison ? Json(JsonObject{{"equalSlopes", testJson(result.comparison->equalSlopes)},
                                            {"equalIntercepts", testJson(result.comparison->equalIntercepts)}})
                          : Json();
}

} // namespace cli
