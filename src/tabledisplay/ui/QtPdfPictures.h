// The pictures of the PDF writer as the printed reports have them: a picture file of any
// kind Qt reads (JPEG by the program's own decoder), and for an entry without a readable
// file the program's own picture of that number. Needs a QGuiApplication.
#pragma once

#include "tabledisplay/egridform_pdf.h"

namespace gridui {

class QtPdfPictures : public egridform::PdfPictures {
 public:
  std::optional<printing::DecodedImage> Load(int k, const std::string& path) override;
};

}  // namespace gridui
