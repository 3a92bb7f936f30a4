#include "portal/client/form.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

namespace hw::portal {

std::string FormEncode(std::string_view value) {
  // Everything but letters, digits and "-._~" becomes %XX (curl does not use the handle;
  // it would measure an empty value with strlen).
  if (value.empty()) return {};
  const std::unique_ptr<char, decltype(&curl_free)> encoded(
      curl_easy_escape(nullptr, value.data(), static_cast<int>(value.size())), &curl_free);
  return encoded != nullptr ? std::string(encoded.get()) : std::string();
}

std::string FormBody(const std::vector<std::pair<std::string_view, std::string_view>>& fields) {
  std::string body;
  for (const auto& [name, value] : fields) {
    if (!body.empty()) body += '&';
    body += name;
    body += '=';
    body += FormEncode(value);
  }
  return body;
}

std::vector<std::string> SplitReply(std::string_view reply) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = reply.find('|', start);
    fields.emplace_back(reply.substr(start, bar == std::string_view::npos ? bar : bar - start));
    if (bar == std::string_view::npos) return fields;
    start = bar + 1;
  }
}

std::string JoinLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  bool first = true;
  for (const std::string_view line : lines) {
    if (!first) text += "\r\n";
    text += line;
    first = false;
  }
  return text;
}

bool IsNumeric(std::string_view text) {
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace hw::portal
