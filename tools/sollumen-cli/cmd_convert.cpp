// sollumen-cli convert: rewrite a document of any version as 1.7.
#include "Cli.h"
#include "DocumentArgs.h"

namespace {

void RunConvert(const CliArgs& args, std::ostream&)
{
  if (args.size() != 2) throw UsageError("expected: convert IN OUT");
  TSolarSystem scene;
  TDocumentState state;
  const TDocumentReadResult result = ReadKnownDocument(args[0], scene, state, DefaultProgramDir());
  // The converted file names the same minor-body table as its source, also
  // where a 1.7 document would leave the table in use alone.
  state.TablePath = result.DocumentTablePath;
  state.TableName = result.DocumentTableName;
  // As the window does after reading: every body is recomputed at the
  // document's instant, so the positions written are those of that instant.
  scene.SetDateTime(scene.DateTime());
  SaveDocument(args[1], scene, state);
}

const char* const ConvertHelp =
    "usage: sollumen-cli convert IN OUT\n\n"
    "Reads the simulation document IN (any version: 1.0/1.1, 1.5, 1.6, 1.7)\n"
    "by the rules of opening a document and writes it to OUT as a version 1.7\n"
    "document. The description of a 1.0/1.1 document is taken from its side\n"
    "file IN.rtf when that exists. Prints nothing.\n\n"
    "A document that cannot be opened or read, one with an unknown header,\n"
    "and a file OUT that cannot be written print the message on stderr and\n"
    "exit with status 2; OUT is then left as it was.\n";

const CliCommand ConvertCommand("convert", "convert IN OUT   rewrite a document as version 1.7",
                                ConvertHelp, RunConvert);

}  // namespace
