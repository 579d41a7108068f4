// Both graph windows as the user meets them: window and menu, the build
// from a study, the options round trip through the shared dialog, closing,
// and the printed page.
#include "windows/graphoptionsdialog.h"
#include "windows/regressiongraphwindow.h"
#include "windows/residualgraphwindow.h"
#include "support/scripteddialogs.h"
#include "support/studies.h"
#include "support/goldenimages.h"
#include "support/processrun.h"
#include "stats/studyfile.h"
#include "stats/errors.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

// One graph window of either kind with its own dialogs.
struct Graph {
    GraphOptionsDialog options;
    ScriptedDialogs dialogs;
    std::unique_ptr<PlotWindow> form;
    explicit Graph(bool residuals = false)
    {
        if (residuals)
            form = std::make_unique<ResidualGraphWindow>(options, dialogs);
        else
            form = std::make_unique<RegressionGraphWindow>(options, dialogs);
    }
    // The worked study file of its kind built into the window as the frame
    // does after Open (the file's titles go to the regression graph), then
    // the window shown.
    void buildAndShow()
    {
        const bool regression = form->graph() == render::Graph::Regression;
        const stats::StudyFile file = stats::ParseStudyFile(stats::ReadFileBytes(
            regression ? TEST_DATA_DIR "/worked-inference.w04" : TEST_DATA_DIR "/worked-anova.w04"));
        if (form->engine().kind().takesFileTitles) {
            form->SetTitle(QString::fromStdString(file.title));
            form->SetXLabel(QString::fromStdString(file.xLabel));
            form->SetYLabel(QString::fromStdString(file.yLabel));
        }
        const stats::StudyData study = stats::StudyFromFile(file);
        QVERIFY(form->build(render::ComputeGraph(form->graph(), stats::Analyze(study, {})), study));
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
};

// While the options dialog is shown: type into its fields, then press a key.
void answerDialog(ScriptedDialogs &dialogs, QList<std::pair<const char *, QString>> texts, int reference, Qt::Key key)
{
    dialogs.onModal = [texts, reference, key](QDialog &shown) {
        auto &dialog = static_cast<GraphOptionsDialog &>(shown);
        for (const auto &[field, text] : texts) {
            auto *edit = dialog.findChild<QLineEdit *>(field);
            edit->selectAll();
            QTest::keyClicks(edit, text);
        }
        dialog.setReferenceIndex(reference);
        QTest::keyClick(dialog.findChild<QLineEdit *>("TitleEdit"), key);
        return dialog.result();
    };
}

QString tool(const QString &name) { return QStandardPaths::findExecutable(name); }

} // namespace

class GraphWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void windowAndMenuAreThoseOfEachGraph()
    {
        const QStringList regressionMenu = {"&Opciones", "&Imprimir", "Curva cua&drática", "-", "&Cerrar"};
        const QStringList residualMenu = {"&Opciones", "&Imprimir", "-", "&Cerrar"};
        for (const auto &[residuals, caption, suffix, menu] :
             {std::tuple(false, "Grafica", "", regressionMenu), std::tuple(true, "Gráfica (Residuales)", "1", residualMenu)}) {
            Graph g(residuals);
            PlotWindow &form = *g.form;
            QCOMPARE(form.windowTitle(), QString::fromUtf8(caption));
            QCOMPARE(form.size(), QSize(491, 315));
            QStringList shown;
            for (QAction *action : form.popupMenu()->actions())
                if (action->isVisible())
                    shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
            QCOMPARE(shown, menu);
            QVERIFY(!form.popupMenu()->findChild<QAction *>(QStringLiteral("Recalc") + suffix)->isEnabled());
            QVERIFY(!form.isVisible()); // nothing shows it until a graph is built
        }
    }

    // The quadratic model's curve is an option of the regression graph's
    // pop-up, off at first: the graph is the line's until it is asked for,
    // and as it was once it is taken away.
    void quadraticCurveIsAnOptionOffByDefault()
    {
        Graph g;
        g.buildAndShow();
        PlotWindow &form = *g.form;
        QAction *curve = form.popupMenu()->findChild<QAction *>(QStringLiteral("Cuadratica"));
        QVERIFY(curve && curve->isCheckable() && !curve->isChecked());
        auto curveLines = [&form] {
            const render::GraphLayout laid = form.engine().Layout(*form.plotterBox(), form.plotterBox()->rect(), false);
            return std::count_if(laid.lines.begin(), laid.lines.end(),
                                 [](const render::LaidLine &l) { return l.kind == render::LineKind::Curve; });
        };
        const auto lineOnly = curveLines();
        QVERIFY(form.state().curves[2].points.empty());
        curve->trigger();
        QVERIFY(form.showsQuadratic());
        // 65 points from the lowest amount to the highest, on c0 + c1·x + c2·x².
        const std::vector<PlotPoint> &points = form.state().curves[2].points;
        QCOMPARE(points.size(), size_t(65));
        QCOMPARE(points.front().x, 80.0);
        QCOMPARE(points.back().x, 120.0);
        QVERIFY(curveLines() > lineOnly + 32);
        curve->trigger();
        QCOMPARE(curveLines(), lineOnly);
        QVERIFY(form.state().curves[2].points.empty());
    }

    void closingResetsTheGraphAndKeepsItsTitles()
    {
        Graph g;
        PlotWindow &form = *g.form;
        g.buildAndShow();
        form.SetTitle(QStringLiteral("Valoración de ácido acético"));
        form.SetXLabel(QStringLiteral("mg adicionados"));
        form.SetYLabel(QStringLiteral("mg recuperados"));
        form.state().gridStyle = GridStyle::Strong;
        QCOMPARE(form.state().curves[0].pointCount(), 9);

        bool closedSignal = false;
        connect(&form, &PlotWindow::closed, [&closedSignal] { closedSignal = true; });
        form.popupMenu()->findChild<QAction *>("Crr")->trigger();
        QVERIFY(!form.isVisible() && closedSignal);
        QCOMPARE(form.state().gridStyle, GridStyle::None);
        QCOMPARE(form.state().curves[0].pointCount(), 0);
        QVERIFY(!form.state().limitsComputed);
        QCOMPARE(form.engine().RequestedLimits(), PlotLimits{});
        QCOMPARE(form.title(), QStringLiteral("Valoración de ácido acético"));
        QCOMPARE(form.xLabel(), QStringLiteral("mg adicionados"));
        QCOMPARE(form.yLabel(), QStringLiteral("mg recuperados"));
        QVERIFY(g.options.titleText().isEmpty()); // the dialog is filled only by Opciones
    }

    void aStudyTheAxesCannotShowIsRefused()
    {
        Graph g;
        g.form->SetTitle(QStringLiteral("antes"));
        const stats::StudyData study = testing_studies::makeStudy(
            {"1", "1", "1"}, {"1E30", "1E30", "1E30"}, {"1E30", "1E30", "1E30"});
        stats::CommandOutcome outcome;
        outcome.graph = {{1e30, 1e30, 1e30}, {1e30, 1e30, 1e30}, {1e30, 1e30, 1e30}};
        QVERIFY(!g.form->build(outcome, study));
        QCOMPARE(g.dialogs.messages, QStringList{QString::fromUtf8(render::kPointsNotDrawable)});
        QCOMPARE(g.form->state().curves[0].pointCount(), 0);
    }

    void optionsAreFilledFromTheGraph()
    {
        Graph g;
        PlotWindow &form = *g.form;
        form.SetTitle(QStringLiteral("Lote 12"));
        form.SetYLabel(QStringLiteral("Recuperado"));
        form.state().requestedLimits = {76, 124, -0.0000123, 0.000001}; // shown widened
        form.state().limitsComputed = true;
        form.state().gridStyle = GridStyle::Medium;
        form.fillOptions();
        QCOMPARE(g.options.titleText(), QStringLiteral("Lote 12"));
        QCOMPARE(g.options.xLabelText(), QString());
        QCOMPARE(g.options.yLabelText(), QStringLiteral("Recuperado"));
        QCOMPARE(g.options.xMinText(), QStringLiteral("75"));
        QCOMPARE(g.options.xMaxText(), QStringLiteral("125"));
        QCOMPARE(g.options.yMinText(), QStringLiteral("-1.5E-5"));
        QCOMPARE(g.options.yMaxText(), QStringLiteral("5E-6"));
        QCOMPARE(g.options.referenceIndex(), 2);
    }

    void okAppliesTheOptionsAndRepaints()
    {
        Graph g;
        PlotWindow &form = *g.form;
        g.buildAndShow();
        QCOMPARE(form.engine().ScreenLimits(), (PlotLimits{80, 120, 75, 125}));
        answerDialog(g.dialogs, {{"TitleEdit", "Lote 8"}, {"XLblEdit", "mg"}, {"XMinEdit", "70"}, {"YMaxEdit", "1.5E2"}},
                     3, Qt::Key_Return);
        form.showOptions();
        QVERIFY(g.dialogs.errors.isEmpty() && g.dialogs.messages.isEmpty());
        QCOMPARE(form.title(), QStringLiteral("Lote 8"));
        QCOMPARE(form.xLabel(), QStringLiteral("mg"));
        QCOMPARE(form.state().requestedLimits, (PlotLimits{70, 120, 75, 150}));
        QCOMPARE(form.state().gridStyle, GridStyle::Strong);
        // The typed limits widened like computed ones.
        QCOMPARE(form.engine().ScreenLimits(), (PlotLimits{70, 120, 70, 150}));
    }

    // Cancel, or a limit the graph cannot take: nothing of the graph changes;
    // the dialog keeps what was typed, for Save to store.
    void cancelOrABadLimitChangesNothing()
    {
        const struct {
            const char *field;
            QString text, error, message; // an empty field: the dialog cancelled
        } cases[] = {
            {"", "", "", ""},
            {"YMinEdit", "7O", "'7O' is not a valid floating point value.", ""},
            {"YMaxEdit", "1,5,0", "'1,5,0' is not a valid floating point value.", ""}, // the last one checked
            {"XMinEdit", "1E30", "", QString::fromUtf8(render::kLimitsNotDrawable)},  // beyond the tick quotient
        };
        for (const auto &c : cases) {
            Graph g;
            PlotWindow &form = *g.form;
            form.SetTitle(QStringLiteral("Antes"));
            form.state().requestedLimits = {1, 2, 3, 4};
            QList<std::pair<const char *, QString>> typed = {{"TitleEdit", "Nuevo"}, {"XLblEdit", "mg"}};
            if (std::string_view(c.field) == "XMinEdit") // the maximum as large
                typed << std::pair{"XMaxEdit", c.text};
            if (*c.field)
                typed << std::pair{c.field, c.text};
            answerDialog(g.dialogs, typed, 3, *c.field ? Qt::Key_Return : Qt::Key_Escape);
            form.showOptions();
            QCOMPARE(g.dialogs.errors, c.error.isEmpty() ? QStringList() : QStringList{c.error});
            QCOMPARE(g.dialogs.messages, c.message.isEmpty() ? QStringList() : QStringList{c.message});
            QCOMPARE(form.title(), QStringLiteral("Antes"));
            QCOMPARE(form.xLabel(), QString());
            QCOMPARE(form.state().requestedLimits, (PlotLimits{1, 2, 3, 4}));
            QCOMPARE(form.state().gridStyle, GridStyle::None);
            // Nothing the graph did not take stays in the dialog for Save to read.
            QCOMPARE(g.options.titleText(), QStringLiteral("Antes"));
            QCOMPARE(g.options.xLabelText(), QString());
        }
    }

    void theWindowShowsWhatTheExportDraws()
    {
        for (const bool residuals : {false, true}) {
            Graph g(residuals);
            g.buildAndShow();
            QCOMPARE(g.form->plotterBox()->size(), QSize(491, 315));
            const QImage shown = g.form->plotterBox()->grab().toImage();
            double share = 1;
            QVERIFY2(matchesGolden(shown, residuals ? "graph-residuals" : "graph-regression", &share),
                     qPrintable(QString::number(share)));
        }
    }

    // Printing gives one landscape page, whatever a dialog turned it to, with
    // the limits widened once more: the PDF the export writes. A cancelled
    // dialog prints nothing and changes nothing.
    void thePrintedPageIsThePdfTheExportWrites()
    {
        if (tool("pdftoppm").isEmpty())
            QSKIP("poppler-utils not installed");
        QTemporaryDir dir;
        Graph g;
        g.buildAndShow();
        const PlotLimits shown = g.form->engine().ScreenLimits();
        g.dialogs.printFiles.enqueue(QString());
        g.form->popupMenu()->findChild<QAction *>("Imprime")->trigger();
        QCOMPARE(g.dialogs.printDialogs, 1);
        g.form->printer()->setPageOrientation(QPageLayout::Portrait);

        const QString printed = dir.filePath("printed.pdf"), exported = dir.filePath("exported.pdf");
        const std::string study = TEST_DATA_DIR "/worked-inference.w04"; // both name it alike
        g.form->setStudyOrigin([&] { return cli::StudySource::ofFile(study, stats::ReadFileBytes(study)); });
        g.dialogs.printFiles.enqueue(printed);
        g.form->printGraph();
        QVERIFY(g.dialogs.errors.isEmpty());
        QCOMPARE(g.form->engine().ScreenLimits(), shown); // the page widened its own copy
        const ProcessRun r = runLinealidad({"--graph", "regression", TEST_DATA_DIR "/worked-inference.w04", "--output", exported});
        QCOMPARE(r.status, 0);
        toolOutput("pdftoppm", {"-png", "-r", "50", printed, dir.filePath("printed")});
        toolOutput("pdftoppm", {"-png", "-r", "50", exported, dir.filePath("exported")});
        const QImage a(dir.filePath("printed-1.png")), b(dir.filePath("exported-1.png"));
        QVERIFY(!a.isNull() && a.width() > a.height());
        QVERIFY(!QFile::exists(dir.filePath("printed-2.png")));
        QVERIFY2(clearlyDifferingShare(a, b) <= 0.001, qPrintable(QString::number(clearlyDifferingShare(a, b))));
    }

    // Under a real window manager (tests/tools/dialogstacking.sh runs this
    // under Xvfb with openbox): the options dialog and a message box of a
    // maximised graph window come up above it.
    void dialogsComeUpAboveTheMaximisedGraph()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb") || tool("xprop").isEmpty() ||
            qEnvironmentVariableIsEmpty("LINEALIDAD_WINDOW_MANAGER"))
            QSKIP("needs an X display with a window manager (tests/tools/dialogstacking.sh)");
        // As in the application: the dialog belongs to the frame, the graph
        // is modal and the dialog runs its own modal loop.
        QWidget frame;
        frame.resize(800, 600);
        frame.show();
        GraphOptionsDialog options(&frame);
        QtUserDialogs dialogs;
        RegressionGraphWindow form(options, dialogs, &frame);
        const stats::StudyData study = testing_studies::inferenceStudy();
        QVERIFY(form.build(render::ComputeGraph(form.graph(), stats::Analyze(study, {})), study));
        form.setWindowModality(Qt::ApplicationModal);
        form.showMaximized();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::qWait(500);
        auto above = [&form](QWidget &dialog) {
            QList<qulonglong> ids; // bottom to top
            const QString text = toolOutput("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"});
            for (const QRegularExpressionMatch &m : QRegularExpression("0x[0-9a-f]+").globalMatch(text))
                ids << m.captured().toULongLong(nullptr, 16);
            const qsizetype graph = ids.indexOf(form.winId()), shown = ids.indexOf(dialog.winId());
            qInfo() << "stacking, bottom to top:" << ids << "graph" << form.winId() << "dialog" << dialog.winId();
            return graph >= 0 && shown > graph;
        };
        bool optionsAbove = false, boxAbove = false;
        QTimer::singleShot(800, &options, [&] {
            optionsAbove = above(options);
            options.reject();
        });
        form.showOptions();
        QVERIFY(optionsAbove);
        QCOMPARE(options.parentWidget(), &frame); // given back to its owner
        QMessageBox box(QMessageBox::NoIcon, kApplicationTitle, QStringLiteral("Mensaje"), QMessageBox::Ok, &form);
        QTimer::singleShot(800, &box, [&] {
            boxAbove = above(box);
            box.reject();
        });
        box.exec();
        QVERIFY(boxAbove);
    }
};

QTEST_MAIN(GraphWindowsTest)
#include "graphwindows_test.moc"
