#pragma once
// The method's standard deviation, its limits and the unknown samples as
// text, exactly as the samples window, the headless command and the printed
// page show them: six significant digits, amounts with the study's units,
// "NP" where a figure does not exist.
#include "stats/criteriatexts.h"
#include "stats/detection.h"
#include "stats/samples.h"

namespace stats {

inline constexpr const char *kOutOfRangeFlag = "FUERA DEL INTERVALO ESTUDIADO";
inline constexpr const char *kBelowQuantificationFlag = "MENOR QUE EL LÍMITE DE CUANTIFICACIÓN";
inline constexpr const char *kUnboundedInterval = "NO ACOTADO";

// sx0 and Vx0, then the DIN 32645 limits with the terms they are stated
// with, then the ICH LOD and LOQ, each named by its method.
Lines DetectionLines(const DetectionResult &detection, const std::string &units, char decimalSeparator);

// "MUESTRAS (CONFIANZA 95 %, t = 2.36462, f = 7)"
std::string SamplesHeading(const SamplesResult &samples, int degreesOfFreedom, char decimalSeparator);

// What is shown beside one sample, in the columns of SampleHeadings().
CellRow SampleCells(const SampleResult &sample, char decimalSeparator);
const CellRow &SampleHeadings(); // Muestra, m, Respuesta media, x, ...
// The flags of a sample in words, "; " between them; empty for none.
std::string SampleFlags(const SampleResult &sample);

// Everything: title, the method's lines and, when samples were given,
// their heading, their table and what is unbounded; the page lists the
// samples that could not be read (`unread`) in their places too.
Document SamplesDocument(const DetectionResult &detection, const SamplesResult *samples,
                         const std::vector<UnreadSample> &unread, const std::string &units, char decimalSeparator);

} // namespace stats
