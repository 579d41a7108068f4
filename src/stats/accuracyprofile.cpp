#include "stats/accuracyprofile.h"

#include "stats/conversions.h"
#include "stats/errors.h"
#include "stats/numberformat.h"
#include "stats/precisefigures.h"

#include <algorithm>
#include <numeric>
#include <span>

namespace stats {

namespace {

using XY = std::pair<Rational, Rational>;

Rational numberOf(const std::string &text) { return StrToRational(text, '.'); }

std::string shown(const Rational &q) { return FormatGeneral(Real(q), 6, '.'); }

// The points of a level that are not excluded.
std::vector<XY> keptPoints(const StudyLevel &level)
{
    std::vector<XY> points;
    for (const StudyPoint &p : level)
        if (!p.excluded)
            points.emplace_back(numberOf(p.x), numberOf(p.y));
    return points;
}

// A series' calibration standards, read once: the kept points of each level.
using Calibration = std::vector<std::vector<XY>>;

Calibration calibrationOf(const StudySeries &series)
{
    Calibration levels;
    for (const StudyLevel &level : series.calibration)
        levels.push_back(keptPoints(level));
    return levels;
}

std::vector<XY> joined(const Calibration &levels)
{
    std::vector<XY> points;
    for (const std::vector<XY> &level : levels)
        points.insert(points.end(), level.begin(), level.end());
    return points;
}

struct Candidate {
    ProfileModel model;
    ProfileWeight weight;
};

constexpr Candidate kCandidates[] = {
    {ProfileModel::OnePoint, ProfileWeight::None},     {ProfileModel::Line, ProfileWeight::None},
    {ProfileModel::Line, ProfileWeight::InverseX},     {ProfileModel::Line, ProfileWeight::InverseX2},
    {ProfileModel::Quadratic, ProfileWeight::None},    {ProfileModel::Quadratic, ProfileWeight::InverseX},
    {ProfileModel::Quadratic, ProfileWeight::InverseX2},
};

Rational weightAt(ProfileWeight weight, const Rational &x)
{
    switch (weight) {
    case ProfileWeight::InverseX:
        return 1 / x;
    case ProfileWeight::InverseX2:
        return 1 / (x * x);
    case ProfileWeight::None:
        break;
    }
    return 1;
}

// Weighted least squares of the given degree, solving the normal equations
// exactly; none when they are singular (too few distinct amounts).
std::optional<std::vector<Rational>> fitPolynomial(const std::vector<XY> &points, ProfileWeight weight, int degree)
{
    const std::size_t m = static_cast<std::size_t>(degree) + 1;
    std::vector<Rational> moments(2 * m - 1), right(m);
    for (const auto &[x, y] : points) {
        Rational power = weightAt(weight, x);
        for (std::size_t k = 0; k < moments.size(); ++k) {
            moments[k] += power;
            if (k < m)
                right[k] += power * y;
            power *= x;
        }
    }
    std::vector<std::vector<Rational>> a(m, std::vector<Rational>(m + 1));
    for (std::size_t i = 0; i < m; ++i) {
        for (std::size_t j = 0; j < m; ++j)
            a[i][j] = moments[i + j];
        a[i][m] = right[i];
    }
    for (std::size_t c = 0; c < m; ++c) {
        std::size_t pivot = c;
        while (pivot < m && sgn(a[pivot][c]) == 0)
            ++pivot;
        if (pivot == m)
            return std::nullopt;
        std::swap(a[c], a[pivot]);
        for (std::size_t r = 0; r < m; ++r) {
            if (r == c || sgn(a[r][c]) == 0)
                continue;
            const Rational factor = a[r][c] / a[c][c];
            for (std::size_t k = c; k <= m; ++k)
                a[r][k] -= factor * a[c][k];
        }
    }
    std::vector<Rational> coefficients(m);
    for (std::size_t i = 0; i < m; ++i)
        coefficients[i] = a[i][m] / a[i][i];
    return coefficients;
}

Rational meanX(const std::vector<XY> &points)
{
    Rational sum;
    for (const auto &p : points)
        sum += p.first;
    return sum / static_cast<long>(points.size());
}

// The series' fit with the candidate, and how a response becomes an amount
// through it; the reason when the series cannot have it.
struct SeriesModel {
    ProfileFit fit;
    int side = 1; // the quadratic's branch: +1 right of the vertex, −1 left
    std::string problem;
};

SeriesModel fitSeries(const Calibration &levels, Candidate candidate)
{
    SeriesModel s;
    if (candidate.model == ProfileModel::OnePoint) {
        // The level with the highest amount keeps the line through it and 0.
        const std::vector<XY> *top = nullptr;
        for (const std::vector<XY> &points : levels)
            if (!points.empty() && (!top || meanX(points) > meanX(*top)))
                top = &points;
        if (!top) {
            s.problem = "no le queda ningún punto de calibración";
            return s;
        }
        if (sgn(meanX(*top)) == 0) {
            s.problem = "el nivel de calibración más alto tiene cantidad 0";
            return s;
        }
        Rational meanY;
        for (const auto &p : *top)
            meanY += p.second;
        meanY /= static_cast<long>(top->size());
        s.fit.slope = meanY / meanX(*top);
        return s;
    }
    const std::vector<XY> points = joined(levels);
    const int degree = candidate.model == ProfileModel::Quadratic ? 2 : 1;
    const std::optional<std::vector<Rational>> c = fitPolynomial(points, candidate.weight, degree);
    if (!c) {
        s.problem = "no hay cantidades de calibración distintas bastantes para ajustarlo";
        return s;
    }
    s.fit.intercept = (*c)[0];
    s.fit.slope = (*c)[1];
    if (degree == 2) {
        s.fit.quadratic = (*c)[2];
        if (sgn((*c)[2]) != 0)
            s.side = meanX(points) >= -(*c)[1] / (2 * (*c)[2]) ? 1 : -1;
    }
    return s;
}

// The amount a response gives through the series' fit; none where the fit
// never reaches it (a zero slope, a parabola that does not).
std::optional<Rational> backCalculated(const SeriesModel &s, const Rational &y)
{
    const ProfileFit &f = s.fit;
    if (!f.quadratic || sgn(*f.quadratic) == 0) {
        if (sgn(f.slope) == 0)
            return std::nullopt;
        return (y - f.intercept) / f.slope;
    }
    const Rational &c2 = *f.quadratic;
    const Rational discriminant = f.slope * f.slope - 4 * c2 * (f.intercept - y);
    if (sgn(discriminant) < 0)
        return std::nullopt;
    // x = vertex ± √D / (2·|c2|), on the side where the calibration lies.
    const Rational vertex = -f.slope / (2 * c2);
    return Real::Surd(vertex, Rational(s.side) / (2 * abs(c2)), discriminant).approximation();
}

// The validation standards of the series that take part, by level in the
// order of their amounts, the excluded points left out.
struct Design {
    std::vector<int> series;                         // 1-based
    std::vector<Rational> amounts;                   // by level
    std::vector<std::vector<std::vector<Rational>>> responses; // [series][level][point]
    std::string refusal;
};

std::string levelName(int level) { return "Nivel de validación " + std::to_string(level); }

Design designOf(const SeriesStudy &study)
{
    Design d;
    for (std::size_t i = 0; i < study.series.size(); ++i)
        if (!study.series[i].validation.empty())
            d.series.push_back(static_cast<int>(i) + 1);
    if (d.series.size() < 2) {
        d.refusal = d.series.empty()
                        ? "El estudio no tiene estándares de validación: el perfil de exactitud los necesita en "
                          "al menos 2 series."
                        : "Solo " + SeriesName(study, d.series.front()) +
                              " tiene estándares de validación: el perfil de exactitud los necesita en al menos 2 "
                              "series.";
        return d;
    }
    const auto &first = study.series[static_cast<std::size_t>(d.series.front() - 1)];
    const std::size_t levels = first.validation.size();
    std::vector<std::vector<std::vector<XY>>> kept; // [series][level][point]
    for (int s : d.series) {
        const StudySeries &series = study.series[static_cast<std::size_t>(s - 1)];
        if (series.validation.size() != levels) {
            d.refusal = "En " + SeriesName(study, s) + " hay " + std::to_string(series.validation.size()) +
                        " niveles de validación y en " + SeriesName(study, d.series.front()) + " " +
                        std::to_string(levels) + ": el perfil de exactitud necesita los mismos niveles en cada serie.";
            return d;
        }
        kept.emplace_back();
        for (const StudyLevel &level : series.validation)
            kept.back().push_back(keptPoints(level));
    }
    for (std::size_t j = 0; j < levels; ++j) {
        const std::string name = levelName(static_cast<int>(j) + 1);
        std::optional<Rational> amount;
        std::size_t n = kept[0][j].size();
        for (std::size_t i = 0; i < kept.size(); ++i) {
            if (kept[i][j].size() != n) {
                d.refusal = name + ": " + SeriesName(study, d.series[i]) + " tiene " +
                            std::to_string(kept[i][j].size()) + " puntos y " + SeriesName(study, d.series[0]) + " " +
                            std::to_string(n) +
                            " (sin los excluidos): el perfil de exactitud necesita el mismo número en cada serie.";
                return d;
            }
            for (const auto &[x, y] : kept[i][j]) {
                if (amount && x != *amount) {
                    d.refusal = name + ": la cantidad introducida no es la misma en todos sus puntos (" +
                                shown(*amount) + " y " + shown(x) + " en " + SeriesName(study, d.series[i]) +
                                "): el perfil de exactitud necesita una cantidad por nivel.";
                    return d;
                }
                amount = x;
            }
        }
        if (n < 2) {
            d.refusal = name + ": hay " + std::to_string(n) + (n == 1 ? " punto" : " puntos") +
                        " por serie (sin los excluidos); el perfil de exactitud necesita al menos 2.";
            return d;
        }
        if (sgn(*amount) <= 0) {
            d.refusal = name + ": la cantidad introducida es " + shown(*amount) +
                        "; el sesgo relativo necesita una cantidad mayor que cero.";
            return d;
        }
        bool spread = false;
        for (const auto &points : kept)
            for (const auto &p : points[j])
                spread = spread || p.second != points[j].front().second;
        if (!spread) {
            d.refusal = name + " (" + shown(*amount) +
                        "): las respuestas de cada serie son todas iguales; sin varianza de repetibilidad no hay "
                        "intervalo de tolerancia.";
            return d;
        }
        for (std::size_t k = 0; k < j; ++k)
            if (d.amounts[k] == *amount) {
                d.refusal = "Los niveles de validación " + std::to_string(k + 1) + " y " + std::to_string(j + 1) +
                            " tienen la misma cantidad introducida (" + shown(*amount) + ").";
                return d;
            }
        d.amounts.push_back(*amount);
    }
    // The levels in the order of their amounts, as the profile runs.
    std::vector<std::size_t> order(levels);
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return d.amounts[a] < d.amounts[b]; });
    std::vector<Rational> amounts;
    for (std::size_t j : order)
        amounts.push_back(d.amounts[j]);
    d.amounts = std::move(amounts);
    for (const auto &series : kept) {
        d.responses.emplace_back();
        for (std::size_t j : order) {
            d.responses.back().emplace_back();
            for (const auto &p : series[j])
                d.responses.back().back().push_back(p.second);
        }
    }
    return d;
}

