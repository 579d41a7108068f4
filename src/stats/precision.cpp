#include "stats/precision.h"

#include "stats/centredsums.h"
#include "stats/errors.h"
#include "stats/leastsquares.h"
#include "stats/numberformat.h"
#include "stats/resultfields.h"
#include "stats/studentttable.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>

namespace stats {

namespace {

using L = long double;

// A value within this share of the data's scale is rounding noise: it is
// zero, and prints as 0 whatever digits the rounding left in it.
constexpr L kNoise = 1e-11L;

L slopeOf(const CentredSums &c) { return c.sxx != 0 ? c.sxy / c.sxx : 0; }

L residualSum(const LinearityStudy &study, const CentredSums &c, L b)
{
    L sse = 0;
    for (const Observation &o : study.observations) {
        const L e = (o.y - c.meanY) - b * (o.x - c.meanX);
        sse += e * e;
    }
    return sse;
}

// The noise levels of the regression's quantities, from the data's scale.
struct Noise {
    L y = 0;       // amounts recovered, intercept, predictions, residuals
    L slope = 0;
    L squares = 0; // sums and means of squares
    L syx = 0;     // standard deviation of regression
};

Noise noiseOf(const CentredSums &c, L b)
{
    Noise z;
    z.y = kNoise * (c.maxY + std::fabs(b) * c.maxX);
    z.slope = c.sxx > 0 ? z.y / std::sqrt(c.sxx / c.n) : 0;
    z.squares = kNoise * c.syy;
    z.syx = c.n > 2 ? std::sqrt(z.squares / (c.n - 2)) : 0;
    return z;
}

// Refuses the first wrong figure of a record.
class Judge {
public:
    explicit Judge(bool exactFit) : exactFit_(exactFit) {}
    // A figure within the noise of its computation is zero: it prints as 0,
    // not as the digits of its rounding error (-1.18424E-15).
    void check(double &shown, L stable, const std::string &name, L noise, int digits = 6)
    {
        if (std::fabs(L(shown)) <= noise)
            shown = 0.0;
        compare(shown, stable, name, noise, digits);
    }
    // For a figure computed from others already checked (a probability from
    // its F): judged, never set to zero.
    void compare(double shown, L stable, const std::string &name, L noise, int digits = 6)
    {
        if (wrong_.empty() && FigureIsWrong(shown, static_cast<double>(stable), digits, static_cast<double>(noise)))
            wrong_ = name;
    }
    void verdict() const
    {
        if (wrong_.empty())
            return;
        if (exactFit_)
            throw FloatingPointError("Los datos se ajustan exactamente a una recta (la suma de cuadrados del "
                                     "error es cero): no se pueden calcular las desviaciones estándar.");
        throw lostDigits(wrong_);
    }
    static FloatingPointError lostDigits(const std::string &what)
    {
        return FloatingPointError("Las cantidades son muy grandes frente a su dispersión: al calcular " + what +
                                  " se pierden cifras y el resultado mostrado no sería correcto. Reescale los "
                                  "datos (por ejemplo, reste a las cantidades una constante) y repita el cálculo.");
    }

private:
    bool exactFit_;
    std::string wrong_; // the first wrong figure's name
};

// The noise of each scale a record's fields use. A scale the record does
// not set throws (std::out_of_range): a table row is never left unjudged.
using Noises = std::map<NoiseScale, L>;

// Judges the fields of a record in the order of its table.
template <class Record>
void judgeFields(Judge &judge, Record &shown, const Record &stable, std::span<const ResultField<Record>> fields,
                 const Noises &noise)
{
    for (const ResultField<Record> &f : fields)
        if (f.noise != NoiseScale::NotJudged)
            judge.check(shown.*f.member, stable.*f.member, f.figure, noise.at(f.noise), f.digits);
}

L lastDigitUnit(double value, int digits)
{
    if (value == 0.0)
        return 0;
    const L magnitude = std::fabs(L(value));
    int exponent = static_cast<int>(std::floor(std::log10(magnitude))) + 1;
    if (std::round(magnitude / std::pow(10.0L, exponent - digits)) >= std::pow(10.0L, digits))
        ++exponent;
    return std::pow(10.0L, exponent - digits);
}

// True when a running sum of squares as the formulas form it is off its
// centred value by more than the six digits shown.
bool sumLost(L running, L stable, L noise)
{
    const L off = std::fabs(running - stable);
    return off > noise && off > 1e-6L * std::fabs(stable);
}

} // namespace

void RefuseLostDigits(const LinearityStudy &study)
{
    if (study.n() < 2)
        return;
    const CentredSums c = CentreStudy(study);
    const Noise z = noiseOf(c, slopeOf(c));
    const LineSums s = SumsOf(study);
    const L n = c.n;
    if (sumLost(L(s.x2) - L(s.x) * s.x / n, c.sxx, kNoise * c.sxx) ||
        sumLost(L(s.y2) - L(s.y) * s.y / n, c.syy, z.squares))
        throw Judge::lostDigits("las sumas de cuadrados");
    if (c.sxx > 0 && L(s.x2) * n != L(s.x) * s.x) {
        const L b = (n * s.xy - L(s.x) * s.y) / (n * s.x2 - L(s.x) * s.x);
        const L a = (s.y - b * s.x) / n;
        if (sumLost(L(s.y2) - b * s.xy - a * s.y, residualSum(study, c, slopeOf(c)), z.squares))
            throw Judge::lostDigits("la suma de cuadrados del error");
    }
    // The percentages recovered, for the systematic error.
    L sr = 0, sr2 = 0, mean = 0, squares = 0, largest = 0;
    for (const Observation &o : study.observations) {
        if (o.x == 0.0)
            return;
        const double percent = static_cast<double>(L(o.y) * 100 / o.x);
        sr = static_cast<double>(sr + percent);
        sr2 = static_cast<double>(sr2 + L(percent) * percent);
        mean += percent;
        largest = std::max(largest, std::fabs(L(percent)));
    }
    mean /= n;
    for (const Observation &o : study.observations)
        squares += (L(o.y) * 100 / o.x - mean) * (L(o.y) * 100 / o.x - mean);
    if (sumLost(sr2 - sr * sr / n, squares, kNoise * largest * largest))
        throw Judge::lostDigits("la desviación estándar del porcentaje recuperado");
}

bool FigureIsWrong(double shown, double stable, int digits, double noise)
{
    if (!std::isfinite(stable) || !std::isfinite(shown))
        return false; // nothing to judge against
    if (shown == stable || (std::fabs(shown) <= noise && std::fabs(stable) <= noise))
        return false;
    const std::string printed = FormatGeneral(shown, digits, '.');
    if (printed == FormatGeneral(stable, digits, '.'))
        return false;
    // The printed digits, not the value behind them, must round the stable
    // value: a shown value a hair below a rounding edge prints a wrong last
    // digit. A stable value on the edge itself (to its own rounding) may
    // print either way.
    L printedValue = 0; // (read whatever the locale's separator)
    std::from_chars(printed.data(), printed.data() + printed.size(), printedValue);
    const L half = lastDigitUnit(static_cast<double>(printedValue), digits) / 2;
    return std::fabs(printedValue - L(stable)) > half * (1 + 1e-9L);
}

RegressionResult StableRegression(const LinearityStudy &study)
{
    const CentredSums c = CentreStudy(study);
    const L b = slopeOf(c);
    const L a = c.meanY - b * c.meanX;
    const L df = c.n - 2;
    const L mse = residualSum(study, c, b) / df;
    const L syx = std::sqrt(mse);
    const L sb = syx / std::sqrt(c.sxx);
    const L t = StudentTTable::value(study.n() - 2);
    const L sa = std::sqrt(c.meanX * c.meanX / c.sxx + 1 / c.n) * syx;
    RegressionResult r;
    r.slope = static_cast<double>(b);
    r.intercept = static_cast<double>(a);
    r.slopeUpperLimit = static_cast<double>(b + t * sb);
    r.slopeLowerLimit = static_cast<double>(b - t * sb);
    r.slopeT = static_cast<double>((b - 1) / sb);
    r.interceptUpperLimit = static_cast<double>(a + t * sa);
    r.interceptLowerLimit = static_cast<double>(a - t * sa);
    r.interceptT = static_cast<double>(a / sa);
    r.sdRegression = static_cast<double>(syx);
    r.coefficientOfVariation = static_cast<double>(syx * 100 / c.meanY);
    r.criticalT = static_cast<double>(t);
    r.rSquared = static_cast<double>(b * c.sxy / c.syy);
    return r;
}

void CheckRegressionFigures(const LinearityStudy &study, RegressionResult &shown)
{
    const CentredSums c = CentreStudy(study);
    const L b = slopeOf(c);
    const Noise z = noiseOf(c, b);
    const RegressionResult s = StableRegression(study);
    const L sb = c.sxx > 0 ? L(s.sdRegression) / std::sqrt(c.sxx) : 0;
    const L sa = c.sxx > 0 ? std::sqrt(c.meanX * c.meanX / c.sxx + 1 / c.n) * L(s.sdRegression) : 0;
    Judge judge(residualSum(study, c, b) <= z.squares);
    judgeFields(judge, shown, s, RegressionFields(),
                {{NoiseScale::Slope, z.slope},
                 {NoiseScale::SlopeT, sb > 0 ? (z.slope + kNoise * (std::fabs(b) + 1)) / sb : 0},
                 {NoiseScale::Amount, z.y},
                 {NoiseScale::InterceptT, sa > 0 ? z.y / sa : 0},
                 {NoiseScale::SdRegression, z.syx},
                 {NoiseScale::CoefficientOfVariation, c.meanY != 0 ? z.syx * 100 / std::fabs(c.meanY) : 0},
                 {NoiseScale::Fraction, kNoise}});
    judge.verdict();
}

void StableAnova(const LinearityStudy &study, AnovaResult &r, std::vector<ResidualRow> &rows)
{
    const CentredSums c = CentreStudy(study);
    const L b = slopeOf(c);
    const L sse = residualSum(study, c, b);
    const L dfError = c.n - 2;
    const L mse = sse / dfError;
    r.dfError = static_cast<double>(dfError);
    r.ssRegression = static_cast<double>(b * c.sxy);
    r.msRegression = r.ssRegression;
    r.ssError = static_cast<double>(sse);
    r.msError = static_cast<double>(mse);
    r.fRegression = static_cast<double>(b * c.sxy / mse);
    r.pRegression = FTailProbability(r.fRegression, 1.0, r.dfError);

    // Pure error: each replicate about the mean of its level; lack of fit:
    // the mean of its level about the line.
    L ssPure = 0, ssLack = 0;
    int dfPure = 0;
    size_t i = 0;
    for (int rj : study.replicates) {
        const size_t first = i;
        L mean = 0;
        for (int k = 0; k < rj && i < study.observations.size(); ++k, ++i)
            mean += study.observations[i].y;
        mean /= rj;
        for (size_t j = first; j < i; ++j) {
            const Observation &o = study.observations[j];
            ssPure += (o.y - mean) * (o.y - mean);
            const L off = (mean - c.meanY) - b * (o.x - c.meanX);
            ssLack += off * off;
        }
        dfPure += rj - 1;
    }
    r.dfPureError = dfPure;
    if (dfPure != 0) {
        r.ssPureError = static_cast<double>(ssPure);
        r.msPureError = static_cast<double>(ssPure / dfPure);
        r.dfLackOfFit = static_cast<double>(dfError - dfPure);
        r.ssLackOfFit = static_cast<double>(ssLack);
        r.msLackOfFit = static_cast<double>(ssLack / (dfError - dfPure));
        r.fLackOfFit = static_cast<double>(ssLack / (dfError - dfPure) / (ssPure / dfPure));
        r.pLackOfFit = std::isfinite(r.fLackOfFit) ? FTailProbability(r.fLackOfFit, r.dfLackOfFit, dfPure) : 0;
    }

    rows.assign(study.observations.size(), ResidualRow{});
    for (size_t j = 0; j < rows.size(); ++j) {
        const Observation &o = study.observations[j];
        const L dx = o.x - c.meanX;
        const L residual = (o.y - c.meanY) - b * dx;
        rows[j].observation = static_cast<int>(j + 1);
        rows[j].predictedY = static_cast<double>(c.meanY + b * dx);
        rows[j].residual = static_cast<double>(residual);
        rows[j].studentized = static_cast<double>(residual / std::sqrt((1 - 1 / c.n - dx * dx / c.sxx) * mse));
    }
}

void CheckAnovaFigures(const LinearityStudy &study, AnovaResult &shown, std::vector<ResidualRow> &residuals)
{
    const CentredSums c = CentreStudy(study);
    const L b = slopeOf(c);
    const Noise z = noiseOf(c, b);
    AnovaResult s;
    std::vector<ResidualRow> rows;
    StableAnova(study, s, rows);
    Judge judge(L(s.ssError) <= z.squares);
    const Noises noise = {{NoiseScale::Squares, z.squares},
                          {NoiseScale::FRegression, s.msError > 0 ? z.squares / s.msError : 0},
                          {NoiseScale::FLackOfFit, s.msPureError > 0 ? z.squares / s.msPureError : 0},
                          {NoiseScale::Probability, kNoise}};
    for (const AnovaField &f : AnovaFields()) {
        const AnovaSource &source = AnovaSources()[f.source];
        if (f.noise == NoiseScale::NotJudged || !SourceShown(source, shown) || !SourceShown(source, s))
            continue;
        const std::string figure = std::string("la ") + AnovaColumns()[f.column].name + " " + source.figure;
        if (f.noise != NoiseScale::Probability) {
            judge.check(shown.*f.member, s.*f.member, figure, noise.at(f.noise));
            continue;
        }
        // From its F as judged (and perhaps set to zero) above; the stable
        // one from the stable F under the same rule, or an F that is zero
        // but for the rounding (level means exactly on the line) would
        // refuse a sound study.
        const bool regression = f.member == &AnovaResult::pRegression;
        const double AnovaResult::*fMember = regression ? &AnovaResult::fRegression : &AnovaResult::fLackOfFit;
        const L fNoise = noise.at(regression ? NoiseScale::FRegression : NoiseScale::FLackOfFit);
        const double stableF = std::fabs(L(s.*fMember)) <= fNoise ? 0.0 : s.*fMember;
        const double AnovaResult::*df1 = regression ? &AnovaResult::dfRegression : &AnovaResult::dfLackOfFit;
        const double AnovaResult::*df2 = regression ? &AnovaResult::dfError : &AnovaResult::dfPureError;
        shown.*f.member = FTailProbability(shown.*fMember, shown.*df1, shown.*df2);
        judge.compare(shown.*f.member, FTailProbability(stableF, s.*df1, s.*df2), figure, noise.at(f.noise));
    }
    for (size_t j = 0; j < residuals.size() && j < rows.size(); ++j) {
        const L dx = study.observations[j].x - c.meanX;
        const L leverage = c.sxx > 0 ? 1 / c.n + dx * dx / c.sxx : 1;
        const L spread = leverage < 1 ? std::sqrt((1 - leverage) * L(s.msError)) : 0;
        judgeFields(judge, residuals[j], rows[j], ResidualFields(),
                    {{NoiseScale::Amount, z.y}, {NoiseScale::Studentized, spread > 0 ? z.y / spread : 0}});
    }
    judge.verdict();
}

RecoveryResult StableRecovery(const LinearityStudy &study)
{
    const L n = study.n();
    std::vector<L> percent;
    L mean = 0;
    for (const Observation &o : study.observations) {
        percent.push_back(o.y * 100.0L / o.x);
        mean += percent.back();
    }
    mean /= n;
    L correction = 0, squares = 0;
    for (L p : percent)
        correction += p - mean;
    mean += correction / n;
    for (L p : percent)
        squares += (p - mean) * (p - mean);
    const L sd = std::sqrt(squares / (n - 1));
    const L t = StudentTTable::value(study.n() - 1);
    RecoveryResult r;
    r.meanRecovery = static_cast<double>(mean);
    r.sdRecovery = static_cast<double>(sd);
    r.upperLimit = static_cast<double>(t * sd / std::sqrt(n) + mean);
    r.lowerLimit = static_cast<double>(mean - t * sd / std::sqrt(n));
    r.tCalculated = static_cast<double>(std::sqrt(n) * (mean - 100) / sd);
    r.rsdRecovery = static_cast<double>(sd * 100 / mean);
    r.tTable = static_cast<double>(t);
    return r;
}

void CheckRecoveryFigures(const LinearityStudy &study, RecoveryResult &shown)
{
    const RecoveryResult s = StableRecovery(study);
    L largest = 0;
    for (const Observation &o : study.observations)
        largest = std::max(largest, std::fabs(o.y * 100.0L / o.x));
    const L noise = kNoise * (largest + 100);
    const L sdNoise = std::sqrt(kNoise) * largest;
    const L rootN = std::sqrt(L(study.n()));
    Judge judge(false);
    judgeFields(judge, shown, s, RecoveryFields(),
                {{NoiseScale::Percent, noise},
                 {NoiseScale::PercentSd, sdNoise},
                 {NoiseScale::PercentRsd, s.meanRecovery != 0 ? sdNoise * 100 / std::fabs(s.meanRecovery) : 0},
                 {NoiseScale::PercentT, s.sdRecovery > 0 ? rootN * noise / s.sdRecovery : 0}});
    const BestWorstCase shownCase = BestAndWorstCase(shown), stableCase = BestAndWorstCase(s);
    if (shownCase.exists && stableCase.exists) {
        judge.compare(shownCase.best, stableCase.best, "el error en el mejor de los casos", noise);
        judge.compare(shownCase.worst, stableCase.worst, "el error en el peor de los casos", noise);
    }
    judge.verdict();
}

} // namespace stats
