#pragma once
// Checks made before a division that degenerate data would turn into a
// fault: they name the cause in the user's language instead.
#include "stats/study.h"

namespace stats::degenerate {

// Throws when every amount added is the same value (no line can be fitted).
void RequireDistinctX(const LinearityStudy &study);
// True when every amount recovered is the same value: the slope is zero.
bool AllYEqual(const LinearityStudy &study);
// True when the replicates of every level are identical (no pure error).
bool IdenticalReplicates(const LinearityStudy &study);
// Throws when the residual sum of squares is not positive (a perfect fit).
void RequireResidualVariation(double ssError);

} // namespace stats::degenerate
