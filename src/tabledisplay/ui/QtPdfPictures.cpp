#include "tabledisplay/ui/QtPdfPictures.h"

#include <QImage>

#include "printing/ui/QtPrintCanvas.h"
#include "shell/ui/PrBildres.h"

namespace gridui {

std::optional<printing::DecodedImage> QtPdfPictures::Load(int k, const std::string& path) {
  QImage image;
  if (!path.empty()) image = printui::ReadPicture(path);
  if (image.isNull()) image = shellui::PrBildres(k).toImage();
  if (image.isNull()) return std::nullopt;
  image = image.convertToFormat(QImage::Format_RGB888);
  printing::DecodedImage decoded{image.width(), image.height(), {}};
  decoded.rgb.reserve(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()) * 3);
  for (int y = 0; y < image.height(); ++y) {
    const uchar* row = image.constScanLine(y);
    decoded.rgb.insert(decoded.rgb.end(), row, row + image.width() * 3);
  }
  return decoded;
}

}  // namespace gridui
