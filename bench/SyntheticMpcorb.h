// A seeded generator of MPCORB.DAT-like files: a header ending in dashes,
// numbered bodies in all three packing styles, then unnumbered ones with
// packed provisional designations; 202-column lines with elements in the
// ranges of the real file. For the import benchmark and tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <string>

namespace synthetic {

inline std::string PackedNumber(std::int64_t n)
{
  static const char d[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  char s[6] = {};
  if (n < 100000) {
    std::snprintf(s, sizeof s, "%05d", static_cast<int>(n));
  } else if (n < 620000) {
    std::snprintf(s, sizeof s, "%c%04d", d[n / 10000], static_cast<int>(n % 10000));
  } else {
    std::int64_t v = n - 620000;
    s[0] = '~';
    for (int i = 4; i >= 1; --i, v /= 62) s[i] = d[v % 62];
  }
  return s;
}

// Writes `lines` data lines (about 70% numbered) to `path`; returns the
// number of unnumbered rows.
inline std::int64_t WriteMpcorb(const std::string& path, std::int64_t lines, std::uint64_t seed)
{
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) throw std::runtime_error("cannot write " + path);
  std::fputs("MINOR PLANET CENTER ORBIT DATABASE (synthetic)\n\n", f);
  std::fputs("Des'n     H     G   Epoch     M        Peri.      Node       Incl.       e"
             "            n           a        Reference #Obs #Opp    Arc    rms  Perts   Computer\n",
             f);
  std::fputs((std::string(202, '-') + "\n").c_str(), f);
  std::mt19937_64 random(seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const std::int64_t numbered = lines * 7 / 10;
  static const char letters[] = "ABCDEFGHJKLMNOPQRSTUVWXY";  // half-months, no I or Z
  static const char cycle[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  char line[256];
  for (std::int64_t k = 1; k <= lines; ++k) {
    const double a = 1.0 + 4.0 * unit(random) * unit(random) + (unit(random) < 0.05 ? 40 : 0);
    const double e = 0.3 * unit(random) * unit(random);
    const double n = 0.9856076686 / (a * std::sqrt(a));
    const int flags = unit(random) < 0.02 ? 0x0804 : static_cast<int>(unit(random) * 11);
    char designation[8], readable[64];
    const int year = 1990 + static_cast<int>(unit(random) * 33);
    const char half = letters[random() % 24], second = letters[random() % 24];
    const int order = static_cast<int>(random() % 620);
    const char packedYear[3] = {static_cast<char>('0' + year % 100 / 10),
                                static_cast<char>('0' + year % 10), 0};
    if (k <= numbered) {
      std::snprintf(designation, sizeof designation, "%s", PackedNumber(k).c_str());
      char number[24];
      std::snprintf(number, sizeof number, "(%lld)", static_cast<long long>(k));
      std::snprintf(readable, sizeof readable, "%8s Body %lld", number, static_cast<long long>(k));
    } else {
      std::snprintf(designation, sizeof designation, "%c%s%c%c%c%c", year < 2000 ? 'J' : 'K',
                    packedYear, half, cycle[order / 10], static_cast<char>('0' + order % 10), second);
      char provisional[20];
      if (order) std::snprintf(provisional, sizeof provisional, "%d %c%c%d", year, half, second, order);
      else std::snprintf(provisional, sizeof provisional, "%d %c%c", year, half, second);
      std::snprintf(readable, sizeof readable, "         %s", provisional);
    }
    const int len = std::snprintf(
        line, sizeof line,
        "%-7s %5.2f %5.2f %5s %9.5f  %9.5f  %9.5f  %9.5f  %9.7f %11.8f %11.7f    %-9s %5d %3d %-9s "
        "%4.2f %-3s %-3s %-10s %04X %-28.28s%8s\n",
        designation, 5 + 15 * unit(random), 0.15, "K2289", 360 * unit(random), 360 * unit(random),
        360 * unit(random), 30 * unit(random), e, n, a, "MPO123456", 100, 5, "1990-2022", 0.5,
        "M-v", "3Ek", "MPCLINUX", flags, readable, "20220801");
    std::fwrite(line, 1, static_cast<std::size_t>(len), f);
  }
  std::fclose(f);
  return lines - numbered;
}

}  // namespace synthetic
