// Seeded mutations of documents for the robustness tests: the mutation test
// of the test run and the fuzz driver for longer runs.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace docmut {

using Bytes = std::vector<std::uint8_t>;

// A small generator of its own, so that the mutants are the same with every
// standard library.
class TRandom {
public:
  explicit TRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  std::uint64_t Next()
  {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t n) { return n ? static_cast<std::size_t>(Next() % n) : 0; }

private:
  std::uint64_t state_;
};

// Values that make readers stumble: tags, signs, lengths.
inline constexpr std::uint8_t Interesting[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x05,
                                               0x06, 0x08, 0x09, 0x0C, 0x12, 0x13,
                                               0x14, 0x7F, 0x80, 0xFE, 0xFF};

// One to three edits: changed bytes, tags and lengths of the worst kinds,
// cuts, removed and inserted bytes.
inline Bytes Mutant(const Bytes& original, TRandom& rnd)
{
  Bytes b = original;
  const int edits = 1 + static_cast<int>(rnd.Below(3));
  for (int e = 0; e < edits && !b.empty(); ++e) {
    const std::size_t at = rnd.Below(b.size());
    switch (rnd.Below(7)) {
      case 0: b[at] = static_cast<std::uint8_t>(rnd.Next()); break;
      case 1: b[at] = Interesting[rnd.Below(sizeof Interesting)]; break;
      case 2: b[at] ^= static_cast<std::uint8_t>(1u << rnd.Below(8)); break;
      case 3: b.resize(at); break;  // cut short
      case 4: {  // a four-byte length or count of the worst kinds
        constexpr std::uint32_t huge[] = {0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x10000000u};
        const std::uint32_t v = huge[rnd.Below(4)];
        for (int i = 0; i < 4 && at + i < b.size(); ++i)
          b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
        break;
      }
      case 5: {  // bytes removed
        const std::size_t n = std::min(b.size() - at, 1 + rnd.Below(16));
        const auto first = b.begin() + static_cast<std::ptrdiff_t>(at);
        b.erase(first, first + static_cast<std::ptrdiff_t>(n));
        break;
      }
      default: {  // random bytes inserted
        Bytes extra(1 + rnd.Below(16));
        for (auto& x : extra) x = static_cast<std::uint8_t>(rnd.Next());
        b.insert(b.begin() + static_cast<std::ptrdiff_t>(at), extra.begin(), extra.end());
        break;
      }
    }
  }
  return b;
}

}  // namespace docmut