// One level of back-calculated amounts, [series][point], at the amount x.
ProfileLevel levelStatistics(const std::vector<std::vector<Rational>> &found, const Rational &x,
                             const ProfileOptions &options)
{
    const long p = static_cast<long>(found.size()), n = static_cast<long>(found.front().size());
    ProfileLevel l;
    l.x = x;
    l.n = static_cast<int>(n);
    std::vector<Rational> means;
    for (const auto &series : found) {
        Rational sum;
        for (const Rational &v : series)
            sum += v;
        means.push_back(sum / n);
        l.mean += sum;
    }
    l.mean /= p * n;
    Rational ssWithin, ssBetween;
    for (std::size_t i = 0; i < found.size(); ++i) {
        for (const Rational &v : found[i])
            ssWithin += (v - means[i]) * (v - means[i]);
        ssBetween += n * (means[i] - l.mean) * (means[i] - l.mean);
    }
    const Rational msWithin = ssWithin / (p * (n - 1)), msBetween = ssBetween / (p - 1);
    Rational within, between;
    if (msBetween > msWithin) {
        within = msWithin;
        between = (msBetween - msWithin) / n;
    } else {
        within = (ssWithin + ssBetween) / (p * n - 1);
    }
    const Rational intermediate = within + between;
    if (sgn(within) == 0)
        throw FloatingPointError("La varianza de repetibilidad de un nivel de validación es cero.");

    l.bias = l.mean - x;
    const Rational relativeBias = 100 * l.bias / x;
    l.relativeBias = Real(relativeBias);
    l.recovery = Real(Rational(100 * l.mean / x));
    l.sr = Real::Sqrt(within);
    l.sB = Real::Sqrt(between);
    l.sIP = Real::Sqrt(intermediate);
    const Rational overX = 10000 / (x * x);
    l.cvr = Real::Sqrt(within * overX);
    l.cvIP = Real::Sqrt(intermediate * overX);
    l.totalError = Real::Surd(abs(relativeBias), 1, intermediate * overX);

    // Mee's tolerance interval with Satterthwaite's degrees of freedom.
    const Rational ratio = between / within;
    const Rational b2 = (ratio + 1) / (n * ratio + 1);
    const Rational nu =
        (ratio + 1) * (ratio + 1) /
        ((ratio + Rational(1, n)) * (ratio + Rational(1, n)) / (p - 1) + (1 - Rational(1, n)) / (p * n));
    l.dof = Real(nu);
    const Rational widening = 1 + 1 / (p * n * b2);
    const Rational uSquared = intermediate * widening;
    l.u = Real::Sqrt(uSquared);
    l.U = Real::Surd(0, 2, uSquared);
    l.relativeU = Real::Surd(0, 200 / x, uSquared);

    const Fifty t = StudentTQuantile((1 + options.beta) / 2, nu);
    l.ktol = ApproximationOf(Fifty(t * sqrt(FiftyOf(widening))));
    const Fifty half = t * sqrt(FiftyOf(uSquared));
    l.lower = ApproximationOf(Fifty(FiftyOf(l.mean) - half));
    l.upper = ApproximationOf(Fifty(FiftyOf(l.mean) + half));
    const Fifty relativeHalf = half * FiftyOf(Rational(100 / x));
    l.relativeLower = ApproximationOf(Fifty(FiftyOf(relativeBias) - relativeHalf));
    l.relativeUpper = ApproximationOf(Fifty(FiftyOf(relativeBias) + relativeHalf));
    l.accepted = l.relativeLower.compare(-options.lambda) >= 0 && l.relativeUpper.compare(options.lambda) <= 0;
    return l;
}

