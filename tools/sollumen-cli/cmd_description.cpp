// sollumen-cli description: the description of a document as the
// description window shows it, its paragraphs and runs, or its rich text as
// the program writes it.
#include "Cli.h"
#include "DocumentArgs.h"
#include "OffscreenApplication.h"

#include "app/richtext/DescriptionLines.h"
#include "app/richtext/RichTextListing.h"

#include <QTextDocument>

#include <memory>

namespace {

// Reads the lines into a document with the window's own font and hands it
// to `use`; an application object is made when there is none.
template <class F>
auto WithDescription(const std::vector<std::string>& lines, F use)
{
  std::unique_ptr<TOffscreenApplication> app;
  if (!QCoreApplication::instance()) app = std::make_unique<TOffscreenApplication>();
  QTextDocument doc;
  doc.setDefaultFont(DescriptionFont());
  ShowDescriptionLines(lines, doc);
  return use(doc);
}

std::string PlainText(const std::vector<std::string>& lines)
{
  return WithDescription(lines,
                         [](const QTextDocument& doc) { return doc.toPlainText().toStdString(); });
}

// dump shows the plain text beside the lines.
const bool Registered = (DescriptionPlainText = PlainText, true);

void RunDescription(const CliArgs& args, std::ostream& out)
{
  std::string file, format = "text";
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--format") {
      if (++i == args.size()) throw UsageError("--format needs text, runs or rtf");
      format = args[i];
      if (format != "text" && format != "runs" && format != "rtf")
        throw UsageError("invalid --format: '" + format + "' (text, runs or rtf)");
    } else if (file.empty() && (args[i].empty() || args[i][0] != '-' || args[i] == "-")) {
      file = args[i];
    } else {
      throw UsageError("unexpected argument '" + args[i] + "'");
    }
  }
  if (file.empty()) throw UsageError("expected: description FILE.orb [--format text|runs|rtf]");

  TSolarSystem scene;
  TDocumentState state;
  ReadKnownDocument(file, scene, state, DefaultProgramDir());
  if (state.Description.empty()) return;
  out << WithDescription(state.Description, [&format](const QTextDocument& doc) {
    if (doc.isEmpty()) return std::string();
    if (format == "runs") return RichTextRuns(doc);
    if (format == "rtf") {
      std::string text;
      for (const std::string& line : DescriptionLines(doc)) text += line + "\n";
      return text;
    }
    return PlainTextLines(doc);
  });
}

const char* const DescriptionHelp =
    "usage: sollumen-cli description FILE.orb [--format text|runs|rtf]\n\n"
    "Reads the simulation document FILE.orb (any version; for 1.0/1.1 the side\n"
    "file FILE.rtf) and prints its description:\n"
    "  text   the plain text as the description window shows it, one line per\n"
    "         paragraph (the default)\n"
    "  runs   per paragraph a line PARA align=left|center|right|justify\n"
    "         bullet=0|1, then per run of equal formatting a line\n"
    "         RUN bold=0|1 italic=0|1 underline=0|1 font=NAME size=POINTS\n"
    "         color=#RRGGBB, a tab and the text (NAME the font family as it is,\n"
    "         blanks included)\n"
    "  rtf    the rich text the program writes for it, line by line\n"
    "Text that is no rich text is shown as plain text. A document without a\n"
    "description, or with an empty one, prints nothing. A document that cannot\n"
    "be opened or read, or is no Sollumen document, prints the message on\n"
    "stderr and exits with status 2.\n";

const CliCommand DescriptionCommand(
    "description", "description FILE.orb [--format text|runs|rtf]   a document's description",
    DescriptionHelp, RunDescription);

}  // namespace
