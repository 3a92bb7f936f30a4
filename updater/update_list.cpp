#include "updater/update_list.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

#include "platform/digest.h"
#include "platform/list_signature.h"

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

namespace {

constexpr std::string_view kSeparator = "<br>";

std::vector<std::string_view> SplitFields(std::string_view text) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t at = text.find(kSeparator);
    fields.push_back(text.substr(0, at));
    if (at == std::string_view::npos) return fields;
    text.remove_prefix(at + kSeparator.size());
  }
}

std::string WithoutLineBreaks(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (const char c : text) {
    if (c != '\r' && c != '\n') joined += c;
  }
  return joined;
}

}  // namespace

std::optional<UpdateList> ParseUpdateList(std::string_view text) {
  const std::string joined = WithoutLineBreaks(text);
  const std::vector<std::string_view> fields = SplitFields(joined);
  const bool signedList = fields.size() == 4 && fields[3].starts_with(kSignatureField);
  if ((fields.size() != 3 && !signedList) || !IsWholeNumber(fields[0])) return std::nullopt;

  UpdateList list;
  list.version = fields[0];
  std::from_chars(list.version.data(), list.version.data() + list.version.size(),
                  list.versionNumber);
  list.address = fields[1];
  list.digest = fields[2];
  return list;
}

GameList ReadGameList(std::string_view text, std::string_view listKey) {
  GameList read;
  if (listKey.empty()) {
    read.list = ParseUpdateList(text);
    return read;
  }
  // What does not even begin like a list is no list, as for a build without a key.
  const std::string joined = WithoutLineBreaks(text);
  const std::vector<std::string_view> loose = SplitFields(joined);
  if (loose.size() < 3 || !IsWholeNumber(loose[0])) return read;

  read.badSignature = true;
  std::string_view exact = text;
  if (exact.ends_with("\r\n")) {
    exact.remove_suffix(2);
  } else if (exact.ends_with('\n')) {
    exact.remove_suffix(1);
  }
  if (exact.find_first_of("\r\n") != std::string_view::npos) {
    read.problem = "the list holds line breaks, and a signed list has none";
    return read;
  }
  const std::vector<std::string_view> fields = SplitFields(exact);
  const auto isSignature = [](std::string_view field) {
    return field.starts_with(kSignatureField);
  };
  if (fields.size() < 4 || std::none_of(fields.begin() + 3, fields.end(), isSignature)) {
    read.problem = "the list is not signed";
    return read;
  }
  if (fields.size() > 4 || !isSignature(fields[3])) {
    read.problem = "the list holds more fields than its three and the signature";
    return read;
  }
  const std::string_view signedText =
      exact.substr(0, exact.size() - kSeparator.size() - fields[3].size());
  const std::string_view signature = fields[3].substr(kSignatureField.size());
  if (!platform::ListSignatureMatches(signedText, signature, listKey)) {
    read.problem = "the list's signature was not made with the key of this updater";
    return read;
  }
  if (!IsSha256Hex(fields[2])) {
    read.problem = "the signed list names no SHA-256 of its installer";
    return read;
  }
  read.badSignature = false;
  read.list = ParseUpdateList(signedText);
  return read;
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
