#include "app/output/PngUnit.h"

#include "stream/ByteStreams.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <memory>
#include <vector>

const char* const PngSoftwareText = "Sollumen 1.7.0";

namespace {

void WriteData(png_structp png, png_bytep data, png_size_t length)
{
  auto* stream = static_cast<TStream*>(png_get_io_ptr(png));
  if (stream->Write(data, length) != length) png_error(png, "write failed");
}

void FlushData(png_structp) {}  // the stream is made durable on commit

// libpng's own handlers would print on stderr; the caller reports instead.
[[noreturn]] void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// libpng reports its errors by a long jump back into this frame, so nothing
// here has a destructor and nothing set after setjmp is read after the jump.
bool WritePng(TStream& stream, png_uint_32 width, png_uint_32 height, png_bytep* rows)
{
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_write_struct(&png, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    return false;
  }
  png_set_write_fn(png, &stream, WriteData, FlushData);
  png_set_write_status_fn(png, nullptr);
  png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_text text;
  std::memset(&text, 0, sizeof text);
  text.compression = PNG_TEXT_COMPRESSION_NONE;
  text.key = const_cast<char*>("Software");
  text.text = const_cast<char*>(PngSoftwareText);
  text.text_length = std::strlen(PngSoftwareText);
  png_set_text(png, info, &text, 1);
  png_write_info(png, info);
  png_write_image(png, rows);
  png_write_end(png, info);
  png_write_flush(png);
  png_destroy_write_struct(&png, &info);
  return true;
}

}  // namespace

void SaveBitmapAsPng(const std::string& path, const QImage& image)
{
  // Red, green and blue bytes per pixel; QImage keeps its top row first.
  const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
  if (rgb.isNull()) throw EPngError("Error Writing PNG File!");
  std::vector<png_bytep> rows(static_cast<std::size_t>(rgb.height()));
  for (int y = 0; y < rgb.height(); ++y)
    rows[static_cast<std::size_t>(y)] = const_cast<png_bytep>(rgb.constScanLine(y));

  std::unique_ptr<TReplacingFileStream> file;
  try {
    file = std::make_unique<TReplacingFileStream>(path);
  } catch (const std::exception&) {
    throw EPngError("Error Opening File " + path + "!");
  }
  if (!WritePng(*file, static_cast<png_uint_32>(rgb.width()),
                static_cast<png_uint_32>(rgb.height()), rows.data()))
    throw EPngError("Error Writing PNG File!");  // the temporary file goes with the stream
  try {
    file->Commit();
  } catch (const std::exception&) {
    throw EPngError("Error Writing PNG File!");
  }
}
