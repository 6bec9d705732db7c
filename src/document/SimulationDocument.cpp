#include "document/SimulationDocument.h"

#include "stream/TextConversion.h"
#include "scene/SolarSystemStream.h"

#include <cerrno>
#include <fstream>
#include <iterator>
#include <system_error>

namespace {

const char* const Header15 = "sl v1.5";
const char* const Header16 = "sl v1.6";
const char* const Header17 = "sl v1.7";

// Blanks and control characters around a header are not part of it.
std::string Trimmed(const std::string& s)
{
  auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  std::size_t b = 0, e = s.size();
  while (b < e && isSpace(s[b])) ++b;
  while (e > b && isSpace(s[e - 1])) --e;
  return s.substr(b, e - b);
}

TColor ReadColor(TReader& r) { return static_cast<TColor>(r.ReadIntValue()); }

std::string TooLarge(const std::string& what)
{
  return what + " is larger than " + MaxDescriptionText + " and was not read.";
}

// The record is always read through; its lines are kept only when wanted
// and while they stay within the bound.
void ReadDescription(TReader& r, TDocumentState& state, TDescriptionUse use,
                     const std::filesystem::path& path, TDocumentReadResult& result)
{
  const std::int32_t n = r.ReadCountValue(2, "description lines");  // a String takes 2 bytes or more
  bool keep = use == TDescriptionUse::Keep;
  std::uintmax_t bytes = 0;
  for (std::int32_t i = 0; i < n; ++i) {
    std::string line = r.ReadStringValue();
    if (!keep) continue;
    bytes += line.size() + 2;  // and its line end
    if (bytes > MaxDescriptionBytes) {
      keep = false;
      std::vector<std::string>().swap(state.Description);
      result.Notice = TooLarge("The description in \"" + path.string() + "\"");
      continue;
    }
    state.Description.push_back(std::move(line));
  }
}

void WriteDescription(TWriter& w, const TDocumentState& state)
{
  w.WriteIntValue(static_cast<std::int32_t>(state.Description.size()));
  for (const std::string& line : state.Description) w.WriteStringValue(line);
}

// Every reader first empties and hides the description.
void ClearDescription(TDocumentState& state)
{
  state.Description.clear();
  state.DescriptionVisible = false;
}

void ReadTable(TReader& r, TDocumentState& state, TDocumentReadResult& result, bool use)
{
  result.DocumentTablePath = r.ReadStringValue();
  result.DocumentTableName = r.ReadStringValue();
  if (use) {
    state.TablePath = result.DocumentTablePath;
    state.TableName = result.DocumentTableName;
    result.TableChanged = true;
  }
}

// Documents 1.5, 1.6 and 1.7: header, scene record, then the window state.
void ReadDocument(TReader& r, TDocumentVersion version, const std::string& header,
                  TSolarSystem& scene, TDocumentState& state, const std::string& programDir,
                  TDescriptionUse use, const std::filesystem::path& path,
                  TDocumentReadResult& result)
{
  ClearDescription(state);
  if (Trimmed(r.ReadStringValue()) != header) return;
  switch (version) {
    case TDocumentVersion::V17:
      ReadScene17(r, scene, programDir, result.SpacecraftFiles);
      break;
    case TDocumentVersion::V16: ReadScene16(r, scene); break;
    default: ReadScene15(r, scene); break;
  }
  state.ShowAllObjects = r.ReadBoolValue();
  state.RealTimeMode = r.ReadBoolValue();
  state.TimeStepValue = r.ReadFloatValue();
  state.TimeStepUnit = r.ReadIntValue();
  state.MonitorVisible = r.ReadBoolValue();
  state.MonitorObject = r.ReadStringValue();
  state.DescriptionColor = ReadColor(r);
  state.DescriptionVisible = r.ReadBoolValue();
  // A 1.7 document leaves the table in use as it is.
  ReadTable(r, state, result, version != TDocumentVersion::V17);
  ReadDescription(r, state, use, path, result);
}

void ReadDocument17(TReader& r, TSolarSystem& scene, TDocumentState& state,
                    const std::string& programDir, TDescriptionUse use,
                    const std::filesystem::path& path, TDocumentReadResult& result)
{
  ReadDocument(r, TDocumentVersion::V17, Header17, scene, state, programDir, use, path, result);
}

void ReadDocument16(TReader& r, TSolarSystem& scene, TDocumentState& state, TDescriptionUse use,
                    const std::filesystem::path& path, TDocumentReadResult& result)
{
  ReadDocument(r, TDocumentVersion::V16, Header16, scene, state, "", use, path, result);
}

void ReadDocument15(TReader& r, TSolarSystem& scene, TDocumentState& state, TDescriptionUse use,
                    const std::filesystem::path& path, TDocumentReadResult& result)
{
  ReadDocument(r, TDocumentVersion::V15, Header15, scene, state, "", use, path, result);
}

std::array<int, 4> ReadRect(TReader& r)
{
  std::array<int, 4> a{};
  for (int& v : a) v = r.ReadIntValue();
  return a;
}

void ReadDocument10(TReader& r, const std::filesystem::path& path, TSolarSystem& scene,
                    TDocumentState& state, TDescriptionUse use, TDocumentReadResult& result)
{
  ClearDescription(state);
  ReadScene10(r, scene);
  state.MainWindow = ReadRect(r);
  state.ShowAllObjects = r.ReadBoolValue();
  state.TimeStepValue = r.ReadFloatValue();
  state.TimeStepUnit = r.ReadIntValue();
  state.MonitorVisible = r.ReadBoolValue();
  std::array<int, 2> monitor{};
  monitor[0] = r.ReadIntValue();
  monitor[1] = r.ReadIntValue();
  state.MonitorPos = monitor;
  state.MonitorObject = r.ReadStringValue();
  state.DescriptionWindow = ReadRect(r);
  state.DescriptionColor = ReadColor(r);
  state.DescriptionVisible = r.ReadBoolValue();
  ReadTable(r, state, result, true);
  // The description lies beside the document; when it is there the window
  // shows it, whatever the document says.
  if (use == TDescriptionUse::Keep &&
      LoadDescriptionFile(DescriptionFilePath(path), state.Description, &result.Notice))
    state.DescriptionVisible = true;
}

}  // namespace

