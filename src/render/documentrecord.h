#pragma once
// A printout as a record: the identification line every printed page and
// printed graph carries (study file and digest, program, time, user, page of
// pages), and what every PDF says about itself, in a form an archive keeps
// for decades (PDF/A-1b).
#include "cli/printrecord.h"

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <string>

class QPainter;
class QPdfWriter;

namespace render {

// The identification line, in Arial of `pixelSize` pixels of the painter's
// coordinates, its top-left corner at `topLeft`; condensed when it is wider
// than `width`, so that it never runs off the page.
void DrawRecordLine(QPainter &painter, const QString &line, const QPointF &topLeft, double width, double pixelSize);

// What a PDF says about itself.
struct DocumentInfo {
    QString title;   // the report and the study
    QString author;  // the analyst
    QString subject; // the method
    QString creator; // program, version and revision
    QString created; // ISO 8601 with the UTC offset (the record's time)
};

// The information of a printout `report` ("Inferencia y Anova") of the
// study by `analyst` of `method`.
DocumentInfo StudyDocumentInfo(const QString &report, const cli::PrintRecord &record, const std::string &analyst,
                               const std::string &method);

// Before the first page: PDF/A-1b, with the title and the creator.
void BeginArchivalPdf(QPdfWriter &writer, const DocumentInfo &info);
// Begins `painter` on `writer`: the document's dates are taken then, under
// the local time's lock (cli::LocalTimeLock).
bool BeginPdfPainter(QPainter &painter, QPdfWriter &writer);

// After the last page. The writer sets no author nor subject and writes
// non-ASCII metadata wrongly: the document information and the XMP metadata
// are written anew as an update appended to `pdf`, which readers take as
// the document's. Throws stats::OutputFileError when `pdf` is not a
// document the writer made.
QByteArray WithDocumentInfo(const QByteArray &pdf, const DocumentInfo &info);

} // namespace render
