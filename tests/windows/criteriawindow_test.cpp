// The acceptance criteria window shows what the engine computed, cell for
// cell; a T typed computes again and a wrong one is refused; the limits
// dialog validates, stores its limits in the user's settings and reads back
// defaults for anything a hand-edited file spoiled.
#include "stats/outcomes.h"
#include "stats/criteriatexts.h"
#include "stats/studyfile.h"
#include "support/editortesting.h"
#include "support/scripteddialogs.h"
#include "support/tablerows.h"
#include "windows/acceptancelimitsdialog.h"
#include "windows/criteriawindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const stats::StudyData kStudy =
    stats::StudyFromFile(stats::ParseStudyFile(stats::ReadFileBytes(TEST_DATA_DIR "/worked-25obs.w04")));

stats::CriteriaResult computed(const stats::Target &target, const stats::AcceptanceLimits &limits = {})
{
    return *stats::Analyze(kStudy, {.criteria = {target, limits}}).criteria().value;
}

// Everything the window shows against the engine's texts for `criteria`.
void expectShows(const CriteriaWindow &window, const stats::CriteriaResult &criteria)
{
    QStringList figures;
    for (const std::string &line : stats::CriteriaFigureLines(criteria, "mg", '.'))
        figures << QString::fromStdString(line);
    QCOMPARE(windows::TextLines(window.figures()), figures);
    QCOMPARE(shownRows(window.checks()), coreRows(stats::CheckCells(criteria, '.')));
    QCOMPARE(window.verdict()->text(), QString::fromStdString(stats::VerdictLine(criteria)));
    QCOMPARE(shownRows(window.backCalculation()), coreRows(stats::BackCalculationCells(criteria, '.')));
    QCOMPARE(shownRows(window.levelBias()), coreRows(stats::LevelBiasCells(criteria, '.')));
}

} // namespace

class CriteriaWindowTest : public QObject {
    Q_OBJECT

    QTemporaryDir settingsDir;
    ScriptedDialogs dialogs;

    QString settingsFile()
    {
        return QSettings(QSettings::IniFormat, QSettings::UserScope, QCoreApplication::organizationName(),
                         QCoreApplication::applicationName())
            .fileName();
    }

private slots:
    void initTestCase()
    {
        QCoreApplication::setOrganizationName(QStringLiteral("Ostrevia"));
        QCoreApplication::setApplicationName(QStringLiteral("linealidad-test"));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    }
    void init()
    {
        QFile::remove(settingsFile());
        dialogs = ScriptedDialogs();
    }

    void showsTheEnginesFiguresChecksAndTablesAndATypedT()
    {
        const stats::CriteriaResult first = computed({});
        QCOMPARE(first.backCalculated.size(), size_t(25)); // every observation, not a screenful
        CriteriaWindow window(kStudy, first, '.', dialogs);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        expectShows(window, first);

        window.target()->setFocus();
        user::type(QStringLiteral("12"));
        user::key(Qt::Key_Return);
        QVERIFY(window.criteria().targetGiven);
        expectShows(window, computed(stats::Rational(12)));

        // Refused, whatever is wrong: the last good T stays, in the field too.
        for (const QString &wrong : {QStringLiteral("abc"), QStringLiteral("-1"), QStringLiteral("0")}) {
            user::retype(wrong);
            user::key(Qt::Key_Return);
            QCOMPARE(dialogs.messages, QStringList{"La cantidad al 100 % debe ser un número mayor que cero."});
            dialogs.messages.clear();
            QCOMPARE(window.target()->text(), QStringLiteral("12"));
            QVERIFY(window.target()->hasFocus());
            expectShows(window, computed(stats::Rational(12)));
        }
        // Emptied and left: the mean of the levels again.
        user::retype(QString());
        window.limitsButton()->setFocus();
        expectShows(window, first);
        QVERIFY(dialogs.messages.isEmpty() && dialogs.errors.isEmpty());
    }

