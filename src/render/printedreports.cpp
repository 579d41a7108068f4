#include "render/printedreports.h"

#include "stats/seriesstudy.h"

#include "render/documentrecord.h"
#include "cli/analysismodules.h"
#include "cli/outputs.h"
#include "render/pageflow.h"
#include "render/pagesetup.h"

#include "stats/conversions.h"
#include "stats/criteriatexts.h"
#include "stats/quadratictexts.h"
#include "stats/numberformat.h"
#include "stats/resultfields.h"
#include "stats/weightingtexts.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>
#include <stdexcept>

namespace render {

namespace {

constexpr int kCentred = PageText::kCentred;
constexpr int kRight = PageText::kRightAligned;

QString q(const std::string &text) { return QString::fromStdString(text); }

// ---------------------------------------------------------------------------
// Page bodies

// The general information page. Nothing is computed; the cells are printed
// as the editor's grids hold them.
std::vector<PageBody> generalInformation(const stats::StudyTexts &s)
{
    // The level count decides how many replicate columns are printed; a text
    // that is not a whole number stops the report before anything is printed.
    const int levels = stats::StrToInt(s.levelCount());

    PageBody body = {
        {9, kCentred, QStringLiteral("Información General")},
        {11, 30, QStringLiteral("Nombre del método: ") + q(s.method())},
        {12, 30, QStringLiteral("Nombre del Analista: ") + q(s.analyst())},
        {13, 30, QStringLiteral("Fecha: ") + q(s.date())},
        {14, 30, QStringLiteral("Unidades de la cantidad adicionada:")},
        {15, 30, q(s.units())},
        {19, 30, QStringLiteral("Número de niveles: ") + q(s.levelCount())},
    };

    // The replicate grid, column by column: headings on the first line,
    // counts on the second (the grid's third row is always empty). A study
    // read from a file may have more levels than the page is wide: ten levels
    // to a band, the next band on the two lines below.
    constexpr int kLevelsPerBand = 10;
    const int lastColumn = std::min(levels, s.replicateColumnCount() - 1);
    int bands = 0;
    for (int first = 1; lastColumn >= 0 && (bands == 0 || first <= lastColumn); first += kLevelsPerBand, ++bands) {
        const int line = 20 + 2 * bands;
        const int last = std::min(lastColumn, first + kLevelsPerBand - 1);
        for (int row = 0; row < 2; ++row) {
            body.push_back({line + row, 30, q(s.replicateCell(0, row))});
            for (int j = first; j <= last; ++j)
                body.push_back({line + row, 30 + 30 * (j - first + 1), q(s.replicateCell(j, row)), true});
        }
    }

    // The observation grid from its heading row down, continued on further
    // pages (heading repeated) when it reaches the footer.
    std::vector<PageBody> pages;
    auto dataRow = [&s](PageBody &page, int line, int row) {
        for (int c = 0; c < 3; ++c)
            page.push_back({line, 28 + 40 * c, q(s.dataCell(c, row))});
    };
    int line = std::max(25, 20 + 2 * bands + 1);
    dataRow(body, line++, 0);
    for (int row = 1; row < s.dataRowCount(); ++row) {
        if (line > kLastBodyLine) {
            pages.push_back(std::move(body));
            body = {};
            line = 9;
            dataRow(body, line++, 0);
        }
        dataRow(body, line++, row);
    }
    // A .lin series' points left out of the data above, each with its reason,
    // who and when, under the observations.
    if (const stats::SeriesNote *note = s.seriesNote(); note && !note->excluded.empty()) {
        std::vector<std::string> listed = stats::SeriesNoteLines(*note);
        listed.erase(listed.begin(), listed.begin() + 3); // the series is named at the top of every page
        ++line;
        for (const std::string &text : listed) {
            if (line == kLastBodyLine + 1) { // the list goes on over the page
                pages.push_back(std::move(body));
                body = {};
                line = 9;
            }
            body.push_back({line++, 28, q(text)});
        }
    }
    pages.push_back(std::move(body));
    return pages;
}

// "Serie 2 de 3 («Día 2»), sus estándares de calibración; 1 punto excluido":
// at the top of every page of a .lin series' report.
QString seriesLine(const stats::SeriesNote &note)
{
    QString line = QStringLiteral("Serie %1 de %2").arg(note.number).arg(note.count);
    if (!note.name.empty())
        line += QStringLiteral(" («%1»)").arg(q(note.name));
    const std::size_t n = note.excluded.size();
    return line + QStringLiteral(", sus estándares de calibración; ") +
           (n == 0   ? QStringLiteral("ningún punto excluido")
            : n == 1 ? QStringLiteral("1 punto excluido")
                     : QStringLiteral("%1 puntos excluidos").arg(n));
}

// The labelled fields of a record, a line each from `line` down; "NP" for
// each where the evaluation does not apply.
template <class Record>
void fieldLines(PageBody &body, int line, const Record &r, std::span<const stats::ResultField<Record>> fields, char sep,
                bool applies = true)
{
    for (const stats::ResultField<Record> &f : fields)
        if (f.pageLabel)
            body.push_back({line++, 30, q(f.pageLabel) + (applies ? q(stats::FormatGeneral(r.*f.member, f.digits, sep))
                                                                  : QStringLiteral("NP"))});
}

// Method, units, analyst and date, at the foot of pages 2 and 3.
void studyBlock(PageBody &body, const stats::StudyTexts &s)
{
    body.push_back({50, 30, QStringLiteral("Nombre del método: ") + q(s.method())});
    body.push_back({51, 30, QStringLiteral("Unidades de la cantidad adicionada: ") + q(s.units())});
    body.push_back({52, 30, QStringLiteral("Nombre del Analista: ") + q(s.analyst())});
    body.push_back({53, 30, QStringLiteral("Fecha: ") + q(s.date())});
}

PageBody inferenceAndAnova(const stats::StudyTexts &s, const stats::RegressionResult &regression,
                           const stats::AnovaResult &a, char sep)
{
    auto f = [sep](const stats::Real &v) { return q(stats::FormatGeneral(v, 6, sep)); };

    PageBody body = {{10, kCentred, QStringLiteral("Inferencia de Pendiente y Ordenada al Origen")}};
    fieldLines(body, 12, regression, stats::RegressionFields(), sep);
    body.insert(body.end(), {
        {26, kCentred, QStringLiteral("Análisis de la Varianza")},

        {27, 31, QStringLiteral("Fuente")},
        {27, 100, QStringLiteral("Grados")},
        {27, 155, QStringLiteral("Suma")},
        {27, 210, QStringLiteral("Media")},
        {28, 33, QStringLiteral("de")},
        {28, 103, QStringLiteral("de")},
        {28, 158, QStringLiteral("de")},
        {28, 213, QStringLiteral("de")},
        {28, 260, QStringLiteral("Fcal")},
        {28, 305, QStringLiteral("Pr")},
        {29, 30, QStringLiteral("Variación")},
        {29, 100, QStringLiteral("Libertad")},
        {29, 155, QStringLiteral("Cuadrados")},
        {29, 210, QStringLiteral("Cuadrados")},
    });
    // Without replicates there is no pure error, and the lack-of-fit fields
    // hold nothing of this study.
    for (int source = 0; source < static_cast<int>(stats::AnovaSources().size()); ++source) {
        if (!stats::SourceShown(stats::AnovaSources()[source], a))
            continue;
        body.push_back({30 + source, 30, q(stats::AnovaSources()[source].pageLabel)});
        for (const stats::AnovaField &field : stats::AnovaFields())
            if (field.source == source)
                body.push_back({30 + source, field.pageColumn, f(a.*field.member), true});
    }

    switch (stats::RegressionSignificance(a)) {
    case stats::Significance::NoDependence:
        body.push_back({35, 30, QStringLiteral("No hay dependencia entre las variables")});
        break;
    case stats::Significance::Significant:
        body.push_back({35, 30, QStringLiteral("Existe relación significativa entre cantidad adicionada y "
                                               "cantidad recuperada")});
        break;
    case stats::Significance::HighlySignificant:
        body.push_back({35, 30, QStringLiteral("Existe relación altamente significativa entre cantidad adicionada y "
                                               "cantidad recuperada")});
        break;
    }
    switch (stats::LinearFit(a)) {
    case stats::Fit::Adequate:
        body.push_back({36, 30, QStringLiteral("El modelo lineal representa de manera correcta la relación entre "
                                               "cantidad adicionada")});
        body.push_back({37, 30, QStringLiteral("y cantidad recuperada")});
        break;
    case stats::Fit::Inadequate:
        body.push_back({36, 30, QStringLiteral("El modelo lineal no representa de manera correcta la relación entre "
                                               "cantidad adicionada")});
        body.push_back({37, 30, QStringLiteral("y cantidad recuperada")});
        break;
    case stats::Fit::NotAssessed:
        break;
    }
    studyBlock(body, s);
    return body;
}

std::vector<PageBody> errorAndResiduals(const stats::StudyTexts &s, const stats::AnovaAndResiduals &r,
                                        const stats::RecoveryResult &e, char sep)
{
    auto f = [sep](const stats::Real &v) { return q(stats::FormatGeneral(v, 6, sep)); };

    PageBody body = {{10, kCentred, QStringLiteral("Evaluación del Error Sistemático Constante")}};
    const bool applies = stats::RecoveryApplies(r.anova);
    fieldLines(body, 11, e, stats::RecoveryFields(), sep, applies);
    if (!applies) {
        body.push_back({18, 45, QStringLiteral("NP = No Procede")});
    } else {
        body.push_back({19, 30, stats::SystematicErrorPresent(e) ? QStringLiteral("El Método presenta error sistemático")
                                                                 : QStringLiteral("El Método carece de error sistemático")});
        if (const stats::BestWorstCase c = stats::BestAndWorstCase(e); c.exists)
            body.push_back({20, 30, QStringLiteral("que en el mejor de los casos es de un ") + f(c.best) +
                                        QStringLiteral(" y en el peor de los casos es de un ") + f(c.worst)});
    }

    // The residual analysis stands above the study block (lines 50 to 53):
    // when its rows would reach it, the whole analysis moves up, at most to
    // a title on line 22, clear of the evaluation above; rows beyond line 49
    // go on to further pages, each with its heading and the study block.
    const QString heading = QStringLiteral("Observación        Pronóstico para Y                   Residuales"
                                           "                   Residuos Estudentizados");
    constexpr int kLastRowLine = 49;
    const int n = static_cast<int>(r.residuals.size());
    const int shift = std::clamp(27 + n - kLastRowLine, 0, 3);
    body.push_back({25 - shift, kCentred, QStringLiteral("Análisis de Residuales")});
    body.push_back({27 - shift, 55, heading});

    std::vector<PageBody> pages;
    constexpr int kResidualDigits = 5; // one fewer than the windows, to fit the page's columns
    int line = 28 - shift;
    for (const stats::ResidualRow &row : r.residuals) {
        if (line > kLastRowLine) {
            studyBlock(body, s);
            pages.push_back(std::move(body));
            body = {{9, 55, heading}};
            line = 10;
        }
        QString text = QString(8, ' ') + QString::number(row.observation) + QString(28, ' ');
        for (size_t c = 0; c < stats::ResidualFields().size(); ++c)
            text += (c > 0 ? QString(30, ' ') : QString()) +
                    q(stats::FormatGeneral(row.*stats::ResidualFields()[c].member, kResidualDigits, sep));
        body.push_back({line++, 55, text});
    }
    studyBlock(body, s);
    pages.push_back(std::move(body));
    return pages;
}

std::vector<std::vector<QString>> qCells(const std::vector<stats::CellRow> &rows)
{
    std::vector<std::vector<QString>> cells;
    for (const stats::CellRow &row : rows) {
        cells.emplace_back();
        for (const std::string &cell : row)
            cells.back().push_back(q(cell));
    }
    return cells;
}

std::vector<QString> qLines(const stats::Lines &lines)
{
    std::vector<QString> texts;
    for (const std::string &line : lines)
        texts.push_back(q(line));
    return texts;
}

// A document laid out block after block above the study block: a block that
// does not fit moves to the next page, a table goes on over further pages
// with its heading repeated.
std::vector<PageBody> documentPages(const stats::StudyTexts &s, const stats::Document &document)
{
    constexpr int kFirstLine = 10, kLastRowLine = 49, kColumn = 30;
    PageFlow flow(kFirstLine, kLastRowLine, [&s](PageBody &body) { studyBlock(body, s); });
    flow.add({.rows = {{{0, kCentred, q(document.pageTitle)}}}});
    for (const stats::DocumentBlock &b : document.blocks) {
        if (b.shownIn == stats::ShownIn::TextOnly)
            continue;
        PageBlock block;
        if (!b.cells.empty()) {
            block = b.heading.empty() ? CellsBlock(qCells(b.cells), b.columns, b.gapBefore)
                                      : TableBlock(q(b.heading), qCells(b.cells), b.columns, b.gapBefore);
        } else {
            std::vector<QString> lines;
            if (!b.heading.empty())
                lines.push_back(q(b.heading));
            if (!b.heading.empty() && b.pageHeading == stats::PageHeading::FirstLineThenBlank)
                lines.emplace_back();
            for (const QString &line : qLines(b.lines))
                lines.push_back(line);
            block = TextBlock(lines, kColumn, b.gapBefore);
        }
        block.startsPage = b.startsPage;
        flow.add(block);
    }
    return flow.pages();
}

// ---------------------------------------------------------------------------
// Drawing

QFont arial(double points, const PageSetup &page)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(static_cast<int>(std::lround(page.fromPoints(points))));
    return font;
}

// The two units of a page: L, the height of Arial 12 points (a sixth of an
// inch), and W, a column, 12 pixels of the 600 dpi design.
struct Units {
    double line;
    double column;
};

Units unitsOf(const PageSetup &page) { return {12.0 * page.dpiY / 72.0, page.designX(12.0)}; }

struct Placed {
    int line;
    double x;
    double width;
    double condense = 1.0; // horizontal scale of a text too wide for its room
    QString text;
};

// Places the texts of one line: each at its column, centred or right-
// aligned; a text never starts before the end of the text to its left plus
// one blank (it moves right), and a text that would run off the page moves
// left as far as its left neighbour allows, then is condensed to fit.
std::vector<Placed> placeLine(std::vector<const PageText *> texts, const QFontMetricsF &metrics, double pageWidth,
                              double column)
{
    std::vector<Placed> placed;
    for (const PageText *t : texts) {
        const double width = metrics.horizontalAdvance(t->text);
        double x = t->column * column;
        if (t->column == kCentred)
            x = std::trunc((pageWidth - width) / 2);
        else if (t->column == kRight)
            x = pageWidth - width;
        placed.push_back({t->line, x, width, 1.0, t->text});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) { return a.x < b.x; });
    const double blank = metrics.horizontalAdvance(QLatin1Char(' '));
    auto leftLimit = [&](size_t i) { return i == 0 ? 0.0 : placed[i - 1].x + placed[i - 1].width + blank; };
    for (size_t i = 1; i < placed.size(); ++i)
        placed[i].x = std::max(placed[i].x, leftLimit(i));
    for (size_t i = placed.size(); i-- > 0;) {
        Placed &p = placed[i];
        const double right = i + 1 < placed.size() ? placed[i + 1].x - blank : pageWidth;
        if (p.x + p.width <= right)
            continue;
        p.x = std::max(right - p.width, leftLimit(i));
        if (p.x + p.width > right && p.width > 0) {
            p.condense = std::max(0.0, right - p.x) / p.width;
            p.width *= p.condense;
        }
    }
    return placed;
}

