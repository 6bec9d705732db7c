// The exported image: the scene in a square with the two text lines of a
// printed page in its top left corner, and the file it is written to (PNG
// through libpng, BMP through Qt). Needs no widgets.
#pragma once

#include "scene/SolarSystem.h"

#include <QImage>

#include <string>
#include <vector>

// The scene painted over a size x size image in the given modes, then the
// lines written from (round(0.04 size), round(0.03 size)) downwards in the
// complement of the background's colour.
QImage RenderExportImage(TSolarSystem& scene, int size, const std::vector<std::string>& lines,
                         int colorMode = 2, int sizeMode = 0);

// Writes a BMP file through a temporary file beside the target; throws
// std::runtime_error "Error Writing BMP File!" (an existing file stays).
void SaveBitmapAsBmp(const std::string& path, const QImage& image);
// BMP when the name ends in ".bmp" (any case), PNG otherwise.
void SaveExportImage(const std::string& path, const QImage& image);
