#pragma once
// Conversion of typed texts, where they are used. Leading and trailing blanks
// are tolerated; anything else that is not the number is an error whose
// message quotes the text exactly as typed.
#include "stats/real.h"

#include <string>

namespace stats {

// Decimal digits with an optional sign, within the 32-bit range.
// Throws ConversionError "'TEXT' is not a valid integer value".
int StrToInt(const std::string &text);

// A value as a message quotes it: its first 40 characters, then "…" when
// there are more (UTF-8 in and out).
std::string QuotedValue(const std::string &text);
// A text output as it may reach a terminal: control characters other than
// the tab and the line end (an escape sequence in a study's or a sample's
// name would act on the terminal), C1 controls included, become U+FFFD.
std::string ShownText(const std::string &text);

// Optional sign, digits with one decimal separator, optional exponent E/e.
// The separator is `decimalSeparator`, a point or a comma: a study typed
// where the locale writes 1.5 reads where it writes 1,5, and back.
// Throws ConversionError "'TEXT' is not a valid floating point value".
double StrToFloat(const std::string &text, char decimalSeparator);

// The exact decimal number a text names, with the same grammar and the same
// refusals as StrToFloat (a value beyond the range of a double is refused; one
// too small for any double reads as 0). The study's figures start here.
Rational StrToRational(const std::string &text, char decimalSeparator);
// Both at once: the exact number and its nearest double.
void StrToNumber(const std::string &text, char decimalSeparator, Rational &exact, double &nearest);

// The same conversions answering false instead of throwing.
bool TryStrToInt(const std::string &text, int &value);
bool TryStrToFloat(const std::string &text, char decimalSeparator, double &value);
bool TryStrToRational(const std::string &text, char decimalSeparator, Rational &value);
bool TryStrToNumber(const std::string &text, char decimalSeparator, Rational &exact, double &nearest);

} // namespace stats
