// The study editor holding the largest study a .lin file may hold (20
// series, each 20 calibration and 20 validation levels of 12 points): opening
// it, showing another series, evaluating the shown one and saving it, each
// through the frame as the user's commands run them.
#include "app/application.h"
#include "app/mainwindow.h"
#include "cli/linfile.h"
#include "support/scripteddialogs.h"
#include "windows/studyeditor.h"

#include <QApplication>
#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

namespace {

std::string largestStudy()
{
    stats::SeriesStudy study{.method = "M", .analyst = "A", .date = "08/12/2026", .units = "mg"};
    for (int s = 1; s <= stats::kMaxSeries; ++s) {
        stats::StudySeries series{.name = "Serie " + std::to_string(s)};
        for (auto *levels : {&series.calibration, &series.validation})
            for (int j = 1; j <= stats::kMaxSeriesLevels; ++j) {
                stats::StudyLevel level;
                for (int i = 1; i <= stats::kMaxLevelPoints; ++i)
                    level.push_back({.x = std::to_string(j * 10), .y = std::to_string(j * 0.193 + i * 0.0007 + s * 1e-4)});
                levels->push_back(level);
            }
        study.series.push_back(series);
    }
    return cli::SerializeLinFile(study);
}

struct Frame {
    ScriptedDialogs dialogs;
    std::unique_ptr<Application> app = std::make_unique<Application>(dialogs, '.');
    QTemporaryDir dir;
    QString path = dir.filePath("grande.lin");

    Frame()
    {
        std::ofstream(path.toStdString(), std::ios::binary) << largestStudy();
        app->frame().show();
    }
    void open()
    {
        dialogs.files.enqueue(path);
        app->frame().openStudy();
    }
    void close()
    {
        app->frame().setStudyMark(StudyEditorHost::StudyMark::Unchanged);
        for (QMdiSubWindow *sub : app->frame().mdiArea()->subWindowList())
            sub->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    void showSeries(int index)
    {
        auto *series = app->frame().editor()->findChild<QComboBox *>(QStringLiteral("cbserie"));
        series->setCurrentIndex(index);
        emit series->activated(index);
    }
};

void BM_OpenLargestLinStudy(benchmark::State &state)
{
    Frame frame;
    for (auto _ : state) {
        frame.open();
        state.PauseTiming();
        frame.close();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLargestLinStudy)->Unit(benchmark::kMillisecond);

void BM_ShowAnotherSeries(benchmark::State &state)
{
    Frame frame;
    frame.open();
    int next = 1;
    for (auto _ : state) {
        frame.showSeries(next);
        next = (next + 1) % stats::kMaxSeries;
    }
    // Each switch must have shown its series: a refused one measures nothing.
    if (frame.app->frame().editor()->shownSeries() != (next + stats::kMaxSeries - 1) % stats::kMaxSeries + 1 ||
        !frame.dialogs.messages.isEmpty())
        state.SkipWithError("a series was not shown");
    frame.close();
}
BENCHMARK(BM_ShowAnotherSeries)->Unit(benchmark::kMillisecond);

void BM_InferenceOfTheShownSeries(benchmark::State &state)
{
    Frame frame;
    frame.open();
    frame.showSeries(stats::kMaxSeries - 1);
    for (auto _ : state) {
        frame.app->frame().showInference();
        state.PauseTiming();
        frame.app->frame().mdiArea()->subWindowList().last()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        state.ResumeTiming();
    }
    frame.close();
}
BENCHMARK(BM_InferenceOfTheShownSeries)->Unit(benchmark::kMillisecond);

void BM_SaveLargestLinStudy(benchmark::State &state)
{
    Frame frame;
    frame.open();
    for (auto _ : state)
        benchmark::DoNotOptimize(frame.app->frame().save());
    frame.close();
}
BENCHMARK(BM_SaveLargestLinStudy)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
