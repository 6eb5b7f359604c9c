// A fresh folder made the working directory for one test, removed afterwards.
#pragma once

#include <string>

namespace fakes {

class TempWorkingDirectory {
 public:
  TempWorkingDirectory();
  ~TempWorkingDirectory();
  TempWorkingDirectory(const TempWorkingDirectory&) = delete;
  TempWorkingDirectory& operator=(const TempWorkingDirectory&) = delete;

  const std::string& path() const { return path_; }
  // A file of this folder: its whole content, or empty when missing.
  std::string Read(const std::string& name) const;
  void Write(const std::string& name, const std::string& content) const;

 private:
  std::string previous_;
  std::string path_;
};

}  // namespace fakes
