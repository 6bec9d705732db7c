#include "app/output/FilmRecording.h"

#include "app/output/ExportImage.h"
#include "app/output/GifPalette.h"
#include "app/output/OutputTexts.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <thread>

#include <time.h>

namespace {

constexpr long double FirstFilmJD = 990924.5L;
constexpr long double LastFilmJD = 3912515.5L;

using TClock = std::chrono::steady_clock;

double SecondsSince(TClock::time_point t)
{
  return std::chrono::duration<double>(TClock::now() - t).count();
}

// Processor time of the calling thread.
double ThreadSeconds()
{
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return t.tv_sec + t.tv_nsec * 1e-9;
}

std::uint32_t Rgb(TColor c)  // red in the low byte -> 0xRRGGBB
{
  return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// Frames on their way from the drawing thread to the encoder: at most
// `capacity` at once, so that memory stays bounded at the largest sizes.
class TFrameQueue {
public:
  explicit TFrameQueue(std::size_t capacity) : capacity_(capacity) {}

  // False when the consumer has stopped.
  bool Push(QImage frame)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    space_.wait(lock, [&] { return frames_.size() < capacity_ || stopped_; });
    if (stopped_) return false;
    frames_.push_back(std::move(frame));
    ready_.notify_one();
    return true;
  }
  // The producer is done: normally (null) or with its error.
  void Close(std::exception_ptr error)
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    error_ = error;
    ready_.notify_one();
  }
  // The next frame; false when the producer closed the queue before it.
  // Rethrows the producer's error.
  bool Pop(QImage& frame)
  {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait(lock, [&] { return !frames_.empty() || closed_; });
    if (frames_.empty()) {
      if (error_) std::rethrow_exception(error_);
      return false;
    }
    frame = std::move(frames_.front());
    frames_.pop_front();
    space_.notify_one();
    return true;
  }
  // The consumer gives up: the producer's next Push returns false.
  void Stop()
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopped_ = true;
    space_.notify_all();
  }

private:
  std::mutex mutex_;
  std::condition_variable ready_, space_;
  std::deque<QImage> frames_;
  std::size_t capacity_;
  bool closed_ = false, stopped_ = false;
  std::exception_ptr error_;
};

}  // namespace

TDateRec FilmFrameInstant(const TDateRec& first, long double stepDays, int k)
{
  if (k == 0) return first;
  return JDToDateRec(0, DateRecToJD(first) + k * stepDays);
}

void CheckFilmInstants(const TDateRec& first, long double stepDays, int frames)
{
  const long double a = DateRecToJD(first);
  const long double b = a + (frames - 1) * stepDays;
  if (std::min(a, b) < FirstFilmJD || std::max(a, b) > LastFilmJD) {
    char last[32];
    std::snprintf(last, sizeof last, "%.3f", static_cast<double>(b));
    throw EFilmError(std::string("The frames reach beyond the instants this program shows "
                                 "(JD 990924.5 to 3912515.5): the last would be at JD ") +
                     last + ".");
  }
}

QImage RenderFilmFrame(TSolarSystem& scene, const TDateRec& first, const TFilmSettings& settings,
                       int k)
{
  scene.SetDateTime(FilmFrameInstant(first, settings.StepDays, k));
  std::vector<std::string> lines;
  if (settings.Captions) lines = {InstantLine(scene.DateTime()), settings.ViewLine};
  return RenderExportImage(scene, settings.Size, lines);
}

