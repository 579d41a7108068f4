// The graph engine drawing the worked regression study into a full-HD
// image, and the headless export as a whole process, start to exit.
#include "render/graphbuild.h"
#include "stats/studyfile.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <spawn.h>
#include <sys/wait.h>

#include <string>

extern char **environ;

namespace {

const std::string kStudy = TEST_DATA_DIR "/worked-inference.w04";

void BM_PaintPlot1920x1080(benchmark::State &state)
{
    const stats::StudyFile file = stats::ParseStudyFile(stats::ReadFileBytes(kStudy));
    const stats::StudyData study = stats::StudyFromFile(file);
    render::PlotEngine engine(render::RegressionGraph());
    engine.SetTitle(QString::fromStdString(file.title));
    engine.SetXLabel(QString::fromStdString(file.xLabel));
    engine.SetYLabel(QString::fromStdString(file.yLabel));
    render::FillGraph(engine, render::ComputeGraph(render::Graph::Regression, stats::Analyze(study, {})), study, '.');
    engine.state().gridStyle = GridStyle::Light;
    QImage image(1920, 1080, QImage::Format_RGB32);
    QPainter painter(&image);
    for (auto _ : state) {
        engine.PaintPlot(painter, image.size());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_PaintPlot1920x1080)->Unit(benchmark::kMillisecond);

// linealidad --graph regression FILE --output x.png, with no display.
void BM_GraphCommandProcess(benchmark::State &state)
{
    const std::string output = "/tmp/linealidad-bench-" + std::to_string(getpid()) + ".png";
    std::vector<std::string> words = {LINEALIDAD_BINARY, "--graph", "regression", kStudy, "--output", output};
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    std::vector<char *> env;
    for (char **e = environ; *e; ++e)
        if (std::string(*e).rfind("DISPLAY=", 0) != 0 && std::string(*e).rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.push_back(*e);
    env.push_back(nullptr);
    for (auto _ : state) {
        pid_t pid = 0;
        if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), env.data()) != 0) {
            state.SkipWithError("cannot start the program");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("the export failed");
            break;
        }
    }
    std::remove(output.c_str());
}
BENCHMARK(BM_GraphCommandProcess)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