// Where on [0, 1] a line from a (at 0) to b (at 1) stays at or below the
// limit (above it, with `below` false): an interval, or none.
std::optional<std::pair<Rational, Rational>> withinLimit(const Rational &a, const Rational &b, const Rational &limit,
                                                         bool below)
{
    const auto inside = [&](const Rational &v) { return below ? v <= limit : v >= limit; };
    if (inside(a) && inside(b))
        return std::pair<Rational, Rational>(0, 1);
    if (!inside(a) && !inside(b))
        return std::nullopt;
    const Rational crossing = (limit - a) / (b - a);
    return inside(a) ? std::pair<Rational, Rational>(0, crossing) : std::pair<Rational, Rational>(crossing, 1);
}

// The longest stretch of x over which both relative limits, linear between
// adjacent levels, lie within ±λ; the first on a tie; none when empty or a
// single point.
std::optional<ProfileRange> validatedRange(const std::vector<ProfileLevel> &levels, const Rational &lambda)
{
    std::optional<std::pair<Rational, Rational>> best, current;
    const auto close = [&] {
        if (current && current->second > current->first &&
            (!best || current->second - current->first > best->second - best->first))
            best = current;
        current.reset();
    };
    for (std::size_t j = 0; j + 1 < levels.size(); ++j) {
        const ProfileLevel &a = levels[j], &b = levels[j + 1];
        const auto upper = withinLimit(a.relativeUpper.approximation(), b.relativeUpper.approximation(), lambda, true);
        const auto lower =
            withinLimit(a.relativeLower.approximation(), b.relativeLower.approximation(), -lambda, false);
        std::optional<std::pair<Rational, Rational>> piece;
        if (upper && lower && std::max(upper->first, lower->first) <= std::min(upper->second, lower->second))
            piece = {std::max(upper->first, lower->first), std::min(upper->second, lower->second)};
        if (!piece) {
            close();
            continue;
        }
        const Rational width = b.x - a.x;
        const std::pair<Rational, Rational> stretch{a.x + piece->first * width, a.x + piece->second * width};
        if (current && current->second == a.x && sgn(piece->first) == 0)
            current->second = stretch.second;
        else {
            close();
            current = stretch;
        }
        if (piece->second != 1)
            close();
    }
    close();
    if (!best)
        return std::nullopt;
    return ProfileRange{Real(best->first), Real(best->second)};
}

