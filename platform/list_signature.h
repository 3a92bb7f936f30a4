#pragma once
// The signature on the portal's update list: Ed25519 (libsodium's crypto_sign), made by
// the operator's list key (hwatable-portal keygen, publish) and checked by an updater
// built with its public key.
//
// Keys and signatures are written in base64 (the original alphabet, with its "=" padding
// and nothing else): 44 characters for a public key, 88 for a secret key or a signature.
// Anything else, spaces and line breaks included, is not a key or a signature.

#include <optional>
#include <string>
#include <string_view>

namespace hw::platform {

struct ListKeyPair {
  std::string publicKey;
  std::string secretKey;
};

// A new random key pair. Throws std::runtime_error when libsodium cannot start.
ListKeyPair NewListKeyPair();

// The public key of a secret key, or std::nullopt when `secretKey` is none.
std::optional<std::string> ListPublicKeyOf(std::string_view secretKey);

// Whether `text` is a public key in the form above.
bool IsListPublicKey(std::string_view text);

// The signature of exactly the bytes of `text`, or std::nullopt when `secretKey` is none.
std::optional<std::string> SignListText(std::string_view text, std::string_view secretKey);

// Whether `signature` is a signature of exactly the bytes of `text` by the secret key of
// `publicKey`. False for a malformed key or signature.
bool ListSignatureMatches(std::string_view text, std::string_view signature,
                          std::string_view publicKey);

}  // namespace hw::platform
