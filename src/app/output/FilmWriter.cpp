#include "app/output/FilmWriter.h"

#include "app/output/GifPalette.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <filesystem>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

struct TFormatInfo {
  const char* Muxer;
  const char* Encoder;
  const char* Name;  // in messages
};

TFormatInfo InfoOf(TFilmFormat f)
{
  switch (f) {
    case TFilmFormat::Mp4: return {"mp4", "libx264", "H.264 (MP4)"};
    case TFilmFormat::WebM: return {"webm", "libvpx-vp9", "VP9 (WebM)"};
    case TFilmFormat::Gif: break;
  }
  return {"gif", "gif", "animated GIF"};
}

std::string AvError(int code)
{
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(code, text, sizeof text);
  return text;
}

std::string WriteError(const std::string& path, int code)
{
  return "Error Writing Film File " + path + ": " + AvError(code) + ".";
}

int Threads() { return static_cast<int>(std::max(1u, std::thread::hardware_concurrency())); }

}  // namespace

std::optional<TFilmFormat> FilmFormatOf(const std::string& path)
{
  std::string ext = fs::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".mp4") return TFilmFormat::Mp4;
  if (ext == ".webm") return TFilmFormat::WebM;
  if (ext == ".gif") return TFilmFormat::Gif;
  return std::nullopt;
}

TFilmFormat CheckFilmFile(const std::string& path, int fps)
{
  const std::optional<TFilmFormat> format = FilmFormatOf(path);
  if (!format)
    throw EFilmError("Films can be written as .mp4 (H.264), .webm (VP9) or .gif (animated GIF) "
                     "files, not as " + fs::path(path).filename().string() + ".");
  const TFormatInfo info = InfoOf(*format);
  if (!avcodec_find_encoder_by_name(info.Encoder) || !av_guess_format(info.Muxer, nullptr, nullptr))
    throw EFilmError(std::string("This installation cannot write ") + info.Name +
                     " films: FFmpeg's encoder " + info.Encoder + " is missing.");
  if (fps < MinFilmFps || fps > MaxFilmFps)
    throw EFilmError("Films have 1 to 60 frames per second.");
  if (*format == TFilmFormat::Gif && fps > MaxGifFps)
    throw EFilmError("Animated GIF files show at most 50 frames per second.");
  return *format;
}

struct TFilmWriter::TState {
  TFilmFormat Format = TFilmFormat::Mp4;
  std::string Path, TempPath;
  int Width = 0, Height = 0;            // of the frames given
  int CodedWidth = 0, CodedHeight = 0;  // of the frames encoded
  TGifPalette* Palette = nullptr;
  AVFormatContext* Output = nullptr;
  AVCodecContext* Codec = nullptr;
  AVStream* Stream = nullptr;
  AVFrame* Frame = nullptr;
  AVPacket* Packet = nullptr;
  SwsContext* Scaler = nullptr;
  std::int64_t NextPts = 0;
  bool Finished = false;

  ~TState()
  {
    sws_freeContext(Scaler);
    av_packet_free(&Packet);
    av_frame_free(&Frame);
    avcodec_free_context(&Codec);
    if (Output) {
      if (Output->pb) avio_closep(&Output->pb);
      avformat_free_context(Output);
    }
    if (!Finished && !TempPath.empty()) {
      std::error_code ec;
      fs::remove(TempPath, ec);
    }
  }

  // Sends a frame (null: the end) and writes every packet that comes out.
  void Encode(AVFrame* frame)
  {
    int r = avcodec_send_frame(Codec, frame);
    if (r < 0) throw EFilmError(WriteError(Path, r));
    for (;;) {
      r = avcodec_receive_packet(Codec, Packet);
      if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return;
      if (r < 0) throw EFilmError(WriteError(Path, r));
      if (Packet->duration == 0) Packet->duration = 1;  // every frame lasts 1/fps
      av_packet_rescale_ts(Packet, Codec->time_base, Stream->time_base);
      Packet->stream_index = Stream->index;
      r = av_interleaved_write_frame(Output, Packet);
      if (r < 0) throw EFilmError(WriteError(Path, r));
      if (Output->pb->error < 0) throw EFilmError(WriteError(Path, Output->pb->error));
    }
  }
};

