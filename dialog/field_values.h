// One text value per bound control of the main dialog. All values start empty.
#pragma once

#include <array>
#include <string>

namespace dialog {

struct FieldValues {
  std::string FirmwarePath;
  std::string Device1Label;
  std::string NextNap;
  std::string NextUap;
  std::string NextLap;
  std::string BurnCount;
  std::string DeviceName;
  std::string Device2Label;
  std::string StartNap;
  std::string StartLap;
  std::string StartUap;
  std::string CurrentNap;
  std::string CurrentUap;
  std::string CurrentLap;
  std::array<std::string, 8> PioText;
};

}  // namespace dialog
