#include "platform/digest.h"

#include <sodium.h>

#include <array>
#include <fstream>
#include <vector>

namespace hw::platform {

std::optional<std::string> FileSha256Hex(const std::string& path) {
  if (sodium_init() < 0) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  crypto_hash_sha256_state state;
  crypto_hash_sha256_init(&state);
  std::vector<char> buffer(1 << 16);
  while (in) {
    in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    crypto_hash_sha256_update(&state, reinterpret_cast<const unsigned char*>(buffer.data()),
                              static_cast<unsigned long long>(in.gcount()));
  }
  if (in.bad()) return std::nullopt;
  std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
  crypto_hash_sha256_final(&state, digest.data());
  std::string hex(2 * digest.size() + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
  hex.pop_back();
  return hex;
}

}  // namespace hw::platform
