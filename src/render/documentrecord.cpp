#include "render/documentrecord.h"

#include "stats/errors.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QtGlobal>

#include <cmath>

namespace render {

namespace {

QString q(const std::string &text) { return QString::fromStdString(text); }

// A PDF text string: UTF-16BE with its byte order mark, in hexadecimal.
QByteArray pdfText(const QString &text)
{
    QByteArray hex = "<FEFF";
    for (const QChar c : text)
        hex += QByteArray::number(c.unicode(), 16).rightJustified(4, '0').toUpper();
    return hex + '>';
}

// "2026-12-06T20:05:31+01:00" as a PDF date, D:20261206200531+01'00'.
QByteArray pdfDate(const QString &iso)
{
    QString digits = iso.left(19);
    digits.remove(QRegularExpression(QStringLiteral("[-T:]")));
    const QString offset = iso.mid(19); // "+01:00"
    return "(D:" + digits.toLatin1() + offset.left(3).toLatin1() + '\'' + offset.mid(4, 2).toLatin1() + "')";
}

QString xml(const QString &text) { return text.toHtmlEscaped(); }

// The XMP packet an archive reads: the same fields as the document
// information, and the PDF/A-1b claim.
QByteArray xmpPacket(const DocumentInfo &info, const QString &producer)
{
    QString dc;
    if (!info.title.isEmpty())
        dc += QStringLiteral("      <dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n")
                  .arg(xml(info.title));
    if (!info.author.isEmpty())
        dc += QStringLiteral("      <dc:creator><rdf:Seq><rdf:li>%1</rdf:li></rdf:Seq></dc:creator>\n").arg(xml(info.author));
    if (!info.subject.isEmpty())
        dc += QStringLiteral("      <dc:description><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt>"
                             "</dc:description>\n")
                  .arg(xml(info.subject));
    const QString packet =
        QStringLiteral("<?xpacket begin='") + QChar(0xFEFF) +
        QStringLiteral("' id='W5M0MpCehiHzreSzNTczkc9d'?>\n"
                       "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                       "  <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                       "    <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                       "%1"
                       "    </rdf:Description>\n"
                       "    <rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\"\n"
                       "      xmp:CreatorTool=\"%2\" xmp:CreateDate=\"%3\" xmp:ModifyDate=\"%3\"/>\n"
                       "    <rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\" "
                       "pdf:Producer=\"%4\"/>\n"
                       "    <rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\" "
                       "pdfaid:part=\"1\" pdfaid:conformance=\"B\"/>\n"
                       "  </rdf:RDF>\n"
                       "</x:xmpmeta>\n"
                       "<?xpacket end='w'?>\n")
            .arg(dc, xml(info.creator), info.created, xml(producer));
    return packet.toUtf8();
}

// The number before " 0 R" after `key` in `text`; -1 when absent.
long long reference(const QByteArray &text, const char *key)
{
    static const QRegularExpression number(QStringLiteral("^\\s*(\\d+)\\s+0\\s+R"));
    const qsizetype at = text.indexOf(key);
    if (at < 0)
        return -1;
    const QRegularExpressionMatch m = number.match(QString::fromLatin1(text.mid(at + qstrlen(key), 32)));
    return m.hasMatch() ? m.captured(1).toLongLong() : -1;
}

QByteArray xrefEntry(qsizetype offset) { return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n"; }

} // namespace

void DrawRecordLine(QPainter &painter, const QString &line, const QPointF &topLeft, double width, double pixelSize)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pixelSize))));
    const QFontMetricsF metrics(font, painter.device());
    const double natural = metrics.horizontalAdvance(line);
    painter.save();
    painter.setFont(font);
    painter.translate(topLeft.x(), topLeft.y() + metrics.ascent());
    if (natural > width && natural > 0)
        painter.scale(width / natural, 1.0);
    painter.drawText(QPointF(0, 0), line);
    painter.restore();
}

DocumentInfo StudyDocumentInfo(const QString &report, const cli::PrintRecord &record, const std::string &analyst,
                               const std::string &method)
{
    return {report + QStringLiteral(": ") + q(record.studyName()), q(analyst), q(method), q(record.programText()),
            q(record.generated)};
}

