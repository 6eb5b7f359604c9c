// SHA-256 of a file, for telling which firmware image went into a module.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Lower-case hex digest of `data`.
std::string Sha256Hex(std::string_view data);

// The digest and size of the file `path` (GBK); false when it cannot be read.
bool HashFile(const std::string& path, std::string* sha256Hex, int64_t* size);

}  // namespace platform
