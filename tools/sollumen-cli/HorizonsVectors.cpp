// The parts of a Horizons vector table used here: the header lines
//   Center body name: Sun (10)           {source: DE441}
//   Center-site name: BODY CENTER
//   Output units    : AU-D               (or KM-S, KM-D)
//   Reference frame : Ecliptic of J2000.0
// (older tables: "Reference frame : ICRF/J2000.0" and "Coordinate systm:
// Ecliptic and Mean Equinox of Reference Epoch"), and the records between
// $$SOE and $$EOE: either a line "JD = A.D. date" followed by lines holding
// "X = ... Y = ... Z = ..." (or the bare numbers), or one comma-separated
// line per record whose columns the last header line names
// ("JDTDB, Calendar Date (TDB), X, Y, Z, ...").
#include "HorizonsVectors.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace {

constexpr long double KilometresPerAU = 149597870.7L;

std::string Lower(std::string s)
{
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trim(const std::string& s)
{
  std::size_t b = 0, e = s.size();
  while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
  return s.substr(b, e - b);
}

bool Contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// A whole text as a finite number.
std::optional<long double> Number(const std::string& text)
{
  const std::string t = Trim(text);
  if (t.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  const long double v = std::strtold(t.c_str(), &end);
  if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(v)) return std::nullopt;
  return v;
}

std::vector<std::string> SplitCommas(const std::string& line)
{
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(Trim(line.substr(start, comma == std::string::npos ? comma : comma - start)));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fields;
}

class THorizonsTable {
public:
  THorizonsTable(const std::string& path, const THorizonsCentre& centre)
      : path_(path), centre_(centre)
  {
  }

  std::vector<TSpacecraftPosition> Read()
  {
    std::ifstream in(path_, std::ios::binary);
    if (!in) throw Fault("cannot be opened");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
    }
    if (in.bad()) throw Fault("cannot be read");

    std::size_t soe = lines.size(), eoe = lines.size();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      const std::string t = Trim(lines[i]);
      if (t == "$$SOE" && soe == lines.size()) soe = i;
      else if (t == "$$EOE" && soe < lines.size()) {
        eoe = i;
        break;
      }
    }
    if (soe == lines.size() || eoe == lines.size())
      throw Fault("holds no $$SOE ... $$EOE block; is it a Horizons vector table in text form?");

    const std::vector<std::string> header(lines.begin(), lines.begin() + soe);
    CheckHeader(header);
    const std::vector<std::string> data(lines.begin() + soe + 1, lines.begin() + eoe);
    std::vector<TSpacecraftPosition> points;
    bool csv = false;
    for (const std::string& line : data)
      if (!Trim(line).empty()) {
        csv = Contains(line, ",");
        break;
      }
    if (csv)
      ReadCsv(header, data, points);
    else
      ReadText(data, points);

    if (points.empty()) throw Fault("holds no records between $$SOE and $$EOE");
    for (std::size_t i = 1; i < points.size(); ++i)
      if (points[i].JD < points[i - 1].JD)
        throw Fault("has records that go back in time (at JD " + JDText(points[i].JD) + ")");
    if (points.size() > 0x7FFFFFFF) throw Fault("holds too many records");
    return points;
  }

