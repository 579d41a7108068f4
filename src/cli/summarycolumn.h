#pragma once
// One column of resumen.csv and of the summary window, whole in one row: its
// key (the CSV header), its heading for a person, how a person reads its
// values and where --json holds them, so that a heading can never stand over
// another column's values.
#include <span>

namespace cli {

enum class SummaryKind { Text, Figure6, Figure8, Verdict };

// A verdict's identifier and the words the result windows use for it.
struct VerdictWords {
    const char *id;
    const char *words;
};

struct SummaryColumn {
    const char *key;
    const char *heading;
    SummaryKind kind;
    // Its value in the object --json writes: the keys down to it, joined by
    // '/'. Null for the columns the batch run fills itself (the file, its
    // digest, state and message) and for the study's own texts, read from
    // the file so that a refused study shows them too.
    const char *json = nullptr;
    // A verdict's identifiers in words; an identifier not listed (a weight:
    // 1/x, 1/s^2, …) is its own word.
    std::span<const VerdictWords> words = {};
};

} // namespace cli
