// The boundary between stored text (Windows-1252 bytes) and what Qt shows.
#pragma once

#include "common/Ansi.h"

#include <QString>
#include <string>

namespace shellui {

inline QString FromAnsi(const std::string& cp1252) {
  return QString::fromStdString(ansi::ToUtf8(cp1252));
}
inline std::string ToAnsi(const QString& text) { return ansi::FromUtf8(text.toStdString()); }

}  // namespace shellui
