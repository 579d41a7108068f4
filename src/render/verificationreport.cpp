#include "render/verificationreport.h"

#include "render/documentrecord.h"
#include "render/drawingcommands.h"
#include "render/pagesetup.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPdfWriter>

#include <cmath>
#include <functional>
#include <vector>

namespace render {

namespace {

// Lengths in tenths of a point.
constexpr double kUnitsPerInch = 720.0;
constexpr double kPoint = 10.0;
constexpr double kMargin = 40 * kPoint;

QString q(const std::string &text) { return QString::fromStdString(text); }

QFont arial(double points, bool bold = false, bool italic = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(points * kPoint)));
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Something drawn at a height on the page: the layout first places every
// block (so the number of pages is known), then draws them.
struct Block {
    double height = 0;
    bool keepWithNext = false; // a heading stays on the page of what follows it
    std::function<void(QPainter &, double top)> draw;
    int page = 0;
    double top = 0;
};

class Layout {
public:
    explicit Layout(double width) : width_(width) {}

    void text(const QString &line, const QFont &font, double spaceBefore = 0, bool keepWithNext = false)
    {
        const QFontMetricsF metrics(font);
        add(spaceBefore + metrics.height(), keepWithNext, [=](QPainter &p, double top) {
            p.setFont(font);
            p.drawText(QPointF(0, top + spaceBefore + metrics.ascent()), line);
        });
    }

    // A paragraph broken into lines that fit the width.
    void paragraph(const QString &text, const QFont &font, double spaceBefore = 0, bool keepWithNext = false)
    {
        const QFontMetricsF metrics(font);
        QString line;
        bool first = true;
        for (const QString &word : text.split(' ', Qt::SkipEmptyParts)) {
            const QString longer = line.isEmpty() ? word : line + ' ' + word;
            if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width_) {
                this->text(line, font, first ? spaceBefore : 0, true);
                first = false;
                line = word;
            } else {
                line = longer;
            }
        }
        this->text(line, font, first ? spaceBefore : 0, keepWithNext);
    }

    // One row of cells at the given column starts; each cell cut to its column.
    void row(const QStringList &cells, const std::vector<double> &starts, const QFont &font, bool rule = false,
             bool keepWithNext = false)
    {
        const QFontMetricsF metrics(font);
        const double height = metrics.height() * 1.25;
        const double width = width_;
        add(height, keepWithNext, [=](QPainter &p, double top) {
            p.setFont(font);
            for (int c = 0; c < cells.size(); ++c) {
                const double left = starts[static_cast<size_t>(c)];
                const double right = c + 1 < cells.size() ? starts[static_cast<size_t>(c) + 1] : width;
                const QString shown = metrics.elidedText(cells[c], Qt::ElideRight, right - left - 4 * kPoint);
                p.drawText(QPointF(left, top + metrics.ascent()), shown);
            }
            if (rule)
                p.drawLine(QPointF(0, top + height - 2 * kPoint), QPointF(width, top + height - 2 * kPoint));
        });
    }

    void space(double height) { add(height, false, [](QPainter &, double) {}); }

    void add(double height, bool keepWithNext, std::function<void(QPainter &, double)> draw)
    {
        blocks_.push_back({height, keepWithNext, std::move(draw)});
    }

    // Places the blocks on pages of `height`; returns the number of pages.
    int place(double height)
    {
        int page = 0;
        double y = 0;
        for (size_t i = 0; i < blocks_.size(); ++i) {
            // A heading and what it keeps with it move together.
            double together = blocks_[i].height;
            for (size_t j = i; j + 1 < blocks_.size() && blocks_[j].keepWithNext; ++j)
                together += blocks_[j + 1].height;
            if (y > 0 && y + std::min(together, height) > height) {
                ++page;
                y = 0;
            }
            blocks_[i].page = page;
            blocks_[i].top = y;
            y += blocks_[i].height;
        }
        return page + 1;
    }

    const std::vector<Block> &blocks() const { return blocks_; }

private:
    double width_;
    std::vector<Block> blocks_;
};

} // namespace

std::string QtVersionText()
{
    std::string version = qVersion();
    if (version != QT_VERSION_STR)
        version += std::string(" (compilado con ") + QT_VERSION_STR + ")";
    return version;
}

