#include "config/constants_file.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <limits>
#include <optional>

namespace kestravin {

namespace {

// More than any real constants file; what lies beyond is not read.
constexpr std::size_t kMaxFileBytes = 1u << 20;
constexpr std::size_t kShownChars = 40;

// Reads words and numbers the way the formats "%s" and "%d" of the standard scanner do:
// white space is skipped, a word runs to the next white space, a number is an optional sign
// and digits. A failed number consumes its sign only, so the rest becomes the next word.
class Scanner {
 public:
  explicit Scanner(std::string text) : text_(std::move(text)) {}

  bool atEnd() {
    skipSpace();
    return pos_ >= text_.size();
  }

  std::string_view word() {
    skipSpace();
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !isSpace(text_[pos_])) ++pos_;
    return std::string_view(text_).substr(start, pos_ - start);
  }

  enum class Number { kRead, kNotANumber, kTooLarge };
  Number number(std::int32_t& value, std::string& found) {
    skipSpace();
    const std::size_t start = pos_;
    bool negative = false;
    if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
      negative = text_[pos_++] == '-';
    }
    const std::size_t digits = pos_;
    std::int64_t magnitude = 0;
    bool tooLarge = false;
    for (; pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])); ++pos_) {
      if (!tooLarge) magnitude = magnitude * 10 + (text_[pos_] - '0');
      if (magnitude > std::int64_t{1} << 31) tooLarge = true;
    }
    if (pos_ == digits) {
      found = peekWord(start);
      return Number::kNotANumber;
    }
    const std::int64_t v = negative ? -magnitude : magnitude;
    if (tooLarge || v > std::numeric_limits<std::int32_t>::max()) {
      found = shorten(text_.substr(start, pos_ - start));
      return Number::kTooLarge;
    }
    value = static_cast<std::int32_t>(v);
    return Number::kRead;
  }

 private:
  static bool isSpace(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }
  void skipSpace() {
    while (pos_ < text_.size() && isSpace(text_[pos_])) ++pos_;
  }
  std::string peekWord(std::size_t from) const {
    std::size_t end = from;
    while (end < text_.size() && !isSpace(text_[end])) ++end;
    return shorten(text_.substr(from, end - from));
  }
  static std::string shorten(std::string s) {
    if (s.size() > kShownChars) s = s.substr(0, kShownChars) + "...";
    return s;
  }

  std::string text_;
  std::size_t pos_ = 0;
};

std::string entryName(int entry, std::string_view label) {
  return "Entry " + std::to_string(entry) + " (" + std::string(label) + ")";
}

}  // namespace

ConstantsReading readConstants(std::istream& in) {
  ConstantsReading reading;
  reading.opened = true;
  SimParams& params = reading.params;  // every number 0 until read
  std::string text;
  text.resize(kMaxFileBytes + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (text.size() > kMaxFileBytes) {
    text.resize(kMaxFileBytes);
    reading.problems.push_back("The file is larger than 1 MiB; only its first 1 MiB was read.");
  }
  Scanner scan(std::move(text));

  int entry = 1;
  for (; entry <= kIntParamCount; ++entry) {
    const auto& info = kIntParams[entry - 1];
    if (scan.atEnd()) break;
    scan.word();  // the label: any one word
    if (scan.atEnd()) break;
    std::int32_t value = 0;
    std::string found;
    switch (scan.number(value, found)) {
      case Scanner::Number::kRead:
        params.*info.field = value;
        break;
      case Scanner::Number::kNotANumber:
        reading.problems.push_back(
            entryName(entry, info.label) + ": \"" + found + "\" is not a number; the value stays " +
            std::to_string(params.*info.field) + " and the entries after it may be shifted");
        break;
      case Scanner::Number::kTooLarge:
        reading.problems.push_back(entryName(entry, info.label) + ": " + found +
                                   " does not fit 32 bits; the value stays " +
                                   std::to_string(params.*info.field));
        break;
    }
  }
  std::optional<std::string> fitString;
  if (entry > kIntParamCount && !scan.atEnd()) {
    scan.word();
    if (!scan.atEnd()) {
      std::string word(scan.word());
      // A C string ends at its first NUL; the user is told where it was cut.
      const std::size_t nul = word.find('\0');
      if (nul != std::string::npos) {
        word.resize(nul);
        reading.problems.push_back(std::string(kFitStringLabel) + " cut at a NUL byte after " +
                                   std::to_string(nul) + " characters" +
                                   (nul == 0 ? "; the default fitness string is used" : ""));
      }
      if (word.size() > kMaxFitStringLength) {
        reading.problems.push_back(entryName(kIntParamCount + 1, kFitStringLabel) + ": " +
                                   std::to_string(word.size()) + " characters, more than " +
                                   std::to_string(kMaxFitStringLength) +
                                   "; the default fitness string is used");
      } else if (!word.empty()) {
        fitString = std::move(word);
      }
      entry = kIntParamCount + 2;
    }
  }
  if (entry <= kIntParamCount + 1) {
    reading.problems.push_back("The file ends before entry " + std::to_string(entry) +
                               "; the missing entries keep their defaults and the fitness "
                               "string is " +
                               std::string(kDefaultFitString));
  }
  params.fitString = fitString.value_or(std::string(kDefaultFitString));
  return reading;
}

std::string formatConstants(const SimParams& params) {
  std::string text;
  const auto line = [&text](std::string_view label, const std::string& value) {
    for (char c : label) {
      if (c != ' ') text += c;
    }
    text += " " + value + "\n";
  };
  for (const auto& info : kIntParams) line(info.label, std::to_string(params.*info.field));
  line(kFitStringLabel, params.fitString);
  return text;
}

ConstantsReading readConstants(const std::filesystem::path& path) {
  std::error_code ec;
  std::ifstream in;
  if (!std::filesystem::is_directory(path, ec)) in.open(path, std::ios::binary);
  if (!in.is_open()) {
    ConstantsReading reading;
    reading.params = defaultParams();
    return reading;
  }
  return readConstants(in);
}

}  // namespace kestravin
