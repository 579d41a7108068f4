#pragma once
// The commands that draw without a display: a graph or a printed page of a
// study file, written to an image, SVG or PDF file. They run in the window
// library, once a QGuiApplication exists (offscreen platform).
#include <iosfwd>
#include <string>
#include <vector>

namespace render {

// `args` are the program's arguments (the command's option first). Same
// exit statuses and messages as the text commands: 0 done, 2 study
// refused, 1 error, 64 bad command line. A refused or failed command leaves
// no output file behind.
int RunDrawingCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err,
                      char decimalSeparator);

} // namespace render
