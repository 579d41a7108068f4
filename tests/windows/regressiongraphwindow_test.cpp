#include "windows/graphoptionsdialog.h"
#include "windows/regressiongraphwindow.h"
#include "support/scripteddialogs.h"
#include "stats/errors.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

class PlotFormTest : public QObject {
    Q_OBJECT

    // While the options dialog is modal: type into its fields, then press a key.
    static void answerDialog(GraphOptionsDialog &dialog, QList<std::pair<const char *, QString>> texts, int reference,
                             Qt::Key key)
    {
        QTimer::singleShot(0, &dialog, [&dialog, texts, reference, key] {
            for (const auto &[field, text] : texts) {
                auto *edit = dialog.findChild<QLineEdit *>(field);
                edit->selectAll();
                QTest::keyClicks(edit, text);
            }
            dialog.setReferenceIndex(reference);
            QTest::keyClick(dialog.findChild<QLineEdit *>("TitleEdit"), key);
        });
    }

private slots:
    void titlesAreSetAndSurviveAReset()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        QVERIFY(form.title().isEmpty() && form.xLabel().isEmpty() && form.yLabel().isEmpty());
        form.SetTitle(QStringLiteral("Valoración de ácido acético"));
        form.SetXLabel(QStringLiteral("mg adicionados"));
        form.SetYLabel(QStringLiteral("mg recuperados"));
        form.state().gridStyle = GridStyle::Strong;
        form.state().limitsComputed = true;
        form.state().curves[0].points.resize(3);

        form.show();
        form.popupMenu()->findChild<QAction *>("Crr")->trigger(); // closing resets the graph
        QVERIFY(!form.isVisible());
        QCOMPARE(form.state().gridStyle, GridStyle::None);
        QCOMPARE(form.state().curves[0].pointCount(), 0);
        QVERIFY(!form.state().limitsComputed);
        QCOMPARE(form.state().axisLimits.xMin, 1.0E30);
        QCOMPARE(form.title(), QStringLiteral("Valoración de ácido acético"));
        QCOMPARE(form.xLabel(), QStringLiteral("mg adicionados"));
        QCOMPARE(form.yLabel(), QStringLiteral("mg recuperados"));
        // Opening a file sets the graph, not the dialog.
        QVERIFY(options.titleText().isEmpty());
    }

    void optionsAreFilledFromTheGraph()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        form.SetTitle(QStringLiteral("Lote 12"));
        form.SetYLabel(QStringLiteral("Recuperado"));
        form.state().axisLimits = {75, 125, 1.0 / 3.0, -0.000012345};
        form.state().requestedLimits = {1, 2, 3, 4}; // not what is shown
        form.state().gridStyle = GridStyle::Medium;
        form.fillOptions();
        QCOMPARE(options.titleText(), QStringLiteral("Lote 12"));
        QCOMPARE(options.xLabelText(), QString());
        QCOMPARE(options.yLabelText(), QStringLiteral("Recuperado"));
        QCOMPARE(options.xMinText(), QStringLiteral("75"));
        QCOMPARE(options.xMaxText(), QStringLiteral("125"));
        QCOMPARE(options.yMinText(), QStringLiteral("0.333333333333333"));
        QCOMPARE(options.yMaxText(), QStringLiteral("-1.2345E-5"));
        QCOMPARE(options.referenceIndex(), 2);
        QVERIFY(!options.histogram() && !options.logX() && !options.logY());
    }

    void okTakesTheValuesBack()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        form.state().axisLimits = {80, 120, 75, 125};
        answerDialog(options,
                     {{"TitleEdit", "Lote 7"}, {"XLblEdit", "mg"}, {"XMinEdit", "70"}, {"YMaxEdit", "1.5E2"}}, 3,
                     Qt::Key_Return);
        form.OpcClick();
        QVERIFY(dialogs.errors.isEmpty());
        QCOMPARE(form.title(), QStringLiteral("Lote 7"));
        QCOMPARE(form.xLabel(), QStringLiteral("mg"));
        const PlotLimits &typed = form.state().requestedLimits;
        QCOMPARE(typed.xMin, 70.0);
        QCOMPARE(typed.xMax, 120.0);
        QCOMPARE(typed.yMin, 75.0);
        QCOMPARE(typed.yMax, 150.0);
        QCOMPARE(form.state().gridStyle, GridStyle::Strong);
    }

    void cancelChangesNothingInTheGraph()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        form.SetTitle(QStringLiteral("Original"));
        form.state().requestedLimits = {1, 2, 3, 4};
        answerDialog(options, {{"TitleEdit", "Cambiado"}, {"XMinEdit", "0"}}, 2, Qt::Key_Escape);
        form.OpcClick();
        QCOMPARE(form.title(), QStringLiteral("Original"));
        QCOMPARE(form.state().requestedLimits.xMin, 1.0);
        QCOMPARE(form.state().gridStyle, GridStyle::None);
        QCOMPARE(options.titleText(), QStringLiteral("Cambiado")); // what Save would store
    }

    void aLimitThatIsNotANumberStopsThere()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        form.state().axisLimits = {80, 120, 75, 125};
        form.state().requestedLimits = {1, 2, 3, 4};
        // Taken in the order xMin, yMin, xMax, yMax: yMin fails.
        answerDialog(options, {{"TitleEdit", "Nuevo"}, {"XMinEdit", "60"}, {"YMinEdit", "7O"}, {"XMaxEdit", "200"}},
                     1, Qt::Key_Return);
        form.OpcClick();
        QCOMPARE(dialogs.errors, QStringList{QStringLiteral("'7O' is not a valid floating point value.")});
        QCOMPARE(form.title(), QStringLiteral("Nuevo"));
        QCOMPARE(form.state().requestedLimits.xMin, 60.0);
        QCOMPARE(form.state().requestedLimits.yMin, 3.0);
        QCOMPARE(form.state().requestedLimits.xMax, 2.0);
        QCOMPARE(form.state().gridStyle, GridStyle::None);

        options.setLimitTexts(QStringLiteral("1"), QString(), QStringLiteral("2"), QStringLiteral("3"));
        QVERIFY_THROWS_EXCEPTION(stats::ConversionError, form.takeOptions()); // an empty limit
    }

    void windowAndMenuAreThoseOfTheGraph()
    {
        GraphOptionsDialog options;
        ScriptedDialogs dialogs;
        RegressionGraphWindow form(options, dialogs);
        QCOMPARE(form.windowTitle(), QStringLiteral("Grafica"));
        QCOMPARE(form.size(), QSize(491, 315));
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(form.plotterBox()->toolTip(), QStringLiteral("Botón derecho para opciones"));
        QStringList shown;
        for (QAction *action : form.popupMenu()->actions())
            if (action->isVisible())
                shown << (action->isSeparator() ? QStringLiteral("-") : action->text());
        QCOMPARE(shown, (QStringList{"&Opciones", "&Imprimir", "-", "&Cerrar"}));
        QVERIFY(!form.isVisible()); // nothing shows it until a graph is built
    }
};

QTEST_MAIN(PlotFormTest)
#include "regressiongraphwindow_test.moc"
