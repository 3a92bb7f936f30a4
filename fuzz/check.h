#pragma once
// What the fuzz targets share: a property that fails stops the run with the input shown.

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace hw::fuzz {

inline void Check(bool ok, const char* property, std::string_view input) {
  if (ok) return;
  std::fprintf(stderr, "property failed: %s\ninput: \"", property);
  for (const char c : input) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '"' && c != '\\') {
      std::fputc(c, stderr);
    } else {
      std::fprintf(stderr, "\\x%02x", byte);
    }
  }
  std::fprintf(stderr, "\"\n");
  std::abort();
}

// The next piece of the input up to a separator (not included); the rest follows it.
inline std::string_view NextPiece(std::string_view& rest, char separator) {
  const std::size_t at = rest.find(separator);
  const std::string_view piece = rest.substr(0, at);
  rest = at == std::string_view::npos ? std::string_view{} : rest.substr(at + 1);
  return piece;
}

}  // namespace hw::fuzz