private:
  std::runtime_error Fault(const std::string& what) const
  {
    return std::runtime_error(path_ + ": " + what);
  }

  // At most 60 characters of a line, for a message.
  static std::string Excerpt(const std::string& line)
  {
    const std::string t = Trim(line);
    return t.size() > 60 ? t.substr(0, 60) + "..." : t;
  }

  // The number in the last parentheses closing a text: "Mars (499)".
  static std::optional<long long> BodyNumber(const std::string& text)
  {
    const std::string t = Trim(text);
    const std::size_t open = t.rfind('(');
    if (t.empty() || t.back() != ')' || open == std::string::npos) return std::nullopt;
    const std::string inside = t.substr(open + 1, t.size() - open - 2);
    if (inside.empty() || inside == "-" || inside.size() > 12) return std::nullopt;
    for (std::size_t k = 0; k < inside.size(); ++k)
      if (!std::isdigit(static_cast<unsigned char>(inside[k])) && !(k == 0 && inside[k] == '-'))
        return std::nullopt;
    return std::stoll(inside);
  }

  static std::string JDText(long double jd)
  {
    char text[64];
    std::snprintf(text, sizeof text, "%.6Lf", jd);
    return text;
  }

  // The value of a header line "Key : value", without a trailing {...}.
  static std::optional<std::string> HeaderValue(const std::vector<std::string>& header,
                                                const char* key)
  {
    const std::string k = Lower(key);
    for (const std::string& line : header) {
      const std::string t = Trim(line);
      if (Lower(t).rfind(k, 0) != 0) continue;
      const std::size_t colon = t.find(':', k.size());
      if (colon == std::string::npos || !Trim(t.substr(k.size(), colon - k.size())).empty())
        continue;
      std::string value = t.substr(colon + 1);
      const std::size_t brace = value.find('{');
      if (brace != std::string::npos) value = value.substr(0, brace);
      return Trim(value);
    }
    return std::nullopt;
  }

  void CheckHeader(const std::vector<std::string>& header)
  {
    const auto body = HeaderValue(header, "Center body name");
    if (!body) throw Fault("the header names no centre (\"Center body name\")");
    // "Sun (10)", "Mars (499)": the number in the last parentheses.
    const std::optional<long long> number = BodyNumber(*body);
    const bool matches =
        number ? *number == centre_.Number : Lower(*body) == Lower(centre_.Name);
    if (!matches)
      throw Fault("the centre is " + *body + ", not " + centre_.Name + " (" +
                  std::to_string(centre_.Number) + ")");
    const auto site = HeaderValue(header, "Center-site name");
    if (site && Lower(*site) != "body center")
      throw Fault("the centre is the site " + *site + ", not the body centre of " + centre_.Name);

    const auto units = HeaderValue(header, "Output units");
    if (!units) throw Fault("the header names no units (\"Output units\")");
    const std::string u = Lower(*units);
    if (u.rfind("au", 0) == 0)
      scale_ = 1;
    else if (u.rfind("km", 0) == 0)
      scale_ = 1 / KilometresPerAU;
    else
      throw Fault("the units are " + *units + ", not AU or km");

    const auto frame = HeaderValue(header, "Reference frame");
    if (!frame) throw Fault("the header names no reference frame (\"Reference frame\")");
    const auto system = HeaderValue(header, "Coordinate systm");
    const std::string f = Lower(*frame);
    const std::string s = system ? Lower(*system) : "";
    const bool ecliptic = Contains(f, "ecliptic") || Contains(s, "ecliptic");
    const bool j2000 = (Contains(f, "j2000") || Contains(f, "icrf")) && !Contains(f, "b1950") &&
                       !Contains(f, "fk4") &&
                       (s.empty() || Contains(s, "reference epoch") || Contains(s, "j2000"));
    const std::string said = *frame + (system ? ", " + *system : "");
    if (!ecliptic)
      throw Fault("the reference plane is not the ecliptic (" + said +
                  "); ask for REF_PLANE=ECLIPTIC");
    if (!j2000)
      throw Fault("the frame is not the ecliptic of J2000.0 (" + said +
                  "); ask for REF_SYSTEM=J2000");
  }

  TSpacecraftPosition Point(long double jd, long double x, long double y, long double z) const
  {
    return {jd, {x * scale_, y * scale_, z * scale_}};
  }

  // The Julian date that starts a record line "2451545.000000000 = A.D. ...".
  static std::optional<long double> RecordJD(const std::string& line)
  {
    std::size_t p = 0;
    while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p]))) ++p;
    const std::size_t start = p;
    while (p < line.size() && (std::isdigit(static_cast<unsigned char>(line[p])) || line[p] == '.'))
      ++p;
    const std::size_t end = p;
    while (p < line.size() && std::isspace(static_cast<unsigned char>(line[p]))) ++p;
    if (end == start || p == line.size() || line[p] != '=') return std::nullopt;
    return Number(line.substr(start, end - start));
  }

  // The values labelled "X =", "Y =" and "Z =" in a line (not "VX =").
  static void LabelledValues(const std::string& line, std::optional<long double> (&xyz)[3])
  {
    for (std::size_t p = 0; p < line.size(); ++p) {
      const char c = line[p];
      if (c < 'X' || c > 'Z') continue;
      if (p > 0 && !std::isspace(static_cast<unsigned char>(line[p - 1]))) continue;
      std::size_t q = p + 1;
      while (q < line.size() && line[q] == ' ') ++q;
      if (q == line.size() || line[q] != '=') continue;
      ++q;
      while (q < line.size() && line[q] == ' ') ++q;
      std::size_t e = q;
      while (e < line.size() && !std::isspace(static_cast<unsigned char>(line[e]))) ++e;
      // "X =-1.2E-04Y = ..." does not occur: values are followed by blanks.
      if (!xyz[c - 'X']) xyz[c - 'X'] = Number(line.substr(q, e - q));
      p = e;
    }
  }

  void ReadText(const std::vector<std::string>& data, std::vector<TSpacecraftPosition>& points)
  {
    std::size_t i = 0;
    while (i < data.size()) {
      if (Trim(data[i]).empty()) {
        ++i;
        continue;
      }
      const std::optional<long double> jd = RecordJD(data[i]);
      if (!jd)
        throw Fault("a record does not start with a Julian date: \"" + Excerpt(data[i]) + "\"");
      // The record's lines up to the next Julian date.
      std::size_t end = i + 1;
      while (end < data.size() && !RecordJD(data[end])) ++end;
      std::optional<long double> xyz[3];
      for (std::size_t k = i + 1; k < end; ++k) LabelledValues(data[k], xyz);
      if (!xyz[0] && !xyz[1] && !xyz[2] && end > i + 1) {
        // Without labels the first line holds x, y and z.
        std::istringstream fields(data[i + 1]);
        std::string field;
        for (int axis = 0; axis < 3 && fields >> field; ++axis) xyz[axis] = Number(field);
      }
      if (!xyz[0] || !xyz[1] || !xyz[2])
        throw Fault("the record at JD " + JDText(*jd) + " has no X, Y and Z");
      points.push_back(Point(*jd, *xyz[0], *xyz[1], *xyz[2]));
      i = end;
    }
  }

  void ReadCsv(const std::vector<std::string>& header, const std::vector<std::string>& data,
               std::vector<TSpacecraftPosition>& points)
  {
    // The columns named by the last header line that has them.
    int jdColumn = -1, xColumn = -1, yColumn = -1, zColumn = -1;
    for (auto line = header.rbegin(); line != header.rend() && xColumn < 0; ++line) {
      if (!Contains(*line, ",")) continue;
      const std::vector<std::string> names = SplitCommas(*line);
      int jd = -1, x = -1, y = -1, z = -1;
      for (int c = 0; c < static_cast<int>(names.size()); ++c) {
        const std::string n = Lower(names[c]);
        if (n.rfind("jd", 0) == 0 && jd < 0) jd = c;
        if (n == "x") x = c;
        if (n == "y") y = c;
        if (n == "z") z = c;
      }
      if (jd >= 0 && x >= 0 && y >= 0 && z >= 0) {
        jdColumn = jd;
        xColumn = x;
        yColumn = y;
        zColumn = z;
      }
    }
    for (const std::string& line : data) {
      if (Trim(line).empty()) continue;
      const std::vector<std::string> fields = SplitCommas(line);
      std::optional<long double> jd, xyz[3];
      if (xColumn >= 0) {
        auto field = [&](int c) {
          return c < static_cast<int>(fields.size()) ? Number(fields[c]) : std::nullopt;
        };
        jd = field(jdColumn);
        xyz[0] = field(xColumn);
        xyz[1] = field(yColumn);
        xyz[2] = field(zColumn);
      } else {
        // No column names: the Julian date first, then the first three
        // numbers after it (a calendar date is no number).
        jd = Number(fields[0]);
        int axis = 0;
        for (std::size_t c = 1; c < fields.size() && axis < 3; ++c)
          if (auto v = Number(fields[c])) xyz[axis++] = v;
      }
      if (!jd) throw Fault("a record has no Julian date: \"" + Excerpt(line) + "\"");
      if (!xyz[0] || !xyz[1] || !xyz[2])
        throw Fault("the record at JD " + JDText(*jd) + " has no X, Y and Z");
      points.push_back(Point(*jd, *xyz[0], *xyz[1], *xyz[2]));
    }
  }

  std::string path_;
  THorizonsCentre centre_;
  long double scale_ = 1;
};

}  // namespace

std::vector<TSpacecraftPosition> ReadHorizonsVectors(const std::string& path,
                                                     const THorizonsCentre& centre)
{
  return THorizonsTable(path, centre).Read();
}

int HorizonsPlanetNumber(int index)
{
  static constexpr int numbers[9] = {399, 199, 299, 499, 599, 699, 799, 899, 999};
  return index >= 0 && index < 9 ? numbers[index] : 0;
}
