#include "stats/degenerate.h"

#include "stats/errors.h"

namespace stats::degenerate {

void RequireDistinctX(const LinearityStudy &study)
{
    const auto &obs = study.observations;
    for (const Observation &o : obs)
        if (o.x != obs.front().x)
            return;
    throw FloatingPointError("Todas las cantidades adicionadas son iguales: "
                             "no se puede ajustar una recta a los datos.");
}

bool AllYEqual(const LinearityStudy &study)
{
    const auto &obs = study.observations;
    for (const Observation &o : obs)
        if (o.y != obs.front().y)
            return false;
    return !obs.empty();
}

bool IdenticalReplicates(const LinearityStudy &study)
{
    const auto &obs = study.observations;
    for (size_t i = 1; i < obs.size(); ++i)
        if (obs[i].level == obs[i - 1].level && obs[i].y != obs[i - 1].y)
            return false;
    return true;
}

void RequireResidualVariation(double ssError)
{
    if (ssError <= 0.0)
        throw FloatingPointError("Los datos se ajustan exactamente a una recta (la suma de cuadrados del "
                                 "error es cero): no se pueden calcular las desviaciones estándar.");
}

} // namespace stats::degenerate
