// Whole scenes drawn by `sollumen-cli render` against golden images, to
// catch changes anywhere in the pipeline: the instant, the bodies, the
// projection, every layer of the painting, the canvas and the PNG file.
// Text may be smoothed a little differently by another font rasteriser, so
// a few differing pixels are allowed.
//
// After an intended change of the picture, write new golden images with
//   SOLLUMEN_UPDATE_GOLDEN=1 tests/render_golden_test
// and look at them before committing (tests/data/golden/README.md).
#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>

namespace {

struct TGoldenCase {
  const char* Name;
  const char* Args;  // @DATA@ stands for the directory of the test data
  // With --frames N among the options: the last frame is compared.
  int Frames = 0;
};

const TGoldenCase GoldenCases[] = {
    {"default_3d", "--jd 2451545 --size 240"},
    {"xy_radial_outer_planets",
     "--jd 2451545 --size 240 --plane xy --dim 40 --grid radial "
     "--show Apsides,LineOfNodes,Perpendiculars"},
    {"saturn_black_on_white_print",
     "--jd 2451545 --size 240 --center Saturn --dim 0.01 --show RotAxis,Rotation,Apsides "
     "--color-mode 0 --size-mode 1"},
    {"jupiter_xy_colours_on_white",
     "--jd 2460676.5 --size 200 --center Jupiter --dim 0.02 --plane xy --color-mode 3 "
     "--show LineOfNodes,Perpendiculars"},
    {"zy_white_on_black_blocks",
     "--jd 2460676.5 --size 200 --plane zy --dim 5 --rotx 30 --color-mode 1 --size-mode 2 "
     "--hide Names"},
    // 156 listed minor bodies, from the main belt to comet-like orbits.
    {"minor_bodies_3d", "--doc @DATA@/golden/minor_bodies.orb --motion kepler --size 400"},
    {"minor_bodies_xy_overlays",
     "--doc @DATA@/golden/minor_bodies.orb --motion kepler --size 300 --plane xy --dim 4 "
     "--show Apsides,LineOfNodes,Perpendiculars --color-mode 3"},
    {"minor_bodies_xz_earth",
     "--doc @DATA@/golden/minor_bodies.orb --motion kepler --size 300 --plane xz --dim 1.2 --center Earth"},
    {"minor_bodies_print",
     "--doc @DATA@/golden/minor_bodies.orb --motion kepler --size 300 --dim 6 --color-mode 0 --size-mode 1"},
    // Drawn after the instant moved twice, the orbits kept.
    {"minor_bodies_frames",
     "--doc @DATA@/golden/minor_bodies.orb --motion kepler --size 400 --frames 3 --step-days 45.5", 3},
};

// The options with the data directory put in.
std::string Arguments(const TGoldenCase& c)
{
  std::string args = c.Args;
  const std::string mark = "@DATA@";
  for (std::size_t at; (at = args.find(mark)) != std::string::npos;)
    args.replace(at, mark.size(), SOLLUMEN_TEST_DATA);
  return args;
}

void PrintTo(const TGoldenCase& c, std::ostream* os) { *os << c.Name; }

// A pixel differs when one of its channels is off by more than this.
constexpr int ChannelTolerance = 40;
// The share of differing pixels allowed (font smoothing).
constexpr double AllowedShare = 0.002;

std::filesystem::path GoldenDir() { return std::filesystem::path(SOLLUMEN_TEST_DATA) / "golden"; }

class RenderGolden : public testing::TestWithParam<TGoldenCase> {};

TEST_P(RenderGolden, MatchesTheGoldenImage)
{
  const TGoldenCase& c = GetParam();
  const std::filesystem::path dir(testing::TempDir());
  const std::filesystem::path given = dir / (std::string(c.Name) + ".png");
  // The frames are numbered before the extension; the last one is compared.
  const std::filesystem::path out =
      c.Frames > 0 ? dir / (std::string(c.Name) + "000" + std::to_string(c.Frames - 1) + ".png")
                   : given;
  std::filesystem::remove(out);
  const std::string command = std::string("\"") + SOLLUMEN_CLI + "\" render " + Arguments(c) +
                              " --out \"" + given.string() + "\"";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  const std::filesystem::path golden = GoldenDir() / (std::string(c.Name) + ".png");
  if (std::getenv("SOLLUMEN_UPDATE_GOLDEN")) {
    std::filesystem::create_directories(GoldenDir());
    std::filesystem::copy_file(out, golden, std::filesystem::copy_options::overwrite_existing);
    GTEST_SKIP() << "wrote " << golden;
  }

  QImage got(QString::fromStdString(out.string()));
  QImage want(QString::fromStdString(golden.string()));
  ASSERT_FALSE(got.isNull()) << out;
  ASSERT_FALSE(want.isNull()) << "no golden image " << golden;
  ASSERT_EQ(got.size(), want.size());
  got = got.convertToFormat(QImage::Format_RGB32);
  want = want.convertToFormat(QImage::Format_RGB32);

  QImage diff(got.size(), QImage::Format_RGB32);
  diff.fill(Qt::white);
  int differing = 0;
  for (int y = 0; y < got.height(); ++y)
    for (int x = 0; x < got.width(); ++x) {
      const QRgb a = got.pixel(x, y), b = want.pixel(x, y);
      const int d = std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                              std::abs(qBlue(a) - qBlue(b))});
      if (d > ChannelTolerance) {
        ++differing;
        diff.setPixel(x, y, qRgb(255, 0, 0));
      }
    }
  const double share = static_cast<double>(differing) / (got.width() * got.height());
  if (share > AllowedShare) {
    const std::filesystem::path diffPath =
        std::filesystem::path(testing::TempDir()) / (std::string(c.Name) + ".diff.png");
    diff.save(QString::fromStdString(diffPath.string()));
    ADD_FAILURE() << differing << " pixels differ (" << 100 * share << " %) from " << golden
                  << "; the picture is " << out << ", the differences " << diffPath;
  }
}

INSTANTIATE_TEST_SUITE_P(Scenes, RenderGolden, testing::ValuesIn(GoldenCases),
                         [](const testing::TestParamInfo<TGoldenCase>& info) {
                           return std::string(info.param.Name);
                         });

}  // namespace
