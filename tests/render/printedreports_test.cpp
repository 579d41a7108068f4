// The three printed pages, drawn on a recording device and read back with
// their positions: every line at its line and column, in order, the common
// frame, the worked studies' values, the described edge cases, texts that
// never overlap or leave the page, and the same layout in inches at any
// resolution.
#include "render/printedreports.h"
#include "stats/errors.h"
#include "support/recordingdevice.h"
#include "support/studies.h"

#include <QtTest>

#include <algorithm>

using render::PrintedReport;
using testing_studies::makeStudy;

namespace {

constexpr double kLetterPrintable[] = {8.0, 10.5};
constexpr double kA4Printable[] = {7.87, 11.29};

// Where a text stands, in the units of the page: L = 1/6 inch, W = 1/50 inch.
struct Seen {
    QString text;
    double line;   // top of the text, in lines
    double column; // start, in columns
    double end;    // end, in columns
    double points;
};

struct Rendered {
    std::vector<std::vector<Seen>> pages;
    std::vector<std::vector<QLineF>> rules; // in inches
    double pageColumns = 0;                 // page width in columns
    std::vector<RecordedPage> raw;
    double dpi = 0;
};

Rendered drawn(PrintedReport report, const stats::StudyTexts &study, double dpi = 600,
                const double (&inches)[2] = kA4Printable, stats::SharedResults *records = nullptr)
{
    stats::SharedResults own;
    const render::PreparedReport prepared = render::PrepareReport(report, study, records ? *records : own, '.');
    if (prepared.refused())
        qFatal("the study was refused");
    RecordingDevice device(dpi, QSizeF(inches[0], inches[1]));
    {
        QPainter painter(&device);
        render::DrawReportPages(painter, prepared.pages, [&device] { return device.newPage(); });
    }
    Rendered r;
    r.dpi = dpi;
    r.raw = device.pages();
    const double line = dpi / 6, column = dpi / 50;
    r.pageColumns = device.width() / column;
    for (const RecordedPage &page : device.pages()) {
        std::vector<Seen> seen;
        for (const RecordedText &t : page.texts)
            seen.push_back({t.text, (t.baseline.y() - t.ascent) / line, t.baseline.x() / column,
                            (t.baseline.x() + t.width) / column, t.pointSize});
        std::stable_sort(seen.begin(), seen.end(), [](const Seen &a, const Seen &b) {
            return std::round(a.line) != std::round(b.line) ? a.line < b.line : a.column < b.column;
        });
        r.pages.push_back(seen);
        std::vector<QLineF> rules;
        for (const QLineF &l : page.lines)
            rules.push_back(QLineF(l.p1() / dpi, l.p2() / dpi));
        r.rules.push_back(rules);
    }
    return r;
}

// Expected texts of a page: line, column (or one of the markers) and text.
constexpr double kCentred = -1;
constexpr double kRight = -2;
constexpr double kAfterLeft = -3; // moved right, one blank after its left neighbour
struct Expected {
    int line;
    double column;
    QString text;
};

// The page holds exactly these texts, in this order, each where it belongs.
void expectPage(const Rendered &r, int pageIndex, const std::vector<Expected> &body)
{
    std::vector<Expected> all = {{5, kCentred, "Control de Calidad"}, {6, kCentred, "Linealidad del Método"}};
    all.insert(all.end(), body.begin(), body.end());
    all.push_back({56, 30, "Realizó: ________________________"});
    all.push_back({56, 225, "Revisó: ________________________"});
    all.push_back({58, kRight, "TOLVEK v. w 3.1"});

    const std::vector<Seen> &page = r.pages[size_t(pageIndex)];
    QStringList seenTexts, expectedTexts;
    for (const Seen &s : page)
        seenTexts << QString::number(std::lround(s.line)) + ":" + s.text;
    for (const Expected &e : all)
        expectedTexts << QString::number(e.line) + ":" + e.text;
    QCOMPARE(seenTexts, expectedTexts);

    const double blank = 2.78 / 72 * 50; // a blank of Arial 10, in columns (about 1.93)
    for (size_t i = 0; i < all.size(); ++i) {
        const Seen &s = page[i];
        const Expected &e = all[i];
        const QByteArray what = (QString::number(e.line) + ": " + e.text).toUtf8();
        QVERIFY2(std::abs(s.line - e.line) < 0.01, what);
        QCOMPARE(s.points, e.line <= 6 ? 12.0 : 10.0);
        if (e.column >= 0)
            QVERIFY2(std::abs(s.column - e.column) < 0.01, what + " at " + QByteArray::number(s.column));
        else if (e.column == kCentred)
            QVERIFY2(std::abs((s.column + s.end) / 2 - r.pageColumns / 2) < 0.1, what);
        else if (e.column == kRight)
            QVERIFY2(std::abs(s.end - r.pageColumns) < 0.01, what);
        else
            QVERIFY2(std::abs(s.column - (page[i - 1].end + blank)) < 0.1, what);
    }
}

// No two texts share any point, and every text is inside the page. The body
// (Arial 10) keeps whole text boxes apart; the header's two lines of Arial 12,
// taller than the line unit, keep their glyphs apart.
void expectNoOverlap(const Rendered &r)
{
    const double pageWidth = r.pageColumns * r.dpi / 50;
    for (const RecordedPage &page : r.raw) {
        std::vector<std::pair<QRectF, QRectF>> seen;
        for (const RecordedText &t : page.texts) {
            const QRectF box(t.baseline.x(), t.baseline.y() - t.ascent, t.width, t.ascent + t.descent);
            QVERIFY2(box.left() >= 0 && box.right() <= pageWidth + 0.5, qPrintable(t.text));
            for (const auto &[otherBox, otherInk] : seen) {
                QVERIFY2(!t.ink.intersects(otherInk), qPrintable(t.text));
                if (t.pointSize == 10)
                    QVERIFY2(!box.intersects(otherBox), qPrintable(t.text));
            }
            seen.emplace_back(t.pointSize == 10 ? box : QRectF(), t.ink);
        }
    }
}

const Seen *find(const Rendered &r, int page, const QString &startsWith)
{
    for (const Seen &s : r.pages[size_t(page)])
        if (s.text.startsWith(startsWith))
            return &s;
    return nullptr;
}

QStringList textsOnLine(const Rendered &r, int page, int line)
{
    QStringList texts;
    for (const Seen &s : r.pages[size_t(page)])
        if (std::lround(s.line) == line)
            texts << s.text;
    return texts;
}

stats::StudyData named(stats::StudyData s)
{
    s.methodText = "Valoración de ácido cítrico";
    s.analystText = "M. Ñúñez";
    s.dateText = "12/03/2024";
    s.unitsText = "mg/mL";
    return s;
}

// Five levels of five replicates.
stats::StudyData fullStudy(int replicates = 5)
{
    std::vector<std::string> counts, x, y;
    for (int level = 1; level <= 5; ++level) {
        counts.push_back(std::to_string(replicates));
        for (int r = 0; r < replicates; ++r) {
            x.push_back(std::to_string(level * 20));
            y.push_back(std::to_string(level * 20) + "." + std::to_string((level * 7 + r * 3) % 10));
        }
    }
    return named(makeStudy(counts, x, y));
}

std::vector<Expected> studyBlock()
{
    return {{50, 30, "Nombre del método: Valoración de ácido cítrico"},
            {51, 30, "Unidades de la cantidad adicionada: mg/mL"},
            {52, 30, "Nombre del Analista: M. Ñúñez"},
            {53, 30, "Fecha: 12/03/2024"}};
}

QString residualRow(int observation, const char *predicted, const char *residual, const char *studentized)
{
    return QString(8, ' ') + QString::number(observation) + QString(28, ' ') + predicted + QString(30, ' ') +
           residual + QString(30, ' ') + studentized;
}

const QString kResidualHeading = "Observación        Pronóstico para Y                   Residuales"
                                 "                   Residuos Estudentizados";

} // namespace

