// Reading rich text from elsewhere into a text document: the shapes that
// grow the document fastest for their size (one paragraph of many runs,
// many bulleted paragraphs, large colour and font tables each entry used
// once, megabytes of plain paragraphs, pictures and binary data), and the
// 10 MB of each the reader must take in 2 s and 200 MB. "peak_rss_MB" is
// the process's peak so far (a run of one case alone gives its own peak).
#include "HostileRtf.h"

#include "app/richtext/RtfReader.h"
#include "app/richtext/RtfWriter.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTextDocument>

#include <sys/resource.h>

#include <cstdlib>

namespace {

double PeakMegabytes()
{
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024.0;
}

void Read(benchmark::State& state, const std::string& rtf)
{
  for (auto _ : state) {
    QTextDocument doc;
    ReadRtf(rtf, doc);
    benchmark::DoNotOptimize(doc.blockCount());
  }
  state.counters["input_KB"] = rtf.size() / 1024.0;
  state.counters["peak_rss_MB"] = PeakMegabytes();
}

void BM_RunsInOneParagraph(benchmark::State& state)
{
  Read(state, hostile::RunsInOneParagraph(static_cast<int>(state.range(0))));
}
void BM_BulletedParagraphs(benchmark::State& state)
{
  Read(state, hostile::BulletedParagraphs(static_cast<int>(state.range(0))));
}
void BM_ColoursUsedOnce(benchmark::State& state)
{
  Read(state, hostile::ColoursUsedOnce(static_cast<int>(state.range(0))));
}
void BM_FontsUsedOnce(benchmark::State& state)
{
  Read(state, hostile::FontsUsedOnce(static_cast<int>(state.range(0))));
}
void BM_PlainParagraphs(benchmark::State& state)
{
  Read(state, hostile::PlainParagraphs(static_cast<std::size_t>(state.range(0)) << 20));
}
void BM_PicturesAndBinary(benchmark::State& state)
{
  // Ten megabytes of hex pictures and raw \bin blocks around 1000 paragraphs.
  Read(state, hostile::PicturesAndBinary(1000, 5000, 5000));
}

// Ten megabytes of each growth shape.
constexpr int TenMegabytesOfRuns = (10 << 20) / 9 * 2;  // 4.5 bytes a run
constexpr int TenMegabytesOfBullets = (10 << 20) / 52;  // 52 bytes a paragraph
constexpr int TenMegabytesOfColours = (10 << 20) / 32;  // 32 bytes a colour

// What the writer makes of a document of many colours and fonts.
void BM_WriteColoursAndFonts(benchmark::State& state)
{
  QTextDocument colours, fonts;
  ReadRtf(hostile::ColoursUsedOnce(static_cast<int>(state.range(0))), colours);
  ReadRtf(hostile::FontsUsedOnce(static_cast<int>(state.range(0))), fonts);
  for (auto _ : state) {
    benchmark::DoNotOptimize(WriteRtf(colours));
    benchmark::DoNotOptimize(WriteRtf(fonts));
  }
}

}  // namespace

#define READ_BENCHMARK(name) \
  BENCHMARK(name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()

READ_BENCHMARK(BM_RunsInOneParagraph)->Arg(20000)->Arg(40000)->Arg(TenMegabytesOfRuns);
READ_BENCHMARK(BM_BulletedParagraphs)->Arg(16000)->Arg(32000)->Arg(TenMegabytesOfBullets);
READ_BENCHMARK(BM_ColoursUsedOnce)->Arg(16000)->Arg(TenMegabytesOfColours);
READ_BENCHMARK(BM_FontsUsedOnce)->Arg(16000);
READ_BENCHMARK(BM_PlainParagraphs)->Arg(1)->Arg(10);
READ_BENCHMARK(BM_PicturesAndBinary);
READ_BENCHMARK(BM_WriteColoursAndFonts)->Arg(16000);

// Text documents need an application object; the off-screen platform needs
// no display.
int main(int argc, char** argv)
{
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
