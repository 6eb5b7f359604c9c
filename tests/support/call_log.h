// What a fake chip library was asked, in order, and the answers scripted for it.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace fakes {

struct Call {
  std::string name;
  std::string args;  // the arguments as passed, comma-separated; out-parameters are left out
  bool operator==(const Call&) const = default;
};
using Calls = std::vector<Call>;

inline std::ostream& operator<<(std::ostream& out, const Call& call) {
  return out << call.name << "(" << call.args << ")";
}

class CallLog {
 public:
  // The next call of `name` answers `result`; later calls go back to the default.
  void Script(const std::string& name, int64_t result) { scripted_[name].push_back(result); }
  // Every call of `name` answers `result` unless a scripted answer is waiting.
  void SetDefault(const std::string& name, int64_t result) { defaults_[name] = result; }

  // Also keep every call in `all`, shared with the other fakes, to see the order across libraries.
  void ShareWith(Calls* all) { shared_ = all; }

  const Calls& calls() const { return calls_; }
  void Clear() { calls_.clear(); }
  // Only the calls of one function.
  Calls CallsOf(const std::string& name) const {
    Calls some;
    for (const Call& call : calls_) {
      if (call.name == name) some.push_back(call);
    }
    return some;
  }

  template <typename... Args>
  int64_t Record(const std::string& name, int64_t fallback, const Args&... args) {
    std::ostringstream text;
    [[maybe_unused]] const char* separator = "";
    ((text << separator << Show(args), separator = ","), ...);
    calls_.push_back({name, text.str()});
    if (shared_ != nullptr) shared_->push_back(calls_.back());
    auto queued = scripted_.find(name);
    if (queued != scripted_.end() && !queued->second.empty()) {
      int64_t result = queued->second.front();
      queued->second.pop_front();
      return result;
    }
    auto preset = defaults_.find(name);
    return preset != defaults_.end() ? preset->second : fallback;
  }

 private:
  template <typename T>
  static std::string Show(const T& value) {
    std::ostringstream out;
    if constexpr (std::is_same_v<T, uint8_t> || std::is_same_v<T, int8_t>) out << static_cast<int>(value);
    else if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, char*>) out << (value ? value : "(null)");
    else out << value;
    return out.str();
  }

  Calls calls_;
  Calls* shared_ = nullptr;
  std::map<std::string, std::deque<int64_t>> scripted_;
  std::map<std::string, int64_t> defaults_;
};

}  // namespace fakes
