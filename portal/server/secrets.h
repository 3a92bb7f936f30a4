#pragma once
// The portal's secrets: password hashes (Argon2id through libsodium), random session
// tokens and recovery codes. Session tokens and recovery codes are random enough that the
// database keeps only their SHA-256 (platform::Sha256Hex).

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace hw::portal {

// How much work a password hash costs. kInteractive is libsodium's setting for logins
// (about 64 MiB and a tenth of a second); kMinimal is the smallest it allows and exists
// so that tests can sign up many members quickly. Verification reads the cost from the
// stored hash, so members hashed either way can always log in.
enum class HashCost { kInteractive, kMinimal };

// Throws std::runtime_error when libsodium cannot hash (out of memory).
std::string HashPassword(std::string_view password, HashCost cost);
bool PasswordMatches(const std::string& hash, std::string_view password);

// `bytes` random bytes as lower-case hex (twice as many characters).
std::string RandomHex(std::size_t bytes);

// A recovery code as it is shown to the member: four groups of four letters and digits
// ("K7QD-2MXA-PF9R-WB3N"), 80 random bits, without the easily confused I, O, 0 and 1.
std::string NewRecoveryCode();
// The code as it is compared: upper case, without the spaces and dashes people type.
std::string NormalizeRecoveryCode(std::string_view typed);

}  // namespace hw::portal
