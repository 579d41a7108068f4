#include "stats/recovery.h"

#include "stats/errors.h"
#include "stats/studentttable.h"

#include <string>
#include <vector>

namespace stats {

void ComputeRecovery(const LinearityStudy &study, RecoveryResult &r)
{
    const int n = study.n();
    Rational sum, squares;
    std::vector<Rational> percents;
    percents.reserve(study.observations.size());
    for (int i = 0; i < n; ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        if (sgn(o.exactX) == 0)
            throw FloatingPointError("La cantidad adicionada del dato " + std::to_string(i + 1) +
                                     " es cero: no se puede calcular su porcentaje recuperado.");
        percents.push_back(100 * o.exactY / o.exactX);
        sum += percents.back();
    }
    const Rational mean = sum / n;
    for (const Rational &percent : percents)
        squares += (percent - mean) * (percent - mean);
    r.meanRecovery = mean;
    if (sgn(squares) == 0)
        throw FloatingPointError("Todos los porcentajes recuperados son iguales (su desviación estándar es "
                                 "cero): no se puede evaluar el error sistemático constante.");
    const Rational variance = squares / (n - 1);
    r.sdRecovery = Real::Sqrt(variance);
    const Rational t = DecimalOf(StudentTTable::value(n - 1)); // the tabulated decimal
    r.upperLimit = Real::Surd(mean, t, variance / n);
    r.lowerLimit = Real::Surd(mean, -t, variance / n);
    r.tCalculated = Real::Surd(0, mean - 100, n / variance);
    if (sgn(mean) == 0)
        throw FloatingPointError("La media del porcentaje recuperado es cero: "
                                 "no se puede calcular la desviación estándar relativa.");
    r.rsdRecovery = Real::Surd(0, 100 / mean, variance);
    r.tTable = t;
}

// The regression is significant when its P is at most 0.05, exactly.
bool RecoveryApplies(const AnovaResult &anova) { return anova.pRegression.compare(Rational(1, 20)) <= 0; }

bool SystematicErrorPresent(const RecoveryResult &recovery)
{
    return recovery.tCalculated.abs().compare(recovery.tTable.rational()) >= 0;
}

BestWorstCase BestAndWorstCase(const RecoveryResult &r)
{
    const int side = r.meanRecovery.compare(100);
    if (side < 0)
        return {true, (-r.upperLimit).plus(100), (-r.lowerLimit).plus(100)};
    if (side > 0)
        return {true, r.lowerLimit.plus(-100), r.upperLimit.plus(-100)};
    return {};
}

} // namespace stats
