// The PDF's pictures on the window side: JPEG and other files, and the program's own
// picture for a missing or unreadable file.
#include "tabledisplay/ui/QtPdfPictures.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "../SampleTable.h"
#include "shell/Eerror32.h"
#include "shell/ui/PrBildres.h"
#include "tabledisplay/egridform_jpegencoder.h"

namespace gridui {
namespace {

TEST(QtPdfPictures, ReadEveryKindAndFallBackToTheProgramsOwn) {
  ScratchFolder folder;
  std::string jpeg;
  egridform::JpegEncoder encoder(3, 2, [&jpeg](std::string_view b) {
    jpeg += b;
    return true;
  });
  const uint8_t row[9] = {200, 10, 10, 200, 10, 10, 200, 10, 10};
  ASSERT_TRUE(encoder.Start() && encoder.WriteRow(row) && encoder.WriteRow(row) && encoder.Finish());
  folder.Put("a.JPG", jpeg);
  QImage png(5, 4, QImage::Format_RGB32);
  png.fill(QColor(0, 0, 255));
  ASSERT_TRUE(png.save(QString::fromStdString(folder / "b.png")));
  folder.Put("c.png", "inte en bild");

  QtPdfPictures pictures;
  const auto a = pictures.Load(0, folder / "a.JPG");
  ASSERT_TRUE(a);
  EXPECT_EQ(a->width, 3);
  EXPECT_GT(a->rgb[0], 150);  // red
  const auto b = pictures.Load(1, folder / "b.png");
  ASSERT_TRUE(b);
  EXPECT_EQ(b->width, 5);
  EXPECT_EQ(b->rgb.size(), 5u * 4 * 3);
  EXPECT_EQ(b->rgb[2], 255);  // blue
  for (const std::string& path : {folder / "saknas.jpg", folder / "c.png", std::string()}) {
    const auto own = pictures.Load(2, path);
    ASSERT_TRUE(own) << path;
    EXPECT_EQ(own->width, shellui::kPrBildWidth);
    EXPECT_EQ(own->height, shellui::kPrBildHeight);
  }
  EXPECT_NE(eerror::StatusMsg.find("c.png"), std::string::npos);  // the unreadable one is named
}

}  // namespace
}  // namespace gridui
