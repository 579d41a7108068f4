#include "widgets/helpviewer.h"

#include "support/scripteddialogs.h"
#include "widgets/helpcontext.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QScreen>
#include <QtTest>

namespace {

const QString kHelpSourceDir = QStringLiteral(TEST_DATA_DIR "/../../help");

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QString pageText(const HelpViewer &viewer)
{
    return viewer.findChild<QTextBrowser *>("topicBrowser")->toPlainText();
}

} // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void fileFormatIsReadOrRefusedWithTheLine()
    {
        HelpFile file;
        QString why;
        QVERIFY(file.parse("# comentario\r\n\r\n@# Menú\r\n@@ 1 Archivo\r\n<p>uno</p>\r\n@@ 14 Gráfica\r\n<p>dos</p>\r\n",
                           &why));
        QCOMPARE(file.topics().size(), 2);
        QCOMPARE(file.topics()[0].context, 1);
        QCOMPARE(file.topic(14)->title, QStringLiteral("Gráfica"));
        QCOMPARE(file.topic(14)->group, QStringLiteral("Menú"));
        QVERIFY(file.topic(14)->html.contains("<p>dos</p>"));
        QVERIFY(!file.topic(14)->html.contains('\r'));

        const std::pair<QByteArray, QString> refused[] = {
            {"@@ uno Archivo\n", "línea 1: se esperaba «@@ número título»"},
            {"@@ 3\n", "línea 1: se esperaba «@@ número título»"},
            {"@@ 2 A\nx\n@@ 2 B\n", "línea 3: el tema 2 aparece dos veces"},
            {"hola\n@@ 1 A\n", "línea 1: texto fuera de un tema"},
            {"# sólo comentarios\n", "no contiene ningún tema"},
        };
        for (const auto &[bytes, error] : refused) {
            HelpFile broken;
            QVERIFY(!broken.parse(bytes, &why));
            QCOMPARE(why, error);
            QVERIFY(broken.topics().isEmpty());
        }
    }

    void theHelpFileHasATopicForEveryHelpContext()
    {
        QFile in(QDir(kHelpSourceDir).filePath(HelpFile::kFileName));
        QVERIFY(in.open(QIODevice::ReadOnly));
        HelpFile file;
        QString error;
        QVERIFY2(file.parse(in.readAll(), &error), qPrintable(error));
        for (const int context : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13, 14, 15, 16, 19, 20, 30, 31, 32, 33, 1100}) {
            const HelpTopic *topic = file.topic(context);
            QVERIFY2(topic, qPrintable(QString::number(context)));
            QVERIFY(!topic->title.isEmpty() && topic->searchText.size() > 80);
            // Every link leads to a topic of the file.
            static const QRegularExpression link(QStringLiteral("href=\"#(\\d+)\""));
            for (const QRegularExpressionMatch &match : link.globalMatch(topic->html))
                QVERIFY2(file.topic(match.captured(1).toInt()), qPrintable(match.captured(0)));
        }
    }

    void searchFindsAllTheWordsIgnoringCaseAndAccents()
    {
        HelpFile file;
        QVERIFY(file.parse("@@ 13 Análisis de la varianza\n<p>FALTA DE AJUSTE y ERROR PURO; residuos "
                           "Estudentizados</p>\n@@ 14 Gráficas\n<p>Los residuos estudentizados.</p>\n"
                           "@@ 15 Error\n<p>NP = NO PROCEDE</p>\n",
                           nullptr));
        QCOMPARE(file.search("PROCEDE estadistica"), QList<int>{}); // one word missing
        QCOMPARE(file.search("puro falta"), QList<int>{13});        // two words, any order
        QCOMPARE(file.search("estudentizados  residuos"), (QList<int>{13, 14})); // accents ignored
        QCOMPARE(file.search("cromatografía"), QList<int>{});
        QCOMPARE(file.search("   "), QList<int>{});
    }

    void theFileIsFoundBesideTheProgramThenInShare()
    {
        QTemporaryDir root;
        QDir(root.path()).mkpath("bin");
        QDir(root.path()).mkpath("share/linealidad");
        const QStringList places = {root.filePath("bin"), root.filePath("bin/../share/linealidad")};
        QCOMPARE(HelpFile::locate(places), QString());
        writeFile(root.filePath("share/linealidad/AYUDA4.HLP"), {});
        QCOMPARE(HelpFile::locate(places), root.filePath("share/linealidad/AYUDA4.HLP"));
        writeFile(root.filePath("bin/AYUDA4.HLP"), {});
        QCOMPARE(HelpFile::locate(places), root.filePath("bin/AYUDA4.HLP"));

        const QStringList defaults = HelpViewer::defaultSearchDirectories();
        QCOMPARE(defaults.size(), 2);
        QCOMPARE(defaults[0], QCoreApplication::applicationDirPath());
        QVERIFY(defaults[1].endsWith("/share/linealidad"));
    }

    void contextsOpenTheirTopics()
    {
        const std::pair<int, QStringList> topics[] = {
            {11, {"PENDIENTE", "t cal"}},
            {1100, {"Opciones de la gráfica", "Ninguno", "Fuerte"}},
            {9, {"Evaluar un archivo de estudios", "resumen.csv"}},
            {99, {"contexto 99", "Contenido", "Menú Archivo"}}, // no such topic
        };
        for (const auto &[context, phrases] : topics) {
            ScriptedDialogs dialogs;
            HelpViewer viewer(dialogs, {kHelpSourceDir});
            QVERIFY(viewer.showContext(context));
            QVERIFY(viewer.isVisible());
            QVERIFY(dialogs.messages.isEmpty());
            for (const QString &phrase : phrases)
                QVERIFY2(pageText(viewer).contains(phrase), qPrintable(phrase));
        }
    }

    void searchLinksAndBackNavigateAndTheFoundTopicIsHighlightedOnlyWhileOnShow()
    {
        ScriptedDialogs dialogs;
        HelpViewer viewer(dialogs, {kHelpSourceDir});
        QVERIFY(viewer.showSearch());
        auto *edit = viewer.findChild<QLineEdit *>("searchEdit");
        auto *results = viewer.findChild<QListWidget *>("searchResults");
        auto *back = viewer.findChild<QPushButton *>("backButton");
        QTRY_VERIFY(edit->hasFocus() && edit->text().isEmpty());
        auto highlighted = [&] {
            const QList<QListWidgetItem *> items = results->selectedItems();
            return items.isEmpty() ? -1000 : items.first()->data(Qt::UserRole).toInt();
        };
        QTest::keyClicks(edit, "no procede");
        QListWidgetItem *systematic = results->findItems("Evaluación del error sistemático constante", Qt::MatchExactly).value(0);
        QVERIFY(systematic);
        QTest::mouseClick(results->viewport(), Qt::LeftButton, {}, results->visualItemRect(systematic).center());
        QCOMPARE(highlighted(), 15);

        // A link to a topic the search did not find: nothing highlighted; Back: the found one again.
        emit viewer.findChild<QTextBrowser *>("topicBrowser")->anchorClicked(QUrl("#33"));
        QCOMPARE(viewer.currentPage(), 33);
        QCOMPARE(highlighted(), -1000);
        back->click();
        QCOMPARE(viewer.currentPage(), 15);
        QCOMPARE(highlighted(), 15);

        // F1 elsewhere: the topic asked for, without the old search term or its results.
        QVERIFY(viewer.showContext(11));
        QCOMPARE(viewer.currentPage(), 11);
        QVERIFY(edit->text().isEmpty());
        QCOMPARE(results->count(), 0);
        QVERIFY(back->isEnabled()); // still the same visit: Back returns to the found topic
        back->click();
        QCOMPARE(viewer.currentPage(), 15);

        // Closed and opened again: a new visit, nothing to go back to.
        viewer.close();
        QVERIFY(viewer.showContext(13));
        QVERIFY(!back->isEnabled());
        viewer.findChild<QPushButton *>("contentsButton")->click();
        QCOMPARE(viewer.currentPage(), int(HelpViewer::kContentsPage));
        QVERIFY(viewer.showHelpOnHelp());
        QVERIFY(pageText(viewer).contains("Cómo usar la ayuda"));
    }

    void missingOrDamagedFileIsToldNotShown()
    {
        QTemporaryDir empty;
        ScriptedDialogs dialogs;
        HelpViewer viewer(dialogs, {empty.path()});
        QVERIFY(!viewer.showContents());
        QVERIFY(!viewer.showSearch());
        QVERIFY(!viewer.showContext(11));
        QVERIFY(!viewer.isVisible());
        QCOMPARE(dialogs.messages.size(), 3);
        QVERIFY(dialogs.messages[0].startsWith("No se encontró el archivo de ayuda AYUDA4.HLP."));
        QVERIFY(dialogs.messages[0].contains(QDir::toNativeSeparators(empty.path())));

        writeFile(empty.filePath("AYUDA4.HLP"), "@@ once Inferencia\n");
        QVERIFY(!viewer.showContents());
        QVERIFY(dialogs.messages.last().contains("está dañado (línea 1"));

        // Put right, the next request opens it.
        writeFile(empty.filePath("AYUDA4.HLP"), "@@ 11 Inferencia\n<p>Pendiente</p>\n");
        QVERIFY(viewer.showContext(11));
        QCOMPARE(dialogs.messages.size(), 4);
    }

    void f1InAModalDialogOpensItsTopicOverIt()
    {
        ScriptedDialogs dialogs;
        HelpViewer viewer(dialogs, {kHelpSourceDir});
        QDialog options;
        widgets::SetHelpContext(&options, 1100);
        viewer.attachContextKey(&options);
        options.open();
        QVERIFY(QTest::qWaitForWindowActive(&options));
        QTest::keyClick(&options, Qt::Key_F1);
        QTRY_VERIFY(viewer.isVisible());
        QCOMPARE(viewer.currentPage(), 1100);
        QCOMPARE(viewer.windowModality(), Qt::ApplicationModal); // usable over the modal dialog
        viewer.close();
        options.reject();
        QVERIFY(viewer.showContents());
        QCOMPARE(viewer.windowModality(), Qt::NonModal);
    }

    // Wherever it was left, or placed by a window manager, the help window
    // comes up wholly on the screen, its caption in reach; where it was left
    // on the screen, it stays.
    void theWindowComesUpOnTheScreen()
    {
        ScriptedDialogs dialogs;
        HelpViewer viewer(dialogs, {kHelpSourceDir});
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        viewer.move(screen.left() + 10, screen.bottom() + 15); // where a window manager once put it
        QVERIFY(viewer.showContents());
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QVERIFY2(screen.contains(viewer.frameGeometry()),
                 qPrintable(QStringLiteral("at %1,%2").arg(viewer.frameGeometry().x()).arg(viewer.frameGeometry().y())));
        viewer.close();
        viewer.move(screen.left() + 5, screen.top() + 5);
        QVERIFY(viewer.showContext(11));
        QCOMPARE(viewer.pos(), QPoint(screen.left() + 5, screen.top() + 5));
        viewer.close();
        viewer.move(screen.left() + 5, screen.bottom() - 100);
        QVERIFY(viewer.showContext(11));
        QVERIFY(screen.contains(viewer.frameGeometry()));
    }
};

QTEST_MAIN(HelpViewerTest)
#include "helpviewer_test.moc"
