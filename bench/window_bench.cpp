// One step of the instant in the main window, as the animation clock makes
// it every 200 ms: the step (recomputing every body, the fields, caption
// and label) and the repaint of the drawing area, on the default scene.
#include "app/widgets/PaintBox.h"
#include "app/mainwindow/SSystemsForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace {

class TSilentPrompts : public TUserPrompts {
public:
  void Error(QWidget*, const std::string&) override {}
  void Message(QWidget*, const std::string&) override {}
  bool Confirm(QWidget*, const std::string&) override { return false; }
  std::string OpenDocumentName(QWidget*, const std::string&, const std::string&) override
  {
    return {};
  }
  std::string SaveDocumentName(QWidget*, const std::string&, const std::string&) override
  {
    return {};
  }
  bool ChooseColor(QWidget*, TColor&) override { return false; }
};

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "window_bench";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);  // kept to the end of the process
}

// step: 1 the step and the repaint, 0 the repaint alone (for the split)
void WindowStep(benchmark::State& state, bool step)
{
  EnsureApplication();
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("sollumen-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  TSilentPrompts prompts;
  {
    TFormOptions options;
    options.ProgramDir = dir.string() + "/";
    options.Prompts = &prompts;
    TSolarSystemForm form(options);
    form.show();  // the window's default size: a 588 x 588 drawing area
    QApplication::processEvents();
    form.SetTime(JDToDateRec(0, 2460676.5L));
    for (auto _ : state) {
      if (step) form.SBDateUpDownUpClick();
      form.PaintBox->repaint();
    }
    state.counters["side"] = form.PaintBox->width();
  }
  std::filesystem::remove_all(dir);
}
void BM_WindowStep(benchmark::State& state) { WindowStep(state, true); }
void BM_WindowRepaintOnly(benchmark::State& state) { WindowStep(state, false); }
BENCHMARK(BM_WindowStep)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WindowRepaintOnly)->Unit(benchmark::kMillisecond);

}  // namespace
