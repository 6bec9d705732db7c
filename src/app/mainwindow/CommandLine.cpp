#include "app/mainwindow/CommandLine.h"

#include "app/ProgramFiles.h"
#include "app/mainwindow/TimeStepTexts.h"

#include <QLocale>

#include <cmath>

namespace {

// A decimal number in the user's locale or, as shells and scripts write
// it, with a point.
bool ParseNumber(const std::string& text, long double& value)
{
  const QString s = QString::fromStdString(text).trimmed();
  bool ok = false;
  double v = QLocale().toDouble(s, &ok);
  if (!ok) v = QLocale::c().toDouble(s, &ok);
  if (!ok || !std::isfinite(v)) return false;
  value = v;
  return true;
}

// Blanks and control characters around the path are not part of it.
std::string Trimmed(const std::string& s)
{
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

}  // namespace

TCommandLine ParseCommandLine(const std::vector<std::string>& args,
                              const std::string& programDir)
{
  TCommandLine result;
  std::size_t first = 0;
  long double jd = 0;
  if (!args.empty() && ParseNumber(args[0], jd) && IsShownJD(jd)) {
    result.JD = jd;
    first = 1;
  }
  std::string path;
  for (std::size_t i = first; i < args.size(); ++i) {
    if (i > first) path += ' ';
    path += args[i];
  }
  result.DocumentPath = Trimmed(path);
  result.NamedDocument = !result.DocumentPath.empty();
  if (!result.NamedDocument) result.DocumentPath = programDir + LastDocumentName;
  return result;
}
