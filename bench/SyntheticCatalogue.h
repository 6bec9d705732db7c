// Synthetic orbital elements shaped like the Minor Planet Center's whole
// catalogue (about 1.4 million bodies): mostly main-belt asteroids, some
// near-Earth objects, Hildas and Trojans, Centaurs and trans-Neptunian
// objects, and a few comet-like orbits. Fixed seed, so every run measures
// the same bodies.
#pragma once

#include "bodies/DotBodyList.h"

#include <algorithm>
#include <cmath>
#include <random>

constexpr int CatalogueSize = 1400000;
constexpr long double CatalogueEpoch = 2460600.5L;  // 2024 October 17

inline TOrbitElements SyntheticElements(std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  std::normal_distribution<double> gauss(0, 1);
  const double kind = u(rng);
  double a, e, incl;
  if (kind < 0.90) {  // main belt
    a = 2.1 + 1.3 * u(rng);
    e = std::min(0.45, std::fabs(0.14 + 0.07 * gauss(rng)));
    incl = std::fabs(8 * gauss(rng));
  } else if (kind < 0.93) {  // near-Earth objects
    a = 0.8 + 2.2 * u(rng);
    e = 0.1 + 0.8 * u(rng);
    incl = std::fabs(15 * gauss(rng));
  } else if (kind < 0.96) {  // Hildas and Trojans
    a = 3.9 + 1.4 * u(rng);
    e = std::min(0.4, std::fabs(0.08 + 0.05 * gauss(rng)));
    incl = 30 * u(rng);
  } else if (kind < 0.99) {  // Centaurs and beyond Neptune
    a = 20 + 30 * u(rng);
    e = 0.5 * u(rng) * u(rng);
    incl = std::fabs(15 * gauss(rng));
  } else {  // comet-like
    a = 2 + 18 * u(rng);
    e = 0.5 + 0.49 * u(rng);
    incl = 60 * u(rng);
  }
  TOrbitElements el;
  el.EpochJD = CatalogueEpoch;
  el.Incl = incl;
  el.NodeLon = 360 * u(rng);
  el.PeriLon = 360 * u(rng);
  el.AxisAU = a;
  el.DailyMotion = 0.9856076686L / (el.AxisAU * std::sqrt(el.AxisAU));
  el.Ecc = e;
  el.MeanLon = 360 * u(rng);
  return el;
}

inline void FillSyntheticCatalogue(TDotBodyList& list, int count, TColor color,
                                   unsigned seed = 1404)
{
  std::mt19937 rng(seed);
  list.Clear();
  list.Reserve(count);
  for (int i = 0; i < count; ++i) list.Add(SyntheticElements(rng), color);
}
