// The scene drawn into an off-screen image, as the command line renders it
// and image export will.
#pragma once

#include "scene/SolarSystem.h"

#include <QFont>
#include <QImage>

// The font of text drawn into images: "Arial" (or a face with its metrics),
// 11 pixels high, the size of the usual 8-point screen font.
QFont SceneImageFont();

// A size x size image (32-bit RGB) with the scene painted over all of it in
// the given colour and size modes. Needs a QGuiApplication for the text.
QImage RenderSceneImage(TSolarSystem& scene, int size, int colorMode, int sizeMode);
