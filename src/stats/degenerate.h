#pragma once
// Checks made before a division that degenerate data would turn into a
// fault: they name the cause in the user's language instead.
#include "stats/real.h"

namespace stats::degenerate {

// Throws when every amount added is the same value (no line can be fitted):
// the spread of the amounts added, Sxx, is zero.
void RequireDistinctX(const Rational &sxx);
// Throws when the residual sum of squares is zero (a perfect fit).
void RequireResidualVariation(const Rational &ssError);
// Throws when the replicates of every level are identical (no pure error).
void RequirePureError(const Rational &ssPureError);

} // namespace stats::degenerate
