// Writing and reading a document-sized value stream in memory: a scene with
// a few hundred minor bodies is some tens of thousands of values.
#include "stream/TaggedStream.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int Bodies = 1000;

void WriteBodies(TWriter& w)
{
  for (int i = 0; i < Bodies; ++i) {
    std::string name = std::to_string(i);
    name += " Asteroid";
    w.WriteStringValue(name);
    w.WriteIntValue(0x00FFFF00);
    w.WriteBoolValue(true);
    w.WriteIntValue(11);
    for (int k = 0; k < 11; ++k) w.WriteFloatValue(2451545.0L + i * 0.125L + k);
  }
}

void BM_WriteStream(benchmark::State& state)
{
  for (auto _ : state) {
    TMemoryStream m;
    {
      TWriter w(m);
      WriteBodies(w);
    }
    benchmark::DoNotOptimize(m.Bytes().data());
  }
  state.SetItemsProcessed(state.iterations() * Bodies * 15);
}
BENCHMARK(BM_WriteStream);

void BM_ReadStream(benchmark::State& state)
{
  TMemoryStream source;
  {
    TWriter w(source);
    WriteBodies(w);
  }
  for (auto _ : state) {
    TMemoryStream m(source.Bytes());
    TReader r(m);
    for (int i = 0; i < Bodies; ++i) {
      benchmark::DoNotOptimize(r.ReadStringValue());
      benchmark::DoNotOptimize(r.ReadIntValue());
      benchmark::DoNotOptimize(r.ReadBoolValue());
      benchmark::DoNotOptimize(r.ReadIntValue());
      for (int k = 0; k < 11; ++k) benchmark::DoNotOptimize(r.ReadFloatValue());
    }
  }
  state.SetItemsProcessed(state.iterations() * Bodies * 15);
}
BENCHMARK(BM_ReadStream);

}  // namespace
