#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/gbk.h"

namespace platform {
namespace {

struct Line {
  std::string text;    // without its ending
  std::string ending;  // "\r\n", "\n" or "" for a last line without one
};

std::vector<Line> SplitLines(const std::string& content) {
  std::vector<Line> lines;
  size_t start = 0;
  while (start < content.size()) {
    size_t lf = content.find('\n', start);
    if (lf == std::string::npos) {
      lines.push_back({content.substr(start), ""});
      break;
    }
    bool cr = lf > start && content[lf - 1] == '\r';
    lines.push_back({content.substr(start, lf - start - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    start = lf + 1;
  }
  return lines;
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

// The section name of a "[name]" line, or false.
bool SectionName(std::string_view line, std::string_view* name) {
  std::string_view t = Trim(line);
  if (t.empty() || t.front() != '[') return false;
  size_t close = t.find(']');
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

bool WriteFileAtomically(const std::string& nativePath, const std::string& content) {
  std::string temp = nativePath + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return false;
  struct stat old {};
  fchmod(fd, stat(nativePath.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
  size_t done = 0;
  bool ok = true;
  while (ok && done < content.size()) {
    ssize_t n = write(fd, content.data() + done, content.size() - done);
    if (n < 0) ok = false;
    else done += static_cast<size_t>(n);
  }
  ok = ok && fsync(fd) == 0;
  ok = (close(fd) == 0) && ok;
  ok = ok && rename(temp.c_str(), nativePath.c_str()) == 0;
  if (!ok) {
    unlink(temp.c_str());
    return false;
  }
  // The rename itself must reach the disk before we call the counter written.
  std::string folder = nativePath.substr(0, nativePath.find_last_of('/') + 1);
  int dir = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

}  // namespace

std::string ReadProfileString(std::string_view section, std::string_view key, size_t bufferSize,
                              const std::string& file) {
  if (bufferSize == 0) return {};
  std::string content;
  if (!ReadWholeFile(GbkToUtf8(file), &content)) return {};
  std::vector<Line> lines = SplitLines(content);
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

bool WriteProfileString(std::string_view section, std::string_view key, std::string_view value,
                        const std::string& file) {
  std::string nativePath = GbkToUtf8(file);
  std::string content;
  ReadWholeFile(nativePath, &content);  // a missing file is an empty one
  std::vector<Line> lines = SplitLines(content);
  std::string newline = "\r\n";
  if (!lines.empty() && !lines.front().ending.empty()) newline = lines.front().ending;

  Found found = Locate(lines, section, key);
  std::string keyText(key);
  if (found.key) {
    std::string_view oldKey, oldValue;
    KeyLine(lines[found.keyLine].text, &oldKey, &oldValue);
    lines[found.keyLine].text = std::string(oldKey) + "=" + std::string(value);
  } else {
    Line entry{keyText + "=" + std::string(value), newline};
    if (found.section) {
      size_t at = found.lastKeyLine;
      if (lines[at].ending.empty()) lines[at].ending = newline;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at + 1), entry);
    } else {
      if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = newline;
      lines.push_back({"[" + std::string(section) + "]", newline});
      lines.push_back(entry);
    }
  }
  std::string out;
  for (const Line& line : lines) out += line.text + line.ending;
  return WriteFileAtomically(nativePath, out);
}

}  // namespace platform
