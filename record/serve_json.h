// A small JSON writer for the dashboard's answers. Every text from the record
// goes through String(), which keeps the answer valid JSON whatever the row
// holds and leaves no markup characters in it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace record {

class JsonWriter {
 public:
  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The next member's name; inside an object, before each value.
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view text);
  JsonWriter& Number(int64_t value);
  JsonWriter& Number(double value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  JsonWriter& OptionalString(const std::optional<std::string>& text);

  const std::string& text() const { return text_; }

 private:
  void Separate();

  std::string text_;
  bool first_ = true;
};

// `text` as a JSON string with its quotes: control characters, quotes,
// backslashes and < > & escaped, bytes that are not UTF-8 as U+FFFD.
std::string JsonString(std::string_view text);

}  // namespace record
