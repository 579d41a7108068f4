#include "stats/recovery.h"

#include "stats/checked.h"
#include "stats/studentttable.h"

#include <string>

namespace stats {

using namespace checked;
using L = long double;

void ComputeRecovery(const LinearityStudy &study, RecoveryResult &r)
{
    const int n = study.n();
    double sr = 0, sr2 = 0;
    bool allEqual = true;
    double first = 0;
    for (int i = 0; i < n; ++i) {
        const Observation &o = study.observations[static_cast<size_t>(i)];
        if (o.x == 0.0)
            throw FloatingPointError("La cantidad adicionada del dato " + std::to_string(i + 1) +
                                     " es cero: no se puede calcular su porcentaje recuperado.");
        const double percent = store(div(L(o.y) * 100.0L, L(o.x)));
        if (i == 0)
            first = percent;
        allEqual = allEqual && percent == first;
        sr = store(L(sr) + percent);
        sr2 = store(L(sr2) + L(percent) * percent);
    }
    r.meanRecovery = store(div(L(sr), L(n)));
    const L radicand = div(div(L(n) * sr2 - L(sr) * sr, L(n)), L(n - 1));
    if (allEqual || radicand <= 0.0L)
        throw FloatingPointError("Todos los porcentajes recuperados son iguales (su desviación estándar es "
                                 "cero): no se puede evaluar el error sistemático constante.");
    r.sdRecovery = store(sqrt(radicand));
    const double t = StudentTTable::value(n - 1);
    const L rootN = sqrt(L(n));
    r.upperLimit = store(div(L(t) * r.sdRecovery, rootN) + r.meanRecovery);
    r.lowerLimit = store(L(r.meanRecovery) - div(L(t) * r.sdRecovery, rootN));
    r.tCalculated = store(div(rootN * (L(r.meanRecovery) - 100.0L), L(r.sdRecovery)));
    if (r.meanRecovery == 0.0)
        throw FloatingPointError("La media del porcentaje recuperado es cero: "
                                 "no se puede calcular la desviación estándar relativa.");
    r.rsdRecovery = store(div(L(r.sdRecovery) * 100.0L, L(r.meanRecovery)));
    r.tTable = t;
}

bool RecoveryApplies(const AnovaResult &anova) { return anova.pRegression <= 0.05; }

bool SystematicErrorPresent(const RecoveryResult &recovery)
{
    return !(std::fabs(recovery.tCalculated) < recovery.tTable);
}

BestWorstCase BestAndWorstCase(const RecoveryResult &r)
{
    if (r.meanRecovery < 100.0)
        return {true, 100.0 - r.upperLimit, 100.0 - r.lowerLimit};
    if (r.meanRecovery > 100.0)
        return {true, r.lowerLimit - 100.0, r.upperLimit - 100.0};
    return {};
}

} // namespace stats
