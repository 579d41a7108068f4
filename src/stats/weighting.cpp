#include "stats/weighting.h"

#include "stats/degenerate.h"
#include "stats/leastsquares.h"
#include "stats/wholestudy.h"

#include <algorithm>
#include <array>

namespace stats {

namespace {

constexpr std::array kWeights = {Weight::None,         Weight::InverseRootX, Weight::InverseX,
                                 Weight::InverseX2,    Weight::InverseRootY, Weight::InverseY,
                                 Weight::InverseY2,    Weight::InverseVariance};
constexpr std::array kWeightIds = {"none", "1/x^0.5", "1/x", "1/x^2", "1/y^0.5", "1/y", "1/y^2", "1/s^2"};

} // namespace

std::span<const Weight> Weights() { return kWeights; }

const char *WeightId(Weight weight) { return kWeightIds[static_cast<size_t>(weight)]; }

std::optional<Weight> WeightNamed(const std::string &id)
{
    for (Weight w : kWeights)
        if (id == WeightId(w))
            return w;
    return std::nullopt;
}

std::string WeightIdList()
{
    std::string list;
    for (const char *id : kWeightIds)
        list += (list.empty() ? "" : ", ") + std::string(id);
    return list;
}

const char *VarianceVerdictKey(VarianceVerdict verdict)
{
    switch (verdict) {
    case VarianceVerdict::Heteroscedastic:
        return "heteroscedastic";
    case VarianceVerdict::Homoscedastic:
        return "homoscedastic";
    case VarianceVerdict::NotAssessed:
        break;
    }
    return "not_assessed";
}

const char *WeightRuleKey(WeightRule rule)
{
    switch (rule) {
    case WeightRule::User:
        return "user";
    case WeightRule::SmallestRelativeError:
        return "smallest_relative_error";
    case WeightRule::Homoscedastic:
        return "homoscedastic";
    case WeightRule::NotAssessed:
        break;
    }
    return "not_assessed";
}

WeightingResult ComputeWeighting(const LinearityStudy &study, const WeightingOptions &options, bool &slopeIsZero)
{
    WeightingResult r;
    const ExactLine &line = FitLine(study);
    slopeIsZero = line.zeroSlope();
    if (slopeIsZero)
        return r;
    degenerate::RequireResidualVariation(line.sse);
    const WholeStudy whole(study);
    r.homogeneity = AssessHomogeneity(whole);
    r.candidates = RankWeights(whole);
    r.amountsAtZero = static_cast<int>(std::count_if(whole.x.begin(), whole.x.end(), [](const mpz_class &x) { return sgn(x) == 0; }));
    if (options.weight) {
        r.chosen = *options.weight;
        r.rule = WeightRule::User;
    } else if (r.homogeneity.verdict == VarianceVerdict::Heteroscedastic) {
        for (const WeightCandidate &c : r.candidates)
            if (c.rank == 1)
                r.chosen = c.weight;
        r.rule = WeightRule::SmallestRelativeError;
    } else {
        r.rule = r.homogeneity.verdict == VarianceVerdict::Homoscedastic ? WeightRule::Homoscedastic
                                                                         : WeightRule::NotAssessed;
    }
    r.weighted = FitWeightedLine(whole, r.chosen);
    r.diagnostics = PointDiagnostics(whole);
    r.grubbs = GrubbsTests(whole);
    return r;
}

} // namespace stats
