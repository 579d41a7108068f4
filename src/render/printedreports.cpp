#include "render/printedreports.h"

#include "render/documentrecord.h"
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
    pages.push_back(std::move(body));
    return pages;
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

// The acceptance criteria, block after block above the study block: the
// figures, the checks with the verdict and the limits they were judged
// against; the back-calculation and the level biases from the next page,
// each table under its title and heading, continued on further pages
// (heading repeated). A block that does not fit moves to the next page.
std::vector<PageBody> acceptanceCriteria(const stats::StudyTexts &s, const stats::CriteriaResult &c, char sep)
{
    constexpr int kFirstLine = 10, kLastRowLine = 49;
    PageFlow flow(kFirstLine, kLastRowLine, [&s](PageBody &body) { studyBlock(body, s); });
    flow.add({.rows = {{{0, kCentred, QStringLiteral("Criterios de Aceptación")}}}});
    std::vector<QString> figures;
    for (const stats::CriteriaField &f : stats::CriteriaFields()) {
        QString text = q(f.label) + q(stats::CriteriaFigureText(f, c, s.units(), sep));
        if (f.member == &stats::CriteriaResult::target)
            text += c.targetGiven ? QStringLiteral(" (FIJADA POR EL USUARIO)") : QStringLiteral(" (MEDIA DE LOS NIVELES)");
        figures.push_back(text);
    }
    flow.add(TextBlock(figures, 30, 1));
    flow.add(CellsBlock(qCells(stats::CheckCells(c, sep)), {30, 160, 240, 320}, 1));
    flow.add(TextBlock({q(stats::VerdictLine(c))}, 30, 1));
    flow.add(TextBlock(qLines(stats::LimitsLines(c.limits, sep)), 30, 1));

    PageBlock back = TableBlock(QStringLiteral("Cálculo Inverso"), qCells(stats::BackCalculationCells(c, sep)),
                                {30, 75, 120, 200, 280}, 0);
    back.startsPage = true;
    flow.add(back);
    flow.add(TableBlock(QStringLiteral("Sesgo por Nivel"), qCells(stats::LevelBiasCells(c, sep)), {30, 75, 140}, 2));
    return flow.pages();
}

// The weighting evaluation: the verdict, the tests of the variance, the
// weights ranked and the chosen line; its back-calculation from the next
// page, then the diagnostics of each observation and the Grubbs test of
// each level on a page of their own, block after block.
std::vector<PageBody> weighting(const stats::StudyTexts &s, const stats::WeightingResult &w, char sep)
{
    constexpr int kFirstLine = 10, kLastRowLine = 49;
    PageFlow flow(kFirstLine, kLastRowLine, [&s](PageBody &body) { studyBlock(body, s); });
    flow.add({.rows = {{{0, kCentred, QStringLiteral("Ponderación, Varianza y Datos Atípicos")}}}});
    flow.add(TextBlock({q(stats::WeightingVerdictLine(w))}, 30, 1));
    flow.add(TextBlock({QStringLiteral("El programa no elimina ningún dato: excluir una observación es decisión"),
                        QStringLiteral("del analista, editando el estudio.")},
                       30, 1));
    std::vector<QString> homogeneity = {QStringLiteral("Homogeneidad de varianzas"), {}};
    for (const std::string &line : stats::HomogeneityLines(w.homogeneity, sep))
        homogeneity.push_back(q(line));
    flow.add(TextBlock(homogeneity, 30, 1));
    flow.add(TableBlock(QStringLiteral("Ponderaciones"), qCells(stats::CandidateCells(w, sep)),
                        {30, 95, 160, 225, 330}, 1));
    std::vector<QString> choice = qLines(stats::UndefinedWeightLines(w));
    choice.push_back(q(stats::ChoiceLine(w)));
    flow.add(TextBlock(choice, 30, 1));
    flow.add(TextBlock(qLines(stats::WeightedLineLines(w, sep)), 30, 1));
    if (w.weighted) {
        PageBlock back = TableBlock(QStringLiteral("Cálculo Inverso con la Ponderación"),
                                    qCells(stats::WeightedBackCalculationCells(*w.weighted, sep)),
                                    {30, 75, 120, 200, 280}, 0);
        back.startsPage = true;
        flow.add(back);
        flow.add(TableBlock(QStringLiteral("Error Relativo por Nivel"),
                            qCells(stats::WeightedLevelBiasCells(*w.weighted, sep)), {30, 75, 140}, 2));
    }
    PageBlock diagnostics = TableBlock(QStringLiteral("Diagnóstico de la Recta sin Ponderar"),
                                       qCells(stats::DiagnosticCells(w, sep)), {30, 55, 85, 150, 225, 285, 355}, 2);
    diagnostics.startsPage = true;
    flow.add(diagnostics);
    if (!w.grubbs.empty())
        flow.add(TableBlock(QStringLiteral("Prueba de Grubbs por Nivel"), qCells(stats::GrubbsCells(w, sep)),
                            {30, 75, 150, 215, 300}, 2));
    return flow.pages();
}

