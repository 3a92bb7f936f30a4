#pragma once
// The portal's update list ("down/nlist.lst") and the arithmetic of the download's
// progress bar.
//
// The list is one line of three fields separated by "<br>": the offered version, the
// address of its installer and the installer's SHA-256 as 64 hex digits, for example
// "102<br>http://host/down/hwatable-installer-102<br>3a7bd3e2...". Line breaks anywhere
// in it (inside a field too) are ignored. Older lists carry anything in the third field;
// they are still valid, their downloads are just not checked.
//
// A signed list carries a fourth field, "sig:" and the base64 Ed25519 signature of the
// first three fields exactly as they are written, "<br>"s included
// (platform/list_signature.h). An updater built with the operator's public key takes
// only such a list, exactly so: no line break inside it (one may end it), no field more.
// An updater built without a key takes any list as above and ignores the signature.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hw::updater {

// What introduces the signature in the fourth field.
inline constexpr std::string_view kSignatureField = "sig:";

struct UpdateList {
  std::string version;  // field 0: digits only
  std::int64_t versionNumber = 0;
  std::string address;  // field 1
  std::string digest;   // field 2 as it came
};

// The list in `text`, or std::nullopt when it is not valid: after every CR and LF is
// removed, it must split at "<br>" into exactly three fields, the first a whole number,
// or into four whose last starts with "sig:" (not checked here).
// A "whole number" here is ASCII digits only (no sign, no blanks) that fit 63 bits: the
// version becomes part of the installer's file name, so nothing else may pass.
std::optional<UpdateList> ParseUpdateList(std::string_view text);

// The game's list as the updater acts on it, read with the public key `listKey` (base64,
// as keygen prints it; "" for a build without one).
struct GameList {
  std::optional<UpdateList> list;  // the list to act on; none: the installed game starts
  // A list, but not one signed with the key: the player is told before the game starts.
  bool badSignature = false;
  std::string problem;  // what was wrong with a refused list, for the log
};
// Without a key, the list as ParseUpdateList reads it. With one, a text that is no list
// at all (an error page, nothing) is passed over quietly as without a key; a list must be
// signed, with the signature over exactly its first three fields, and name its
// installer's SHA-256.
GameList ReadGameList(std::string_view text, std::string_view listKey);

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