std::optional<SeriesComparison> compareSeries(const SeriesStudy &study)
{
    struct Sums {
        Rational sxx, sxy, syy;
        long n = 0;
    };
    const auto sumsOf = [](const std::vector<XY> &points) {
        Sums s;
        s.n = static_cast<long>(points.size());
        Rational mx, my;
        for (const auto &[x, y] : points) {
            mx += x;
            my += y;
        }
        mx /= s.n;
        my /= s.n;
        for (const auto &[x, y] : points) {
            s.sxx += (x - mx) * (x - mx);
            s.sxy += (x - mx) * (y - my);
            s.syy += (y - my) * (y - my);
        }
        return s;
    };
    std::vector<XY> all;
    Rational separate, sxx, sxy, syy;
    long groups = 0;
    for (const StudySeries &series : study.series) {
        const std::vector<XY> points = joined(calibrationOf(series));
        if (points.empty())
            continue;
        const Sums s = sumsOf(points);
        if (sgn(s.sxx) == 0)
            return std::nullopt;
        separate += s.syy - s.sxy * s.sxy / s.sxx;
        sxx += s.sxx;
        sxy += s.sxy;
        syy += s.syy;
        all.insert(all.end(), points.begin(), points.end());
        ++groups;
    }
    const long total = static_cast<long>(all.size());
    if (groups < 2 || total - 2 * groups < 1)
        return std::nullopt;
    const Rational commonSlope = syy - sxy * sxy / sxx;
    const Sums pooled = sumsOf(all);
    const Rational oneLine = pooled.syy - pooled.sxy * pooled.sxy / pooled.sxx;
    if (sgn(separate) == 0 || sgn(commonSlope) == 0)
        return std::nullopt;
    const auto test = [](const Rational &more, const Rational &less, long df1, long df2) {
        const Rational f = ((more - less) / df1) / (less / df2);
        return FTest{Real(f), static_cast<int>(df1), static_cast<int>(df2),
                     Real::FUpperTail(f, static_cast<int>(df1), static_cast<int>(df2))};
    };
    return SeriesComparison{static_cast<int>(groups), test(commonSlope, separate, groups - 1, total - 2 * groups),
                            test(oneLine, commonSlope, groups - 1, total - groups - 1)};
}

