#pragma once
class QLineEdit;

namespace widgets {

// Keeps control characters (line breaks, tabs, escape sequences, bell,
// backspace, DEL and the C1 controls) out of a field: typing never puts them
// in, and a paste arrives without them. Texts set by the program pass as given.
void AcceptPrintableOnly(QLineEdit *field);

} // namespace widgets
