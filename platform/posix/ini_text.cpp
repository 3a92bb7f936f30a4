#include "platform/posix/ini_text.h"

#include <cstddef>
#include <vector>

namespace hw::platform::ini {
namespace {

char AsciiLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(" \t") == std::string_view::npos;
}

std::string_view TrimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string Escape(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string Unescape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size()) {
      const char next = text[i + 1];
      if (next == '\\' || next == 'r' || next == 'n') {
        out += next == '\\' ? '\\' : next == 'r' ? '\r' : '\n';
        ++i;
        continue;
      }
    }
    out += text[i];
  }
  return out;
}

// One line of the file. `ending` is what followed the text: "\n", "\r\n", or "" on a
// last line without one. Writing back body + ending for every line gives the file back
// byte for byte.
struct Line {
  std::string body;
  std::string ending;
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t newline = text.find('\n', start);
    const std::size_t next = newline == std::string_view::npos ? text.size() : newline + 1;
    std::size_t bodyEnd = newline == std::string_view::npos ? text.size() : newline;
    if (bodyEnd > start && text[bodyEnd - 1] == '\r') --bodyEnd;
    lines.push_back(Line{std::string(text.substr(start, bodyEnd - start)),
                         std::string(text.substr(bodyEnd, next - bodyEnd))});
    start = next;
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines)
    text += line.body + line.ending;
  return text;
}

void EndWithNewline(Line& line) {
  if (line.ending.empty() || line.ending.back() != '\n') line.ending += '\n';
}

enum class Kind { kOther, kSection, kBrokenSection, kValue };

struct Parsed {
  Kind kind = Kind::kOther;
  std::string_view name;   // the section's name, or the value's
  std::string_view value;  // as written, still escaped
};

Parsed Parse(std::string_view body) {
  const std::string_view trimmed = TrimBlanks(body);
  if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
    const std::string_view inner = trimmed.substr(1, trimmed.size() - 2);
    if (CanBeWritten(inner)) return {Kind::kSection, inner, {}};
  }
  if (const std::size_t equals = body.find('='); equals != std::string_view::npos) {
    return {Kind::kValue, body.substr(0, equals), body.substr(equals + 1)};
  }
  if (!trimmed.empty() && trimmed.front() == '[') return {Kind::kBrokenSection, {}, {}};
  return {};
}

struct Found {
  std::vector<std::size_t> values;         // every line holding the value, in order
  std::optional<std::size_t> insertAfter;  // last non-blank line of the first such section
};

Found Find(const std::vector<Line>& lines, std::string_view section, std::string_view name) {
  Found found;
  bool inSection = false;
  bool inFirstSection = false;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Parsed line = Parse(lines[i].body);
    if (line.kind == Kind::kSection || line.kind == Kind::kBrokenSection) {
      inSection = line.kind == Kind::kSection && SameName(line.name, section);
      inFirstSection = inSection && !found.insertAfter;
      if (inFirstSection) found.insertAfter = i;
      continue;
    }
    if (inFirstSection && !IsBlank(lines[i].body)) found.insertAfter = i;
    if (inSection && line.kind == Kind::kValue && SameName(line.name, name)) {
      found.values.push_back(i);
    }
  }
  return found;
}

}  // namespace

bool CanBeWritten(std::string_view sectionOrName) {
  return sectionOrName.find_first_of("]=\r\n") == std::string_view::npos;
}

std::string ValueIn(std::string_view text, std::string_view section, std::string_view name) {
  const std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (found.values.empty()) return {};
  return Unescape(Parse(lines[found.values.front()].body).value);
}

std::optional<std::string> WithValue(std::string_view text, std::string_view section,
                                     std::string_view name, std::string_view value) {
  std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (!found.values.empty()) {
    Line& line = lines[found.values.front()];
    std::string body = std::string(Parse(line.body).name) + '=' + Escape(value);
    if (body == line.body) return std::nullopt;
    line.body = std::move(body);
  } else if (found.insertAfter) {
    EndWithNewline(lines[*found.insertAfter]);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*found.insertAfter) + 1,
                 Line{std::string(name) + '=' + Escape(value), "\n"});
  } else {
    if (!lines.empty()) {
      EndWithNewline(lines.back());
      if (!IsBlank(lines.back().body)) lines.push_back(Line{"", "\n"});
    }
    lines.push_back(Line{'[' + std::string(section) + ']', "\n"});
    lines.push_back(Line{std::string(name) + '=' + Escape(value), "\n"});
  }
  return JoinLines(lines);
}

std::optional<std::string> WithoutValue(std::string_view text, std::string_view section,
                                        std::string_view name) {
  std::vector<Line> lines = SplitLines(text);
  const Found found = Find(lines, section, name);
  if (found.values.empty()) return std::nullopt;
  for (auto at = found.values.rbegin(); at != found.values.rend(); ++at) {
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(*at));
  }
  return JoinLines(lines);
}

}  // namespace hw::platform::ini