class PrintedReportsTest : public QObject {
    Q_OBJECT

private slots:
    void generalInformationPrintsTheStudyAsTyped()
    {
        const Rendered r = drawn(PrintedReport::GeneralInformation, named(testing_studies::inferenceStudy()));
        QCOMPARE(r.pages.size(), size_t(1));
        std::vector<Expected> body = {
            {9, kCentred, "Información General"},
            {11, 30, "Nombre del método: Valoración de ácido cítrico"},
            {12, 30, "Nombre del Analista: M. Ñúñez"},
            {13, 30, "Fecha: 12/03/2024"},
            {14, 30, "Unidades de la cantidad adicionada:"},
            {15, 30, "mg/mL"},
            {19, 30, "Número de niveles: 3"},
            {20, 30, "     Nivel"},
            {20, 60, "           1"},
            {20, 90, "           2"},
            {20, 120, "           3"},
            // " # Replicas" is wider than its column: the first count moves right.
            {21, 30, " # Replicas"},
            {21, kAfterLeft, "3"},
            {21, 90, "3"},
            {21, 120, "3"},
            {25, 28, "      Nivel"},
            {25, 68, "X"},
            {25, 108, "Y"},
        };
        const char *x[] = {"80", "80", "80", "100", "100", "100", "120", "120", "120"};
        const char *y[] = {"79.5", "80.3", "80.1", "99.2", "100.4", "100.9", "119.1", "120.6", "121.0"};
        for (int i = 0; i < 9; ++i) {
            body.push_back({26 + i, 28, QString::fromStdString(stats::DataLevelLabel(i / 3 + 1))});
            body.push_back({26 + i, 68, x[i]});
            body.push_back({26 + i, 108, y[i]});
        }
        expectPage(r, 0, body);
        expectNoOverlap(r);

        // The header rule 20 design pixels below line 7, the footer rule on
        // line 59, both across the page.
        QCOMPARE(r.rules[0].size(), size_t(2));
        QCOMPARE(r.rules[0][0], QLineF(0, 7.0 / 6 + 20.0 / 600, kA4Printable[0], 7.0 / 6 + 20.0 / 600));
        QCOMPARE(r.rules[0][1], QLineF(0, 59.0 / 6, kA4Printable[0], 59.0 / 6));
    }

