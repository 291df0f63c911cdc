// The JPEG pictures: files written by libjpeg's compressor read back in every colour space,
// and files that are not sound JPEGs ending in a reason, never in a crash or an exit.
#include "JpegFiles.h"
#include "../storage/TempFolder.h"
#include "common/Ansi.h"
#include "printing/ewrite32_jpeg.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace printing;
using jpegfiles::Encode;
using jpegfiles::Picture;
using jpegfiles::Solid;

namespace {

// The largest difference of any sample, and the mean difference, between two RGB pictures.
struct Difference {
  int largest = 0;
  double mean = 0;
};

Difference Compare(const std::vector<uint8_t>& want, const std::vector<uint8_t>& got) {
  Difference d;
  if (want.size() != got.size()) return {256, 256};
  for (size_t i = 0; i < want.size(); ++i) {
    const int diff = std::abs(int(want[i]) - int(got[i]));
    d.largest = std::max(d.largest, diff);
    d.mean += diff;
  }
  d.mean /= static_cast<double>(std::max<size_t>(1, want.size()));
  return d;
}

// Smooth in both directions, so what JPEG loses stays small.
Picture Gradient(int width, int height, J_COLOR_SPACE space) {
  Picture p{.width = width, .height = height, .space = space};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t across = static_cast<uint8_t>(40 + 160 * x / std::max(1, width - 1));
      const uint8_t down = static_cast<uint8_t>(200 - 150 * y / std::max(1, height - 1));
      if (space == JCS_GRAYSCALE) {
        p.samples.push_back(static_cast<uint8_t>((across + down) / 2));
      } else {
        p.samples.insert(p.samples.end(), {across, down, 128});
      }
    }
  return p;
}

std::vector<uint8_t> AsRgb(const Picture& p) {
  if (p.space == JCS_RGB) return p.samples;
  std::vector<uint8_t> rgb;
  for (uint8_t gray : p.samples) rgb.insert(rgb.end(), {gray, gray, gray});
  return rgb;
}

std::optional<DecodedImage> Decode(const std::string& bytes, std::string& reason) {
  reason.clear();
  return DecodeJpegBytes(bytes, reason);
}

TEST(JpegDecode, ColourAndGrayPicturesComeBackAsTheirRgb) {
  const std::pair<int, int> sizes[] = {{1, 1}, {8, 8}, {17, 9}, {64, 48}, {333, 5}, {5, 260}};
  for (J_COLOR_SPACE space : {JCS_RGB, JCS_GRAYSCALE})
    for (bool progressive : {false, true})
      for (auto [width, height] : sizes) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height) + (space == JCS_RGB ? " rgb" : " gray") +
                     (progressive ? " progressive" : ""));
        Picture picture = Gradient(width, height, space);
        picture.progressive = progressive;
        std::string reason;
        const auto image = Decode(Encode(picture), reason);
        ASSERT_TRUE(image) << reason;
        EXPECT_EQ(image->width, width);
        EXPECT_EQ(image->height, height);
        const Difference d = Compare(AsRgb(picture), image->rgb);
        EXPECT_LE(d.largest, 24);
        EXPECT_LE(d.mean, 6.0);
        if (space == JCS_GRAYSCALE)
          for (size_t i = 0; i + 2 < image->rgb.size(); i += 3) {
            ASSERT_EQ(image->rgb[i], image->rgb[i + 1]);
            ASSERT_EQ(image->rgb[i], image->rgb[i + 2]);
          }
      }
}

// Rows top down and columns left to right: a picture dark on top and red on the right
// must not come back mirrored or turned.
TEST(JpegDecode, RowsRunTopDown) {
  Picture p{.width = 32, .height = 32, .space = JCS_RGB};
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      p.samples.insert(p.samples.end(), {uint8_t(x < 16 ? 0 : 255), uint8_t(y < 16 ? 0 : 255), 0});
  std::string reason;
  const auto image = Decode(Encode(p), reason);
  ASSERT_TRUE(image) << reason;
  const auto at = [&](int x, int y) { return image->rgb.data() + (y * 32 + x) * 3; };
  EXPECT_LT(at(2, 2)[0], 40);
  EXPECT_LT(at(2, 2)[1], 40);
  EXPECT_GT(at(29, 2)[0], 200);
  EXPECT_LT(at(29, 2)[1], 40);
  EXPECT_GT(at(2, 29)[1], 200);
  EXPECT_LT(at(2, 29)[0], 40);
}

// CMYK as Adobe writes it (inks inverted, marked by its marker) and plain CMYK both give red
// for cyan-free full magenta and yellow.
TEST(JpegDecode, CmykBecomesRgbWithOrWithoutAdobeInversion) {
  Picture adobe = Solid(16, 16, JCS_CMYK, {255, 0, 0, 255});
  Picture plain = Solid(16, 16, JCS_CMYK, {0, 255, 255, 0});
  plain.adobeMarker = false;
  Picture half = Solid(16, 16, JCS_CMYK, {0, 0, 0, 128});  // plain 50 % black: mid gray
  half.adobeMarker = false;
  const std::pair<Picture*, std::vector<uint8_t>> cases[] = {{&adobe, {255, 0, 0}}, {&plain, {255, 0, 0}},
                                                             {&half, {127, 127, 127}}};
  for (const auto& [picture, rgb] : cases) {
    std::string reason;
    const auto image = Decode(Encode(*picture), reason);
    ASSERT_TRUE(image) << reason;
    ASSERT_EQ(image->rgb.size(), 16u * 16 * 3);
    const Difference d = Compare(Solid(16, 16, JCS_RGB, rgb).samples, image->rgb);
    EXPECT_LE(d.largest, 6) << int(image->rgb[0]) << " " << int(image->rgb[1]) << " " << int(image->rgb[2]);
  }
}