bool BeginPdfPainter(QPainter &painter, QPdfWriter &writer)
{
    const std::lock_guard<std::mutex> lock(cli::LocalTimeLock());
    return painter.begin(&writer);
}

void BeginArchivalPdf(QPdfWriter &writer, const DocumentInfo &info)
{
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setTitle(info.title);
    writer.setCreator(info.creator);
}

QByteArray WithDocumentInfo(const QByteArray &pdf, const DocumentInfo &info)
{
    const auto broken = [] { return stats::OutputFileError("No se pudo completar el documento PDF."); };
    const qsizetype trailerAt = pdf.lastIndexOf("trailer");
    const qsizetype startAt = pdf.lastIndexOf("startxref");
    if (trailerAt < 0 || startAt < trailerAt)
        throw broken();
    const QByteArray trailer = pdf.mid(trailerAt, startAt - trailerAt);
    const long long infoObject = reference(trailer, "/Info");
    const long long root = reference(trailer, "/Root");
    static const QRegularExpression size(QStringLiteral("/Size\\s+(\\d+)"));
    static const QRegularExpression id(QStringLiteral("/ID\\s*\\[[^\\]]*\\]"));
    static const QRegularExpression previous(QStringLiteral("startxref\\s+(\\d+)"));
    const QString trailerText = QString::fromLatin1(trailer);
    const QRegularExpressionMatch sizeMatch = size.match(trailerText);
    const QRegularExpressionMatch idMatch = id.match(trailerText);
    const QRegularExpressionMatch previousMatch = previous.match(QString::fromLatin1(pdf.mid(startAt, 40)));
    const qsizetype rootAt = pdf.indexOf("\n" + QByteArray::number(root) + " 0 obj");
    const long long metadata = rootAt < 0 ? -1 : reference(pdf.mid(rootAt, pdf.indexOf("endobj", rootAt) - rootAt), "/Metadata");
    if (infoObject < 0 || root < 0 || metadata < 0 || !sizeMatch.hasMatch() || !idMatch.hasMatch() ||
        !previousMatch.hasMatch())
        throw broken();

    const QString producer = QStringLiteral("Qt ") + QString::fromLatin1(qVersion());
    QByteArray update = pdf;
    if (!update.endsWith('\n'))
        update += '\n';

    QByteArray fields;
    const std::pair<const char *, QString> texts[] = {{"/Title", info.title},     {"/Author", info.author},
                                                      {"/Subject", info.subject}, {"/Creator", info.creator},
                                                      {"/Producer", producer}};
    for (const auto &[key, value] : texts)
        if (!value.isEmpty())
            fields += QByteArray(key) + ' ' + pdfText(value) + '\n';
    fields += "/CreationDate " + pdfDate(info.created) + "\n/ModDate " + pdfDate(info.created) + '\n';

    std::pair<long long, qsizetype> objects[2];
    objects[0] = {infoObject, update.size()};
    update += QByteArray::number(infoObject) + " 0 obj\n<<\n" + fields + ">>\nendobj\n";
    const QByteArray xmp = xmpPacket(info, producer);
    objects[1] = {metadata, update.size()};
    update += QByteArray::number(metadata) + " 0 obj\n<<\n/Type /Metadata /Subtype /XML\n/Length " +
              QByteArray::number(xmp.size()) + "\n>>\nstream\n" + xmp + "endstream\nendobj\n";
    if (objects[0].first > objects[1].first)
        std::swap(objects[0], objects[1]);

    const qsizetype xref = update.size();
    update += "xref\n";
    for (const auto &[number, offset] : objects)
        update += QByteArray::number(number) + " 1\n" + xrefEntry(offset);
    update += "trailer\n<<\n/Size " + sizeMatch.captured(1).toLatin1() + "\n/Info " +
              QByteArray::number(infoObject) + " 0 R\n/Root " + QByteArray::number(root) + " 0 R\n" +
              idMatch.captured(0).toLatin1() + "\n/Prev " + previousMatch.captured(1).toLatin1() +
              "\n>>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return update;
}

} // namespace render