void drawPlaced(QPainter &painter, const Placed &p, double top, const QFontMetricsF &metrics)
{
    const double baseline = top + metrics.ascent();
    if (p.condense == 1.0) {
        painter.drawText(QPointF(p.x, baseline), p.text);
        return;
    }
    painter.save();
    painter.translate(p.x, baseline);
    painter.scale(p.condense, 1.0);
    painter.drawText(QPointF(0, 0), p.text);
    painter.restore();
}

// Draws the texts of `body`, line by line, in the painter's current font.
void drawBody(QPainter &painter, const PageBody &body, const PageSetup &page, const Units &units)
{
    const QFontMetricsF metrics(painter.font(), painter.device());
    std::vector<int> lines;
    for (const PageText &t : body)
        if (!t.text.isEmpty() && std::find(lines.begin(), lines.end(), t.line) == lines.end())
            lines.push_back(t.line);
    for (int line : lines) {
        std::vector<const PageText *> onLine;
        for (const PageText &t : body)
            if (t.line == line && !t.text.isEmpty())
                onLine.push_back(&t);
        for (const Placed &p : placeLine(onLine, metrics, page.size.width(), units.column))
            drawPlaced(painter, p, line * units.line, metrics);
    }
}

void drawPage(QPainter &painter, const PageBody &body, const QString &recordLine)
{
    painter.save();
    const PageSetup page = DeviceIndependentPage(painter);
    const Units units = unitsOf(page);
    QPen pen(Qt::black);
    pen.setWidthF(page.hairline());
    painter.setPen(pen);

    // Header, Arial 12.
    painter.setFont(arial(12, page));
    drawBody(painter, {{5, kCentred, QStringLiteral("Control de Calidad")},
                       {6, kCentred, QStringLiteral("Linealidad del Método")}},
             page, units);
    const double rule = 7 * units.line + page.designY(20);
    painter.drawLine(QPointF(0, rule), QPointF(page.size.width(), rule));

    // Body and footer, Arial 10, in the units of the header.
    painter.setFont(arial(10, page));
    drawBody(painter, body, page, units);
    drawBody(painter, {{56, 30, QStringLiteral("Realizó: ________________________")},
                       {56, 225, QStringLiteral("Revisó: ________________________")},
                       {58, kRight, QStringLiteral("TOLVEK v. w 3.1")}},
             page, units);
    painter.drawLine(QPointF(0, 59 * units.line), QPointF(page.size.width(), 59 * units.line));
    // The record's identification, small, below the footer's rule.
    DrawRecordLine(painter, recordLine, QPointF(0, 59.4 * units.line), page.size.width(), page.fromPoints(7));
    painter.restore();
}

} // namespace

