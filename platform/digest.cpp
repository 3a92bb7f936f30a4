#include "platform/digest.h"

#include <sodium.h>

#include <array>
#include <fstream>
#include <vector>

namespace hw::platform {
namespace {

template <std::size_t N>
std::string ToHex(const std::array<unsigned char, N>& bytes) {
  std::string hex(2 * N + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), bytes.data(), N);
  hex.pop_back();
  return hex;
}

}  // namespace

Sha256Digest Sha256(std::string_view data) {
  // SHA-256 needs nothing sodium_init() sets up.
  Sha256Digest digest{};
  crypto_hash_sha256(digest.data(), reinterpret_cast<const unsigned char*>(data.data()),
                     data.size());
  return digest;
}

std::string Sha256Hex(std::string_view data) {
  return ToHex(Sha256(data));
}

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
  return ToHex(digest);
}

}  // namespace hw::platform