// The candidate fitted in each series that takes part and every validation
// response back-calculated through its series' fit; why not, naming the
// series, where it cannot be.
std::string fitEverySeries(Candidate candidate, const SeriesStudy &study, const Design &design,
                           const std::vector<Calibration> &calibrations, std::vector<ProfileFit> &fits,
                           std::vector<std::vector<std::vector<Rational>>> &found)
{
    for (std::size_t i = 0; i < design.series.size(); ++i) {
        const std::string where = SeriesName(study, design.series[i]);
        if (calibrations[i].empty())
            return where + " no tiene estándares de calibración";
        if (candidate.weight != ProfileWeight::None)
            for (const auto &[x, y] : joined(calibrations[i]))
                if (sgn(x) <= 0)
                    return "una cantidad de calibración de " + where + " es " + shown(x) +
                           ": la ponderación necesita cantidades mayores que cero";
        const SeriesModel s = fitSeries(calibrations[i], candidate);
        if (!s.problem.empty())
            return where + ": " + s.problem;
        found.emplace_back();
        for (const std::vector<Rational> &level : design.responses[i]) {
            found.back().emplace_back();
            for (const Rational &y : level) {
                const std::optional<Rational> x = backCalculated(s, y);
                if (!x)
                    return "la respuesta " + shown(y) + " de " + where + " no tiene cantidad con su " +
                           (s.fit.quadratic && sgn(*s.fit.quadratic) != 0 ? "parábola" : "pendiente cero");
                found.back().back().push_back(*x);
            }
        }
        fits.push_back(s.fit);
    }
    return {};
}

// The profile of one model from the amounts it found, [series][level][point].
ModelProfile profileOf(Candidate candidate, std::vector<ProfileFit> fits,
                       std::vector<std::vector<std::vector<Rational>>> found, const Design &design,
                       const ProfileOptions &options)
{
    ModelProfile m;
    m.model = candidate.model;
    m.weight = candidate.weight;
    m.fits = std::move(fits);
    m.found = std::move(found);
    m.valid = true;
    for (std::size_t j = 0; j < design.amounts.size(); ++j) {
        std::vector<std::vector<Rational>> level;
        for (const auto &series : m.found)
            level.push_back(series[j]);
        m.levels.push_back(levelStatistics(level, design.amounts[j], options));
        m.valid = m.valid && m.levels.back().accepted;
    }
    m.range = validatedRange(m.levels, options.lambda);
    return m;
}

} // namespace

namespace {

Rational typedNumber(const std::string &text)
{
    Rational q;
    if (!TryStrToRational(text, '.', q) && !TryStrToRational(text, ',', q))
        throw ConversionError("«" + QuotedValue(text) + "» no es un número.");
    return q;
}

} // namespace

