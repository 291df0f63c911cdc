// The whole table, every row, as one JPEG picture: the grid as the window draws it (the
// head row and the first column grey, thin grid lines, black text 2 pixels in from each
// cell's corner), each column as wide as its widest stored text. The text is drawn with
// FreeType in the sans-serif font fontconfig names, so the window and bfnolk make the same
// picture; rows are drawn and compressed one at a time, and only one row of pixels is held.
#pragma once

#include <string>

#include "tabledisplay/egridform.h"
#include "tabledisplay/egridform_sink.h"

namespace egridform {

// False with the reason (Swedish) when no font was found, the table is more than a JPEG
// picture can hold (65500 pixels each way), or a write failed.
bool WriteJpeg(const Table& table, LineSink& out, std::string& reason);

}  // namespace egridform