// The start-of-frame segment's height and width (big-endian, after its length and precision).
std::string WithDeclaredSize(std::string bytes, int width, int height) {
  const size_t sof = bytes.find("\xFF\xC0", 2);
  if (sof == std::string::npos) return {};
  bytes[sof + 5] = char(height >> 8);
  bytes[sof + 6] = char(height & 0xFF);
  bytes[sof + 7] = char(width >> 8);
  bytes[sof + 8] = char(width & 0xFF);
  return bytes;
}

TEST(JpegDecode, FilesThatAreNoSoundJpegEndInAReason) {
  const std::string sound = Encode(Gradient(64, 64, JCS_RGB));
  const std::string png = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 33);
  // A valid progressive picture of 694 scans: one DC scan, then every AC coefficient alone
  // from its coarsest bit down to its last.
  Picture scans = Gradient(8, 8, JCS_GRAYSCALE);
  scans.scans.push_back({1, {0}, 0, 0, 0, 0});
  for (int k = 1; k <= 63; ++k) {
    scans.scans.push_back({1, {0}, k, k, 0, 10});
    for (int al = 9; al >= 0; --al) scans.scans.push_back({1, {0}, k, k, al + 1, al});
  }
  const struct {
    const char* name;
    std::string bytes;
    std::string reason;
  } cases[] = {
      {"empty", "", A("filen är tom")},
      {"text", "Det här är ingen bild.\n", A("filen är ingen JPEG-bild")},
      {"png", png, A("filen är ingen JPEG-bild")},
      {"cut in the picture data", sound.substr(0, sound.size() / 2), A("JPEG-bilden är avkortad")},
      {"cut in the header", sound.substr(0, 40), A("JPEG-bilden är avkortad")},
      {"only the start marker", "\xFF\xD8", A("JPEG-bilden är avkortad")},
      {"no frame", std::string("\xFF\xD8\xFF\xD9", 4), A("JPEG-bilden är skadad (JPEG datastream contains no image)")},
      {"width zero", WithDeclaredSize(sound, 0, 64), A("JPEG-bilden är skadad (Empty JPEG image (DNL not supported))")},
      {"huge", WithDeclaredSize(sound, 65000, 65000), A("JPEG-bilden är för stor (65000 x 65000 bildpunkter)")},
      {"just above the limit", WithDeclaredSize(sound, 8000, 8001), A("JPEG-bilden är för stor (8000 x 8001 bildpunkter)")},
      {"endless scans", Encode(scans), A("JPEG-bilden har för många delbilder")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string reason;
    EXPECT_FALSE(Decode(c.bytes, reason));
    EXPECT_EQ(reason, c.reason);
  }
}

// The files themselves: names in Windows-1252 found whatever their letter case, and the
// reasons for a file that is missing or no file at all.
TEST(JpegDecode, FilesAreFoundByTheEnginesPathRule) {
  const TempFolder dir;
  dir.Write(ansi::ToUtf8(A("Logga_åäö.JPG")), Encode(Gradient(20, 10, JCS_RGB)));
  dir.Write("bild.jpg", "ingen bild");
  dir.Write("tom.jpeg", "");
  dir.MakeFolder("mapp.jpg");
  const std::string folder = ansi::FromUtf8(dir.path());
  std::string reason;
  const auto image = DecodeJpeg(folder + A("\\logga_ÅÄÖ.jpg"), reason);
  ASSERT_TRUE(image) << reason;
  EXPECT_EQ(image->width, 20);
  EXPECT_EQ(image->height, 10);

  const std::pair<std::string, std::string> failures[] = {
      {"bild.jpg", A("filen är ingen JPEG-bild")},
      {"tom.jpeg", A("filen är tom")},
      {"saknas.jpg", A("filen finns inte")},
      {"saknas/bild.jpg", A("filen finns inte")},
      {"mapp.jpg", A("filen kan inte läsas")},
  };
  for (const auto& [name, want] : failures) {
    SCOPED_TRACE(name);
    reason.clear();
    EXPECT_FALSE(DecodeJpeg(folder + "/" + name, reason));
    EXPECT_EQ(reason, want);
  }
}

TEST(JpegDecode, JpegNamesByTheirExtensionInAnyCase) {
  for (const char* name : {"a.jpg", "A.JPG", "c:\\bilder\\logo.JpEg", ".jpeg", "x.png.jpg"})
    EXPECT_TRUE(IsJpegName(name)) << name;
  for (const char* name : {"", "jpg", "a.jpe", "a.jpg.bak", "a.png", "a.jpgx", "a_jpg"})
    EXPECT_FALSE(IsJpegName(name)) << name;
}

}  // namespace