Rational ParseProfileBeta(const std::string &text)
{
    const Rational beta = typedNumber(text);
    if (sgn(beta) <= 0 || beta >= 1)
        throw ConversionError("beta debe ser mayor que 0 y menor que 1 (0.9 pide el 90 % de los resultados).");
    return beta;
}

Rational ParseProfileLambda(const std::string &text)
{
    const Rational lambda = typedNumber(text);
    if (sgn(lambda) <= 0 || lambda > 1000)
        throw ConversionError("lambda es un porcentaje mayor que 0 y no mayor que 1000 (15 acepta ±15 %).");
    return lambda;
}

const char *ProfileModelKey(ProfileModel model)
{
    switch (model) {
    case ProfileModel::OnePoint:
        return "one-point";
    case ProfileModel::Line:
        return "line";
    case ProfileModel::Quadratic:
        return "quadratic";
    case ProfileModel::Absolute:
        break;
    }
    return "absolute";
}

const char *ProfileWeightKey(ProfileWeight weight)
{
    switch (weight) {
    case ProfileWeight::InverseX:
        return "1/x";
    case ProfileWeight::InverseX2:
        return "1/x^2";
    case ProfileWeight::None:
        break;
    }
    return "none";
}

std::string ProfileModelName(ProfileModel model, ProfileWeight weight)
{
    std::string name;
    switch (model) {
    case ProfileModel::OnePoint:
        return "Un punto";
    case ProfileModel::Absolute:
        return "Absoluto (sin calibración)";
    case ProfileModel::Line:
        name = "Recta";
        break;
    case ProfileModel::Quadratic:
        name = "Cuadrático";
        break;
    }
    if (weight == ProfileWeight::InverseX)
        name += " 1/x";
    else if (weight == ProfileWeight::InverseX2)
        name += " 1/x²";
    return name;
}

bool HasProfileDesign(const SeriesStudy &study)
{
    return std::count_if(study.series.begin(), study.series.end(),
                         [](const StudySeries &s) { return !s.validation.empty(); }) >= 2;
}

ProfileResult ComputeAccuracyProfile(const SeriesStudy &study, const ProfileOptions &options)
{
    ProfileResult result;
    result.comparison = compareSeries(study);
    Design design = designOf(study);
    if (!design.refusal.empty()) {
        result.refusal = std::move(design.refusal);
        return result;
    }
    AccuracyProfile profile;
    profile.beta = options.beta;
    profile.lambda = options.lambda;
    profile.series = design.series;
    const auto seriesOf = [&](int s) -> const StudySeries & { return study.series[static_cast<std::size_t>(s - 1)]; };
    const bool absolute = std::all_of(design.series.begin(), design.series.end(),
                                      [&](int s) { return seriesOf(s).calibration.empty(); });
    if (absolute) {
        std::vector<ProfileFit> identity(design.series.size(), ProfileFit{0, 1, std::nullopt});
        profile.models.push_back(profileOf({ProfileModel::Absolute, ProfileWeight::None}, std::move(identity),
                                           design.responses, design, options));
    }
    std::vector<Calibration> calibrations;
    for (int series : design.series)
        calibrations.push_back(calibrationOf(seriesOf(series)));
    for (const Candidate candidate : absolute ? std::span<const Candidate>() : std::span<const Candidate>(kCandidates)) {
        std::vector<ProfileFit> fits;
        std::vector<std::vector<std::vector<Rational>>> found;
        const std::string problem = fitEverySeries(candidate, study, design, calibrations, fits, found);
        if (!problem.empty())
            profile.omitted.push_back({candidate.model, candidate.weight, problem});
        else
            profile.models.push_back(profileOf(candidate, std::move(fits), std::move(found), design, options));
    }
    if (profile.models.empty()) {
        result.refusal = "Ningún modelo de calibración se puede ajustar en todas las series: " +
                         profile.omitted.front().reason + ".";
        return result;
    }
    for (std::size_t m = 0; m < profile.models.size(); ++m) {
        const auto &range = profile.models[m].range;
        if (!range)
            continue;
        const Rational width = range->upper.approximation() - range->lower.approximation();
        if (!profile.chosen)
            profile.chosen = m;
        else {
            const auto &best = *profile.models[*profile.chosen].range;
            if (width > best.upper.approximation() - best.lower.approximation())
                profile.chosen = m;
        }
    }
    result.profile = std::move(profile);
    return result;
}

} // namespace stats