    void generalInformationNeedsOnlyAWholeLevelCount()
    {
        // An incomplete study prints as it stands: the empty cells print nothing.
        stats::StudyData incomplete = named(testing_studies::inferenceStudy());
        incomplete.dataGrid[4][2] = "";
        incomplete.replicateGrid[2][1] = "";
        const Rendered r = drawn(PrintedReport::GeneralInformation, incomplete);
        QCOMPARE(textsOnLine(r, 0, 21), (QStringList{" # Replicas", "3", "3"}));
        QCOMPARE(textsOnLine(r, 0, 29), (QStringList{QString::fromStdString(stats::DataLevelLabel(2)), "100"}));

        // The level count limits the replicate columns printed.
        stats::StudyData fewer = incomplete;
        fewer.levelsText = "2";
        QCOMPARE(textsOnLine(drawn(PrintedReport::GeneralInformation, fewer), 0, 20),
                 (QStringList{"     Nivel", "           1", "           2"}));

        for (const char *levels : {"x", "", "2.5"}) {
            stats::StudyData bad = incomplete;
            bad.levelsText = levels;
            stats::SharedResults records;
            try {
                render::PrepareReport(PrintedReport::GeneralInformation, bad, records, '.');
                QFAIL("a level count that is not a whole number must stop the page");
            } catch (const stats::ConversionError &e) {
                QCOMPARE(QString::fromUtf8(e.what()), QString("'%1' is not a valid integer value").arg(levels));
            }
        }
    }

