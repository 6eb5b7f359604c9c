// What the calibration, the reset and the power test share with the radios.
#pragma once

#include <cstdint>

namespace radio {

inline constexpr uint16_t kCalibrationMhz = 2441;
inline constexpr double kCalibrationFrequency = 2441.0;  // MHz, as the library's offset calculation takes it

// The message box when the reference radio board does not open.
inline constexpr const char* kReferenceOpenFailed = "请连接1455 or 1274到电脑，安装好驱动软件!";

// The library's relative error (ppm) at the calibration frequency, in kHz.
inline double OffsetKhz(double ppm) { return static_cast<double>(kCalibrationMhz * 1000) * ppm * 0.000001; }
// The frequency the module was measured on, in MHz.
inline double MeasuredMhz(double offsetKhz) { return kCalibrationFrequency + offsetKhz * 0.001; }

}  // namespace radio
