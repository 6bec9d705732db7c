#include "app/widgets/SceneImage.h"

#include "app/widgets/QtCanvas.h"

QFont SceneImageFont()
{
  QFont font("Arial");
  font.setPixelSize(11);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

QImage RenderSceneImage(TSolarSystem& scene, int size, int colorMode, int sizeMode)
{
  QImage image(size, size, QImage::Format_RGB32);
  image.fill(Qt::white);
  {
    TQtCanvas canvas(image);
    canvas.SetFont(SceneImageFont());
    scene.Paint(&canvas, 0, 0, size, size, colorMode, sizeMode);
    scene.ForgetCanvas(&canvas);
  }
  return image;
}
