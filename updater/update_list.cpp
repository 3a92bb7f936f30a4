#include "updater/update_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/digest.h"

namespace hw::updater {

bool IsWholeNumber(std::string_view text) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return error == std::errc() && end == text.data() + text.size();
}

std::optional<UpdateList> ParseUpdateList(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n') joined += c;
  }
  std::vector<std::string> fields;
  constexpr std::string_view kSeparator = "<br>";
  std::size_t start = 0;
  for (;;) {
    const std::size_t at = joined.find(kSeparator, start);
    fields.push_back(
        joined.substr(start, at == std::string::npos ? std::string::npos : at - start));
    if (at == std::string::npos) break;
    start = at + kSeparator.size();
  }
  if (fields.size() != 3 || !IsWholeNumber(fields[0])) return std::nullopt;

  UpdateList list;
  list.version = fields[0];
  std::from_chars(list.version.data(), list.version.data() + list.version.size(),
                  list.versionNumber);
  list.address = fields[1];
  list.digest = fields[2];
  return list;
}

bool IsSha256Hex(std::string_view text) {
  return text.size() == 64 && std::all_of(text.begin(), text.end(), [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
         });
}

bool FileMatchesDigest(const std::string& path, std::string_view expectedHex) {
  const std::optional<std::string> actual = platform::FileSha256Hex(path);
  if (!actual || actual->size() != expectedHex.size()) return false;
  for (std::size_t i = 0; i < expectedHex.size(); ++i) {
    char c = expectedHex[i];
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    if (c != (*actual)[i]) return false;
  }
  return true;
}

Progress ComputeProgress(std::int64_t read, std::int64_t total) {
  Progress progress;
  progress.readKb = std::max<std::int64_t>(read, 0) / 1024;
  progress.totalKb = std::max<std::int64_t>(total, 0) / 1024;
  if (progress.totalKb > 0) {
    // nearbyint rounds in the current mode, which is to nearest with halves to even.
    const double width = std::nearbyint(static_cast<double>(progress.readKb) * kProgressWidth /
                                        static_cast<double>(progress.totalKb));
    progress.width = static_cast<int>(std::clamp(width, 0.0, double{kProgressWidth}));
  }
  if (progress.totalKb < progress.readKb) progress.readKb = progress.totalKb;
  progress.status =
      std::to_string(progress.readKb) + "Kbyte / " + std::to_string(progress.totalKb) + "Kbyte ...";
  return progress;
}

}  // namespace hw::updater
