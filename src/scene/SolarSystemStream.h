// The scene record of a document: a fixed sequence of values, with no names
// or framing, written in the current layout (1.7) and read in each of the
// layouts documents have had (1.7, 1.6, 1.5 and 1.0/1.1).
//
// The readers check nothing of their own: values go through the scene's
// properties and setters (so a setter's range rule still holds), and a value
// of the wrong kind or the end of the data raises the stream's EReadError.
// Whatever was applied before an error stays applied.
#pragma once

#include "stream/TaggedStream.h"
#include "scene/SolarSystem.h"

#include <string>
#include <vector>

void WriteScene(TWriter& writer, TSolarSystem& scene);

// Each spacecraft named in the record is loaded from programDir + name when
// that file exists (a name with a directory part is never looked for); a
// file that exists but cannot be read fails the reading. The names are
// appended to spacecraftFiles as they are read, whether or not their files
// exist.
void ReadScene17(TReader& reader, TSolarSystem& scene, const std::string& programDir,
                 std::vector<std::string>& spacecraftFiles);
// ShowSpacecrafts, colour index 13, the trajectory settings and the
// spacecraft keep their values.
void ReadScene16(TReader& reader, TSolarSystem& scene);
// No satellites, user lines or positions in these: satellites are shown, in
// the default satellite colour. Neither reader recomputes the bodies read,
// the caller sets the instant again.
void ReadScene15(TReader& reader, TSolarSystem& scene);
void ReadScene10(TReader& reader, TSolarSystem& scene);

// Makes `to` hold everything the scene record holds of `from` (the
// spacecraft loaded again from programDir + their file names), through the
// record itself, so that nothing is left out. A document is read into such
// a copy and copied back only when it was read in full.
void CopySceneRecord(TSolarSystem& from, TSolarSystem& to, const std::string& programDir);

// The colour of all satellites of documents that had no satellites.
constexpr TColor OldDocumentSatelliteColor = 0x008080;
