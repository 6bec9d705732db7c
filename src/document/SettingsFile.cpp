#include "document/SettingsFile.h"

#include "stream/ByteStreams.h"
#include "stream/TextConversion.h"

#include <cstdint>
#include <fstream>
#include <functional>
#include <iterator>
#include <system_error>
#include <vector>

namespace {

constexpr std::size_t MaxTextCharacters = 2047;

// The file as lines, kept verbatim so that lines the program does not own
// are written back exactly as they were.
struct TIniText {
  std::string Bom;          // a UTF-8 byte-order mark, kept in place
  std::string Eol = "\n";   // the file's own line ending
  std::vector<std::string> Lines;
};

bool IsBlank(char c)
{
  return c == ' ' || c == '\t';
}

std::string Trim(const std::string& s)
{
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

bool SameName(const std::string& a, const std::string& b)
{
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

TIniText ParseIni(const std::string& content)
{
  TIniText t;
  std::size_t start = 0;
  if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    t.Bom = content.substr(0, 3);
    start = 3;
  }
  if (content.find("\r\n") != std::string::npos) t.Eol = "\r\n";
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    t.Lines.push_back(std::move(line));
    start = end + 1;
  }
  return t;
}

std::string JoinIni(const TIniText& t)
{
  std::string out = t.Bom;
  for (const std::string& line : t.Lines) out += line + t.Eol;
  return out;
}

bool SectionName(const std::string& line, std::string& name)
{
  const std::string s = Trim(line);
  if (s.empty() || s[0] != '[') return false;
  const std::size_t close = s.find(']');
  if (close == std::string::npos) return false;
  name = Trim(s.substr(1, close - 1));
  return true;
}

bool KeyLine(const std::string& line, std::string& key, std::string& value)
{
  const std::string s = Trim(line);
  if (s.empty() || s[0] == ';' || s[0] == '[') return false;
  const std::size_t eq = s.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(s.substr(0, eq));
  value = Trim(s.substr(eq + 1));
  return true;
}

// The lines [first, last) of the first section of that name; false if none.
bool FindSection(const TIniText& t, const std::string& section, std::size_t& first, std::size_t& last)
{
  std::string name;
  for (std::size_t i = 0; i < t.Lines.size(); ++i) {
    if (!SectionName(t.Lines[i], name) || !SameName(name, section)) continue;
    first = i + 1;
    last = first;
    while (last < t.Lines.size() && !SectionName(t.Lines[last], name)) ++last;
    return true;
  }
  return false;
}

bool FindValue(const TIniText& t, const std::string& section, const std::string& key, std::string& value)
{
  std::size_t first, last;
  if (!FindSection(t, section, first, last)) return false;
  std::string k, v;
  for (std::size_t i = first; i < last; ++i) {
    if (KeyLine(t.Lines[i], k, v) && SameName(k, key)) {
      // A value in matching quotes loses them, as the platform's reader does.
      if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0]) v = v.substr(1, v.size() - 2);
      value = v;
      return true;
    }
  }
  return false;
}

void SetValue(TIniText& t, const std::string& section, const std::string& key, const std::string& value)
{
  std::string clean = value;
  // A line break in a value (a table directory read from a document, say)
  // would start new lines of the file.
  for (char& c : clean)
    if (c == '\r' || c == '\n') c = ' ';
  const std::string line = key + "=" + clean;

  std::size_t first, last;
  if (!FindSection(t, section, first, last)) {
    t.Lines.push_back("[" + section + "]");
    t.Lines.push_back(line);
    return;
  }
  std::string k, v;
  std::size_t insertAt = first;
  for (std::size_t i = first; i < last; ++i) {
    if (KeyLine(t.Lines[i], k, v) && SameName(k, key)) {
      t.Lines[i] = line;
      return;
    }
    if (!Trim(t.Lines[i]).empty()) insertAt = i + 1;
  }
  // After the section's last non-blank line, so that blank lines keep
  // separating it from the next section.
  t.Lines.insert(t.Lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

// At most MaxTextCharacters characters (not bytes) of UTF-8 text.
std::string CutText(const std::string& s)
{
  std::size_t count = 0;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
    if (++count > MaxTextCharacters) return s.substr(0, i);
  }
  return s;
}

bool ReadWholeFile(const std::filesystem::path& fileName, std::string& content)
{
  std::ifstream in(fileName, std::ios::binary);
  if (!in) return false;
  content.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Every key in its section, in the order the file is written.
void ForEachKey(const std::function<void(const char*, const char*, const std::string&)>& put,
                const TSettings& s)
{
  auto i = [](int v) { return std::to_string(v); };
  auto b = [](bool v) { return std::string(v ? "1" : "0"); };
  put("MainForm", "Top", i(s.MainTop));
  put("MainForm", "Left", i(s.MainLeft));
  put("MainForm", "Width", i(s.MainWidth));
  put("MainForm", "Height", i(s.MainHeight));
  put("MainForm", "Page", i(s.MainPage));
  put("DescriptionForm", "Top", i(s.DescriptionTop));
  put("DescriptionForm", "Left", i(s.DescriptionLeft));
  put("DescriptionForm", "Width", i(s.DescriptionWidth));
  put("DescriptionForm", "Height", i(s.DescriptionHeight));
  put("DescriptionForm", "StayOnTop", b(s.DescriptionStayOnTop));
  put("MonitorForm", "Top", i(s.MonitorTop));
  put("MonitorForm", "Left", i(s.MonitorLeft));
  put("MonitorForm", "StayOnTop", b(s.MonitorStayOnTop));
  put("Colors", "Color0", i(0));
  put("Colors", "Color1", i(s.BgColor));
  put("Colors", "Color2", i(s.GridColor));
  put("Bitmap", "Size", i(s.BitmapSize));
  put("Bitmap", "Path", s.BitmapPath);
  put("Database", "Path", s.DatabasePath);
  put("Database", "Table", s.DatabaseTable);
  // The folders and print choices the user made; written only once made,
  // so that a file of an earlier build reads and writes as it did.
  if (!s.DocumentPath.empty()) put("Documents", "Path", s.DocumentPath);
  if (s.PrintScheme != 0) put("Print", "Scheme", i(s.PrintScheme));
  if (!s.PrintPdfPath.empty()) put("Print", "PdfPath", s.PrintPdfPath);
  if (s.PrintDescription) put("Print", "Description", b(s.PrintDescription));
}

}  // namespace

bool ParseSettingsInteger(const std::string& text, int& value)
{
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    if (text.size() > 10) return false;
    std::uint32_t v = 0;
    for (std::size_t i = 2; i < text.size(); ++i) {
      const char c = text[i];
      int d;
      if (c >= '0' && c <= '9') d = c - '0';
      else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
      else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
      else return false;
      v = v << 4 | static_cast<std::uint32_t>(d);
    }
    value = static_cast<int>(static_cast<std::int32_t>(v));
    return true;
  }
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t v = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    v = v * 10 + (text[i] - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > 2147483647LL) return false;
  value = static_cast<int>(v);
  return true;
}

