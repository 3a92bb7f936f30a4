#pragma once
// The portal's update list ("down/nlist.lst") and the arithmetic of the download's
// progress bar.
//
// The list is one line of three fields separated by "<br>": the offered version, the
// address of its installer and the installer's SHA-256 as 64 hex digits, for example
// "102<br>http://host/down/hwatable-installer-102<br>3a7bd3e2...". Line breaks anywhere
// in it (inside a field too) are ignored. Older lists carry anything in the third field;
// they are still valid, their downloads are just not checked.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hw::updater {

struct UpdateList {
  std::string version;  // field 0: digits only
  std::int64_t versionNumber = 0;
  std::string address;  // field 1
  std::string digest;   // field 2 as it came
};

// The list in `text`, or std::nullopt when it is not valid: after every CR and LF is
// removed, it must split at "<br>" into exactly three fields, the first a whole number.
// A "whole number" here is ASCII digits only (no sign, no blanks) that fit 63 bits: the
// version becomes part of the installer's file name, so nothing else may pass.
std::optional<UpdateList> ParseUpdateList(std::string_view text);

// Whether `text` is a whole number in the sense above.
bool IsWholeNumber(std::string_view text);

// Whether the list's third field is a SHA-256 digest (64 hex digits, either case).
bool IsSha256Hex(std::string_view text);

// Whether the file at `path` has the digest `expectedHex` (either case).
bool FileMatchesDigest(const std::string& path, std::string_view expectedHex);

// The progress bar (333 pixels wide) and the status text for `read` of `total` bytes.
struct Progress {
  int width = 0;             // 0..333
  std::int64_t readKb = 0;   // rk: never above totalKb
  std::int64_t totalKb = 0;  // tk
  std::string status;        // rk + "Kbyte / " + tk + "Kbyte ..."
};
inline constexpr int kProgressWidth = 333;
// Whole kilobytes of both counts; the width is readKb x 333 / totalKb rounded to the
// nearest whole number, halves to even (0 while totalKb is 0). Counts of a broken server
// (more read than the total, negative numbers) give a full or an empty bar, never a wider
// one.
Progress ComputeProgress(std::int64_t read, std::int64_t total);

}  // namespace hw::updater