TFilmWriter::TFilmWriter(const std::string& path, int width, int height, int fps)
    : state_(std::make_unique<TState>())
{
  TState& s = *state_;
  // The libraries' own notices would only mix with the program's messages;
  // every failure reaches the caller as an EFilmError.
  av_log_set_level(AV_LOG_FATAL);
  s.Format = CheckFilmFile(path, fps);
  s.Path = path;
  s.Width = width;
  s.Height = height;
  const bool gif = s.Format == TFilmFormat::Gif;
  // 4:2:0 colour planes have half the picture's sides.
  s.CodedWidth = gif ? width : (width + 1) / 2 * 2;
  s.CodedHeight = gif ? height : (height + 1) / 2 * 2;

  // The temporary file: beside the target, so that the final rename stays
  // within one file system; leftovers of an interrupted run are stepped over.
  const fs::path target(path);
  int err = 0;
  for (int n = 0; n < 1000 && s.TempPath.empty(); ++n) {
    const fs::path temp = target.parent_path() / (target.filename().string() + "." +
                                                   std::to_string(n) + ".tmp");
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      ::close(fd);
      s.TempPath = temp.string();
      std::error_code ec;
      if (fs::exists(target, ec)) fs::permissions(temp, fs::status(target, ec).permissions(), ec);
    } else {
      err = errno;
      if (err != EEXIST) break;
    }
  }
  if (s.TempPath.empty()) throw EFilmError("Error Opening File " + path + "!");

  const TFormatInfo info = InfoOf(s.Format);
  if (avformat_alloc_output_context2(&s.Output, nullptr, info.Muxer, s.TempPath.c_str()) < 0)
    throw EFilmError("Error Opening File " + path + "!");
  const AVCodec* encoder = avcodec_find_encoder_by_name(info.Encoder);
  s.Codec = avcodec_alloc_context3(encoder);
  s.Stream = avformat_new_stream(s.Output, nullptr);
  s.Frame = av_frame_alloc();
  s.Packet = av_packet_alloc();
  if (!s.Codec || !s.Stream || !s.Frame || !s.Packet) throw EFilmError(WriteError(path, AVERROR(ENOMEM)));

  AVCodecContext* c = s.Codec;
  c->width = s.CodedWidth;
  c->height = s.CodedHeight;
  c->time_base = AVRational{1, fps};
  c->framerate = AVRational{fps, 1};
  c->sample_aspect_ratio = AVRational{1, 1};
  s.Stream->time_base = c->time_base;
  s.Stream->avg_frame_rate = c->framerate;
  AVDictionary* options = nullptr;
  if (gif) {
    c->pix_fmt = AV_PIX_FMT_PAL8;
  } else {
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->thread_count = Threads();
    // Studio-range BT.709, stated in the file so that players convert back
    // the way the frames were converted.
    c->color_range = AVCOL_RANGE_MPEG;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    c->colorspace = AVCOL_SPC_BT709;
    c->gop_size = 10 * fps;
    if (s.Format == TFilmFormat::Mp4) {
      // Quality a viewer does not notice; the animation tuning suits flat
      // areas and thin lines. The very fast preset makes files a tenth
      // larger than the fast one at the same quality, in half the time.
      av_dict_set(&options, "preset", "veryfast", 0);
      av_dict_set(&options, "tune", "animation", 0);
      av_dict_set(&options, "crf", "20", 0);
      av_dict_set(&options, "profile", "high", 0);
      // The encoder keeps about as many frames as it looks ahead: at the
      // largest sides 30 of them would take gigabytes.
      const long long pixels = static_cast<long long>(c->width) * c->height;
      if (pixels > 2'500'000)
        av_dict_set_int(&options, "rc-lookahead", pixels > 8'000'000 ? 8 : 15, 0);
    } else {
      // Constant quality (no bit-rate aim), rows coded in parallel; the
      // encoder's fastest settings cost twice the bytes of its "good" ones
      // but a twelfth of the time, at the same quality for these pictures.
      c->bit_rate = 0;
      av_dict_set(&options, "crf", "24", 0);
      av_dict_set(&options, "deadline", "realtime", 0);
      av_dict_set(&options, "cpu-used", "8", 0);
      av_dict_set(&options, "row-mt", "1", 0);
      av_dict_set(&options, "tile-columns", "2", 0);
      // No frames held back for look-ahead: at the largest sides 25 of them
      // would take gigabytes, for no gain at these settings.
      av_dict_set(&options, "lag-in-frames", "0", 0);
    }
  }
  if (s.Output->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
  int r = avcodec_open2(c, encoder, &options);
  av_dict_free(&options);
  if (r < 0) throw EFilmError(WriteError(path, r));
  r = avcodec_parameters_from_context(s.Stream->codecpar, c);
  if (r < 0) throw EFilmError(WriteError(path, r));

  r = avio_open(&s.Output->pb, s.TempPath.c_str(), AVIO_FLAG_WRITE);
  if (r < 0) throw EFilmError("Error Opening File " + path + "!");
  AVDictionary* muxing = nullptr;
  // MP4 films start playing before they are loaded whole (web pages).
  if (s.Format == TFilmFormat::Mp4) av_dict_set(&muxing, "movflags", "+faststart", 0);
  r = avformat_write_header(s.Output, &muxing);
  av_dict_free(&muxing);
  if (r < 0) throw EFilmError(WriteError(path, r));

  s.Frame->format = c->pix_fmt;
  s.Frame->width = c->width;
  s.Frame->height = c->height;
  r = av_frame_get_buffer(s.Frame, 0);
  if (r < 0) throw EFilmError(WriteError(path, r));
  if (!gif) {
    s.Scaler = sws_getContext(c->width, c->height, AV_PIX_FMT_RGB32, c->width, c->height,
                              AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr,
                              nullptr, nullptr);
    if (!s.Scaler) throw EFilmError(WriteError(path, AVERROR(ENOMEM)));
    // RGB in full range to studio-range YCbCr with the BT.709 matrix.
    const int* bt709 = sws_getCoefficients(SWS_CS_ITU709);
    sws_setColorspaceDetails(s.Scaler, bt709, 1, bt709, 0, 0, 1 << 16, 1 << 16);
  }
}

