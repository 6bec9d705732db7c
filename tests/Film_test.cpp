// Films: each format decoded back through FFmpeg's libraries (frames, size,
// rate, duration, the pictures against the exported PNG of their instant),
// failures that leave nothing behind, the scene copy a film is made from,
// and the window's "Save animation" writing the film the command line does.
#include "app/mainwindow/SSystemsForm.h"
#include "app/output/ExportImage.h"
#include "app/output/FilmRecording.h"
#include "app/output/OutputTexts.h"
#include "app/output/SaveAnimationDlgs.h"
#include "app/widgets/SceneImage.h"
#include "scene/SceneCopy.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void EnsureApplication()
{
  if (QApplication::instance()) return;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  static int argc = 1;
  static char name[] = "Film_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

TDateRec J2000() { return JDToDateRec(0, 2451545.0L); }

std::string Read(const fs::path& p)
{
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A film as FFmpeg reads it back.
struct TDecodedFilm {
  bool Ok = false;
  int Frames = 0, Width = 0, Height = 0;
  double Fps = 0;                   // the stream's average rate
  double Duration = 0;              // the container's, seconds
  std::vector<double> Times;        // of each frame, seconds
  QImage First, Last;               // 32-bit RGB
};

QImage ToRgb(const AVFrame* f)
{
  QImage image(f->width, f->height, QImage::Format_RGB32);
  SwsContext* sws = sws_getContext(f->width, f->height, AVPixelFormat(f->format), f->width,
                                   f->height, AV_PIX_FMT_RGB32, SWS_POINT | SWS_ACCURATE_RND,
                                   nullptr, nullptr, nullptr);
  if (f->colorspace == AVCOL_SPC_BT709) {
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(sws, bt709, f->color_range == AVCOL_RANGE_JPEG, bt709, 1, 0,
                             1 << 16, 1 << 16);
  }
  uint8_t* planes[1] = {image.bits()};
  const int strides[1] = {static_cast<int>(image.bytesPerLine())};
  sws_scale(sws, f->data, f->linesize, 0, f->height, planes, strides);
  sws_freeContext(sws);
  return image;
}

TDecodedFilm Decode(const fs::path& path)
{
  TDecodedFilm film;
  AVFormatContext* in = nullptr;
  if (avformat_open_input(&in, path.c_str(), nullptr, nullptr) < 0) return film;
  const AVCodec* codec = nullptr;
  const int index = avformat_find_stream_info(in, nullptr) >= 0
                        ? av_find_best_stream(in, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0)
                        : -1;
  if (index < 0) {
    avformat_close_input(&in);
    return film;
  }
  const AVStream* stream = in->streams[index];
  film.Fps = av_q2d(stream->avg_frame_rate);
  film.Duration = in->duration / double(AV_TIME_BASE);
  AVCodecContext* ctx = avcodec_alloc_context3(codec);
  avcodec_parameters_to_context(ctx, stream->codecpar);
  avcodec_open2(ctx, codec, nullptr);
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&] {
    while (avcodec_receive_frame(ctx, frame) >= 0) {
      film.Width = frame->width;
      film.Height = frame->height;
      film.Times.push_back(frame->best_effort_timestamp * av_q2d(stream->time_base));
      film.Last = ToRgb(frame);
      if (film.Frames++ == 0) film.First = film.Last;
    }
  };
  while (av_read_frame(in, packet) >= 0) {
    if (packet->stream_index == index) {
      avcodec_send_packet(ctx, packet);
      drain();
    }
    av_packet_unref(packet);
  }
  avcodec_send_packet(ctx, nullptr);
  drain();
  av_frame_free(&frame);
  av_packet_free(&packet);
  avcodec_free_context(&ctx);
  avformat_close_input(&in);
  film.Ok = true;
  return film;
}

// Peak signal-to-noise ratio of the picture's colours over `size` x `size`.
double Psnr(const QImage& a, const QImage& b, int size)
{
  double sum = 0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      const int d[3] = {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)};
      for (int v : d) sum += v * v;
    }
  const double mse = sum / (3.0 * size * size);
  return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

class FilmTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    EnsureApplication();
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("sollumen-film-" + std::to_string(getpid()) + "-" + std::to_string(++counter));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  TFilmSettings Settings(const std::string& name, int frames, int size) const
  {
    TFilmSettings s;
    s.Path = (dir_ / name).string();
    s.Frames = frames;
    s.StepDays = 10;
    s.Fps = 25;
    s.Size = size;
    s.ViewLine = "3D-plot, centered to Sun";
    return s;
  }
  // The exported PNG of the scene at `instant`, read back.
  QImage ExportedPng(const TDateRec& instant, const TFilmSettings& s)
  {
    TSolarSystem scene;
    scene.SetDateTime(instant);
    const fs::path png = dir_ / "export.png";
    SaveExportImage(png.string(),
                    RenderExportImage(scene, s.Size, {InstantLine(instant), s.ViewLine}));
    QImage image(QString::fromStdString(png.string()));
    fs::remove(png);
    return image.convertToFormat(QImage::Format_RGB32);
  }
  std::vector<std::string> Files() const
  {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  fs::path dir_;
};

