// The five built-in report pictures "PrBildres0" .. "PrBildres4": shown, and printed, for a
// report picture whose file is missing. Our own drawings, made at a fixed size so a
// picture always has the same proportions wherever it is placed.
#pragma once

#include <QPixmap>

namespace shellui {

constexpr int kPrBildWidth = 160;
constexpr int kPrBildHeight = 120;

// Picture k (0..4); other numbers give picture 0.
QPixmap PrBildres(int k);

}  // namespace shellui