    void inferencePagePrintsTheWorkedInference()
    {
        const Rendered r = drawn(PrintedReport::InferenceAndAnova, named(testing_studies::inferenceStudy()));
        QCOMPARE(r.pages.size(), size_t(1));
        const std::pair<int, QString> lines[] = {
            {12, "Pendiente =  1.00667"},
            {13, "Límite superior del intervalo de confianza = 1.04264"},
            {14, "Límite inferior del intervalo de confianza = 0.97069"},
            {15, "t cal = 0.438178"},
            {16, "Ordenada al origen = -0.544444"},
            {17, "Límite superior del intervalo de confianza = 3.10083"},
            {18, "Límite inferior del intervalo de confianza = -4.18972"},
            {19, "t cal = -0.353167"},
            {20, "Desviación estándar de regresión = 0.745356"},
            {21, "Coeficiente de variación = 0.744446"},
            {22, "Coeficiente de Determinación (r^2) = 0.99840357"}, // eight digits,
        };
        for (const auto &[line, text] : lines) {
            const QStringList on = textsOnLine(r, 0, line);
            QCOMPARE(on.size(), 1);
            QCOMPARE(on[0], text);
            QCOMPARE(find(r, 0, on[0])->column, 30.0);
        }
        expectNoOverlap(r);
    }

    void anovaPagePrintsTheWorkedTableAndVerdicts()
    {
        const Rendered r = drawn(PrintedReport::InferenceAndAnova, named(testing_studies::anovaStudy()));
        std::vector<Expected> body = {
            {10, kCentred, "Inferencia de Pendiente y Ordenada al Origen"},
        };
        // The inference lines, checked in full above.
        for (int line = 12; line <= 22; ++line)
            body.push_back({line, 30, textsOnLine(r, 0, line).value(0)});
        const std::vector<Expected> table = {
            {26, kCentred, "Análisis de la Varianza"},
            {27, 31, "Fuente"}, {27, 100, "Grados"}, {27, 155, "Suma"}, {27, 210, "Media"},
            {28, 33, "de"}, {28, 103, "de"}, {28, 158, "de"}, {28, 213, "de"}, {28, 260, "Fcal"}, {28, 305, "Pr"},
            {29, 30, "Variación"}, {29, 100, "Libertad"}, {29, 155, "Cuadrados"}, {29, 210, "Cuadrados"},
            {30, 30, "Regresión"}, {30, 105, "1"}, {30, 155, "4.02003"}, {30, 210, "4.02003"},
            {30, 260, "1096.99"}, {30, 305, "0.000265967"},
            {31, 30, "Error de Regresión"}, {31, 105, "4"}, {31, 155, "0.0146583"}, {31, 210, "0.00366458"},
            {32, 30, "Falta de Ajuste"}, {32, 105, "1"}, {32, 155, "0.00520833"}, {32, 210, "0.00520833"},
            {32, 265, "1.65344"}, {32, 300, "0.289083"},
            {33, 30, "Error Puro"}, {33, 105, "3"}, {33, 155, "0.00945"}, {33, 210, "0.00315"},
            {35, 30, "Existe relación altamente significativa entre cantidad adicionada y cantidad recuperada"},
            {36, 30, "El modelo lineal representa de manera correcta la relación entre cantidad adicionada"},
            {37, 30, "y cantidad recuperada"},
        };
        body.insert(body.end(), table.begin(), table.end());
        const std::vector<Expected> block = studyBlock();
        body.insert(body.end(), block.begin(), block.end());
        expectPage(r, 0, body);
        QCOMPARE(textsOnLine(r, 0, 12), QStringList{"Pendiente =  1.0025"});
        QCOMPARE(textsOnLine(r, 0, 16), QStringList{"Ordenada al origen = 0.0133333"});
    }