TEST_F(FilmTest, EachFormatDecodesBackWithItsFramesRateDurationAndPictures)
{
  // An odd side: H.264 and VP9 films gain a column and a row, the picture
  // itself is neither scaled nor moved. (Their colour planes have half the
  // resolution, which dims one-pixel lines in colour: at 500 pixels a side
  // they keep about 31 dB, at 1080 about 37 dB.)
  constexpr int Side = 1081;
  for (const char* name : {"film.mp4", "film.webm", "film.gif"}) {
    SCOPED_TRACE(name);
    const TFilmSettings s = Settings(name, 12, Side);
    TSolarSystem scene;
    scene.SetDateTime(J2000());
    TFilmProgress progress;
    RecordFilm(scene, s, progress);
    EXPECT_EQ(progress.FramesDone, 12);

    const TDecodedFilm film = Decode(dir_ / name);
    ASSERT_TRUE(film.Ok);
    const bool gif = std::string(name) == "film.gif";
    EXPECT_EQ(film.Frames, 12);
    EXPECT_EQ(film.Width, gif ? Side : Side + 1);
    EXPECT_EQ(film.Height, gif ? Side : Side + 1);
    EXPECT_DOUBLE_EQ(film.Fps, 25);
    EXPECT_NEAR(film.Duration, 12 / 25.0, 0.002);
    ASSERT_EQ(film.Times.size(), 12u);
    for (int k = 0; k < 12; ++k) EXPECT_NEAR(film.Times[k] - film.Times[0], k / 25.0, 0.002);

    const QImage first = ExportedPng(J2000(), s);
    const QImage last = ExportedPng(FilmFrameInstant(J2000(), 10, 11), s);
    EXPECT_GE(Psnr(film.First, first, Side), 35);
    EXPECT_GE(Psnr(film.Last, last, Side), 35);
    // The frames differ where the planets moved.
    EXPECT_LT(Psnr(film.Last, first, Side), Psnr(film.Last, last, Side) - 3);
    if (gif) {
      // The scene's own colours are the palette's: exact wherever the
      // picture has them (all but the shades of antialiased text), in the
      // last frame too, built on its predecessors' unchanged pixels.
      const std::vector<std::uint32_t> own = SceneFilmColors(scene);
      for (const auto& [decoded, png] : {std::pair(film.First, first), std::pair(film.Last, last)}) {
        int exact = 0, wrong = 0;
        for (int y = 0; y < Side; ++y)
          for (int x = 0; x < Side; ++x) {
            const std::uint32_t c = png.pixel(x, y) & 0xFFFFFF;
            if (std::find(own.begin(), own.end(), c) == own.end()) continue;
            ++exact;
            wrong += (decoded.pixel(x, y) & 0xFFFFFF) != c;
          }
        EXPECT_EQ(wrong, 0);
        EXPECT_GT(exact, Side * Side * 99 / 100);
      }
    }
  }
  EXPECT_EQ(Files(), (std::vector<std::string>{"film.gif", "film.mp4", "film.webm"}));
}

