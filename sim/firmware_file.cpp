#include "sim/firmware_file.h"

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

namespace sim {
namespace {

bool ReadFile(const std::string& path, std::string* content, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (path.empty() || !in) {
    *error = "cannot open file '" + path + "'";
    return false;
  }
  content->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool ParseHex(const std::string& text, size_t maxDigits, uint32_t* value) {
  if (text.empty() || text.size() > maxDigits) return false;
  uint32_t v = 0;
  for (char c : text) {
    if (!std::isxdigit(static_cast<unsigned char>(c))) return false;
    v = v * 16 + static_cast<uint32_t>(std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                                                                                   : std::tolower(c) - 'a' + 10);
  }
  *value = v;
  return true;
}

}  // namespace

bool LoadWordImage(const std::string& path, WordImage* image, std::string* error) {
  std::string content;
  if (!ReadFile(path, &content, error)) return false;
  image->clear();
  std::istringstream lines(content);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string address, value, extra;
    if (!(words >> address) || address.front() == '#') continue;
    uint32_t a = 0, v = 0;
    if (address.front() != '@' || !ParseHex(address.substr(1), 8, &a) || !(words >> value) ||
        !ParseHex(value, 4, &v) || (words >> extra)) {
      *error = "'" + path + "' line " + std::to_string(number) + ": expected \"@address value\" in hex";
      return false;
    }
    (*image)[a] = static_cast<uint16_t>(v);
  }
  if (image->empty()) {
    *error = "'" + path + "' holds no words";
    return false;
  }
  return true;
}

bool LoadRawImage(const std::string& path, std::vector<uint8_t>* bytes, std::string* error) {
  std::string content;
  if (!ReadFile(path, &content, error)) return false;
  if (content.empty() || content.size() % 2 != 0) {
    *error = "'" + path + "' is not an image of whole 16-bit words";
    return false;
  }
  bytes->assign(content.begin(), content.end());
  return true;
}

bool FitsMemory(const WordImage& image, size_t bytes, std::string* error) {
  if (image.empty() || static_cast<size_t>(image.rbegin()->first) * 2 + 2 <= bytes) return true;
  *error = "image reaches word " + std::to_string(image.rbegin()->first) + " beyond the memory of " +
           std::to_string(bytes / 2) + " words";
  return false;
}

std::string WordImageText(const std::vector<uint8_t>& contents) {
  std::string text;
  char line[32];
  for (size_t at = 0; at + 1 < contents.size(); at += 2) {
    unsigned value = contents[at] | (contents[at + 1] << 8);
    if (value == 0xffff) continue;
    std::snprintf(line, sizeof line, "@%06zx %04x\n", at / 2, value);
    text += line;
  }
  return text;
}

bool SaveText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return static_cast<bool>(out.flush());
}

}  // namespace sim
