#include "cli/analysismodules.h"

#include "cli/resultsjson.h"

#include <algorithm>

namespace cli {

namespace {

using enum SummaryKind;

// The parts of an analysis an evaluation's object is made of, once the line
// was computed.
template <typename T>
const T &computed(const stats::Computed<T> &part)
{
    stats::CommandOutcome outcome;
    return *stats::Require(part, outcome);
}

void criteriaJson(const stats::StudyAnalysis &a, JsonObject &o) { o["criteria"] = CriteriaJson(computed(a.criteria())); }

void weightingJson(const stats::StudyAnalysis &a, JsonObject &o)
{
    o["weighting"] = WeightingJson(computed(a.weighting()));
}

// A study that cannot have the quadratic model has null.
void quadraticJson(const stats::StudyAnalysis &a, JsonObject &o)
{
    o["quadratic"] = a.quadratic().value ? QuadraticJson(*a.quadratic().value) : Json();
}

// The method's limits always; the samples when a samples file was given.
void samplesJson(const stats::StudyAnalysis &a, JsonObject &o)
{
    const stats::DetectionResult &detection = computed(a.detection());
    o["detection"] = DetectionJson(detection);
    if (a.samplesGiven())
        o["samples"] = SamplesJson(computed(a.samples()), detection.degreesOfFreedom);
}

// Every study has the keys; a study without the design for a profile has
// null, with the reason.
void profileJson(const stats::StudyAnalysis &a, JsonObject &o) { AddProfileJson(computed(a.profile()), o); }

const VerdictWords kPass[] = {{"pass", "CUMPLE"}, {"fail", "NO CUMPLE"}};
const VerdictWords kVariance[] = {{"homoscedastic", "HOMOCEDÁSTICA"}, {"heteroscedastic", "HETEROCEDÁSTICA"}};
const VerdictWords kWeight[] = {{"none", "SIN PONDERAR"}};
const VerdictWords kModel[] = {{"linear", "RECTA"}, {"quadratic", "CUADRÁTICO"}};

const SummaryColumn kCriteriaColumns[] = {{"criterios", "Criterios", Verdict, "criteria/verdict", kPass}};
const SummaryColumn kWeightingColumns[] = {
    {"homocedasticidad", "Varianza", Verdict, "weighting/homogeneity/verdict", kVariance},
    {"ponderacion", "Ponderación", Verdict, "weighting/chosen", kWeight}};
const SummaryColumn kQuadraticColumns[] = {{"modelo", "Modelo", Verdict, "quadratic/choice/model", kModel}};
const SummaryColumn kSamplesColumns[] = {
    {"sx0", "sx0", Figure6, "detection/sx0"},
    {"vx0", "Vx0 (%)", Figure6, "detection/vx0"},
    {"limite_cuantificacion", "Límite de cuantificación", Figure6, "detection/quantificationLimit"}};

const VerdictWords kValid[] = {{"true", "VÁLIDO"}, {"false", "NO VÁLIDO"}};
const SummaryColumn kProfileColumns[] = {
    {"perfil_modelo", "Modelo del perfil", Text, "profile/chosen/name"},
    {"perfil_lic", "LIC", Figure6, "profile/chosen/lower"},
    {"perfil_lsc", "LSC", Figure6, "profile/chosen/upper"},
    {"perfil_valido", "Perfil", Verdict, "profile/chosen/valid", kValid}};

const AnalysisModule kModules[] = {
    {.id = "criteria",
     .command = "--criteria",
     .name = "Criterios de aceptación",
     .outcome = stats::CriteriaOutcome,
     .options = TakesTarget | TakesLimits,
     .placement = Placement::WithTheLine,
     .textSuffix = ".criterios.txt",
     .pageSuffix = ".criterios.pdf",
     .json = criteriaJson,
     .summary = kCriteriaColumns,
     .summaryRank = 1,
     .usage = "--criteria ARCHIVO.w04 [--target T] [--limits L.json]",
     .help = "  --criteria          los criterios de aceptación de la linealidad: cada criterio\n"
             "                      con su valor, su límite y si se cumple, el dictamen, los\n"
             "                      límites utilizados, el cálculo inverso y el sesgo por nivel\n"
             "  --target T          la cantidad al 100 % (mayor que cero); sin ella, la media\n"
             "                      de las cantidades de los niveles\n",
     .printHelp = "  --print criteria    la de criterios de aceptación (con --target y --limits,\n"
                  "                      como --criteria); en PDF, en el papel de la configuración\n"
                  "                      regional\n",
     .menuEntry = "mnucriterios",
     .menuCaption = "&Criterios de aceptación",
     .hint = "Cálculos|Compara el estudio con los criterios de aceptación de la linealidad",
     .helpContext = 16,
     .popup = false},
    {.id = "weighting",
     .command = "--weighting",
     .name = "Ponderación, varianza y datos atípicos",
     .outcome = stats::WeightingOutcome,
     .options = TakesWeight,
     .textSuffix = ".ponderacion.txt",
     .pageSuffix = ".ponderacion.pdf",
     .json = weightingJson,
     .summary = kWeightingColumns,
     .summaryRank = 2,
     .usage = "--weighting ARCHIVO.w04 [--weight W]",
     .help = "  --weighting         la ponderación, la varianza y los datos atípicos: pruebas de\n"
             "                      homogeneidad de varianzas, las ocho ponderaciones con su\n"
             "                      suma de errores relativos, la recta con la ponderación\n"
             "                      elegida y el diagnóstico de cada observación\n"
             "  --weight W          la ponderación de la recta: none, 1/x^0.5, 1/x, 1/x^2,\n"
             "                      1/y^0.5, 1/y, 1/y^2 o 1/s^2; sin ella, la de menor suma de\n"
             "                      errores relativos si la varianza no es constante, y sin\n"
             "                      ponderar si lo es o no se puede evaluar\n",
     .printHelp = "  --print weighting   la de ponderación, varianza y datos atípicos (con --weight,\n"
                  "                      como --weighting)\n",
     .menuEntry = "mnuponderacion",
     .menuCaption = "P&onderación, varianza y datos atípicos",
     .hint = "Cálculos|Homogeneidad de varianzas, ponderación de la recta y diagnóstico de cada dato",
     .helpContext = 29},
    {.id = "quadratic",
     .command = "--quadratic",
     .name = "Modelo cuadrático",
     .outcome = stats::QuadraticOutcome,
     .options = TakesLimits,
     .textSuffix = ".cuadratico.txt",
     .pageSuffix = ".cuadratico.pdf",
     .json = quadraticJson,
     .summary = kQuadraticColumns,
     .summaryRank = 4,
     .usage = "--quadratic ARCHIVO.w04 [--limits L.json]",
     .help = "  --quadratic         el modelo cuadrático y = c0 + c1·x + c2·x² junto a la\n"
             "                      recta: coeficientes, análisis de la varianza, sensibilidad,\n"
             "                      cálculo inverso y el modelo elegido (con la P mínima de la\n"
             "                      prueba de Mandel y de la falta de ajuste de --limits)\n",
     .printHelp = "  --print quadratic   la del modelo cuadrático (con --limits, como --quadratic)\n",
     .menuEntry = "mnucuadratico",
     .menuCaption = "Modelo cua&drático",
     .hint = "Cálculos|Evalúa el modelo cuadrático junto a la recta y elige el modelo",
     .helpContext = 18,
     .windowName = "TFcuadratico",
     .textBoxName = "mmcuadratico"},
    // The samples are a task of one study: a batch run writes neither.
    {.id = "samples",
     .command = "--samples",
     .name = "Muestras desconocidas",
     .outcome = stats::SamplesOutcome,
     .options = TakesSamples,
     .json = samplesJson,
     .summary = kSamplesColumns,
     .summaryRank = 3,
     .usage = "--samples ARCHIVO.w04 MUESTRAS.txt [--confidence C]",
     .help = "  --samples           la desviación estándar del método, los límites de\n"
             "                      detección y cuantificación (DIN 32645 e ICH) y cada muestra\n"
             "                      de MUESTRAS (una por línea: nombre y de 1 a 20 respuestas\n"
             "                      separadas por punto y coma o tabuladores) con su cantidad\n"
             "                      y sus intervalos de confianza\n"
             "  --confidence C      la confianza de los intervalos, mayor que 0.5 y menor que 1\n"
             "                      (0.95 si se omite)\n",
     .printHelp = "  --print samples     la de límites del método y muestras desconocidas de\n"
                  "                      MUESTRAS (con --confidence, como --samples)\n",
     .menuEntry = "mnumuestras",
     .menuCaption = "&Muestras",
     .hint = "Cálculos|Calcula la cantidad de muestras desconocidas y los límites del método",
     .helpContext = 17},
    {.id = "profile",
     .command = "--profile",
     .name = "Perfil de exactitud",
     .outcome = stats::ProfileOutcome,
     .options = TakesProfile,
     .textSuffix = ".perfil.txt",
     .pageSuffix = ".perfil.pdf",
     .json = profileJson,
     .summary = kProfileColumns,
     .summaryRank = 5,
     .usage = "--profile ARCHIVO.lin [--beta B] [--lambda L]",
     .help = "  --profile           el perfil de exactitud de un estudio de varias series: para\n"
             "                      cada modelo de calibración (un punto, recta y cuadrático,\n"
             "                      sin ponderar, 1/x y 1/x²; o absoluto, sin calibración),\n"
             "                      por nivel de validación el sesgo, las precisiones, el\n"
             "                      error total, el intervalo de tolerancia de expectativa\n"
             "                      beta y la incertidumbre; el intervalo validado, el modelo\n"
             "                      elegido y la comparación de las rectas de las series\n"
             "  --beta B            la proporción esperada de resultados dentro del intervalo,\n"
             "                      mayor que 0 y menor que 1 (0.90 si se omite)\n"
             "  --lambda L          los límites de aceptación, ±L %, mayor que 0 (15 si se\n"
             "                      omite)\n",
     .printHelp = "  --print profile     la del perfil de exactitud (con --beta y --lambda, como\n"
                  "                      --profile)\n",
     .menuEntry = "mnuperfil",
     .menuCaption = "&Perfil de exactitud",
     .hint = "Cálculos|Perfil de exactitud: intervalos de tolerancia, error total e intervalo validado",
     .helpContext = 21,
     .wholeStudy = true},
};

} // namespace

std::span<const AnalysisModule> AnalysisModules() { return kModules; }

const AnalysisModule *AnalysisModuleNamed(std::string_view id)
{
    const auto found = std::find_if(std::begin(kModules), std::end(kModules), [&](const AnalysisModule &m) {
        return id == m.id || id == m.command || (id.starts_with("page-") && id.substr(5) == m.id);
    });
    return found == std::end(kModules) ? nullptr : &*found;
}

} // namespace cli
