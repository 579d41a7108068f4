#include "stats/resultfields.h"

namespace stats {

namespace {

using R = RegressionResult;
using E = RecoveryResult;
using A = AnovaResult;

const char *const kUpper = "LÍMITE SUPERIOR DEL INTERVALO DE CONFIANZA = ";
const char *const kLower = "LÍMITE INFERIOR DEL INTERVALO DE CONFIANZA = ";
const char *const kPageUpper = "Límite superior del intervalo de confianza = ";
const char *const kPageLower = "Límite inferior del intervalo de confianza = ";

const RegressionField kRegression[] = {
    {"slope", &R::slope, 6, "Pendiente", "PENDIENTE =  ", "Pendiente =  "},
    {"slopeUpperLimit", &R::slopeUpperLimit, 6,
     "Pendiente: límite superior del intervalo", kUpper, kPageUpper},
    {"slopeLowerLimit", &R::slopeLowerLimit, 6,
     "Pendiente: límite inferior del intervalo", kLower, kPageLower},
    {"slopeT", &R::slopeT, 6, "Pendiente: t cal", "t cal = ", "t cal = "},
    {"intercept", &R::intercept, 6, "Ordenada al origen",
     "ORDENADA AL ORIGEN = ", "Ordenada al origen = "},
    {"interceptUpperLimit", &R::interceptUpperLimit, 6,
     "Ordenada: límite superior del intervalo", kUpper, kPageUpper},
    {"interceptLowerLimit", &R::interceptLowerLimit, 6,
     "Ordenada: límite inferior del intervalo", kLower, kPageLower},
    {"interceptT", &R::interceptT, 6, "Ordenada: t cal", "t cal = ",
     "t cal = "},
    {"sdRegression", &R::sdRegression, 6,
     "Desviación estándar de regresión", "DESVIACIÓN ESTÁNDAR DE REGRESIÓN = ",
     "Desviación estándar de regresión = "},
    {"coefficientOfVariation", &R::coefficientOfVariation, 6, "Coeficiente de variación", "COEFICIENTE DE VARIACIÓN = ",
     "Coeficiente de variación = "},
    {"criticalT", &R::criticalT, 6, "t de tablas (n - 2)", nullptr, nullptr},
    {"rSquared", &R::rSquared, 8,
     "Coeficiente de determinación (r^2)", "COEFICIENTE DE DETERMINACIÓN (r^2) = ",
     "Coeficiente de Determinación (r^2) = "},
};

// The residual window and the report head these columns with texts of
// their own layout.
const ResidualField kResiduals[] = {
    {"predictedY", &ResidualRow::predictedY, 6, "pronóstico para Y", nullptr,
     nullptr},
    {"residual", &ResidualRow::residual, 6, "residual", nullptr, nullptr},
    {"studentized", &ResidualRow::studentized, 6,
     "residuo estudentizado", nullptr, nullptr},
};

const RecoveryField kRecovery[] = {
    {"meanRecovery", &E::meanRecovery, 6,
     "Media del porcentaje recuperado", "MEDIA ARITMÉTICA DEL PORCENTAJE RECUPERADO = ",
     "Media Aritmética del Porcentaje Recuperado = "},
    {"sdRecovery", &E::sdRecovery, 6,
     "Desviación estándar del porcentaje recuperado", "DESVIACIÓN ESTÁNDAR DEL PORCENTAJE RECUPERADO = ",
     "Desviación Estándar del Porcentaje Recuperado = "},
    {"rsdRecovery", &E::rsdRecovery, 6,
     "Desviación estándar relativa", "DESVIACIÓN ESTÁNDAR RELATIVA = ", "Desviación Estándar Relativa = "},
    {"upperLimit", &E::upperLimit, 6,
     "Límite superior del intervalo de confianza", kUpper, "Límite Superior del Intervalo de Confianza = "},
    {"lowerLimit", &E::lowerLimit, 6,
     "Límite inferior del intervalo de confianza", kLower, "Límite Inferior del Intervalo de Confianza = "},
    {"tCalculated", &E::tCalculated, 6,
     "Prueba t de Student", "PRUEBA t DE STUDENT = ", "Prueba t de Student = "},
    {"tTable", &E::tTable, 6, "t de tablas (n - 1)", nullptr, nullptr},
};

enum { Regression, Error, LackOfFit, PureError };
enum { Df, Ss, Ms, F, P };

const AnovaSource kSources[] = {
    {"regression", "REGRESIÓN", "Regresión", "Regresión", false},
    {"error", "ERROR DE REGRESIÓN", "Error de Regresión", "Error de regresión", false},
    {"lackOfFit", "FALTA DE AJUSTE", "Falta de Ajuste", "Falta de ajuste", true},
    {"pureError", "ERROR PURO", "Error Puro", "Error puro", true},
};

const AnovaColumn kColumns[] = {
    {"df", "GRADOS DE LIBERTAD = ", "grados de libertad"},
    {"ss", "SUMA DE CUADRADOS = ", "suma de cuadrados"},
    {"ms", "MEDIA DE CUADRADOS = ", "media de cuadrados"},
    {"f", "fcal = ", "fcal"},
    {"p", "Pfcal = ", "Pfcal"},
};

const AnovaField kAnova[] = {
    {Regression, Df, &A::dfRegression, 105},
    {Regression, Ss, &A::ssRegression, 155},
    {Regression, Ms, &A::msRegression, 210},
    {Regression, F, &A::fRegression, 260},
    {Regression, P, &A::pRegression, 305},
    {Error, Df, &A::dfError, 105},
    {Error, Ss, &A::ssError, 155},
    {Error, Ms, &A::msError, 210},
    {LackOfFit, Df, &A::dfLackOfFit, 105},
    {LackOfFit, Ss, &A::ssLackOfFit, 155},
    {LackOfFit, Ms, &A::msLackOfFit, 210},
    {LackOfFit, F, &A::fLackOfFit, 265},
    {LackOfFit, P, &A::pLackOfFit, 300},
    {PureError, Df, &A::dfPureError, 105},
    {PureError, Ss, &A::ssPureError, 155},
    {PureError, Ms, &A::msPureError, 210},
};

using C = CriteriaResult;
using U = CriteriaUnit;

const CriteriaField kCriteria[] = {
    {nullptr, "target", &C::target, 6, U::Amount, "CANTIDAD AL 100 % (T) = "},
    {nullptr, "rangeLowPercent", &C::rangeLowPercent, 6, U::PercentOfTarget, "NIVEL MÁS BAJO = "},
    {nullptr, "rangeHighPercent", &C::rangeHighPercent, 6, U::PercentOfTarget, "NIVEL MÁS ALTO = "},
    {nullptr, "r", &C::r, 6, U::None, "COEFICIENTE DE CORRELACIÓN r = "},
    {nullptr, nullptr, &C::rSquared, 8, U::None, "COEFICIENTE DE DETERMINACIÓN (r^2) = "},
    {nullptr, "interceptPercent", &C::interceptPercent, 6, U::PercentOfResponse, "ORDENADA AL ORIGEN = "},
    {nullptr, "lod", &C::lod, 6, U::Amount, "LÍMITE DE DETECCIÓN (3.3 s/|b|) = "},
    {nullptr, "loq", &C::loq, 6, U::Amount, "LÍMITE DE CUANTIFICACIÓN (10 s/|b|) = "},
    {nullptr, "relativeStandardError", &C::relativeStandardError, 6, U::Percent,
     "ERROR ESTÁNDAR RELATIVO DEL CÁLCULO INVERSO (RSE) = "},
    {"responseFactors", "mean", &C::responseFactorMean, 6, U::None, "FACTOR DE RESPUESTA y/x, MEDIA = "},
    {"responseFactors", "sd", &C::responseFactorSd, 6, U::None, "FACTOR DE RESPUESTA y/x, DESVIACIÓN ESTÁNDAR = "},
    {"responseFactors", "rsd", &C::responseFactorRsd, 6, U::Percent, "FACTOR DE RESPUESTA y/x, CV = "},
    {"mandel", "f", &C::mandelF, 6, U::None, "PRUEBA DE MANDEL (PARÁBOLA FRENTE A RECTA), F = "},
    {"mandel", "p", &C::mandelP, 6, U::None, "PRUEBA DE MANDEL (PARÁBOLA FRENTE A RECTA), P = "},
};

} // namespace

std::span<const CriteriaField> CriteriaFields() { return kCriteria; }
std::span<const RegressionField> RegressionFields() { return kRegression; }
std::span<const ResidualField> ResidualFields() { return kResiduals; }
std::span<const RecoveryField> RecoveryFields() { return kRecovery; }
std::span<const AnovaSource> AnovaSources() { return kSources; }
std::span<const AnovaColumn> AnovaColumns() { return kColumns; }
std::span<const AnovaField> AnovaFields() { return kAnova; }

bool SourceShown(const AnovaSource &source, const AnovaResult &anova)
{
    return !source.replicatesOnly || HasPureError(anova);
}

} // namespace stats
