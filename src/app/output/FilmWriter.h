// Writing films through FFmpeg's libraries: H.264 in MP4, VP9 in WebM and
// animated GIF, chosen by the file's extension. Frames are 32-bit RGB
// images of one size; the file is written under a temporary name beside the
// target and renamed over it only when complete, so a failure or a cancel
// leaves any earlier file as it was.
#pragma once

#include <QImage>

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

enum class TFilmFormat { Mp4, WebM, Gif };

// A film that cannot be written; the message names the file and the cause.
class EFilmError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// The format an extension asks for (".mp4", ".webm", ".gif", any case);
// none for any other name.
std::optional<TFilmFormat> FilmFormatOf(const std::string& path);

// Frame rates a film may have; GIF files count time in hundredths of a
// second, and players slow down frames shorter than two of them.
constexpr int MinFilmFps = 1;
constexpr int MaxFilmFps = 60;
constexpr int MaxGifFps = 50;

// Throws EFilmError, before any work, for a film this program cannot write:
// an extension it has no format for, an encoder missing from the FFmpeg
// libraries installed, or a frame rate the format cannot show.
TFilmFormat CheckFilmFile(const std::string& path, int fps);

class TGifPalette;

class TFilmWriter {
public:
  // Opens the temporary file and the encoder for frames of width x height
  // pixels at `fps` frames per second. Throws EFilmError.
  TFilmWriter(const std::string& path, int width, int height, int fps);
  // Without Finish, the temporary file is removed and the target untouched.
  ~TFilmWriter();
  TFilmWriter(const TFilmWriter&) = delete;
  TFilmWriter& operator=(const TFilmWriter&) = delete;

  // The palette of a GIF film, set before its first frame; it must outlive
  // the writer.
  void SetPalette(TGifPalette* palette);
  // Encodes the next frame (any 32-bit RGB format of the writer's size).
  void AddFrame(const QImage& frame);
  // Flushes the encoder, completes the file and renames it over the target.
  void Finish();

  TFilmFormat Format() const;
  // The coded size: odd sides of H.264 and VP9 films gain one pixel, a copy
  // of the last column or row, since their colour planes are halved.
  int CodedWidth() const;
  int CodedHeight() const;

private:
  struct TState;
  std::unique_ptr<TState> state_;
};
