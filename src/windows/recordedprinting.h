#pragma once
// A window's print job as a record: the printer is told what the document
// is (PDF/A-1b when it writes a PDF file), and a PDF file it wrote is
// completed with the whole document information afterwards.
#include "cli/printrecord.h"
#include "render/documentrecord.h"

#include <functional>

class QPrinter;

// Where the windows learn which study file the open study is and whether it
// was changed since; unset, the study has no file.
using StudyOrigin = std::function<cli::StudySource()>;

// Before the print job begins.
void BeginRecordedPrint(QPrinter &printer, const render::DocumentInfo &info);

// After the print job ended well. Throws stats::CommandError when the PDF
// file written cannot be completed.
void FinishRecordedPrint(const QPrinter &printer, const render::DocumentInfo &info);
