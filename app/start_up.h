// One start of the station for either front end: the chip libraries bound from
// the program's folder, then MainDialog on the front end's window until it ends.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "app/station_window.h"
#include "dialog/transports.h"

namespace app {

struct FrontEnd {
  // Made only once the libraries are bound: a station without them shows no window.
  std::function<std::unique_ptr<StationWindow>()> makeWindow;
  // A box with no window behind it; both texts GBK.
  std::function<void(std::string_view title, std::string_view text)> showError;
};

// Runs the window to its end. False, after one box naming the library or
// function that is missing, when the chip libraries cannot be bound.
bool RunStation(const FrontEnd& frontEnd, dialog::Transports& transports);

}  // namespace app