std::vector<std::uint32_t> SceneFilmColors(const TSolarSystem& scene)
{
  std::vector<std::uint32_t> colors = {Rgb(scene.BgColor), Rgb(CaptionColor(scene.BgColor, 2)),
                                       Rgb(scene.GridColor), Rgb(scene.SunColor),
                                       Rgb(scene.AxesColor), Rgb(scene.PerpendicularColor)};
  for (int i = 0; i < ObjectColorCount; ++i) colors.push_back(Rgb(scene.GetObjectColor(i)));
  const TOEObjectList& planets = scene.PlanetsList();
  for (int i = 0; i < planets.Count(); ++i)
    if (const auto* p = dynamic_cast<const TPlanet*>(planets.Items(i)))
      for (int j = 0; j < p->Satellites.Count(); ++j)
        colors.push_back(Rgb(p->Satellites.Items(j)->Color));
  for (int i = 0; i < scene.DirectionList().Count(); ++i)
    colors.push_back(Rgb(scene.DirectionList().Items(i)->Color));
  for (int i = 0; i < scene.AsteroidsList().Count(); ++i)
    colors.push_back(Rgb(scene.AsteroidsList().Items(i)->Color));
  return colors;
}

TFilmTimes RecordFilm(TSolarSystem& scene, const TFilmSettings& settings,
                      TFilmProgress& progress)
{
  const TClock::time_point start = TClock::now();
  const TFilmFormat format = CheckFilmFile(settings.Path, settings.Fps);
  if (settings.Frames < 1 || settings.Frames > MaxFilmFrames)
    throw EFilmError("A film has 1 to 100000 frames.");
  if (settings.Size < MinFilmSize || settings.Size > MaxFilmSize)
    throw EFilmError("The picture of a film has 50 to 4000 pixels a side.");
  const TDateRec first = scene.DateTime();
  CheckFilmInstants(first, settings.StepDays, settings.Frames);
  TFilmTimes times;

  // The file is opened first, so that a folder that cannot be written to
  // is found before any frame is drawn.
  TFilmWriter writer(settings.Path, settings.Size, settings.Size, settings.Fps);

  // A GIF film has one palette: the scene's colours, then the most
  // frequent ones of a few frames spread over the film.
  std::optional<TGifPalette> palette;
  if (format == TFilmFormat::Gif) {
    const double t = ThreadSeconds();
    std::vector<QImage> samples;
    int last = -1;
    for (int part = 0; part <= 4; ++part) {
      const int k = static_cast<int>(static_cast<long long>(settings.Frames - 1) * part / 4);
      if (k == last) continue;
      last = k;
      if (progress.Cancel) throw EFilmCancelled();
      samples.push_back(RenderFilmFrame(scene, first, settings, k));
    }
    palette.emplace(SceneFilmColors(scene), samples);
    writer.SetPalette(&*palette);
    times.Render += ThreadSeconds() - t;
  }

  // Up to 4 frames, but no more than about 128 MB of them.
  const std::size_t frameBytes = std::size_t(settings.Size) * settings.Size * 4;
  TFrameQueue queue(std::clamp<std::size_t>((128u << 20) / frameBytes, 1, 4));
  double renderSeconds = 0;
  std::thread renderer([&] {
    try {
      for (int k = 0; k < settings.Frames && !progress.Cancel; ++k) {
        const double t = ThreadSeconds();
        QImage frame = RenderFilmFrame(scene, first, settings, k);
        renderSeconds += ThreadSeconds() - t;
        if (!queue.Push(std::move(frame))) break;
      }
      queue.Close(nullptr);
    } catch (...) {
      queue.Close(std::current_exception());
    }
  });
  try {
    QImage frame;
    for (int k = 0; k < settings.Frames; ++k) {
      if (progress.Cancel) throw EFilmCancelled();
      if (!queue.Pop(frame)) throw EFilmCancelled();  // the drawing stopped for it
      const TClock::time_point t = TClock::now();
      writer.AddFrame(frame);
      times.Encode += SecondsSince(t);
      progress.FramesDone = k + 1;
    }
    if (progress.Cancel) throw EFilmCancelled();
    const TClock::time_point t = TClock::now();
    writer.Finish();
    times.Encode += SecondsSince(t);
  } catch (...) {
    queue.Stop();
    renderer.join();
    throw;
  }
  renderer.join();
  times.Render += renderSeconds;
  times.Total = SecondsSince(start);
  return times;
}
