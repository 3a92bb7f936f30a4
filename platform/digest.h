#pragma once
// The SHA-256 of a file, as the portal publishes it with an installer and the updater
// checks it before running one.

#include <optional>
#include <string>

namespace hw::platform {

// 64 lower-case hex digits, the file read in pieces; std::nullopt when it cannot be read.
std::optional<std::string> FileSha256Hex(const std::string& path);

}  // namespace hw::platform
