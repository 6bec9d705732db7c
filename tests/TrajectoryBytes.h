// Trajectory files for the tests, built value by value here rather than by
// the program's writer, so that the reader is checked against the layout.
#pragma once

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include <unistd.h>

struct TTrajectoryBytes {
  std::vector<std::uint8_t> Data;

  TTrajectoryBytes& Byte(std::uint8_t b)
  {
    Data.push_back(b);
    return *this;
  }

  TTrajectoryBytes& LittleEndian(std::uint64_t v, int count)
  {
    for (int i = 0; i < count; ++i) Byte(static_cast<std::uint8_t>(v >> (8 * i)));
    return *this;
  }

  // Tag 2 (8-bit) when it fits, else tag 4.
  TTrajectoryBytes& Int(std::int32_t v)
  {
    if (v >= -128 && v <= 127) return Byte(2).LittleEndian(static_cast<std::uint8_t>(v), 1);
    return Byte(4).LittleEndian(static_cast<std::uint32_t>(v), 4);
  }

  // Tag 5: a 64-bit significand with its integer bit, then sign and
  // exponent biased by 16383. Doubles fit exactly.
  TTrajectoryBytes& Float(double x)
  {
    Byte(5);
    std::uint64_t significand = 0;
    std::uint16_t top = std::signbit(x) ? 0x8000 : 0;
    if (std::isnan(x)) {
      significand = 0xC000000000000000ull;
      top |= 0x7FFF;
    } else if (std::isinf(x)) {
      significand = 0x8000000000000000ull;
      top |= 0x7FFF;
    } else if (x != 0) {
      int e = 0;
      const double m = std::frexp(std::fabs(x), &e);  // m in [0.5, 1)
      significand = static_cast<std::uint64_t>(std::ldexp(m, 64));
      top |= static_cast<std::uint16_t>(e - 1 + 16383);
    }
    return LittleEndian(significand, 8).LittleEndian(top, 2);
  }

  // Tag 6: a one-byte length and the bytes.
  TTrajectoryBytes& String(const std::string& s)
  {
    Byte(6).Byte(static_cast<std::uint8_t>(s.size()));
    Data.insert(Data.end(), s.begin(), s.end());
    return *this;
  }

  TTrajectoryBytes& Header(const std::string& name, std::int32_t number, double equinox,
                           const std::string& launch)
  {
    return String("test trajectory").String(name).Int(number).Float(equinox).String(launch);
  }

  struct TPoint {
    double JD, X, Y, Z;
  };

  TTrajectoryBytes& Block(double firstJD, double lastJD, const std::vector<TPoint>& points)
  {
    Float(firstJD).Float(lastJD).Int(static_cast<std::int32_t>(points.size()));
    for (const TPoint& p : points) Float(p.JD).Float(p.X).Float(p.Y).Float(p.Z);
    return *this;
  }

  TTrajectoryBytes& EmptyBlocks(int count)
  {
    for (int i = 0; i < count; ++i) Block(0, 0, {});
    return *this;
  }

  void WriteTo(const std::filesystem::path& path) const
  {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(Data.data()), static_cast<std::streamsize>(Data.size()));
  }
};

// A directory of its own under the system's temporary directory, removed
// with its contents at the end of the test.
struct TTempDir {
  std::filesystem::path Path;
  explicit TTempDir(const std::string& name)
  {
    Path = std::filesystem::temp_directory_path() /
           ("sollumen-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
  }
  ~TTempDir()
  {
    std::error_code ec;
    std::filesystem::remove_all(Path, ec);
  }
  // The directory as the program's directory is passed: ending with '/'.
  std::string Dir() const { return Path.string() + "/"; }
};
