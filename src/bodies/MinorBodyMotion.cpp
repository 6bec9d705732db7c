#include "bodies/MinorBodyMotion.h"

#include "astro/util404.h"
#include "bodies/ParallelChunks.h"
#include "bodies/SSClasses.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

TIntegratedMotion::TIntegratedMotion(const TOrbitElements& elements)
    : path_(elements, PlanetaryForces(), SharedPerturberGrid())
{
}

bool TIntegratedMotion::Reach(long double jd)
{
  return path_.Reach(static_cast<double>(jd));
}

bool TIntegratedMotion::At(long double jd, TRectCoord& position,
                           TOrbitElements& osculating) const
{
  const TStateVector s = StateOfDate(path_.At(static_cast<double>(jd)), jd);
  position = {s.R[0], s.R[1], s.R[2]};
  return ElementsFromState(s, jd, osculating);
}

TRectCoord TIntegratedMotion::J2000At(long double jd) const
{
  const TStateVector s = path_.At(static_cast<double>(jd));
  return {s.R[0], s.R[1], s.R[2]};
}

void CoverGrid(double from, long double jd)
{
  const double to = static_cast<double>(jd);
  if (SharedPerturberGrid().Cover(std::min(from, to), std::max(from, to))) Obliquity(jd);
}

std::vector<std::string> PrepareMinorBodies(TOEObjectList& list, TMinorBodyMotion motion,
                                            long double jd, int threads,
                                            const std::function<void(double)>& progress)
{
  std::vector<TIntegratedMotion*> paths;
  std::vector<TAsteroid*> bodies;
  double first = static_cast<double>(jd), last = first;
  for (int i = 0; i < list.Count(); ++i) {
    auto* body = dynamic_cast<TAsteroid*>(list.Items(i));
    if (!body) continue;
    body->SetMotion(motion);
    TIntegratedMotion* path = body->Integrated();
    if (!path) continue;
    bodies.push_back(body);
    if (path->Failed()) continue;
    first = std::min(first, path->First());
    last = std::max(last, path->Last());
    paths.push_back(path);
  }
  // The grid in slices of a few hundred days, so that progress is told.
  const double from = std::clamp(std::min(first, static_cast<double>(jd)), PerturbedSpanStart,
                                 PerturbedSpanEnd);
  const double to = std::clamp(std::max(last, static_cast<double>(jd)), PerturbedSpanStart,
                               PerturbedSpanEnd);
  if (!paths.empty()) {
    constexpr double slice = 512;
    const double span = std::max(1.0, to - from);
    for (double a = from; a < to; a += slice) {
      CoverGrid(a, std::min(to, a + slice));
      if (progress) progress(0.5 * (a - from) / span);
    }
    Obliquity(jd);
  }
  // The paths on worker threads, the calling thread watching.
  std::atomic<int> done{0};
  auto work = [&](int begin, int end, int) {
    for (int i = begin; i < end; ++i) {
      paths[i]->Reach(jd);
      ++done;
    }
  };
  const int count = static_cast<int>(paths.size());
  if (!progress || count == 0) {
    RunInChunks(count, threads, work);
  } else {
    std::thread runner([&] { RunInChunks(count, threads, work); });
    while (done.load() < count) {
      progress(0.5 + 0.5 * done.load() / count);
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
    runner.join();
    progress(1);
  }
  std::vector<std::string> failed;
  for (TAsteroid* body : bodies) {
    TIntegratedMotion* path = body->Integrated();
    if (path->Failed() && !path->Reported) {
      path->Reported = true;
      failed.push_back(body->Name + " (" + path->Failure() + ")");
    }
  }
  return failed;
}
