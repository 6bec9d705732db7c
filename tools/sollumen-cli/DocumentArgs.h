// Reading a document for the commands that take one (dump, convert, render).
#pragma once

#include "Cli.h"

#include "document/SimulationDocument.h"

#include <string>

// The directory sollumen-cli lies in, ending with the path separator: where
// the program's own files are looked for unless --program-dir says otherwise.
std::string DefaultProgramDir();

// Reads `path` by the rules of opening a document into scene and state. A
// file that cannot be opened or read throws with the document's message;
// an unrecognised header returns version None with nothing read. What was
// left out (a description too large) is told on stderr. Commands that draw
// only the scene pass over the description.
TDocumentReadResult ReadDocumentOrThrow(const std::string& path, TSolarSystem& scene,
                                        TDocumentState& state, const std::string& programDir,
                                        TDescriptionUse use = TDescriptionUse::Keep);
// The same, and an unrecognised header is an error too.
TDocumentReadResult ReadKnownDocument(const std::string& path, TSolarSystem& scene,
                                      TDocumentState& state, const std::string& programDir,
                                      TDescriptionUse use = TDescriptionUse::Keep);

// The plain text of a description's rich text lines, where the program has
// a reader of rich text (the Qt side registers it); null otherwise.
extern std::string (*DescriptionPlainText)(const std::vector<std::string>& lines);
