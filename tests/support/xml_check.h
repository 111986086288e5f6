#pragma once

#include <cctype>
#include <string>
#include <string_view>
#include <vector>

namespace kestravin::test {

/// Whether text is well-formed XML as far as an SVG needs: a declaration, balanced and
/// properly nested elements, quoted attributes, known entities, no raw '<' or '&' in text and
/// one root. Returns an empty string when it is, else what is wrong.
inline std::string xmlProblem(std::string_view xml) {
  std::vector<std::string> open;
  bool rootSeen = false;
  std::size_t i = 0;
  const auto entityOk = [&](std::size_t at) {
    const std::size_t end = xml.find(';', at);
    if (end == std::string_view::npos || end - at > 8) return false;
    const std::string_view name = xml.substr(at + 1, end - at - 1);
    if (name == "amp" || name == "lt" || name == "gt" || name == "quot" || name == "apos") {
      return true;
    }
    if (name.size() < 2 || name[0] != '#') return false;
    for (char c : name.substr(1)) {
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    }
    return true;
  };
  if (xml.rfind("<?xml", 0) == 0) i = xml.find("?>") + 2;
  while (i < xml.size()) {
    const char c = xml[i];
    if (c == '&') {
      if (!entityOk(i)) return "a bare & at " + std::to_string(i);
      ++i;
      continue;
    }
    if (c != '<') {
      if (open.empty() && !std::isspace(static_cast<unsigned char>(c))) {
        return "text outside the root at " + std::to_string(i);
      }
      ++i;
      continue;
    }
    const std::size_t end = xml.find('>', i);
    if (end == std::string_view::npos) return "an unclosed tag at " + std::to_string(i);
    std::string_view tag = xml.substr(i + 1, end - i - 1);
    i = end + 1;
    if (!tag.empty() && tag[0] == '/') {
      if (open.empty() || open.back() != tag.substr(1)) {
        return "a closing tag </" + std::string(tag.substr(1)) + "> out of place";
      }
      open.pop_back();
      continue;
    }
    const bool empty = !tag.empty() && tag.back() == '/';
    if (empty) tag.remove_suffix(1);
    std::size_t k = 0;
    while (k < tag.size() && !std::isspace(static_cast<unsigned char>(tag[k]))) ++k;
    const std::string name(tag.substr(0, k));
    if (name.empty()) return "a tag without a name";
    // Attributes: name="value" pairs.
    while (k < tag.size()) {
      while (k < tag.size() && std::isspace(static_cast<unsigned char>(tag[k]))) ++k;
      if (k >= tag.size()) break;
      const std::size_t eq = tag.find('=', k);
      if (eq == std::string_view::npos || eq + 1 >= tag.size()) return "an attribute without value";
      const char quote = tag[eq + 1];
      if (quote != '"' && quote != '\'') return "an unquoted attribute in <" + name + ">";
      const std::size_t close = tag.find(quote, eq + 2);
      if (close == std::string_view::npos) return "an unclosed attribute in <" + name + ">";
      const std::string_view value = tag.substr(eq + 2, close - eq - 2);
      if (value.find('<') != std::string_view::npos) return "a '<' in an attribute";
      k = close + 1;
    }
    if (open.empty()) {
      if (rootSeen) return "a second root element <" + name + ">";
      rootSeen = true;
    }
    if (!empty) open.push_back(name);
  }
  if (!open.empty()) return "<" + open.back() + "> is never closed";
  return rootSeen ? "" : "no root element";
}

/// How often needle occurs in text.
inline std::size_t countOf(std::string_view text, std::string_view needle) {
  std::size_t n = 0;
  for (std::size_t at = text.find(needle); at != std::string_view::npos;
       at = text.find(needle, at + 1)) {
    ++n;
  }
  return n;
}

}  // namespace kestravin::test
