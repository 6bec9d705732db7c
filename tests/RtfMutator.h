// Seeded mutations of rich text for the robustness tests: the mutation test
// of the test run and the fuzz driver of the rich-text reader. Besides the
// byte edits of documents it splices in the tokens a reader must be wary
// of (groups, escapes, \bin with its length, pictures, tables, numbering)
// and repeats pieces of the text, which grows runs, lists and tables.
#pragma once

#include "DocumentMutator.h"

#include "../bench/HostileRtf.h"

#include <string>
#include <vector>

namespace rtfmut {

using docmut::TRandom;

inline const char* const Tokens[] = {
    "{", "}", "\\", "\\'", "\\'8", "\\u", "\\u-", "\\uc", "\\uc0 ", "\\bin", "\\bin4 ",
    "\\bin99999999 ", "\\*", "{\\pict ", "{\\*\\objdata ", "\\pn", "{\\pntext\\'b7\\tab}",
    "\\fonttbl", "{\\fonttbl{\\f9 X;}}", "\\colortbl", "{\\colortbl;\\red9;}", "\\f", "\\cf",
    "\\fs", "\\ls1 ", "\\pard", "\\par ", "\\plain", "\\b", "\\i0", "-", "9999999999", ";",
    "\\tab", "\\line", "\\'00", "\r\n"};

// The seeds: small copies of the shapes that grow a document fastest.
inline std::vector<std::string> GrowthSeeds()
{
  return {hostile::RunsInOneParagraph(400),
          hostile::BulletedParagraphs(100),
          hostile::ColoursUsedOnce(200),
          hostile::FontsUsedOnce(200),
          hostile::PicturesAndBinary(3, 64, 64),
          hostile::DeepNesting(400),
          hostile::PlainParagraphs(4096)};
}

// One to eight edits of the kinds above.
inline std::string Mutant(const std::string& original, TRandom& rnd)
{
  std::string s = original;
  const int edits = 1 + static_cast<int>(rnd.Below(8));
  for (int e = 0; e < edits && !s.empty(); ++e) {
    const std::size_t at = rnd.Below(s.size());
    switch (rnd.Below(6)) {
      case 0: s.erase(at, 1 + rnd.Below(40)); break;
      case 1: s.insert(at, Tokens[rnd.Below(std::size(Tokens))]); break;
      case 2: s[at] = static_cast<char>(rnd.Next()); break;
      case 3: s.insert(at, s.substr(rnd.Below(s.size()), rnd.Below(200))); break;
      case 4: s.resize(at); break;
      default: {  // the byte edits of documents
        const docmut::Bytes b =
            docmut::Mutant(docmut::Bytes(s.begin(), s.end()), rnd);
        s.assign(b.begin(), b.end());
        break;
      }
    }
  }
  return s;
}

}  // namespace rtfmut
