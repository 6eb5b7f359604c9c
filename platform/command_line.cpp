#include "platform/child_process.h"
#include "platform/gbk.h"

namespace platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// A lead byte followed by its trail byte: the pair is one character, whatever the trail byte looks like.
bool StartsPair(std::string_view text, size_t at) {
  return IsGbkLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size();
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  std::vector<std::string> words;
  size_t at = 0;

  // The program name: quotes group and are dropped, backslashes are plain.
  std::string program;
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    if (line[at] == '"') {
      quoted = !quoted;
      ++at;
    } else if (StartsPair(line, at)) {
      program.append(line.substr(at, 2));
      at += 2;
    } else {
      program += line[at++];
    }
  }
  if (line.empty()) return words;
  words.push_back(std::move(program));

  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at >= line.size()) break;
    std::string word;
    quoted = false;
    for (;;) {
      size_t backslashes = 0;
      while (at < line.size() && line[at] == '\\') {
        ++backslashes;
        ++at;
      }
      bool keep = true;
      if (at < line.size() && line[at] == '"') {
        if (backslashes % 2 == 0) {
          if (quoted && at + 1 < line.size() && line[at + 1] == '"') {
            ++at;  // "" inside quotes is one literal quote
          } else {
            keep = false;
            quoted = !quoted;
          }
        }
        backslashes /= 2;
      }
      word.append(backslashes, '\\');
      if (at >= line.size() || (!quoted && IsBlank(line[at]))) break;
      if (keep) {
        if (StartsPair(line, at)) word += line[at++];
        word += line[at];
      }
      ++at;
    }
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace platform
