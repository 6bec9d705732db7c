// Writes the template document the program ships: the default scene at
// J2000.0 in real-time mode, so that it opens on the current instant, with
// the example spacecraft when its trajectory file is given (a document names
// its spacecraft by file name; the file is shipped beside the template).
#include "document/SimulationDocument.h"
#include "scene/SolarSystem.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv)
{
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: make_template FILE [SPACECRAFT.spc]\n");
    return 2;
  }
  try {
    TSolarSystem scene;
    TDateRec j2000;
    j2000.Year = 2000;
    j2000.Month = 1;
    j2000.Day = 1;
    j2000.Hour = 12;
    scene.SetDateTime(j2000);
    if (argc == 3) scene.SpacecraftsList().AddFromFile(argv[2], scene.GetObjectColor(13));
    TDocumentState state;
    state.RealTimeMode = true;
    state.TableName = "MPC (10000).db";
    SaveDocument(argv[1], scene, state);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
