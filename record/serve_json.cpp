#include "record/serve_json.h"

#include <cmath>
#include <cstdio>

namespace record {
namespace {

// The length of the well-formed UTF-8 sequence at `at`, 0 when there is none.
size_t Utf8Length(std::string_view text, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(at);
  size_t length;
  uint32_t lowest;
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    lowest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    lowest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    lowest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  uint32_t code = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(at + i) & 0x3F);
  }
  if (code < lowest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
  std::string json = "\"";
  for (size_t at = 0; at < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (c >= 0x80) {
      const size_t length = Utf8Length(text, at);
      if (length == 0) {
        json += "\\ufffd";
        ++at;
      } else {
        json.append(text, at, length);
        at += length;
      }
      continue;
    }
    switch (c) {
      case '"': json += "\\\""; break;
      case '\\': json += "\\\\"; break;
      case '\n': json += "\\n"; break;
      case '\r': json += "\\r"; break;
      case '\t': json += "\\t"; break;
      default:
        // Markup characters too, so that no answer can close a script or a tag it is pasted into.
        if (c < 0x20 || c == 0x7F || c == '<' || c == '>' || c == '&') {
          char escaped[8];
          snprintf(escaped, sizeof escaped, "\\u%04x", c);
          json += escaped;
        } else {
          json += static_cast<char>(c);
        }
    }
    ++at;
  }
  json += '"';
  return json;
}

void JsonWriter::Separate() {
  if (!first_) text_ += ',';
  first_ = false;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  text_ += '{';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += '}';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  text_ += '[';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += ']';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  Separate();
  text_ += JsonString(name);
  text_ += ':';
  first_ = true;  // the value follows without a comma
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view text) {
  Separate();
  text_ += JsonString(text);
  return *this;
}

JsonWriter& JsonWriter::Number(int64_t value) {
  Separate();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Number(double value) {
  if (!std::isfinite(value)) return Null();
  Separate();
  char text[32];
  snprintf(text, sizeof text, "%.4f", value);
  text_ += text;
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  text_ += "null";
  return *this;
}

JsonWriter& JsonWriter::OptionalString(const std::optional<std::string>& text) {
  return text ? String(*text) : Null();
}

}  // namespace record