bool DrawVerificationReport(QPainter &painter, const cli::VerificationReport &report,
                            const std::function<bool()> &newPage, const cli::PrintRecord &record)
{
    const PageSetup page = DeviceIndependentPage(painter, kUnitsPerInch);
    const double width = page.size.width() - 2 * kMargin;
    const double bodyTop = kMargin + 18 * kPoint; // below the running head
    const double bodyHeight = page.size.height() - bodyTop - kMargin - 20 * kPoint;
    const QFont body = arial(9), small = arial(7.5), smallBold = arial(7.5, true);

    Layout layout(width);
    layout.text(QStringLiteral("VERIFICACIÓN DE LA INSTALACIÓN"), arial(15, true));
    layout.text(QStringLiteral("Linealidad del método: cálculo de los estudios de referencia incorporados"),
                arial(10), 2 * kPoint);
    const cli::InstallationFacts &f = report.facts;
    const std::pair<const char *, std::string> facts[] = {
        {"Programa", "linealidad " + f.programVersion},
        {"Revisión del código fuente", f.sourceRevision},
        {"Fecha de compilación", f.buildDate},
        {"Compilador", f.compiler},
        {"Versión de Qt", QtVersionText()},
        {"Sistema operativo", f.operatingSystem},
        {"Procesador", f.processor},
        {"Fecha y hora de la verificación", f.runDateTime},
        {"Usuario", f.userName},
    };
    layout.space(10 * kPoint);
    for (const auto &[label, value] : facts)
        layout.row({QString::fromUtf8(label) + ':', q(value)}, {0, 150 * kPoint}, body);
    layout.paragraph(QStringLiteral("Criterios: un valor certificado coincide cuando tiene al menos 9 cifras "
                                    "significativas correctas (LRE, -log10 del error relativo, hasta las cifras de "
                                    "la referencia); un valor de los estudios resueltos, cuando su texto impreso "
                                    "(6 cifras; r^2, 8) es idéntico al de la referencia; un veredicto, cuando su "
                                    "identificador es el mismo; el archivo, cuando se escribe y se lee byte a byte."),
                     arial(8, false, true), 10 * kPoint);

    const std::vector<double> columns = {0, 168 * kPoint, 260 * kPoint, 355 * kPoint, 383 * kPoint, 440 * kPoint};
    for (int study = -1; study < static_cast<int>(report.studies.size()); ++study) {
        std::vector<const cli::VerificationRow *> rows;
        for (const cli::VerificationRow &row : report.rows)
            if (row.study == study)
                rows.push_back(&row);
        if (rows.empty())
            continue;
        if (study >= 0) {
            const cli::VerificationStudy &s = report.studies[static_cast<size_t>(study)];
            layout.text(q(s.title), arial(10, true), 14 * kPoint, true);
            layout.paragraph(QStringLiteral("Origen: ") + q(s.origin), arial(7.5, false, true), 2 * kPoint, true);
        } else {
            layout.text(QStringLiteral("Valores de referencia"), arial(10, true), 14 * kPoint, true);
        }
        layout.space(3 * kPoint);
        layout.row({QStringLiteral("Magnitud"), QStringLiteral("Referencia"), QStringLiteral("Obtenido"),
                    QStringLiteral("LRE"), QStringLiteral("Criterio"), QStringLiteral("Resultado")},
                   columns, smallBold, true, true);
        for (const cli::VerificationRow *row : rows)
            layout.row({q(row->quantity), q(row->reference), q(row->obtained), q(cli::LreText(*row)),
                        q(cli::CriterionText(row->criterion)), QString::fromUtf8(cli::ResultText(*row))},
                       columns, row->passed ? small : smallBold);
    }

    // The verdict and the signatures stay together.
    layout.paragraph(q(report.verdict()), arial(11, true), 18 * kPoint, true);
    const QFont signature = arial(9);
    for (const char *who : {"Realizó", "Revisó"}) {
        const bool last = QLatin1String(who) == QLatin1String("Revisó");
        layout.add(40 * kPoint, !last, [=](QPainter &p, double top) {
            p.setFont(signature);
            const double base = top + 32 * kPoint;
            p.drawText(QPointF(0, base), QString::fromUtf8(who) + ':');
            p.drawLine(QPointF(55 * kPoint, base), QPointF(260 * kPoint, base));
            p.drawText(QPointF(275 * kPoint, base), QStringLiteral("Fecha:"));
            p.drawLine(QPointF(315 * kPoint, base), QPointF(width, base));
            p.setFont(arial(7));
            p.drawText(QPointF(55 * kPoint, base + 10 * kPoint), QStringLiteral("Nombre y firma"));
        });
    }

    const int pages = layout.place(bodyHeight);
    const QFont head = arial(8);
    for (int i = 0; i < pages; ++i) {
        if (i > 0 && !newPage())
            return false;
        painter.save();
        painter.translate(kMargin, kMargin);
        painter.setFont(head);
        painter.setPen(QPen(Qt::black, 0.5 * kPoint));
        painter.drawText(QPointF(0, 8 * kPoint),
                         QStringLiteral("Verificación de la instalación · linealidad %1 · %2")
                             .arg(q(f.programVersion), q(f.runDateTime)));
        painter.drawLine(QPointF(0, 12 * kPoint), QPointF(width, 12 * kPoint));
        const double footer = page.size.height() - 2 * kMargin;
        painter.drawLine(QPointF(0, footer - 12 * kPoint), QPointF(width, footer - 12 * kPoint));
        DrawRecordLine(painter,
                       q(cli::PrintRecord::lineWithout("Estudios de referencia incorporados", record, i + 1, pages)),
                       QPointF(0, footer - 9 * kPoint), width, 7 * kPoint);
        painter.translate(0, bodyTop - kMargin);
        for (const Block &block : layout.blocks())
            if (block.page == i)
                block.draw(painter, block.top);
        painter.restore();
    }
    return true;
}

QByteArray VerificationPdf(const cli::VerificationReport &report, const QPageSize &paper)
{
    const cli::PrintRecord record = cli::MakePrintRecord({});
    const DocumentInfo info = {QStringLiteral("Verificación de la instalación"), q(record.user),
                               QStringLiteral("Linealidad del método: estudios de referencia incorporados"),
                               q(record.programText()), q(record.generated)};
    return PdfDocument(paper, info, [&](QPainter &painter, QPdfWriter &writer) {
        return DrawVerificationReport(painter, report, [&writer] { return writer.newPage(); }, record);
    });
}

} // namespace render