// The quadratic model: the coefficients, the model's analysis of variance,
// the sensitivity, the comparison with the line and the choice, then the
// back-calculation and level biases from the next page, as the criteria
// page flows. A study that cannot have the model gets the line that says why.
std::vector<PageBody> quadraticModel(const stats::StudyTexts &s, const stats::QuadraticResult &m, char sep)
{
    constexpr int kFirstLine = 10, kLastRowLine = 49;
    PageFlow flow(kFirstLine, kLastRowLine, [&s](PageBody &body) { studyBlock(body, s); });
    flow.add({.rows = {{{0, kCentred, QStringLiteral("Modelo Cuadrático")}}}});
    if (m.notFitted) {
        flow.add(TextBlock({q(m.notFitted)}, 30, 1));
        return flow.pages();
    }
    flow.add(CellsBlock(qCells(stats::QuadraticCoefficientCells(m, sep)), {30, 130, 230}, 1));
    flow.add(TextBlock(qLines(stats::QuadraticFitLines(m, sep)), 30, 1));
    flow.add(TableBlock(QStringLiteral("Análisis de la Varianza del Modelo Cuadrático"),
                        qCells(stats::QuadraticAnovaCells(m, sep)), {30, 120, 150, 215, 280, 345}, 1));
    std::vector<QString> sensitivity = {QStringLiteral("Sensibilidad E(x) = c1 + 2·c2·x")};
    for (const QString &line : qLines(stats::SensitivityLines(m, sep)))
        sensitivity.push_back(line);
    flow.add(TextBlock(sensitivity, 30, 1));
    flow.add(TableBlock(QStringLiteral("Comparación con la Recta"), qCells(stats::ModelComparisonCells(m, sep)),
                        {30, 240, 330}, 1));
    flow.add(TextBlock(qLines(stats::ModelChoiceLines(m, sep)), 30, 1));
    PageBlock back = TableBlock(QStringLiteral("Cálculo Inverso con el Modelo Cuadrático"),
                                qCells(stats::QuadraticBackCalculationCells(m, sep)), {30, 75, 120, 200, 280}, 0);
    back.startsPage = true;
    flow.add(back);
    flow.add(TableBlock(QStringLiteral("Sesgo por Nivel con el Modelo Cuadrático"),
                        qCells(stats::QuadraticLevelBiasCells(m, sep)), {30, 75, 140}, 2));
    return flow.pages();
}

