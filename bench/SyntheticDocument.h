// Scenes and documents with many listed minor bodies on main-belt orbits
// (fixed seed): what "Add" puts into the scene, and documents of any size,
// written value by value so that making them costs next to no memory.
#pragma once

#include "bodies/SSClassesStream.h"
#include "document/SimulationDocument.h"
#include "scene/SolarSystem.h"
#include "stream/ByteStreams.h"
#include "stream/TaggedStream.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>

constexpr long double SyntheticDocumentJD = 2460676.5L;  // 2025 January 1

inline TOrbitElements MainBeltElements(std::mt19937& rng)
{
  std::uniform_real_distribution<double> u(0, 1);
  std::normal_distribution<double> gauss(0, 1);
  TOrbitElements el;
  el.EpochJD = 2460600.5L;
  el.AxisAU = 2.1 + 1.3 * u(rng);
  el.Ecc = std::min(0.45, std::fabs(0.14 + 0.07 * gauss(rng)));
  el.Incl = std::fabs(8 * gauss(rng));
  el.NodeLon = 360 * u(rng);
  el.PeriLon = 360 * u(rng);
  el.MeanLon = 360 * u(rng);
  el.DailyMotion = 0.9856076686L / (el.AxisAU * std::sqrt(el.AxisAU));
  return el;
}

inline std::string SyntheticName(int i)
{
  char name[32];
  std::snprintf(name, sizeof name, "(%d) Minor %d", i + 1, i + 1);
  return name;
}

// Appends n main-belt bodies to the scene's list, as "Add" does.
inline void AddMainBeltBodies(TSolarSystem& scene, int n, unsigned seed = 2026)
{
  std::mt19937 rng(seed);
  for (int i = 0; i < n; ++i)
    scene.AsteroidsList().Add(
        std::make_unique<TAsteroid>(SyntheticName(i), MainBeltElements(rng), 0x008080));
}

// A document of the current version: the start-up scene at
// SyntheticDocumentJD with n main-belt bodies listed. The list is written
// body by body into the document of an empty list, so no scene ever holds
// them.
inline void WriteSyntheticDocument(const std::filesystem::path& path, int n, unsigned seed = 2026)
{
  auto bytesOf = [](TSolarSystem& scene) {
    TMemoryStream m;
    {
      TWriter w(m);
      WriteDocument(w, scene, TDocumentState{});
    }
    return m.Bytes();
  };
  TSolarSystem scene;
  scene.SetDateTime(JDToDateRec(0, SyntheticDocumentJD));
  const auto empty = bytesOf(scene);
  AddMainBeltBodies(scene, 1, seed);
  const auto one = bytesOf(scene);
  // The count of the list is where the two first differ: 02 00 against 02 01.
  std::size_t at = 0;
  while (at < empty.size() && empty[at] == one[at]) ++at;
  if (at == 0 || at >= empty.size() || empty[at - 1] != 2)
    throw std::runtime_error("no minor-body list found in the document");

  TFileStream file(path, TFileMode::Create);
  file.Write(empty.data(), at - 1);
  TWriter w(file);
  w.WriteIntValue(n);
  std::mt19937 rng(seed);
  TAsteroid body("", MainBeltElements(rng), 0x008080);
  rng.seed(seed);
  for (int i = 0; i < n; ++i) {
    body.Name = SyntheticName(i);
    body.Elements = MainBeltElements(rng);
    body.Calculate(SyntheticDocumentJD);  // the position a saved document holds
    WriteBody(w, body);
  }
  w.FlushBuffer();
  file.Write(empty.data() + at + 1, empty.size() - at - 1);
}

// The document of n bodies in the temporary directory, written once.
inline std::filesystem::path SyntheticDocument(int n)
{
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "sollumen-bench";
  std::filesystem::create_directories(dir);
  const std::filesystem::path path = dir / ("mainbelt-" + std::to_string(n) + ".orb");
  if (!std::filesystem::exists(path)) {
    const std::filesystem::path part = path.string() + ".part";
    WriteSyntheticDocument(part, n);
    std::filesystem::rename(part, path);
  }
  return path;
}
