#include "portal/server/secrets.h"

#include <sodium.h>

#include <array>
#include <stdexcept>
#include <vector>

namespace hw::portal {
namespace {

// sodium_init() may be called from any thread, any number of times; it picks the fastest
// implementations and seeds the random generator.
void EnsureSodium() {
  static const bool ready = sodium_init() >= 0;
  if (!ready) throw std::runtime_error("libsodium cannot be initialised");
}

std::string ToHex(const unsigned char* data, std::size_t size) {
  std::string hex(size * 2 + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), data, size);
  hex.pop_back();
  return hex;
}

}  // namespace

std::string HashPassword(std::string_view password, HashCost cost) {
  EnsureSodium();
  const bool minimal = cost == HashCost::kMinimal;
  std::array<char, crypto_pwhash_STRBYTES> hash{};
  if (crypto_pwhash_str(
          hash.data(), password.data(), password.size(),
          minimal ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE,
          minimal ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0) {
    throw std::runtime_error("not enough memory to hash a password");
  }
  return hash.data();
}

bool PasswordMatches(const std::string& hash, std::string_view password) {
  EnsureSodium();
  return crypto_pwhash_str_verify(hash.c_str(), password.data(), password.size()) == 0;
}

std::string RandomHex(std::size_t bytes) {
  EnsureSodium();
  std::vector<unsigned char> data(bytes);
  randombytes_buf(data.data(), data.size());
  return ToHex(data.data(), data.size());
}

std::string NewRecoveryCode() {
  EnsureSodium();
  static constexpr std::string_view kSymbols = "ABCDEFGHJKLMNPQRSTUVWXYZ23456789";
  std::string code;
  for (int group = 0; group < 4; ++group) {
    if (group > 0) code += '-';
    for (int i = 0; i < 4; ++i)
      code += kSymbols[randombytes_uniform(static_cast<std::uint32_t>(kSymbols.size()))];
  }
  return code;
}

std::string NormalizeRecoveryCode(std::string_view typed) {
  std::string code;
  for (char c : typed) {
    if (c == ' ' || c == '-') continue;
    code += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return code;
}

}  // namespace hw::portal
