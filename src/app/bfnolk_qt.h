// Qt for the commands that draw as the window program does (printers, PDF files and their
// pictures), on the offscreen platform so that no display is needed. Qt's notes on its
// environment are not the command's output; its errors still go to standard error.
#pragma once

#include <QGuiApplication>

#include <optional>

namespace bfnolk {

class OffscreenQt {
 public:
  OffscreenQt();
  OffscreenQt(const OffscreenQt&) = delete;
  OffscreenQt& operator=(const OffscreenQt&) = delete;

 private:
  int argc_ = 1;
  char program_[7] = "bfnolk";
  char* argv_[2] = {program_, nullptr};
  std::optional<QGuiApplication> application_;
};

}  // namespace bfnolk
