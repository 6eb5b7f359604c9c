// The page's files, built into the program: a line PC has no internet, and
// the dashboard serves no file from the disk.
#pragma once

#include <cstddef>
#include <string_view>

namespace record {

struct Asset {
  std::string_view path;  // as requested: "/", "/dashboard.js"
  std::string_view type;  // its Content-Type
  std::string_view body;
};

// Nothing (a null body) for a path the program does not hold.
const Asset* FindAsset(std::string_view path);

}  // namespace record
