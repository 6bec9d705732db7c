#include "app/output/OutputTexts.h"

#include "app/mainwindow/TimeStepTexts.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool IsBlank(const std::string& s)
{
  return std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isspace(c); });
}

// The extension with its dot, in lower case ("" for none).
std::string LowerExtension(const std::string& path)
{
  const std::string name = NamePart(path);
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : Lower(name.substr(dot));
}

// A directory ready for a name to be appended.
std::string WithSlash(const std::string& dir)
{
  return dir.empty() || dir.back() == '/' ? dir : dir + '/';
}

}  // namespace

int RoundHalfEven(double value)
{
  // The default rounding mode rounds halves to even.
  return static_cast<int>(std::nearbyint(value));
}

TPageGeometry PrintPageGeometry(int width, int height)
{
  TPageGeometry g;
  g.Size = RoundHalfEven(0.8 * std::min(width, height));
  g.Left = RoundHalfEven(0.125 * g.Size);
  g.Top = RoundHalfEven(0.1 * g.Size);
  g.SizeMode = g.Size > 3200 ? 2 : 1;
  g.TextX = g.Left + RoundHalfEven(0.04 * g.Size);
  g.TextY = g.Top + RoundHalfEven(0.03 * g.Size);
  return g;
}

std::string InstantLine(const TDateRec& time)
{
  // The Julian date as the time panel shows it, without its "JD ".
  const std::string jd = JDLabelText(DateRecToJD(time)).substr(3);
  return DateText(time) + " - " + TimeText(time) + "UT (JD " + jd + ")";
}

std::string ViewLine(int plane, const std::string& centerText)
{
  static const char* const planes[] = {"X-Y-plane, centered to ", "X-Z-plane, centered to ",
                                       "Z-Y-plane, centered to ", "3D-plot, centered to "};
  return (plane >= 0 && plane <= 3 ? planes[plane] : "") + centerText;
}

TColor CaptionColor(TColor bgColor, int colorMode)
{
  const TColor background = colorMode == 2 ? bgColor : colorMode == 1 ? 0x000000 : 0xFFFFFF;
  return ~background & 0xFFFFFF;
}

std::string DirectoryPart(const std::string& path)
{
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string& path)
{
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ProposeExportFileName(const std::string& documentFileName,
                                  const std::string& bitmapPath)
{
  // The window keeps the full path of "last.orb"; it is never proposed by
  // name, and neither is a nameless ".png" when no document was read.
  const std::string name = NamePart(documentFileName);
  if (IsBlank(name) || Lower(name) == "last.orb") return WithSlash(bitmapPath);
  const std::size_t dot = name.rfind('.');
  return WithSlash(bitmapPath) + (dot == std::string::npos ? name : name.substr(0, dot)) + ".png";
}

std::string ExportFieldText(const std::string& path)
{
  return IsBlank(NamePart(path)) ? std::string("default.png") : path;
}

std::string CompleteExportFileName(const std::string& fieldText, const std::string& exportDir)
{
  std::string f = fieldText;
  const std::string ext = LowerExtension(f);
  if (ext != ".png" && ext != ".bmp") f += ".png";
  if (DirectoryPart(f).empty()) f = WithSlash(exportDir) + f;
  return f;
}

bool IsBmpFileName(const std::string& path) { return LowerExtension(path) == ".bmp"; }

std::string ProposeFilmFileName(const std::string& documentFileName, const std::string& dir)
{
  const std::string picture = ProposeExportFileName(documentFileName, dir);
  if (IsBlank(NamePart(picture))) return picture;
  return picture.substr(0, picture.size() - 4) + ".mp4";  // ".png" off
}

std::string CompleteFilmFileName(const std::string& fieldText, const std::string& dir)
{
  std::string f = fieldText;
  const std::string name = NamePart(f);
  if (!name.empty() && name.find('.', 1) == std::string::npos) f += ".mp4";
  if (DirectoryPart(f).empty()) f = WithSlash(dir) + f;
  return f;
}
