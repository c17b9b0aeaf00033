// The one main() of the window benchmarks: a QApplication on the offscreen
// platform, then every benchmark of the program. The platform has the
// screens the benchmarks open their windows on, as monitors of those sizes
// would: 3840x2160 (the first) and 1920x1080 beside it.

#include <QApplication>
#include <QTemporaryFile>

#include <benchmark/benchmark.h>

int main(int argc, char** argv)
{
    QTemporaryFile config;
    if (!config.open())
        return 2;
    config.write(R"({"screens": [
        {"name": "uhd", "x": 0, "y": 0, "width": 3840, "height": 2160,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
        {"name": "hd", "x": 3840, "y": 0, "width": 1920, "height": 1080,
         "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    config.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toUtf8());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
