#include "tests/support/temp_directory.h"

#include <filesystem>
#include <random>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

namespace fakes {

TempWorkingDirectory::TempWorkingDirectory() {
  previous_ = std::filesystem::current_path().string();
  // A name no other test holds: creating the folder is what claims it.
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    auto candidate = std::filesystem::temp_directory_path() / ("tarnwick-" + std::to_string(random() % 1000000000));
    std::error_code failed;
    if (std::filesystem::create_directory(candidate, failed)) path_ = candidate.string();
  }
  if (path_.empty()) throw std::runtime_error("no temporary folder");
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
