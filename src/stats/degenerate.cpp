#include "stats/degenerate.h"

#include "stats/errors.h"

namespace stats::degenerate {

void RequireDistinctX(const Rational &sxx)
{
    if (sgn(sxx) == 0)
        throw FloatingPointError("Todas las cantidades adicionadas son iguales: "
                                 "no se puede ajustar una recta a los datos.");
}

void RequireResidualVariation(const Rational &ssError)
{
    if (sgn(ssError) <= 0)
        throw FloatingPointError("Los datos se ajustan exactamente a una recta (la suma de cuadrados del "
                                 "error es cero): no se pueden calcular las desviaciones estándar.");
}

void RequirePureError(const Rational &ssPureError)
{
    if (sgn(ssPureError) <= 0)
        throw FloatingPointError("Las réplicas de cada nivel son idénticas (el error puro es cero): "
                                 "no se puede evaluar la falta de ajuste.");
}

} // namespace stats::degenerate