std::string ReadErrorText(const std::filesystem::path& path)
{
  return "Error reading file " + path.string() + ".";
}

std::string ReadFailureReason(const TReader& reader, const std::exception& error)
{
  const std::string at = " at byte " + std::to_string(reader.ValueStart());
  const std::string what = error.what();
  if (dynamic_cast<const ECountTooLarge*>(&error))
    return "Expected the items of a list after the count" + at + ", but " + what + ".";
  if (*reader.ExpectedKind() == '\0') return what;
  const std::string expected = std::string("Expected ") + reader.ExpectedKind() + at;
  if (what == StreamReadErrorMessage) return expected + ", but the file ends before it.";
  if (what == InvalidPropertyValueMessage)
    return expected + ", but found a value that does not fit there.";
  return what + " (after the value" + at + ").";
}

const char* DocumentVersionText(TDocumentVersion version)
{
  switch (version) {
    case TDocumentVersion::V10: return "1.0";
    case TDocumentVersion::V15: return "1.5";
    case TDocumentVersion::V16: return "1.6";
    case TDocumentVersion::V17: return "1.7";
    default: return "";
  }
}

bool TDocumentReadResult::OfferConversion() const
{
  return !Failed() && (Version == TDocumentVersion::V10 || Version == TDocumentVersion::V15 ||
                       Version == TDocumentVersion::V16);
}

TDocumentVersion IdentifyDocument(TStream& stream)
{
  TReader r(stream);
  std::string header;
  try {
    header = Trimmed(r.ReadStringValue());
  } catch (const EFilerError&) {
    return TDocumentVersion::V10;  // the first documents start with their scene
  }
  if (header == Header15) return TDocumentVersion::V15;
  if (header == Header16) return TDocumentVersion::V16;
  if (header == Header17) return TDocumentVersion::V17;
  return TDocumentVersion::None;
}

