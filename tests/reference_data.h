// Reading the JPL-based reference positions in tests/data/reference.
#pragma once

#include "astro/coord404.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

struct ReferenceRow {
  long double JD = 0;
  std::string Body;
  int Number = 0;
  std::string Frame;
  TRectCoord Pos;
};

// All rows of one file (jd,body,number,frame,x_au,y_au,z_au with a header).
inline std::vector<ReferenceRow> ReadReference(const std::string& name)
{
  std::string path = std::string(SOLLUMEN_TEST_DATA) + "/reference/" + name;
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot open " + path);
  std::vector<ReferenceRow> rows;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    std::stringstream ss(line);
    std::string f[7];
    for (auto& s : f) std::getline(ss, s, ',');
    ReferenceRow r;
    r.JD = std::strtold(f[0].c_str(), nullptr);
    r.Body = f[1];
    r.Number = std::atoi(f[2].c_str());
    r.Frame = f[3];
    r.Pos = {std::strtold(f[4].c_str(), nullptr), std::strtold(f[5].c_str(), nullptr),
             std::strtold(f[6].c_str(), nullptr)};
    rows.push_back(r);
  }
  return rows;
}

inline const ReferenceRow* FindReference(const std::vector<ReferenceRow>& rows, long double jd,
                                         int number)
{
  for (const auto& r : rows)
    if (r.Number == number && std::fabs(r.JD - jd) < 1e-7L) return &r;
  return nullptr;
}

// The angle between two directions, accurate also for tiny angles.
inline long double AngleBetween(const TRectCoord& a, const TRectCoord& b)
{
  long double cx = a.Y * b.Z - a.Z * b.Y;
  long double cy = a.Z * b.X - a.X * b.Z;
  long double cz = a.X * b.Y - a.Y * b.X;
  long double dot = a.X * b.X + a.Y * b.Y + a.Z * b.Z;
  return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), dot);
}
