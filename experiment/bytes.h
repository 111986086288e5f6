#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>

namespace kestravin {

/// Writes plain values into a byte string, in this machine's byte order: the processes of one
/// experiment exchange them, and they all run the same program.
class ByteWriter {
 public:
  template <typename T>
  void put(T value) {
    static_assert(std::is_trivially_copyable_v<T>);
    bytes_.append(reinterpret_cast<const char*>(&value), sizeof value);
  }
  void putText(std::string_view text) {
    put(static_cast<std::uint64_t>(text.size()));
    bytes_.append(text);
  }
  std::string& bytes() { return bytes_; }

 private:
  std::string bytes_;
};

/// Reads what a ByteWriter wrote; throws std::runtime_error when the bytes run out.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  template <typename T>
  T get() {
    static_assert(std::is_trivially_copyable_v<T>);
    T value;
    std::memcpy(&value, take(sizeof value), sizeof value);
    return value;
  }
  std::string getText() {
    const auto size = get<std::uint64_t>();
    if (size > bytes_.size()) throw std::runtime_error("a message ends early");
    return std::string(take(static_cast<std::size_t>(size)), static_cast<std::size_t>(size));
  }
  bool atEnd() const { return bytes_.empty(); }

 private:
  const char* take(std::size_t n) {
    if (n > bytes_.size()) throw std::runtime_error("a message ends early");
    const char* at = bytes_.data();
    bytes_.remove_prefix(n);
    return at;
  }
  std::string_view bytes_;
};

}  // namespace kestravin