PreparedReport PrepareReport(PrintedReport report, const stats::StudyAnalysis &a)
{
    // Each page meets the refusals of the windows it prints, in their order.
    PreparedReport prepared;
    stats::CommandOutcome outcome;
    auto refused = [&] {
        prepared.validation = outcome.validation;
        prepared.zeroSlope = outcome.zeroSlope;
        return outcome.refused();
    };
    const cli::AnalysisModule *module = PrintedPages()[static_cast<size_t>(report)].module;
    // An evaluation of every series (the accuracy profile) names them all,
    // and needs no line of the series evaluated.
    const bool wholeStudy = module && module->wholeStudy && a.options.wholeStudy;
    auto nameSeries = [&] {
        if (const stats::SeriesNote *note = a.texts.seriesNote())
            for (PageBody &page : prepared.pages)
                page.push_back({8, kCentred,
                                wholeStudy ? QStringLiteral("Las %1 series del estudio").arg(note->count)
                                           : seriesLine(*note)});
        return prepared;
    };
    if (report == PrintedReport::GeneralInformation) {
        prepared.pages = generalInformation(a.texts);
        return nameSeries();
    }
    if (!wholeStudy && !stats::Validated(a, outcome))
        return refused(), prepared;
    const stats::RegressionResult *regression = nullptr;
    const stats::AnovaAndResiduals *anova = nullptr;
    if (module)
        outcome = module->outcome(a);
    switch (report) {
    case PrintedReport::InferenceAndAnova:
        if ((regression = stats::Require(a.regression(), outcome)) && (anova = stats::Require(a.anova(), outcome)))
            prepared.pages = {inferenceAndAnova(a.texts, *regression, anova->anova, a.decimalSeparator)};
        break;
    case PrintedReport::ErrorAndResiduals:
        if ((anova = stats::Require(a.anova(), outcome)))
            prepared.pages = errorAndResiduals(a.texts, *anova, *stats::Require(a.recovery(), outcome), a.decimalSeparator);
        break;
    default: // an evaluation's page: its document
        break;
    }
    if (!refused() && !outcome.document.blocks.empty())
        prepared.pages = documentPages(a.texts, outcome.document);
    return nameSeries();
}