TFilmWriter::~TFilmWriter() = default;

void TFilmWriter::SetPalette(TGifPalette* palette) { state_->Palette = palette; }

TFilmFormat TFilmWriter::Format() const { return state_->Format; }
int TFilmWriter::CodedWidth() const { return state_->CodedWidth; }
int TFilmWriter::CodedHeight() const { return state_->CodedHeight; }

void TFilmWriter::AddFrame(const QImage& frame)
{
  TState& s = *state_;
  if (frame.width() != s.Width || frame.height() != s.Height || frame.depth() != 32)
    throw EFilmError(WriteError(s.Path, AVERROR(EINVAL)));
  int r = av_frame_make_writable(s.Frame);
  if (r < 0) throw EFilmError(WriteError(s.Path, r));
  if (s.Format == TFilmFormat::Gif) {
    if (!s.Palette) throw EFilmError("An animated GIF film needs its palette.");
    // The palette is the film's, the same for every frame.
    s.Palette->Map(frame, s.Frame->data[0], s.Frame->linesize[0]);
    std::copy(s.Palette->Entries().begin(), s.Palette->Entries().end(),
              reinterpret_cast<std::uint32_t*>(s.Frame->data[1]));
  } else {
    QImage padded;
    const QImage* source = &frame;
    if (s.CodedWidth != s.Width || s.CodedHeight != s.Height) {
      // The added column and row repeat their neighbours: no seam, no
      // distortion of the picture.
      padded = QImage(s.CodedWidth, s.CodedHeight, QImage::Format_RGB32);
      for (int y = 0; y < s.CodedHeight; ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(
            frame.constScanLine(std::min(y, s.Height - 1)));
        auto* out = reinterpret_cast<std::uint32_t*>(padded.scanLine(y));
        std::copy(in, in + s.Width, out);
        if (s.CodedWidth > s.Width) out[s.Width] = in[s.Width - 1];
      }
      source = &padded;
    }
    const std::uint8_t* planes[1] = {source->constBits()};
    const int strides[1] = {static_cast<int>(source->bytesPerLine())};
    sws_scale(s.Scaler, planes, strides, 0, s.CodedHeight, s.Frame->data, s.Frame->linesize);
  }
  s.Frame->pts = s.NextPts++;
  s.Encode(s.Frame);
}

void TFilmWriter::Finish()
{
  TState& s = *state_;
  s.Encode(nullptr);
  int r = av_write_trailer(s.Output);
  if (r < 0) throw EFilmError(WriteError(s.Path, r));
  if (s.Output->pb->error < 0) throw EFilmError(WriteError(s.Path, s.Output->pb->error));
  r = avio_closep(&s.Output->pb);
  if (r < 0) throw EFilmError(WriteError(s.Path, r));
  // On the disk before it takes the target's name.
  const int fd = ::open(s.TempPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::fsync(fd) != 0) {
    const int e = errno;
    if (fd >= 0) ::close(fd);
    throw EFilmError(WriteError(s.Path, AVERROR(e)));
  }
  ::close(fd);
  std::error_code ec;
  fs::rename(s.TempPath, s.Path, ec);
  if (ec) throw EFilmError("Error Writing Film File " + s.Path + ": " + ec.message() + ".");
  s.Finished = true;
}
