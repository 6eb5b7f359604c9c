#include "res/app_icon.h"

namespace res {
namespace {

constexpr const char* kRows[] = {
    "....bbbbbbbbbbbbbbbbbbbbbbbb....",
    "..bbbbbbbbbbbbbbbbbbbbbbbbbbbb..",
    ".bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb.",
    ".bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb.",
    "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbkkkkkkkkkkkkkkbbbbbbbbb",
    "bbbbbwwwwkggggggggggggkwwwwbbbbb",
    "bbbbbwwwwkgggggggggyggkwwwwbbbbb",
    "bbbbbbbbbkggggggggyyggkbbbbbbbbb",
    "bbbbbwwwwkggggggyyygggkwwwwbbbbb",
    "bbbbbwwwwkggggggyyygggkwwwwbbbbb",
    "bbbbbbbbbkgggggyyyygggkbbbbbbbbb",
    "bbbbbwwwwkggggyyyyggggkwwwwbbbbb",
    "bbbbbwwwwkgggyyyggggggkwwwwbbbbb",
    "bbbbbbbbbkggygygggggggkbbbbbbbbb",
    "bbbbbwwwwkgggyggggggggkwwwwbbbbb",
    "bbbbbwwwwkggggggggggggkwwwwbbbbb",
    "bbbbbbbbbkggggggggggggkbbbbbbbbb",
    "bbbbbbbbbkkkkkkkkkkkkkkbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbwwbwwbwwbwwbbbbbbbbbbb",
    "bbbbbbbbbbbbbbbbbbbbbbbbbbbbbbbb",
    ".bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb.",
    ".bbbbbbbbbbbbbbbbbbbbbbbbbbbbbb.",
    "..bbbbbbbbbbbbbbbbbbbbbbbbbbbb..",
    "....bbbbbbbbbbbbbbbbbbbbbbbb....",
};

uint32_t Colour(char c) {
  switch (c) {
    case 'b': return 0xFF1D4E89;  // tile
    case 'w': return 0xFFD9DEE5;  // pins
    case 'k': return 0xFF1A1A1A;  // chip edge
    case 'g': return 0xFF3C4048;  // chip body
    case 'y': return 0xFFFFC928;  // spark
    default: return 0x00000000;
  }
}

}  // namespace

const PixelArt& AppIcon() {
  static const PixelArt icon{32, 32, kRows, Colour};
  return icon;
}

}  // namespace res
