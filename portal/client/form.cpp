#include "portal/client/form.h"

#include "rules/deal.h"
#include "rules/game_state.h"
#include "rules/numbers.h"

namespace hw::portal {

std::string FormEncode(std::string_view value) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                            c == '~';
    if (unreserved) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 15];
    }
  }
  return encoded;
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
  return IsDigits(text);
}

bool IsLoginReply(const std::vector<std::string>& fields) {
  if (fields.size() != 10) return false;
  for (const std::size_t number : {2, 4, 5, 6, 7, 8}) {
    if (!IsNumeric(fields[number])) return false;
  }
  return true;
}

bool IsDealReply(const std::vector<std::string>& fields, int serviceCards) {
  return fields.size() == 7 && fields[0] == "OK" && IsDigits(fields[1]) && fields[1].size() <= 18 &&
         DeckTextProblem(fields[2], kMonthCards + serviceCards).empty() && fields[3].size() == 1 &&
         IsDigits(fields[3]) && fields[3][0] - '0' < kMissions &&
         (fields[4] == "0" || fields[4] == "1") && IsDigits(fields[5]);
}

}  // namespace hw::portal
