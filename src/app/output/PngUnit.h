// PNG files of exported images, written through libpng: 8-bit RGB rows, top
// row first, no interlace, and one uncompressed "Software" text chunk before
// the image data. Needs no widgets (the command line uses it too).
#pragma once

#include <QImage>

#include <stdexcept>
#include <string>

// The value of the "Software" text chunk.
extern const char* const PngSoftwareText;

class EPngError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Writes the image as a PNG file. The bytes go to a temporary file beside
// the target, which replaces it only when complete, so a failure leaves an
// existing file as it was. Throws EPngError: "Error Opening File " + path +
// "!" when the file cannot be created, "Error Writing PNG File!" when
// libpng fails (or cannot even create its structures) or the file cannot
// be completed.
void SaveBitmapAsPng(const std::string& path, const QImage& image);
