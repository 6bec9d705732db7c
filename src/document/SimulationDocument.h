// Simulation documents (".orb"): reading every generation of the format into
// the scene and a plain document state, and writing the current one.
//
// Layout of the current generation, 1.7: the header "sl v1.7", the scene
// record, then show-all flag, real-time mode, time step value and unit,
// monitor visibility and object, description colour and visibility, table
// directory and file name, and the description record (a line count, then
// the lines of its rich text). 1.6 and 1.5 differ only in the header and the
// scene record. 1.0 and 1.1 documents have no header, keep the window
// places, and keep their description in a side file (".rtf").
//
// The window hands over its current state and applies what comes back; this
// layer touches no window.
#pragma once

#include "stream/ByteStreams.h"
#include "stream/TaggedStream.h"
#include "scene/SolarSystem.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

enum class TDocumentVersion { None, V10, V15, V16, V17 };

// "1.0" (for 1.0 and 1.1), "1.5", "1.6", "1.7"; "" for None.
const char* DocumentVersionText(TDocumentVersion version);

// The part of a document that belongs to the main window and its companions.
struct TDocumentState {
  bool ShowAllObjects = false;  // "Show all objects" down
  bool RealTimeMode = false;
  long double TimeStepValue = 1;
  int TimeStepUnit = tsuDay;  // a time-step unit code
  bool MonitorVisible = false;
  std::string MonitorObject;
  TColor DescriptionColor = 0xFFFFFF;  // background of the description text
  bool DescriptionVisible = false;
  std::string TablePath;  // directory of the minor-body table in use
  std::string TableName;  // its file name
  std::vector<std::string> Description;  // the lines of the description's rich text
  // Window places, only in 1.0/1.1 documents: left, top, width, height.
  std::optional<std::array<int, 4>> MainWindow;
  std::optional<std::array<int, 2>> MonitorPos;  // left, top
  std::optional<std::array<int, 4>> DescriptionWindow;
};

// Descriptions are rich text of a few kilobytes; one beyond this (in the
// document or in its side file) is not read, as reading it would cost time
// and memory in proportion and show nothing anyone wrote.
constexpr std::uintmax_t MaxDescriptionBytes = 16u << 20;
constexpr const char* MaxDescriptionText = "16 MB";

// What reading a document does with its description: keep it (the window,
// and commands that show it), or pass over it (commands that draw only the
// scene): the lines of the record are not kept and the side file of a
// 1.0/1.1 document is not read.
enum class TDescriptionUse { Keep, PassOver };

struct TDocumentReadResult {
  TDocumentVersion Version = TDocumentVersion::None;
  // What was left out of a document read in full, for the reader to be told:
  // a description larger than MaxDescriptionBytes.
  std::string Notice;
  // "Error reading file PATH." when reading stopped at damaged data (with
  // "The file is damaged: ..." when a list counts more items than the file
  // can hold); the
  // scene and the state then hold what was read up to there (the window
  // reads into a copy and drops it). Reason says why (ReadFailureReason).
  std::string Error;
  std::string Reason;
  // The minor-body table the document names, when read that far. Documents
  // before 1.7 switch the state's table to it (TableChanged); 1.7 documents
  // carry it for information only and leave the table in use alone.
  std::string DocumentTablePath;
  std::string DocumentTableName;
  bool TableChanged = false;
  // File names of the spacecraft of a 1.7 scene, as read.
  std::vector<std::string> SpacecraftFiles;

  bool Failed() const { return !Error.empty(); }
  // An old document read completely may be rewritten in the current format;
  // one that failed halfway must not be, as that would store a partial state.
  bool OfferConversion() const;
};

// A document that cannot be written: "Could not create file PATH.".
class EDocumentWriteError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Identifies the version and reads the document into scene and state, which
// hold the caller's current values on entry: what the document does not
// carry (or, after an error, did not reach) keeps its value. The spacecraft
// list is emptied whatever the version; an unrecognised header changes
// nothing else. The caller then sets the instant of the scene again, as
// every reader expects.
// Throws EFileError ("Cannot open file "PATH". reason") when the file cannot
// be opened; nothing has changed then.
TDocumentReadResult OpenDocument(const std::filesystem::path& path, TSolarSystem& scene,
                                 TDocumentState& state, const std::string& programDir,
                                 TDescriptionUse use = TDescriptionUse::Keep);
// The same on an open stream; `path` names the document in the message and
// locates the side file of a 1.0/1.1 document.
TDocumentReadResult OpenDocument(TStream& stream, const std::filesystem::path& path,
                                 TSolarSystem& scene, TDocumentState& state,
                                 const std::string& programDir,
                                 TDescriptionUse use = TDescriptionUse::Keep);

// The version of a document from its first value: a String naming 1.5, 1.6
// or 1.7 (blanks and control characters around it ignored), anything but a
// String 1.0, and any other String None.
TDocumentVersion IdentifyDocument(TStream& stream);

// Why reading stopped, for the line under "Error reading file": the value
// the reader expected and the byte where it starts ("Expected a Float at
// byte 287, but the file ends before it."), or the error's own text.
std::string ReadFailureReason(const TReader& reader, const std::exception& error);
// "Error reading file PATH.", the first line of every such message.
std::string ReadErrorText(const std::filesystem::path& path);

// Writes the document as 1.7. The previous file is replaced only once the
// new one is complete. Throws EDocumentWriteError.
void SaveDocument(const std::filesystem::path& path, TSolarSystem& scene,
                  const TDocumentState& state);
void WriteDocument(TWriter& writer, TSolarSystem& scene, const TDocumentState& state);

// The side file of a 1.0/1.1 document: its path with the extension ".rtf".
std::filesystem::path DescriptionFilePath(const std::filesystem::path& document);
// The lines of a side file's rich text. A file that is missing, cannot be
// read or is larger than MaxDescriptionBytes gives no lines and false; for
// the last `notice` (when given) says so.
bool LoadDescriptionFile(const std::filesystem::path& side, std::vector<std::string>& lines,
                         std::string* notice = nullptr);

// The lines of a text file split at CR, LF or CR LF, as the description
// record holds them. False when the file cannot be read or holds more than
// `maxBytes`; nothing beyond that is read.
bool ReadTextLines(const std::filesystem::path& path, std::vector<std::string>& lines,
                   std::uintmax_t maxBytes = UINTMAX_MAX);
