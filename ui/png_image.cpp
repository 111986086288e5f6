#include "ui/png_image.h"

#include <algorithm>
#include <array>

namespace kestravin::ui {

namespace {

constexpr std::size_t kMaxStoredBlock = 65535;

std::array<std::uint32_t, 256> makeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void putBig32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// A chunk: length, type, data, and the CRC of type and data.
void putChunk(std::string& out, std::string_view type, std::string_view data) {
  putBig32(out, static_cast<std::uint32_t>(data.size()));
  std::string body(type);
  body += data;
  out += body;
  putBig32(out, pngCrc32(body));
}

// A zlib stream of stored blocks: no compression, so the picture is written exactly and
// simply; a graph of 440 x 340 pixels makes some 450 KB.
std::string zlibStored(std::string_view raw) {
  std::string out;
  out += '\x78';  // deflate, 32 KB window
  out += '\x01';  // no preset dictionary, fastest; 0x7801 is a multiple of 31
  std::size_t at = 0;
  do {
    const std::size_t n = std::min(kMaxStoredBlock, raw.size() - at);
    const bool last = at + n == raw.size();
    out += static_cast<char>(last ? 1 : 0);  // BFINAL, BTYPE 00
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(~n & 0xFF);
    out += static_cast<char>((~n >> 8) & 0xFF);
    out.append(raw.substr(at, n));
    at += n;
  } while (at < raw.size());
  putBig32(out, adler32(raw));
  return out;
}

}  // namespace

std::uint32_t pngCrc32(std::string_view bytes) {
  static const std::array<std::uint32_t, 256> kTable = makeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (char b : bytes) c = kTable[(c ^ static_cast<std::uint8_t>(b)) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t adler32(std::string_view bytes) {
  constexpr std::uint32_t kMod = 65521;
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (char byte : bytes) {
    a = (a + static_cast<std::uint8_t>(byte)) % kMod;
    b = (b + a) % kMod;
  }
  return (b << 16) | a;
}

std::string encodePng(platform::Size size, const std::vector<platform::Rgb>& pixels) {
  const auto w = static_cast<std::size_t>(std::max(size.w, 0));
  const auto h = static_cast<std::size_t>(std::max(size.h, 0));
  // Each row: filter type 0 (none), then its pixels' red, green and blue.
  std::string raw;
  raw.reserve(h * (1 + 3 * w));
  for (std::size_t y = 0; y < h; ++y) {
    raw += '\0';
    for (std::size_t x = 0; x < w; ++x) {
      const std::size_t i = y * w + x;
      const platform::Rgb c = i < pixels.size() ? pixels[i] : platform::kBlack;
      raw += static_cast<char>(c.r);
      raw += static_cast<char>(c.g);
      raw += static_cast<char>(c.b);
    }
  }
  std::string png("\x89PNG\r\n\x1a\n", 8);
  std::string header;
  putBig32(header, static_cast<std::uint32_t>(w));
  putBig32(header, static_cast<std::uint32_t>(h));
  header += '\x08';  // bits per sample
  header += '\x02';  // truecolour
  header += '\0';    // deflate
  header += '\0';    // adaptive filtering
  header += '\0';    // not interlaced
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  return png;
}

}  // namespace kestravin::ui
