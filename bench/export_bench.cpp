// Writing an exported image: the scene drawn into a square (up to the
// largest export, 4000 x 4000) and written as PNG through libpng, beside
// Qt's own PNG writer on the same picture for comparison.
#include "app/output/ExportImage.h"
#include "app/output/PngUnit.h"
#include "astro/DatesAndTimes.h"
#include "scene/SolarSystem.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

QGuiApplication& Application()
{
  static int argc = 1;
  static char name[] = "export_bench";
  static char* argv[] = {name, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static QGuiApplication app(argc, argv);
  return app;
}

QImage Picture(int size)
{
  Application();
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2460676.5L));
  return RenderExportImage(scene, size, {"2025/01/01 - 00:00UT (JD 2460676.500)",
                                         "3D-plot, centered to Sun"});
}

std::string OutPath(const char* name)
{
  return (std::filesystem::temp_directory_path() /
          (std::string(name) + std::to_string(getpid()) + ".png"))
      .string();
}

void BM_RenderExportImage(benchmark::State& state)
{
  Application();
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, 2460676.5L));
  const int size = static_cast<int>(state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(RenderExportImage(scene, size, {"a", "b"}));
}
BENCHMARK(BM_RenderExportImage)->Arg(500)->Arg(4000)->Unit(benchmark::kMillisecond);

void BM_SaveBitmapAsPng(benchmark::State& state)
{
  const QImage image = Picture(static_cast<int>(state.range(0)));
  const std::string path = OutPath("export_bench_libpng");
  for (auto _ : state) SaveBitmapAsPng(path, image);
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_SaveBitmapAsPng)->Arg(500)->Arg(4000)->Unit(benchmark::kMillisecond);

// The peer: Qt's PNG writer with its defaults.
void BM_QtPngWriter(benchmark::State& state)
{
  const QImage image = Picture(static_cast<int>(state.range(0)));
  const std::string path = OutPath("export_bench_qt");
  for (auto _ : state) {
    QImageWriter writer(QString::fromStdString(path), "png");
    if (!writer.write(image)) state.SkipWithError("Qt could not write the PNG file");
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
  std::filesystem::remove(path);
}
BENCHMARK(BM_QtPngWriter)->Arg(500)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace
