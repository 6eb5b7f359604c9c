// Which control each field value is bound to, in the order of the exchange, and
// its length limit in bytes (0: none).
#pragma once

#include <span>
#include <string>

#include "dialog/field_values.h"

namespace app {

struct FieldBinding {
  int id;
  std::string& (*value)(dialog::FieldValues&);
  size_t limit;
  bool list;  // a list box: its selected entry
};

std::span<const FieldBinding> FieldBindings();

}  // namespace app
