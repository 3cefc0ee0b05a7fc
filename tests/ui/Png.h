#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace ui {

// Writes 24-bit RGB rows (top row first, 3 bytes a pixel) as a PNG file with
// stored (uncompressed) deflate blocks.
bool WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);

}  // namespace ui
