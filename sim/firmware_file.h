// The firmware files the station takes, in its own formats:
//   .bin   raw EEPROM bytes, written from address 0; an even, non-zero length.
//   .xuv   text, one 16-bit word per line: "@" word address (hex), blank, value (hex),
//   .xpv   e.g. "@000010 1a2b". Blank lines and lines starting with "#" are skipped.
// Paths here are file-system paths (the libraries convert GBK before calling).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace sim {

using WordImage = std::map<uint32_t, uint16_t>;

// False with `error` a sentence for the operator.
bool LoadWordImage(const std::string& path, WordImage* image, std::string* error);
bool LoadRawImage(const std::string& path, std::vector<uint8_t>* bytes, std::string* error);

// Checks that every word fits a memory of `bytes` bytes.
bool FitsMemory(const WordImage& image, size_t bytes, std::string* error);

// The words of `contents` that are not erased (0xffff), in the .xuv form.
std::string WordImageText(const std::vector<uint8_t>& contents);
bool SaveText(const std::string& path, const std::string& text);

}  // namespace sim
