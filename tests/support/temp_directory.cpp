#include "tests/support/temp_directory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fakes {

TempWorkingDirectory::TempWorkingDirectory() {
  previous_ = std::filesystem::current_path().string();
  std::string pattern = (std::filesystem::temp_directory_path() / "tarnwick-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = buffer.data();
  std::filesystem::current_path(path_);
}

TempWorkingDirectory::~TempWorkingDirectory() {
  std::error_code ignored;
  std::filesystem::current_path(previous_, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string TempWorkingDirectory::Read(const std::string& name) const {
  std::ifstream in(path_ + "/" + name, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void TempWorkingDirectory::Write(const std::string& name, const std::string& content) const {
  std::ofstream(path_ + "/" + name, std::ios::binary) << content;
}

}  // namespace fakes