bool DrawReportPages(QPainter &painter, const std::vector<PageBody> &pages, const std::function<bool()> &newPage,
                     const cli::PrintRecord &record)
{
    const int count = static_cast<int>(pages.size());
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !newPage())
            return false;
        drawPage(painter, pages[static_cast<size_t>(i)], QString::fromStdString(record.line(i + 1, count)));
    }
    return true;
}

bool DrawReportPages(QPainter &painter, const std::vector<PageBody> &pages, const std::function<bool()> &newPage)
{
    return DrawReportPages(painter, pages, newPage, cli::MakePrintRecord({}));
}

std::span<const PrintedPage> PrintedPages()
{
    // The three pages of the line, then one for each evaluation that has a page.
    static const std::vector<PrintedPage> pages = [] {
        std::vector<PrintedPage> p = {
            {.report = PrintedReport::GeneralInformation,
             .id = "page-general",
             .name = QStringLiteral("Información General"),
             .caption = QStringLiteral("Imprime Información General")},
            {.report = PrintedReport::InferenceAndAnova,
             .id = "page-inference",
             .name = QStringLiteral("Inferencia y Anova"),
             .caption = QStringLiteral("Imprime Inferencia y Anova")},
            {.report = PrintedReport::ErrorAndResiduals,
             .id = "page-error",
             .name = QStringLiteral("Evaluación del Error y Residuales"),
             .caption = QStringLiteral("Imprime Evaluación del Error y Residuales")},
        };
        for (const cli::AnalysisModule &m : cli::AnalysisModules()) {
            const QString name = QString::fromUtf8(m.name);
            p.push_back({.report = static_cast<PrintedReport>(p.size()),
                         .id = cli::OutputNamed("page-" + std::string(m.id)).id,
                         .name = name,
                         .caption = QStringLiteral("Imprime ") + name,
                         .module = &m});
        }
        return p;
    }();
    return pages;
}

QString ReportName(PrintedReport report) { return PrintedPages()[static_cast<size_t>(report)].name; }

PrintedReport EvaluationPage(std::string_view id)
{
    for (const PrintedPage &page : PrintedPages())
        if (page.module && page.module->id == id)
            return page.report;
    throw std::invalid_argument("no evaluation has the page of " + std::string(id));
}

} // namespace render