TDocumentReadResult OpenDocument(TStream& stream, const std::filesystem::path& path,
                                 TSolarSystem& scene, TDocumentState& state,
                                 const std::string& programDir, TDescriptionUse use)
{
  TDocumentReadResult result;
  const std::uint64_t start = stream.Position();
  result.Version = IdentifyDocument(stream);
  scene.SpacecraftsList().Clear();
  if (result.Version == TDocumentVersion::None) return result;

  stream.SetPosition(start);
  TReader r(stream);
  try {
    switch (result.Version) {
      case TDocumentVersion::V17:
        ReadDocument17(r, scene, state, programDir, use, path, result);
        break;
      case TDocumentVersion::V16: ReadDocument16(r, scene, state, use, path, result); break;
      case TDocumentVersion::V15: ReadDocument15(r, scene, state, use, path, result); break;
      default: ReadDocument10(r, path, scene, state, use, result); break;
    }
  } catch (const ECountTooLarge& e) {
    // Said in so many words: such a file is damaged or made to do harm.
    result.Error = ReadErrorText(path) + " The file is damaged: " + e.what() + ".";
    result.Reason = ReadFailureReason(r, e);
  } catch (const std::exception& e) {
    // Whatever stopped the reading (a wrong tag, the end of the data, a value
    // no body can be made of), the document as a whole is unreadable.
    result.Error = ReadErrorText(path);
    result.Reason = ReadFailureReason(r, e);
  }
  return result;
}

TDocumentReadResult OpenDocument(const std::filesystem::path& path, TSolarSystem& scene,
                                 TDocumentState& state, const std::string& programDir,
                                 TDescriptionUse use)
{
  // A directory opens like a file on some systems and then reads as nothing.
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec))
    throw EFileError("Cannot open file \"" + path.string() + "\". " +
                     std::system_category().message(EISDIR));
  TFileStream file(path, TFileMode::OpenRead);
  return OpenDocument(file, path, scene, state, programDir, use);
}

void WriteDocument(TWriter& w, TSolarSystem& scene, const TDocumentState& state)
{
  w.WriteStringValue(Header17);
  WriteScene(w, scene);
  w.WriteBoolValue(state.ShowAllObjects);
  w.WriteBoolValue(state.RealTimeMode);
  w.WriteFloatValue(state.TimeStepValue);
  w.WriteIntValue(state.TimeStepUnit);
  w.WriteBoolValue(state.MonitorVisible);
  w.WriteStringValue(state.MonitorObject);
  w.WriteIntValue(static_cast<std::int32_t>(state.DescriptionColor));
  w.WriteBoolValue(state.DescriptionVisible);
  w.WriteStringValue(state.TablePath);
  w.WriteStringValue(state.TableName);
  WriteDescription(w, state);
}

void SaveDocument(const std::filesystem::path& path, TSolarSystem& scene,
                  const TDocumentState& state)
{
  try {
    TReplacingFileStream file(path);
    {
      TWriter w(file);
      WriteDocument(w, scene, state);
      w.FlushBuffer();
    }
    file.Commit();
  } catch (const std::exception&) {
    throw EDocumentWriteError("Could not create file " + path.string() + ".");
  }
}

std::filesystem::path DescriptionFilePath(const std::filesystem::path& document)
{
  std::filesystem::path side = document;
  side.replace_extension(".rtf");
  return side;
}

bool LoadDescriptionFile(const std::filesystem::path& side, std::vector<std::string>& lines,
                         std::string* notice)
{
  std::error_code ec;
  if (std::filesystem::is_regular_file(side, ec)) {
    // A file too large is not read at all (one that grows meanwhile stops
    // being read at the bound).
    const std::uintmax_t size = std::filesystem::file_size(side, ec);
    if (!ec && size <= MaxDescriptionBytes && ReadTextLines(side, lines, MaxDescriptionBytes))
      return true;
    if (notice && !ec && size > MaxDescriptionBytes)
      *notice = TooLarge("The description file \"" + side.string() + "\"");
  }
  lines.clear();
  return false;
}

bool ReadTextLines(const std::filesystem::path& path, std::vector<std::string>& lines,
                   std::uintmax_t maxBytes)
{
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  // Read in blocks up to one byte beyond the bound, which is then refused.
  std::string text;
  char block[65536];
  while (in && text.size() <= maxBytes) {
    in.read(block, sizeof block);
    text.append(block, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad() || text.size() > maxBytes) return false;
  lines.clear();
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t e = text.find_first_of("\r\n", i);
    if (e == std::string::npos) e = text.size();
    // Text in the program is UTF-8; rich text files are 8-bit.
    lines.push_back(Windows1252ToUtf8(std::string_view(text).substr(i, e - i)));
    if (e < text.size() && text[e] == '\r' && e + 1 < text.size() && text[e + 1] == '\n') ++e;
    i = e + 1;
  }
  return true;
}
