// Feeds arbitrary texts to the updater's reading of the portal's list, with and without
// a list key. A list read is written again and reads the same; without a key the updater
// acts on what the plain reading gives; with one it acts only on a list whose signature
// matches its first three fields, and a list signed anew from what it read is taken with
// the same fields.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/check.h"
#include "platform/list_signature.h"
#include "updater/update_list.h"

namespace {

using hw::fuzz::Check;
namespace updater = hw::updater;

bool Same(const updater::UpdateList& a, const updater::UpdateList& b) {
  return a.version == b.version && a.versionNumber == b.versionNumber && a.address == b.address &&
         a.digest == b.digest;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const hw::platform::ListKeyPair key = hw::platform::NewListKeyPair();
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  const std::optional<updater::UpdateList> plain = updater::ParseUpdateList(text);
  const updater::GameList unkeyed = updater::ReadGameList(text, "");
  Check(unkeyed.list.has_value() == plain.has_value() && (!plain || Same(*unkeyed.list, *plain)),
        "without a key the updater acts on the list as read", text);
  const updater::GameList keyed = updater::ReadGameList(text, key.publicKey);
  if (keyed.list) {
    // Taken with the key: its text is three fields and a signature of them.
    std::string joined;
    for (const char c : text)
      if (c != '\r' && c != '\n') joined += c;
    const std::size_t signature = joined.rfind("<br>sig:");
    Check(signature != std::string::npos &&
              hw::platform::ListSignatureMatches(joined.substr(0, signature),
                                                 joined.substr(signature + 8), key.publicKey),
          "a keyed updater takes only a list signed with its key", text);
  }
  if (!plain) return 0;

  const std::string fields = plain->version + "<br>" + plain->address + "<br>" + plain->digest;
  const std::optional<updater::UpdateList> again = updater::ParseUpdateList(fields);
  Check(again && Same(*again, *plain), "a list written again reads the same", text);
  const std::optional<std::string> signature = hw::platform::SignListText(fields, key.secretKey);
  Check(signature.has_value(), "the key signs", text);
  const updater::GameList signed_list =
      updater::ReadGameList(fields + "<br>sig:" + *signature, key.publicKey);
  if (updater::IsSha256Hex(plain->digest) && fields.find_first_of("\r\n") == std::string::npos) {
    Check(signed_list.list && Same(*signed_list.list, *plain),
          "a list signed with the key is taken as it reads", text);
  }
  return 0;
}
