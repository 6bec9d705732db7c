// sollumen-cli print: the printed page of a scene as a PDF file, without a
// display: A4, the scene in its square with the instant and the view below
// its top edge, exactly as the window prints it on Qt's PDF printer.
#include "Cli.h"
#include "SceneArgs.h"

#include "app/output/PrintPage.h"

#include <QPageSize>
#include <QPrinter>

namespace {

void RunPrint(const CliArgs& args, std::ostream&)
{
  TSceneOptions scene;
  int scheme = 0;
  int copies = 1;
  std::string out;
  ParseOptions(args, {"--out", "--scheme", "--copies"}, {}, scene,
               [&](const std::string& opt, const std::string& v) {
                 if (opt == "--scheme") {
                   scheme = static_cast<int>(IntegerIn(v, "colour scheme", 0, 3));
                 } else if (opt == "--copies") {
                   copies = static_cast<int>(IntegerIn(v, "number of copies", 1, 20));
                 } else if (opt == "--out") {
                   if (v.empty()) throw UsageError("--out needs a file name");
                   out = v;
                 }
               });
  if (out.empty()) throw UsageError("expected --out FILE.pdf");

  TOffscreenApplication application;
  TSolarSystem solarSystem;
  BuildScene(scene, solarSystem);

  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  PreparePrinter(printer, copies);
  PrintScenePageToPdf(printer, out, solarSystem, scheme, SceneCaptions(solarSystem));
}

const char* const PrintHelp =
    "usage: sollumen-cli print --out FILE.pdf [--scheme 0-3] [--copies N]\n"
    "         [--jd JD] [--plane xy|xz|zy|3d] [--dim AU] [--center NAME]\n"
    "         [--rotx DEG] [--roty DEG] [--rotz DEG] [--grid none|radial|rect]\n"
    "         [--show NAME,...] [--hide NAME,...] [--doc FILE.orb]\n"
    "         [--spacecraft FILE.spc ...] [--trajectory none|past|future|all|user]\n"
    "         [--days-back D] [--days-ahead D] [--motion perturbed|kepler]\n\n"
    "Prints the scene on an A4 page into a PDF file, as the window's Print\n"
    "command does on the PDF printer (300 dots per inch): the picture in a\n"
    "square of 0.8 of the printable width, and below its top edge the instant\n"
    "and the view. Nothing is printed on stdout.\n\n"
    "  --out FILE       the PDF file to write (replaced when complete)\n"
    "  --scheme S       0 black on white (default), 1 white on black, 2 colour,\n"
    "                   3 colour on a white background\n"
    "  --copies N       1 .. 20 copies, one page each; default 1\n\n"
    "The scene options are those of render (see sollumen-cli render --help).\n"
    "Bad options and files that cannot be written print a message on stderr\n"
    "and exit with status 2. Needs no display.\n";

const CliCommand PrintCommand("print",
                              "print --out FILE.pdf [--scheme 0-3] [--copies N] [--jd JD] ...   "
                              "print the scene's page into a PDF file",
                              PrintHelp, RunPrint);

}  // namespace