TSettings ReadSettingsFile(const std::filesystem::path& fileName, const TSettings& defaults,
                           const std::string& programDir)
{
  TSettings s = defaults;
  std::string content;
  if (ReadWholeFile(fileName, content)) {
    const TIniText t = ParseIni(content);
    auto readInt = [&](const char* section, const char* key, int& field) {
      std::string v;
      int n;
      if (FindValue(t, section, key, v) && ParseSettingsInteger(v, n)) field = n;
    };
    auto readBool = [&](const char* section, const char* key, bool& field) {
      std::string v;
      int n;
      if (FindValue(t, section, key, v) && ParseSettingsInteger(v, n)) field = n != 0;
    };
    auto readText = [&](const char* section, const char* key, std::string& field) {
      std::string v;
      if (!FindValue(t, section, key, v)) return;
      // A file from an 8-bit system holds Windows-1252 rather than UTF-8.
      if (SanitizeUtf8(v) != v) v = Windows1252ToUtf8(v);
      field = CutText(v);
    };
    readInt("MainForm", "Top", s.MainTop);
    readInt("MainForm", "Left", s.MainLeft);
    readInt("MainForm", "Width", s.MainWidth);
    readInt("MainForm", "Height", s.MainHeight);
    readInt("MainForm", "Page", s.MainPage);
    readInt("DescriptionForm", "Top", s.DescriptionTop);
    readInt("DescriptionForm", "Left", s.DescriptionLeft);
    readInt("DescriptionForm", "Width", s.DescriptionWidth);
    readInt("DescriptionForm", "Height", s.DescriptionHeight);
    readBool("DescriptionForm", "StayOnTop", s.DescriptionStayOnTop);
    readInt("MonitorForm", "Top", s.MonitorTop);
    readInt("MonitorForm", "Left", s.MonitorLeft);
    readBool("MonitorForm", "StayOnTop", s.MonitorStayOnTop);
    readInt("Bitmap", "Size", s.BitmapSize);
    readText("Bitmap", "Path", s.BitmapPath);
    readText("Database", "Path", s.DatabasePath);
    readText("Database", "Table", s.DatabaseTable);
    std::string motion;
    if (FindValue(t, "MinorBodies", "Motion", motion)) {
      if (SameName(motion, "kepler")) s.PerturbedMotion = false;
      else if (SameName(motion, "perturbed")) s.PerturbedMotion = true;
    }
    readText("Documents", "Path", s.DocumentPath);
    readInt("Print", "Scheme", s.PrintScheme);
    readText("Print", "PdfPath", s.PrintPdfPath);
    readBool("Print", "Description", s.PrintDescription);
  }
  if (s.PrintScheme < 0 || s.PrintScheme > 3) s.PrintScheme = 0;
  std::error_code ec;
  if (s.DatabasePath.empty() || !std::filesystem::is_directory(s.DatabasePath, ec))
    s.DatabasePath = programDir;
  return s;
}

void WriteSettingsFile(const std::filesystem::path& fileName, const TSettings& settings)
{
  const std::string failure = "Unable to write to " + fileName.string();
  TIniText t;
  std::error_code ec;
  if (std::filesystem::exists(fileName, ec)) {
    // Lines the program does not own must survive; if they cannot be read,
    // the file is not replaced.
    std::string content;
    if (!ReadWholeFile(fileName, content)) throw ESettingsWriteError(failure);
    t = ParseIni(content);
  }
  ForEachKey([&](const char* section, const char* key, const std::string& value) { SetValue(t, section, key, value); },
             settings);
  std::string motion;
  if (!settings.PerturbedMotion || FindValue(t, "MinorBodies", "Motion", motion))
    SetValue(t, "MinorBodies", "Motion", settings.PerturbedMotion ? "perturbed" : "kepler");
  const std::string content = JoinIni(t);
  try {
    TReplacingFileStream out(fileName);
    if (out.Write(content.data(), content.size()) != content.size()) throw ESettingsWriteError(failure);
    out.Commit();
  } catch (const EFileError&) {
    throw ESettingsWriteError(failure);
  }
}