// The method's standard deviation and limits, then the samples when the
// analysis had any: the table of figures, every sample typed in its place
// (one that could not be read with its name alone), then the flags of each
// flagged sample and the reason of each unread one in words (too long for a
// column of the table).
std::vector<PageBody> unknownSamples(const stats::StudyTexts &s, const stats::DetectionResult &d,
                                     const stats::SamplesResult *samples,
                                     const std::vector<stats::UnreadSample> &unread, char sep)
{
    constexpr int kFirstLine = 10, kLastRowLine = 49;
    PageFlow flow(kFirstLine, kLastRowLine, [&s](PageBody &body) { studyBlock(body, s); });
    flow.add({.rows = {{{0, kCentred, QStringLiteral("Muestras Desconocidas")}}}});
    flow.add(TextBlock(qLines(stats::DetectionLines(d, s.units(), sep)), 30, 1));
    if (!samples)
        return flow.pages();
    std::vector<stats::CellRow> rows;
    stats::CellRow headings = stats::SampleHeadings();
    headings.pop_back();
    rows.push_back(headings);
    std::vector<QString> flagged;
    auto unreadBefore = [&, next = unread.begin()](size_t read) mutable {
        for (; next != unread.end() && next->before <= read; ++next) {
            rows.push_back({next->name});
            flagged.push_back(q(next->name + ": NO SE PUDO CALCULAR: " + next->reason));
        }
    };
    for (size_t i = 0; i < samples->samples.size(); ++i) {
        unreadBefore(i);
        const stats::SampleResult &sample = samples->samples[i];
        stats::CellRow cells = stats::SampleCells(sample, sep);
        cells.pop_back();
        rows.push_back(cells);
        if (const std::string flags = stats::SampleFlags(sample); !flags.empty())
            flagged.push_back(q(sample.name + ": " + flags));
    }
    unreadBefore(std::numeric_limits<size_t>::max());
    flow.add(TableBlock(q(stats::SamplesHeading(*samples, d.degreesOfFreedom, sep)), qCells(rows),
                        {30, 80, 90, 150, 190, 245, 320}, 2));
    if (!flagged.empty()) {
        flagged.insert(flagged.begin(), QStringLiteral("OBSERVACIONES"));
        flow.add(TextBlock(flagged, 30, 1));
    }
    if (samples->g.compare(stats::Rational(1)) >= 0)
        flow.add(TextBlock({QStringLiteral("INTERVALO POR INVERSIÓN NO ACOTADO: t² s² / (b² Sxx) NO ES MENOR QUE 1.")},
                           30, 1));
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
    if (report == PrintedReport::GeneralInformation) {
        prepared.pages = generalInformation(a.texts);
        return prepared;
    }
    if (!stats::Validated(a, outcome))
        return refused(), prepared;
    const stats::RegressionResult *regression = nullptr;
    const stats::AnovaAndResiduals *anova = nullptr;
    switch (report) {
    case PrintedReport::InferenceAndAnova:
        if ((regression = stats::Require(a.regression(), outcome)) && (anova = stats::Require(a.anova(), outcome)))
            prepared.pages = {inferenceAndAnova(a.texts, *regression, anova->anova, a.decimalSeparator)};
        break;
    case PrintedReport::ErrorAndResiduals:
        if ((anova = stats::Require(a.anova(), outcome)))
            prepared.pages = errorAndResiduals(a.texts, *anova, *stats::Require(a.recovery(), outcome), a.decimalSeparator);
        break;
    case PrintedReport::AcceptanceCriteria:
        if (stats::Require(a.anova(), outcome) && stats::Require(a.regression(), outcome))
            prepared.pages = acceptanceCriteria(a.texts, *stats::Require(a.criteria(), outcome), a.decimalSeparator);
        break;
    case PrintedReport::Weighting:
        if (const stats::WeightingResult *w = stats::Require(a.weighting(), outcome))
            prepared.pages = weighting(a.texts, *w, a.decimalSeparator);
        break;
    case PrintedReport::QuadraticModel:
        if (const stats::QuadraticResult *model = stats::Require(a.quadratic(), outcome))
            prepared.pages = quadraticModel(a.texts, *model, a.decimalSeparator);
        break;
    case PrintedReport::GeneralInformation:
        break;
    case PrintedReport::Samples:
        if (stats::Require(a.regression(), outcome)) {
            const stats::DetectionResult *d = stats::Require(a.detection(), outcome);
            const bool given = a.samplesGiven();
            prepared.pages = unknownSamples(a.texts, *d, given ? stats::Require(a.samples(), outcome) : nullptr,
                                            a.unreadSamples, a.decimalSeparator);
        }
        break;
    }
    refused();
    return prepared;
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
    static const PrintedPage pages[] = {
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
        {.report = PrintedReport::AcceptanceCriteria,
         .id = "page-criteria",
         .name = QStringLiteral("Criterios de aceptación"),
         .caption = QStringLiteral("Imprime Criterios de aceptación")},
        {.report = PrintedReport::Weighting,
         .id = "page-weighting",
         .name = QStringLiteral("Ponderación, varianza y datos atípicos"),
         .caption = QStringLiteral("Imprime Ponderación, varianza y datos atípicos")},
        {.report = PrintedReport::QuadraticModel,
         .id = "page-quadratic",
         .name = QStringLiteral("Modelo cuadrático"),
         .caption = QStringLiteral("Imprime Modelo cuadrático")},
        {.report = PrintedReport::Samples,
         .id = "page-samples",
         .name = QStringLiteral("Muestras desconocidas"),
         .caption = QStringLiteral("Imprime Muestras desconocidas")},
    };
    return pages;
}

QString ReportName(PrintedReport report) { return PrintedPages()[static_cast<size_t>(report)].name; }

} // namespace render