    void aLongLackOfFitStatisticPushesItsProbabilityRight()
    {
        // F written long (0.000…) runs past column 300 where its probability stands.
        const Rendered r = drawn(PrintedReport::InferenceAndAnova,
                                  named(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                                                  {"0.5", "1.5", "1.5", "2.5", "2.52", "3.52"})));
        const QStringList row = textsOnLine(r, 0, 32);
        QCOMPARE(row.size(), 6);
        QVERIFY2(row[4].size() >= 10, qPrintable(row[4]));
        const Seen *f = find(r, 0, row[4]);
        const Seen *p = find(r, 0, row[5]);
        QCOMPARE(f->column, 265.0);
        QVERIFY2(f->end > 300 - 1.9, "the statistic is long enough to collide");
        QVERIFY(std::abs(p->column - (f->end + 2.78 / 72 * 50)) < 0.1);
        expectNoOverlap(r);
    }

    void withoutReplicatesNoLackOfFitRowsNorModelLines()
    {
        // The print command's records still hold a lack of fit from the study before.
        stats::SharedResults records;
        drawn(PrintedReport::InferenceAndAnova, named(testing_studies::anovaStudy()), 600, kA4Printable, &records);
        QVERIFY(records.anova.dfLackOfFit != 0);
        const Rendered r = drawn(PrintedReport::InferenceAndAnova,
                                  named(makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"1.1", "1.9", "3.2"})), 600,
                                  kA4Printable, &records);
        for (int line : {32, 33, 36, 37})
            QVERIFY2(textsOnLine(r, 0, line).isEmpty(), qPrintable(QString::number(line)));
        QCOMPARE(textsOnLine(r, 0, 31).value(0), QStringLiteral("Error de Regresión"));
        QCOMPARE(textsOnLine(r, 0, 35).size(), 1);
    }

    void errorPagePrintsTheWorkedEvaluationAndResiduals()
    {
        const Rendered r = drawn(PrintedReport::ErrorAndResiduals, named(testing_studies::anovaStudy()));
        std::vector<Expected> body = {
            {10, kCentred, "Evaluación del Error Sistemático Constante"},
            {11, 30, "Media Aritmética del Porcentaje Recuperado = 100.833"},
            {12, 30, "Desviación Estándar del Porcentaje Recuperado = 2.84214"},
            {13, 30, "Desviación Estándar Relativa = 2.81865"},
            {14, 30, "Límite Superior del Intervalo de Confianza = 103.816"},
            {15, 30, "Límite Inferior del Intervalo de Confianza = 97.8507"},
            {16, 30, "Prueba t de Student = 0.718205"},
            {19, 30, "El Método carece de error sistemático"},
            {20, 30, "que en el mejor de los casos es de un -2.14933 y en el peor de los casos es de un 3.816"},
            {25, kCentred, "Análisis de Residuales"},
            {27, 55, kResidualHeading},
            {28, 55, residualRow(1, "1.0158", "0.0041667", "0.090119")},
            {29, 55, residualRow(2, "1.0158", "-0.045833", "-0.99131")},
            {30, 55, residualRow(3, "2.0183", "0.081667", "1.4778")},
            {31, 55, residualRow(4, "2.0183", "0.0016667", "0.03016")},
            {32, 55, residualRow(5, "3.0208", "-0.070833", "-1.532")},
            {33, 55, residualRow(6, "3.0208", "0.029167", "0.63084")},
        };
        const std::vector<Expected> block = studyBlock();
        body.insert(body.end(), block.begin(), block.end());
        expectPage(r, 0, body);
        expectNoOverlap(r);

        const Rendered biased = drawn(PrintedReport::ErrorAndResiduals, named(testing_studies::biasedStudy()));
        QCOMPARE(textsOnLine(biased, 0, 19), QStringList{"El Método presenta error sistemático"});
        QCOMPARE(textsOnLine(biased, 0, 20),
                 QStringList{"que en el mejor de los casos es de un 3.70653 y en el peor de los casos es de un 4.84902"});
    }

    void meanRecoveryOfExactly100PrintsNoBestAndWorstCase()
    {
        // Recoveries of 125 % and 75 % at every level: a mean of exactly 100.
        const Rendered r = drawn(PrintedReport::ErrorAndResiduals,
                                  named(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "4", "4"},
                                                  {"1.25", "0.75", "2.5", "1.5", "5", "3"})));
        QCOMPARE(textsOnLine(r, 0, 11), QStringList{"Media Aritmética del Porcentaje Recuperado = 100"});
        QCOMPARE(textsOnLine(r, 0, 19), QStringList{"El Método carece de error sistemático"});
        QVERIFY(textsOnLine(r, 0, 20).isEmpty());
    }

    void aRegressionWithoutDependencePrintsNP()
    {
        const Rendered r = drawn(PrintedReport::ErrorAndResiduals,
                                  named(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                                                  {"1", "3", "3", "1.2", "1.5", "3"})));
        const char *labels[] = {"Media Aritmética del Porcentaje Recuperado = NP",
                                "Desviación Estándar del Porcentaje Recuperado = NP",
                                "Desviación Estándar Relativa = NP",
                                "Límite Superior del Intervalo de Confianza = NP",
                                "Límite Inferior del Intervalo de Confianza = NP", "Prueba t de Student = NP"};
        for (int i = 0; i < 6; ++i)
            QCOMPARE(textsOnLine(r, 0, 11 + i), QStringList{labels[i]});
        QCOMPARE(textsOnLine(r, 0, 18), QStringList{"NP = No Procede"});
        QCOMPARE(find(r, 0, "NP = No Procede")->column, 45.0);
        QVERIFY(textsOnLine(r, 0, 19).isEmpty() && textsOnLine(r, 0, 20).isEmpty());
        QCOMPARE(textsOnLine(r, 0, 25), QStringList{"Análisis de Residuales"});

        const Rendered anova = drawn(PrintedReport::InferenceAndAnova,
                                      named(makeStudy({"2", "2", "2"}, {"1", "1", "2", "2", "3", "3"},
                                                      {"1", "3", "3", "1.2", "1.5", "3"})));
        QCOMPARE(textsOnLine(anova, 0, 35), QStringList{"No hay dependencia entre las variables"});
        QVERIFY(textsOnLine(anova, 0, 36).isEmpty());
    }

    void twentyFiveObservationsFitOnePageWithoutOverlap()
    {
        const stats::StudyData study = fullStudy();
        for (PrintedReport report : {PrintedReport::GeneralInformation, PrintedReport::InferenceAndAnova,
                                     PrintedReport::ErrorAndResiduals}) {
            const Rendered r = drawn(report, study);
            QCOMPARE(r.pages.size(), size_t(1));
            expectNoOverlap(r);
        }
        // The residual analysis moves up three lines: its last row on line 49,
        // above the study block, its title clear of the evaluation.
        const Rendered r = drawn(PrintedReport::ErrorAndResiduals, study);
        QCOMPARE(textsOnLine(r, 0, 22), QStringList{"Análisis de Residuales"});
        QCOMPARE(textsOnLine(r, 0, 24), QStringList{kResidualHeading});
        QVERIFY(textsOnLine(r, 0, 25).value(0).startsWith(QString(8, ' ') + "1 "));
        QVERIFY(textsOnLine(r, 0, 49).value(0).startsWith(QString(8, ' ') + "25 "));
        QCOMPARE(textsOnLine(r, 0, 50).value(0), QStringLiteral("Nombre del método: Valoración de ácido cítrico"));
        QVERIFY(textsOnLine(r, 0, 21).isEmpty());
        // General information: the data grid runs from line 25 to line 50.
        const Rendered general = drawn(PrintedReport::GeneralInformation, study);
        QCOMPARE(textsOnLine(general, 0, 50).size(), 3);
        QVERIFY(textsOnLine(general, 0, 51).isEmpty());
        // Up to 21 observations the analysis keeps its lines.
        stats::StudyData s21 = fullStudy();
        s21.replicateGrid[4][1] = "3";
        s21.replicateGrid[5][1] = "3";
        s21.dataGrid.resize(22);
        s21.dataGrid[16][0] = s21.dataGrid[17][0] = s21.dataGrid[18][0] = stats::DataLevelLabel(4);
        s21.dataGrid[19][0] = s21.dataGrid[20][0] = s21.dataGrid[21][0] = stats::DataLevelLabel(5);
        const Rendered fits = drawn(PrintedReport::ErrorAndResiduals, s21);
        QCOMPARE(textsOnLine(fits, 0, 25), QStringList{"Análisis de Residuales"});
        QVERIFY(textsOnLine(fits, 0, 48).value(0).startsWith(QString(8, ' ') + "21 "));
    }

    void moreObservationsThanFitContinueOnAnotherPage()
    {
        const stats::StudyData study = fullStudy(8); // 40 observations, from a file
        const Rendered residuals = drawn(PrintedReport::ErrorAndResiduals, study);
        QCOMPARE(residuals.pages.size(), size_t(2));
        QVERIFY(textsOnLine(residuals, 0, 49).value(0).startsWith(QString(8, ' ') + "25 "));
        QCOMPARE(textsOnLine(residuals, 1, 9), QStringList{kResidualHeading});
        QVERIFY(textsOnLine(residuals, 1, 10).value(0).startsWith(QString(8, ' ') + "26 "));
        QVERIFY(textsOnLine(residuals, 1, 24).value(0).startsWith(QString(8, ' ') + "40 "));
        const Rendered general = drawn(PrintedReport::GeneralInformation, study);
        QCOMPARE(general.pages.size(), size_t(2));
        QVERIFY(textsOnLine(general, 0, 54).size() == 3 && textsOnLine(general, 0, 55).isEmpty());
        QCOMPARE(textsOnLine(general, 1, 9), (QStringList{"      Nivel", "X", "Y"}));
        QCOMPARE(textsOnLine(general, 1, 20).size(), 3); // observation 40 (29 on the first page)
        QVERIFY(textsOnLine(general, 1, 21).isEmpty());
        for (const Rendered *r : {&residuals, &general}) {
            expectNoOverlap(*r);
            for (size_t page = 0; page < r->pages.size(); ++page) {
                QCOMPARE(textsOnLine(*r, int(page), 5), QStringList{"Control de Calidad"});
                QCOMPARE(textsOnLine(*r, int(page), 58), QStringList{"TOLVEK v. w 3.1"});
                QCOMPARE(r->rules[page].size(), size_t(2));
            }
        }
    }

    void aStudyFromAFileWithManyLevelsStaysOnThePage()
    {
        std::vector<std::string> counts(20, "1"), x, y;
        for (int i = 1; i <= 20; ++i) {
            x.push_back(std::to_string(i));
            y.push_back(std::to_string(i));
        }
        const Rendered r = drawn(PrintedReport::GeneralInformation, named(makeStudy(counts, x, y)));
        QCOMPARE(textsOnLine(r, 0, 20).size(), 11);
        QCOMPARE(textsOnLine(r, 0, 22).size(), 11);
        QCOMPARE(textsOnLine(r, 0, 23).last(), QStringLiteral("1"));
        expectNoOverlap(r);
    }

    void theLayoutIsTheSameInInchesAtAnyResolution()
    {
        const stats::StudyData study = fullStudy();
        for (PrintedReport report : {PrintedReport::GeneralInformation, PrintedReport::InferenceAndAnova,
                                     PrintedReport::ErrorAndResiduals}) {
            const Rendered at600 = drawn(report, study, 600);
            const Rendered at1200 = drawn(report, study, 1200);
            QCOMPARE(at600.pages[0].size(), at1200.pages[0].size());
            for (size_t i = 0; i < at600.pages[0].size(); ++i) {
                const Seen &a = at600.pages[0][i], &b = at1200.pages[0][i];
                QCOMPARE(a.text, b.text);
                QVERIFY2(std::abs(a.line - b.line) < 0.01 && std::abs(a.column - b.column) < 0.01 &&
                             std::abs(a.end - b.end) < 0.01,
                         qPrintable(a.text));
            }
            QCOMPARE(at600.rules, at1200.rules);
            // A coarse printer on Letter paper keeps it all on the page too.
            expectNoOverlap(drawn(report, study, 300, kLetterPrintable));
        }
    }

    void refusedStudiesPrintNothing()
    {
        stats::StudyData incomplete = testing_studies::anovaStudy();
        incomplete.dataGrid[3][2] = "";
        const stats::StudyData flat = makeStudy({"1", "1", "1"}, {"1", "2", "3"}, {"5", "5", "5"});
        for (PrintedReport report : {PrintedReport::InferenceAndAnova, PrintedReport::ErrorAndResiduals}) {
            stats::SharedResults records;
            render::PreparedReport p = render::PrepareReport(report, incomplete, records, '.');
            QVERIFY(p.validation.failed && p.pages.empty());
            QCOMPARE(QString::fromStdString(p.validation.message), QStringLiteral("Falta el dato 3 de la cantidad recuperada"));
            p = render::PrepareReport(report, flat, records, '.');
            QVERIFY(p.zeroSlope && !p.validation.failed && p.pages.empty());
        }
    }
};

QTEST_MAIN(PrintedReportsTest)
#include "printedreports_test.moc"
