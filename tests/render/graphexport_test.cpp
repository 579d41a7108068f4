// linealidad --graph, run as a laboratory system runs it: the real program
// with no display at all, the file it writes, its messages and exit status.
#include "support/goldenimages.h"
#include "support/processrun.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kRegressionStudy = QStringLiteral(TEST_DATA_DIR "/worked-inference.w04");
const QString kResidualStudy = QStringLiteral(TEST_DATA_DIR "/worked-anova.w04");

} // namespace

class GraphExportTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void pngOfBothWorkedGraphsMatchesTheReviewedImages()
    {
        for (const auto &[graph, study] : {std::pair(QStringLiteral("regression"), kRegressionStudy),
                                           std::pair(QStringLiteral("residuals"), kResidualStudy)}) {
            const QString out = dir.filePath(graph + ".png");
            const ProcessRun r = runLinealidad({"--graph", graph, study, "--output", out});
            QCOMPARE(r.status, 0);
            QCOMPARE(QString::fromStdString(r.err), QString()); // nothing of Qt's own on standard error
            QCOMPARE(QString::fromStdString(r.out), QString());
            const QImage image(out);
            QCOMPARE(image.size(), QSize(491, 315));
            double share = 1;
            QVERIFY2(matchesGolden(image, "graph-" + graph, &share), qPrintable(QString::number(share)));
            // Nothing but the output is left beside it.
            QCOMPARE(QDir(dir.path()).entryList({graph + ".png*"}, QDir::Files), QStringList{graph + ".png"});
        }
    }

    // The extension, in either case, says the format.
    void sizeSetsTheDrawingSurface()
    {
        const QString out = dir.filePath("grande.PNG"), svg = dir.filePath("grande.SVG");
        const ProcessRun r = runLinealidad({"--graph", "residuals", kResidualStudy, "--size", "982x630", "--output", out});
        QCOMPARE(r.status, 0);
        QCOMPARE(QImage(out).size(), QSize(982, 630));
        QCOMPARE(runLinealidad({"--graph", "residuals", kResidualStudy, "--size", "982x630", "--output", svg}).status, 0);
        QVERIFY(QByteArray::fromStdString(fileBytes(svg)).startsWith("<?xml"));
    }

    void pdfIsTheLandscapePageThePrintCommandPrints()
    {
        const QString out = dir.filePath("grafica.pdf");
        const ProcessRun r = runLinealidad({"--graph", "regression", kRegressionStudy, "--output", out});
        QCOMPARE(r.status, 0);
        QCOMPARE(QString::fromStdString(r.err), QString());
        QVERIFY(QByteArray::fromStdString(fileBytes(out)).startsWith("%PDF"));
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler-utils not installed: the page itself is not read back");
        const QString info = toolOutput("pdfinfo", {out});
        QVERIFY2(info.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(info));
        // LC_ALL=C.UTF-8 gives A4, in landscape.
        QVERIFY2(info.contains(QRegularExpression("Page size:\\s+842 x 595 pts \\(A4\\)")), qPrintable(info));
        const QString text = toolOutput("pdftotext", {"-layout", out, "-"});
        for (const char *expected : {"Linealidad del Método", "Lote 7", "Y = 1.00667(X) + (-0.544444)", "Revisó"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), expected);
    }

    void badCommandLinesWriteNothing()
    {
        const QString out = dir.filePath("bad.png");
        QList<std::pair<QStringList, QString>> cases = {
            {{"--graph"}, "Falta la gráfica (regression, residuals o profile)."},
            {{"--graph", "regression"}, "Falta el archivo del estudio."},
            {{"--graph", "pastel", kRegressionStudy, "--output", out}, "La gráfica es regression, residuals o profile: pastel"},
            {{"--graph", "regression", kRegressionStudy}, "Falta --output SALIDA."},
            {{"--graph", "regression", kRegressionStudy, "--output", "x.jpg"},
             "El archivo de salida debe terminar en .png, .svg o .pdf: x.jpg"},
            {{"--graph", "regression", kRegressionStudy, "--output", out, "--dpi", "3"}, "Opción desconocida: --dpi"},
        };
        // One spelling of a size: what --help shows.
        for (const char *size : {"0x10", "491", "abcx10", "5001x10", "-5x10", "300X200", "0300x0200", "300x0200", "+300x200"})
            cases.append({{"--graph", "regression", kRegressionStudy, "--size", size, "--output", out},
                          QString("Tamaño no válido (ANCHOxALTO, de 1 a 5000 píxeles por lado, sin ceros a la "
                                  "izquierda, con x minúscula): ") + size});
        for (const auto &[args, reason] : cases) {
            const ProcessRun r = runLinealidad(args);
            QCOMPARE(r.status, 64);
            const QString err = QString::fromStdString(r.err);
            QVERIFY2(err.startsWith(reason + "\n\nUso: linealidad"), qPrintable(err));
            QVERIFY(!QFile::exists(out));
        }
    }
};

QTEST_MAIN(GraphExportTest)
#include "graphexport_test.moc"
