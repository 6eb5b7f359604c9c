#include "platform/profile_file.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "platform/gbk.h"
#include "platform/replace_file.h"

namespace platform {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

struct Line {
  std::string text;    // without its ending
  std::string ending;  // "\r\n", "\n", "\r" or "" for a last line without one
};

struct Content {
  std::string mark;  // a byte-order mark before the first line, kept as it was
  std::vector<Line> lines;
};

// CR LF, a lone LF and a lone CR each end a line, as the line PCs read them:
// "LAP=00a1ff\r\r\n" is the value 00a1ff followed by an empty line.
Content SplitLines(std::string_view content) {
  Content result;
  if (content.starts_with(kUtf8Mark)) {
    result.mark = kUtf8Mark;
    content.remove_prefix(kUtf8Mark.size());
  }
  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      result.lines.push_back({std::string(content.substr(start)), ""});
      break;
    }
    size_t endingSize = (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1;
    result.lines.push_back({std::string(content.substr(start, end - start)), std::string(content.substr(end, endingSize))});
    start = end + endingSize;
  }
  return result;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// ASCII letters compare without case; the second byte of a GBK character is
// compared as it is, even where it looks like a letter.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (IsGbkLeadByte(static_cast<unsigned char>(a[i])) && i + 1 < a.size()) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
    } else if (Lower(a[i]) != Lower(b[i])) {
      return false;
    }
  }
  return true;
}

// The section name of a "[name]" line, or false. The name runs to the last ']'
// of the line; what follows it does not count.
bool SectionName(std::string_view line, std::string_view* name) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return false;
  size_t close = t.rfind(']');
  if (close == std::string_view::npos) return false;
  *name = Trim(t.substr(1, close - 1));
  return true;
}

// Splits a "key = value" line; false for comments and lines without '='.
bool KeyLine(std::string_view line, std::string_view* key, std::string_view* value) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() == ';') return false;
  size_t eq = t.find('=');
  if (eq == std::string_view::npos) return false;
  *key = Trim(t.substr(0, eq));
  *value = Trim(t.substr(eq + 1));
  return true;
}

bool ReadWholeFile(const std::string& nativePath, std::string* content) {
  std::ifstream in(nativePath, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  *content = buffer.str();
  return true;
}

struct Found {
  bool section = false;
  size_t sectionLine = 0;   // the "[section]" line
  size_t lastKeyLine = 0;   // the last key line of the section (or the header)
  bool key = false;
  size_t keyLine = 0;
};

Found Locate(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
  Found found;
  bool inside = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (SectionName(lines[i].text, &name)) {
      if (inside) break;  // the first section of that name is the one
      if (SameName(name, section)) {
        inside = true;
        found.section = true;
        found.sectionLine = found.lastKeyLine = i;
      }
      continue;
    }
    std::string_view k, v;
    if (inside && KeyLine(lines[i].text, &k, &v)) {
      found.lastKeyLine = i;
      if (!found.key && SameName(k, key)) {
        found.key = true;
        found.keyLine = i;
      }
    }
  }
  return found;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, size_t bufferSize,
                              const std::string& file) {
  if (bufferSize == 0) return {};
  std::string content;
  if (!ReadWholeFile(GbkToUtf8(file), &content)) return {};
  std::vector<Line> lines = SplitLines(content).lines;
  Found found = Locate(lines, section, key);
  if (!found.key) return {};
  std::string_view k, value;
  KeyLine(lines[found.keyLine].text, &k, &value);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > bufferSize - 1) value = value.substr(0, bufferSize - 1);
  return std::string(value);
}

bool WriteProfileStrings(std::span<const ProfileEntry> entries, const std::string& file, RenameSync sync) {
  for (const ProfileEntry& entry : entries) {
    // A line end inside a name or value would become lines of their own.
    for (std::string_view text : {entry.section, entry.key, entry.value}) {
      if (text.find_first_of("\r\n") != std::string_view::npos) return false;
    }
  }
  std::string nativePath = GbkToUtf8(file);
  std::string old;
  ReadWholeFile(nativePath, &old);  // a missing file is an empty one
  Content content = SplitLines(old);
  std::vector<Line>& lines = content.lines;
  std::string newline = "\r\n";
  if (!lines.empty() && !lines.front().ending.empty()) newline = lines.front().ending;

  for (const ProfileEntry& edit : entries) {
    Found found = Locate(lines, edit.section, edit.key);
    if (found.key) {
      std::string_view oldKey, oldValue;
      KeyLine(lines[found.keyLine].text, &oldKey, &oldValue);
      lines[found.keyLine].text = std::string(oldKey) + "=" + std::string(edit.value);
      continue;
    }
    Line entry{std::string(edit.key) + "=" + std::string(edit.value), newline};
    if (found.section) {
      size_t at = found.lastKeyLine;
      if (lines[at].ending.empty()) lines[at].ending = newline;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at + 1), entry);
    } else {
      if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = newline;
      lines.push_back({"[" + std::string(edit.section) + "]", newline});
      lines.push_back(entry);
    }
  }
  std::string out = content.mark;
  for (const Line& line : lines) out += line.text + line.ending;
  return ReplaceFileContents(nativePath, out, sync);
}

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file) {
  const ProfileEntry entry{section, key, value};
  return WriteProfileStrings({&entry, 1}, file, RenameSync::Now);
}

}  // namespace platform
