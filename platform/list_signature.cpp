#include "platform/list_signature.h"

#include <sodium.h>

#include <array>
#include <stdexcept>

namespace hw::platform {
namespace {

constexpr int kVariant = sodium_base64_VARIANT_ORIGINAL;

void StartSodium() {
  // sodium_init() may be called any number of times, from any thread.
  if (sodium_init() < 0) throw std::runtime_error("libsodium could not start");
}

template <std::size_t N>
std::string ToBase64(const std::array<unsigned char, N>& bytes) {
  std::string text(sodium_base64_ENCODED_LEN(N, kVariant), '\0');
  sodium_bin2base64(text.data(), text.size(), bytes.data(), N, kVariant);
  text.pop_back();  // the terminating NUL
  return text;
}

// Exactly N bytes written as base64 in `text`, or std::nullopt.
template <std::size_t N>
std::optional<std::array<unsigned char, N>> FromBase64(std::string_view text) {
  // The length first: libsodium would take a shorter text and leave the rest unfilled.
  if (text.size() != sodium_base64_ENCODED_LEN(N, kVariant) - 1) return std::nullopt;
  std::array<unsigned char, N> bytes{};
  std::size_t length = 0;
  // Without an end pointer, any character outside the alphabet is an error.
  if (sodium_base642bin(bytes.data(), N, text.data(), text.size(), nullptr, &length, nullptr,
                        kVariant) != 0 ||
      length != N) {
    return std::nullopt;
  }
  return bytes;
}

using PublicKey = std::array<unsigned char, crypto_sign_PUBLICKEYBYTES>;
using SecretKey = std::array<unsigned char, crypto_sign_SECRETKEYBYTES>;
using Signature = std::array<unsigned char, crypto_sign_BYTES>;

// The secret key, when it is one: libsodium's secret key holds its public key, which must
// be the one its seed gives.
std::optional<SecretKey> ReadSecretKey(std::string_view text) {
  std::optional<SecretKey> secret = FromBase64<crypto_sign_SECRETKEYBYTES>(text);
  if (!secret) return std::nullopt;
  StartSodium();
  PublicKey publicKey{};
  SecretKey again{};
  crypto_sign_seed_keypair(publicKey.data(), again.data(), secret->data());
  const bool whole = sodium_memcmp(again.data(), secret->data(), again.size()) == 0;
  sodium_memzero(again.data(), again.size());
  if (!whole) {
    sodium_memzero(secret->data(), secret->size());
    return std::nullopt;
  }
  return secret;
}

}  // namespace

ListKeyPair NewListKeyPair() {
  StartSodium();
  PublicKey publicKey{};
  SecretKey secretKey{};
  crypto_sign_keypair(publicKey.data(), secretKey.data());
  ListKeyPair pair{ToBase64(publicKey), ToBase64(secretKey)};
  sodium_memzero(secretKey.data(), secretKey.size());
  return pair;
}

std::optional<std::string> ListPublicKeyOf(std::string_view secretKey) {
  std::optional<SecretKey> secret = ReadSecretKey(secretKey);
  if (!secret) return std::nullopt;
  PublicKey publicKey{};
  crypto_sign_ed25519_sk_to_pk(publicKey.data(), secret->data());
  sodium_memzero(secret->data(), secret->size());
  return ToBase64(publicKey);
}

bool IsListPublicKey(std::string_view text) {
  return FromBase64<crypto_sign_PUBLICKEYBYTES>(text).has_value();
}

std::optional<std::string> SignListText(std::string_view text, std::string_view secretKey) {
  std::optional<SecretKey> secret = ReadSecretKey(secretKey);
  if (!secret) return std::nullopt;
  Signature signature{};
  crypto_sign_detached(signature.data(), nullptr,
                       reinterpret_cast<const unsigned char*>(text.data()), text.size(),
                       secret->data());
  sodium_memzero(secret->data(), secret->size());
  return ToBase64(signature);
}

bool ListSignatureMatches(std::string_view text, std::string_view signature,
                          std::string_view publicKey) {
  const std::optional<Signature> bytes = FromBase64<crypto_sign_BYTES>(signature);
  const std::optional<PublicKey> key = FromBase64<crypto_sign_PUBLICKEYBYTES>(publicKey);
  if (!bytes || !key) return false;
  StartSodium();
  return crypto_sign_verify_detached(bytes->data(),
                                     reinterpret_cast<const unsigned char*>(text.data()),
                                     text.size(), key->data()) == 0;
}

}  // namespace hw::platform
