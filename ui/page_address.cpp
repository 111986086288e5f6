#include "ui/page_address.h"

#include <limits>

namespace kestravin::ui {

namespace {

constexpr std::string_view kSeedKey = "seed";
constexpr std::string_view kFitStringKey = "FitString";
constexpr std::string_view kReportLimitKey = "reportLimit";

// A parameter's name in an address: its constants-file label without spaces and colon.
std::string keyOf(std::string_view label) {
  std::string key;
  for (const char c : label) {
    if (c != ' ' && c != ':') key += c;
  }
  return key;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Percent escapes and '+' undone; then, when the bytes are UTF-8 for characters of Latin-1,
// those characters (the program's texts are single-byte).
std::string decode(std::string_view text) {
  std::string bytes;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? hexDigit(text[i + 1]) : -1;
    const int low = high >= 0 ? hexDigit(text[i + 2]) : -1;
    if (low >= 0) {
      bytes += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      bytes += text[i] == '+' ? ' ' : text[i];
    }
  }
  std::string latin1;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      latin1 += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < bytes.size() &&
               (static_cast<unsigned char>(bytes[i + 1]) & 0xC0) == 0x80) {
      latin1 += static_cast<char>(((c & 0x03) << 6) | (bytes[++i] & 0x3F));
    } else {
      return bytes;  // not UTF-8 of Latin-1 characters: the bytes as they are
    }
  }
  return latin1;
}

std::string encode(std::string_view text) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  const auto escape = [&out](unsigned char byte) {
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 15];
  };
  for (const char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '_' || c == '~';
    if (plain) {
      out += ch;
    } else if (c < 0x80) {
      escape(c);
    } else {
      escape(static_cast<unsigned char>(0xC0 | (c >> 6)));
      escape(static_cast<unsigned char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

// A whole number: an optional sign, then digits only, within `least`..`most`.
std::optional<std::int64_t> wholeNumber(std::string_view text, std::int64_t least,
                                        std::int64_t most) {
  std::size_t i = text.empty() || (text[0] != '-' && text[0] != '+') ? 0 : 1;
  if (i == text.size() || text.size() - i > 13) return std::nullopt;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  if (text[0] == '-') value = -value;
  if (value < least || value > most) return std::nullopt;
  return value;
}

}  // namespace

PageAddress readPageAddress(std::string_view query, const SimParams& base) {
  PageAddress address;
  SimParams params = base;
  bool named = false;
  while (!query.empty()) {
    const std::size_t end = query.find('&');
    const std::string_view entry = query.substr(0, end);
    query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    if (entry.empty()) continue;
    const std::size_t equals = entry.find('=');
    const std::string key = decode(entry.substr(0, equals));
    const std::string value =
        equals == std::string_view::npos ? std::string() : decode(entry.substr(equals + 1));
    if (key == kSeedKey) {
      const auto seed = wholeNumber(value, 0, std::numeric_limits<std::uint32_t>::max());
      if (seed && value[0] != '-' && value[0] != '+') {
        address.seed = static_cast<std::uint32_t>(*seed);
      } else {
        std::string problem = "seed=";
        problem += value;
        problem += ": the seed is a number 0..4294967295";
        address.problems.push_back(std::move(problem));
      }
      continue;
    }
    if (key == kReportLimitKey) {
      const auto limit = wholeNumber(value, 1, std::int64_t{1} << 40);
      if (limit && value[0] != '+') {
        address.reportLimit = static_cast<std::uint64_t>(*limit);
      } else {
        std::string problem = "reportLimit=";
        problem += value;
        problem += ": the limit is a number of bytes, 1 or more";
        address.problems.push_back(std::move(problem));
      }
      continue;
    }
    if (key == kFitStringKey) {
      params.fitString = value;
      named = true;
      continue;
    }
    bool known = false;
    for (const IntParamInfo& info : kIntParams) {
      if (key != keyOf(info.label)) continue;
      known = true;
      const auto number = wholeNumber(value, std::numeric_limits<std::int32_t>::min(),
                                      std::numeric_limits<std::int32_t>::max());
      if (number) {
        params.*info.field = static_cast<std::int32_t>(*number);
        named = true;
      } else {
        std::string problem = key;
        problem += '=';
        problem += value;
        problem += ": not a whole number of 32 bits";
        address.problems.push_back(std::move(problem));
      }
    }
    if (!known) {
      std::string problem = "\"";
      problem += key;
      problem += "\": the page knows no such entry";
      address.problems.push_back(std::move(problem));
    }
  }
  if (named) address.params = std::move(params);
  return address;
}

std::string pageLinkQuery(std::uint32_t seed, const SimParams& params) {
  std::string query(kSeedKey);
  query += '=';
  query += std::to_string(seed);
  for (const IntParamInfo& info : kIntParams) {
    query += '&';
    query += keyOf(info.label);
    query += '=';
    query += std::to_string(params.*info.field);
  }
  query += '&';
  query += kFitStringKey;
  query += '=';
  query += encode(params.fitString);
  return query;
}

}  // namespace kestravin::ui
