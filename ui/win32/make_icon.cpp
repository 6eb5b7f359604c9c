// Build tool, run on the build machine: writes icon 128 as a .ico file from
// the pixel art in res/, for the resource compiler to put into Tarnwick.exe.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "res/app_icon.h"

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void Put32(std::vector<uint8_t>& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

std::vector<uint8_t> IconFile(const res::PixelArt& art) {
  const uint32_t width = static_cast<uint32_t>(art.width);
  const uint32_t height = static_cast<uint32_t>(art.height);
  const uint32_t maskRow = (width + 31) / 32 * 4;
  const uint32_t imageBytes = 40 + width * height * 4 + maskRow * height;

  std::vector<uint8_t> out;
  // The directory: one 32-bit image.
  Put16(out, 0);
  Put16(out, 1);
  Put16(out, 1);
  out.push_back(static_cast<uint8_t>(width));
  out.push_back(static_cast<uint8_t>(height));
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, imageBytes);
  Put32(out, 6 + 16);

  // The image: a bitmap header of twice the height (colours, then the mask), rows bottom up.
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height * 2);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, width * height * 4 + maskRow * height);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  for (uint32_t row = height; row-- > 0;) {
    for (uint32_t x = 0; x < width; ++x) {
      const uint32_t argb = art.colour(art.rows[row][x]);
      out.push_back(static_cast<uint8_t>(argb));        // blue
      out.push_back(static_cast<uint8_t>(argb >> 8));   // green
      out.push_back(static_cast<uint8_t>(argb >> 16));  // red
      out.push_back(static_cast<uint8_t>(argb >> 24));  // alpha
    }
  }
  for (uint32_t row = height; row-- > 0;) {
    std::vector<uint8_t> mask(maskRow, 0);
    for (uint32_t x = 0; x < width; ++x) {
      if ((art.colour(art.rows[row][x]) >> 24) == 0) mask[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    out.insert(out.end(), mask.begin(), mask.end());
  }
  return out;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
    return 2;
  }
  const std::vector<uint8_t> icon = IconFile(res::AppIcon());
  std::FILE* file = std::fopen(argv[1], "wb");
  if (file == nullptr) {
    std::perror(argv[1]);
    return 1;
  }
  const bool written = std::fwrite(icon.data(), 1, icon.size(), file) == icon.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
