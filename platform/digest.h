#pragma once
// SHA-256 digests: of a file, as the portal publishes it with an installer and the
// updater checks it before running one; of a text, as the portal keeps session tokens
// and derives and commits to the seeds of its deals.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace hw::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

Sha256Digest Sha256(std::string_view data);
// 64 lower-case hex digits.
std::string Sha256Hex(std::string_view data);

// 64 lower-case hex digits, the file read in pieces; std::nullopt when it cannot be read.
std::optional<std::string> FileSha256Hex(const std::string& path);

}  // namespace hw::platform