    void limitsDialogValidatesStoresAndRecomputesTheOpenWindows()
    {
        CriteriaWindow window(kStudy, computed({}), '.', dialogs);
        QList<QStringList> seen;
        auto field = [](QDialog &d, const char *key) { return d.findChild<QLineEdit *>(QLatin1String(key)); };
        auto press = [](QDialog &d, const char *name) { d.findChild<QPushButton *>(QLatin1String(name))->click(); };
        double storedWhileRefused = 0;
        QString focusWhileRefused;
        dialogs.onModal = [&](QDialog &d) {
            QStringList texts;
            for (const stats::LimitField &f : stats::LimitFields())
                texts << field(d, f.key)->text();
            seen << texts;
            field(d, "minR")->setText(QStringLiteral("0.99987654"));
            field(d, "maxLevelBias")->setText(QStringLiteral("1e999"));
            press(d, "btnaceptar");
            storedWhileRefused = windows::StoredAcceptanceLimits().minR;
            focusWhileRefused = d.focusWidget() ? d.focusWidget()->objectName() : QString();
            field(d, "maxLevelBias")->setText(QStringLiteral("1.5"));
            press(d, "btnaceptar");
            return d.result();
        };
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        // A T typed in the window stays through the new limits.
        window.target()->setFocus();
        user::type(QStringLiteral("12"));
        user::key(Qt::Key_Return);
        window.editLimits();
        QCOMPARE(seen.value(0), (QStringList{"5", "80", "120", "0.995", "2", "2", "2", "0.05", "0.01"}));
        QCOMPARE(dialogs.messages, QStringList{"El límite «Sesgo máximo de un nivel (%)» debe ser un número."});
        QCOMPARE(focusWhileRefused, QStringLiteral("maxLevelBias"));
        QCOMPARE(storedWhileRefused, 0.995); // nothing stored
        stats::AcceptanceLimits stored;
        stored.minR = 0.99987654;
        stored.maxLevelBias = 1.5;
        QCOMPARE(windows::StoredAcceptanceLimits().minR, 0.99987654);
        expectShows(window, computed(stats::Rational(12), stored));

        // Shown again as stored, every digit; the defaults button and Cancelar change nothing stored.
        dialogs.onModal = [&](QDialog &d) {
            seen << QStringList{field(d, "minR")->text()};
            press(d, "btnomision");
            seen << QStringList{field(d, "minR")->text()};
            press(d, "btncancelar");
            return d.result();
        };
        window.editLimits();
        QCOMPARE(seen.mid(1), (QList<QStringList>{{"0.99987654"}, {"0.995"}}));
        QCOMPARE(windows::StoredAcceptanceLimits().maxLevelBias, 1.5);
    }

    // A limit that means nothing is refused by name, the dialog stays open
    // with the focus on it, and nothing is stored.
    void limitsDialogRefusesMeaninglessLimits()
    {
        const struct {
            const char *key, *text, *message;
        } cases[] = {
            {"minLevels", "2.5", "El límite «Número mínimo de niveles» debe ser un número entero de 1 a 25."},
            {"minR", "-5", "El límite «Coeficiente de correlación r mínimo» debe ser un número de 0 a 1."},
            {"minMandelP", "1.5", "El límite «P mínima de la prueba de Mandel» debe ser un número de 0 a 1."},
            {"rangeLowPercent", "101", "El límite «Nivel más bajo, como máximo (% de T)» debe ser un porcentaje de 0 a 100."},
            {"maxInterceptPercent", "0", "El límite «Ordenada al origen máxima (% de la respuesta al 100 %)» debe ser un número mayor que 0."},
        };
        for (const auto &c : cases) {
            dialogs.clear();
            AcceptanceLimitsDialog dialog(dialogs, '.');
            dialog.show();
            QVERIFY(QTest::qWaitForWindowActive(&dialog));
            dialog.findChild<QLineEdit *>(QLatin1String(c.key))->setText(QString::fromUtf8(c.text));
            dialog.findChild<QPushButton *>("btnaceptar")->click();
            QVERIFY2(dialog.isVisible() && dialog.result() == QDialog::Rejected, c.key);
            QCOMPARE(dialogs.messages, QStringList{QString::fromUtf8(c.message)});
            QCOMPARE(dialog.focusWidget()->objectName(), QLatin1String(c.key));
            QVERIFY2(!QFile::exists(settingsFile()), c.key); // nothing stored
        }
    }

    void aSpoiledSettingsFileReadsAsTheDefaults()
    {
        QFile file(settingsFile());
        QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
        file.write("[criteria]\nminR=abc\nmaxLevelBias=nan\nmaxInterceptPercent=inf\nminLevels=3\nminMandelP=\n"
                   "minLackOfFitP=1.5\nrangeLowPercent=-10\nrangeHighPercent=90\nmaxResponseFactorRsd=0\n");
        file.close();
        const stats::AcceptanceLimits limits = windows::StoredAcceptanceLimits();
        QCOMPARE(limits.minLevels, 3.0);
        // Meaningless limits read as their defaults too.
        QCOMPARE(limits.minLackOfFitP, 0.05);
        QCOMPARE(limits.rangeLowPercent, 80.0);
        QCOMPARE(limits.rangeHighPercent, 120.0);
        QCOMPARE(limits.maxResponseFactorRsd, 2.0);
        QSettings spoiled(settingsFile(), QSettings::IniFormat);
        spoiled.setValue("criteria/minLevels", 2.5);
        spoiled.sync();
        QCOMPARE(windows::StoredAcceptanceLimits().minLevels, 5.0);
        QCOMPARE(limits.minR, 0.995);
        QCOMPARE(limits.maxLevelBias, 2.0);
        QCOMPARE(limits.maxInterceptPercent, 2.0);
        QCOMPARE(limits.minMandelP, 0.01);
    }

    // Settings that cannot be written are told, and the dialog stays open.
    void limitsThatCannotBeStoredAreTold()
    {
        QFile blocker(settingsDir.filePath(QStringLiteral("blocker")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, blocker.fileName());
        AcceptanceLimitsDialog dialog(dialogs, '.');
        dialog.accept();
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
        QVERIFY(dialogs.messages.value(0).startsWith("No se pudieron guardar los límites de aceptación en «"));
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(CriteriaWindowTest)
#include "criteriawindow_test.moc"
