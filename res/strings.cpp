#include "res/strings.h"

#include "res/resource_ids.h"

namespace res {

std::string_view LoadString(int id) {
  if (id == IDS_ABOUTBOX) return "关于 Tarnwick(&A)...";
  return {};
}

}  // namespace res
