// Icon 128: a programming chip with a spark, 32 x 32 pixels, drawn for this program.
#pragma once

#include <cstdint>
#include <span>

namespace res {

struct PixelArt {
  int width, height;
  std::span<const char* const> rows;  // one character per pixel, '.' is transparent
  uint32_t (*colour)(char);           // 0xAARRGGBB for a pixel character
};

const PixelArt& AppIcon();

}  // namespace res