TEST_F(FilmTest, CancelFullDiskAndBadNamesLeaveNothingAndTheOldFileIntact)
{
  const fs::path target = dir_ / "old.mp4";
  std::ofstream(target, std::ios::binary) << "the old film";
  TSolarSystem scene;
  scene.SetDateTime(J2000());

  // Cancel after two frames.
  {
    TFilmProgress progress;
    bool cancelled = false;
    std::thread film([&] {
      try {
        RecordFilm(scene, Settings("old.mp4", 2000, 200), progress);
      } catch (const EFilmCancelled&) {
        cancelled = true;
      }
    });
    while (progress.FramesDone < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    progress.Cancel = true;
    film.join();
    EXPECT_TRUE(cancelled);
    EXPECT_LT(progress.FramesDone, 2000);
  }
  EXPECT_EQ(Read(target), "the old film");
  EXPECT_EQ(Files(), (std::vector<std::string>{"old.mp4"}));

  // The disk fills up (a file-size limit) while the film is written.
  {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 16384;
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    TFilmProgress progress;
    std::string error;
    try {
      RecordFilm(scene, Settings("old.mp4", 40, 400), progress);
    } catch (const EFilmError& e) {
      error = e.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(error.rfind("Error Writing Film File " + target.string() + ": ", 0), 0u) << error;
  }
  EXPECT_EQ(Read(target), "the old film");
  EXPECT_EQ(Files(), (std::vector<std::string>{"old.mp4"}));

  // A folder that cannot be written to, and a name no format has: refused
  // before the first frame, the scene still at its instant.
  scene.SetDateTime(J2000());
  const std::string missing = (dir_ / "no" / "such.gif").string();
  TFilmProgress progress;
  TFilmSettings s = Settings("", 5, 100);
  s.Path = missing;
  try {
    RecordFilm(scene, s, progress);
    ADD_FAILURE() << "a film in a missing folder";
  } catch (const EFilmError& e) {
    EXPECT_EQ(std::string(e.what()), "Error Opening File " + missing + "!");
  }
  s.Path = (dir_ / "film.avi").string();
  EXPECT_THROW(RecordFilm(scene, s, progress), EFilmError);
  s.Path = (dir_ / "fast.gif").string();
  s.Fps = 60;  // a GIF file cannot show it
  EXPECT_THROW(RecordFilm(scene, s, progress), EFilmError);
  EXPECT_EQ(progress.FramesDone, 0);
  EXPECT_EQ(DateRecToJD(scene.DateTime()), 2451545.0L);
  EXPECT_EQ(Files(), (std::vector<std::string>{"old.mp4"}));
}

TEST_F(FilmTest, CopiedSceneDrawsLikeTheOriginalThroughTime)
{
  TSolarSystem original;
  original.SetDateTime(J2000());
  original.Plane = XY;
  original.SetDim(7.5);
  original.SetCenterObject(0);
  original.ShowApsides = original.ShowLineOfNodes = original.ShowPerpendiculars = true;
  original.BgColor = 0x202020;
  original.SetObjectColor(3, 0x00FF00);
  original.Planet(4)->Visible = false;
  original.Planet(5)->Satellites.Items(0)->Color = 0xFF00FF;
  original.DirectionList().Add(std::make_unique<TDirection>(0, 0x00FFFF, 3));
  original.AsteroidsList().Add(std::make_unique<TAsteroid>(
      "Ceres", TOrbitElements{2451545.0L, 10.6L, 80.3L, 153.9L, 2.767L, 0.2141L, 0.079L, 30.0L},
      0x0000FF));
  TSolarSystem copy;
  CopyScene(original, copy);
  for (long double jd : {2451545.0L, 2453000.5L}) {
    original.SetDateTime(JDToDateRec(0, jd));
    copy.SetDateTime(JDToDateRec(0, jd));
    EXPECT_EQ(RenderSceneImage(copy, 300, 2, 0), RenderSceneImage(original, 300, 2, 0));
  }
}

TEST_F(FilmTest, SaveAnimationWritesTheCommandLinesFilmAndKeepsTheWindowsInstant)
{
  TScriptedPrompts prompts;
  TFormOptions o;
  o.ProgramDir = dir_.string() + "/";
  o.Prompts = &prompts;
  auto form = std::make_unique<TSolarSystemForm>(o);
  form->SetTime(J2000());
  prompts.Clear();
  prompts.Fill = [](QDialog& d) {
    auto& dialog = dynamic_cast<TSaveAnimationDlg&>(d);
    dialog.FileNameEdit->setText("window.gif");  // into the export folder
    dialog.SEFrames->setValue(6);
    dialog.EStepValue->setText("2");
    dialog.CBStepUnit->setCurrentIndex(dialog.CBStepUnit->findText("day(s)"));
    dialog.SEFps->setValue(10);
    dialog.SESize->setValue(150);
  };
  form->ActSaveAnimationExecute();
  ASSERT_TRUE(prompts.Notices.empty()) << prompts.Notices[0];
  EXPECT_EQ(DateRecToJD(form->CurrentTime), 2451545.0L);
  EXPECT_EQ(DateRecToJD(form->SolarSystem().DateTime()), 2451545.0L);
  const TDecodedFilm film = Decode(dir_ / "window.gif");
  EXPECT_EQ(film.Frames, 6);
  EXPECT_DOUBLE_EQ(film.Fps, 10);

  ASSERT_TRUE(form->SaveDocument((dir_ / "scene.orb").string()));
  const std::string command = std::string(SOLLUMEN_CLI) + " render --doc \"" +
                              (dir_ / "scene.orb").string() +
                              "\" --size 150 --frames 6 --step-days 2 --fps 10 --captions "
                              "--video \"" + (dir_ / "cli.gif").string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Read(dir_ / "cli.gif"), Read(dir_ / "window.gif"));

  // A name no format has is refused with a message, and nothing written.
  prompts.Fill = [](QDialog& d) {
    dynamic_cast<TSaveAnimationDlg&>(d).FileNameEdit->setText("film.avi");
  };
  form->ActSaveAnimationExecute();
  ASSERT_EQ(prompts.Errors.size(), 1u);
  EXPECT_NE(prompts.Errors[0].find("film.avi"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir_ / "film.avi"));
}

}  // namespace
