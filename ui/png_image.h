#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform/platform.h"

namespace kestravin::ui {

/// A picture as a PNG file's bytes: 8-bit RGB, rows from the top, its data in stored
/// (uncompressed) deflate blocks. `pixels` holds size.w * size.h colours, row by row.
std::string encodePng(platform::Size size, const std::vector<platform::Rgb>& pixels);

/// The CRC-32 that guards each PNG chunk (ISO 3309, as zlib's crc32).
std::uint32_t pngCrc32(std::string_view bytes);
/// The Adler-32 checksum that ends a zlib stream.
std::uint32_t adler32(std::string_view bytes);

}  // namespace kestravin::ui
