#include "controls/DibSurface.h"

#include <cstring>
#include <limits>
#include <new>

namespace {

constexpr std::uint32_t kHeaderSize = sizeof(DibInfoHeader);

int RoundBitCount(int bits) {
  if (bits <= 1) return 1;
  if (bits <= 4) return 4;
  if (bits <= 8) return 8;
  return 24;
}

std::uint16_t ColoursFor(int bits) {
  switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
  }
}

}  // namespace

CDibSurface::CDibSurface() { Reset(); }

CDibSurface::~CDibSurface() = default;

void CDibSurface::Reset() {
  block_.reset();
  header_ = DibInfoHeader{};
  header_.biSize = kHeaderSize;
  stride_ = 0;
  colours_ = 0;
}

std::uint8_t* CDibSurface::Create(int width, int height, int bitsPerPixel) {
  Reset();
  if (width < 0 || height < 0) return nullptr;
  const int bits = RoundBitCount(bitsPerPixel);
  const std::uint16_t colours = ColoursFor(bits);
  // Worked out in 64 bits: a large width times height must not wrap into a
  // short block that the pixel loops would then run past.
  const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bits + 31) / 32) * 4;
  const std::uint64_t image = stride * static_cast<std::uint64_t>(height);
  const std::uint64_t total = kHeaderSize + colours * 4ull + image;
  // A row too long for the 32-bit stride is refused as well, also when the
  // image has no rows and so no bytes at all.
  if (total > std::numeric_limits<std::uint32_t>::max() || stride > std::numeric_limits<std::uint32_t>::max())
    return nullptr;

  std::unique_ptr<std::uint8_t[]> block(new (std::nothrow) std::uint8_t[static_cast<size_t>(total)]);
  if (!block) return nullptr;

  DibInfoHeader header{};
  header.biSize = kHeaderSize;
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = static_cast<std::uint16_t>(bits);
  header.biCompression = 0;
  header.biSizeImage = static_cast<std::uint32_t>(image);
  std::memcpy(block.get(), &header, kHeaderSize);

  header_ = header;
  stride_ = static_cast<std::uint32_t>(stride);
  colours_ = colours;
  block_ = std::move(block);
  return block_.get();
}

std::uint8_t* CDibSurface::GetBits() const {
  if (!block_) return nullptr;
  std::uint32_t headerSize = 0;
  std::memcpy(&headerSize, block_.get(), sizeof headerSize);
  return block_.get() + headerSize + colours_ * 4u;
}

std::uint32_t CDibSurface::GetTotalSize() const { return kHeaderSize + colours_ * 4u + header_.biSizeImage; }

std::uint8_t* CDibSurface::ColourTable() const {
  if (!block_ || colours_ == 0) return nullptr;
  return block_.get() + kHeaderSize;
}

void CDibSurface::SetPaletteEntry(unsigned index, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::uint8_t* table = ColourTable();
  index &= 0xFFu;
  if (!table || index >= colours_) return;
  std::uint8_t* entry = table + index * 4;
  entry[0] = blue;
  entry[1] = green;
  entry[2] = red;
  entry[3] = 0;
}

DibColour CDibSurface::PaletteEntry(unsigned index) const {
  const std::uint8_t* table = ColourTable();
  if (!table || index >= colours_) return 0;
  const std::uint8_t* entry = table + index * 4;
  return DibRgb(entry[2], entry[1], entry[0]);
}

std::int64_t CDibSurface::PixelOffset(int x, int y) const {
  if (!block_ || colours_ == 0) return -1;
  if (x < 0 || y < 0 || x >= header_.biWidth || y >= header_.biHeight) return -1;
  // One byte per pixel is what the callers paint; on 1- and 4-bit surfaces a
  // column past the row's bytes would land in the next row or past the block.
  if (static_cast<std::uint32_t>(x) >= stride_) return -1;
  const std::int64_t row = header_.biHeight - y - 1;
  return row * stride_ + x;
}

void CDibSurface::SetPixelIndex(int x, int y, std::uint8_t value) {
  const std::int64_t offset = PixelOffset(x, y);
  if (offset >= 0) GetBits()[offset] = value;
}

std::uint8_t CDibSurface::PixelIndex(int x, int y) const {
  const std::int64_t offset = PixelOffset(x, y);
  return offset >= 0 ? GetBits()[offset] : 0;
}

void CDibSurface::BlendPalette(DibColour colour, unsigned percent) {
  std::uint8_t* table = ColourTable();
  if (!table) return;
  if (percent > 100) percent = 100;
  const unsigned keep = 100 - percent;
  for (unsigned i = 0; i < colours_; ++i) {
    std::uint8_t* entry = table + i * 4;
    entry[0] = static_cast<std::uint8_t>((DibBlue(colour) * percent + entry[0] * keep) / 100);
    entry[1] = static_cast<std::uint8_t>((DibGreen(colour) * percent + entry[1] * keep) / 100);
    entry[2] = static_cast<std::uint8_t>((DibRed(colour) * percent + entry[2] * keep) / 100);
  }
}

void CDibSurface::Fill(std::uint8_t value) {
  if (!block_) return;
  std::memset(GetBits(), value, header_.biSizeImage);
}

std::uint32_t CDibSurface::CopyFrom(const CDibSurface& other) {
  if (&other == this) return GetTotalSize();
  if (!other.IsValid()) {
    Reset();
    return 0;
  }
  if (!Create(other.header_.biWidth, other.header_.biHeight, other.header_.biBitCount)) return 0;
  const std::uint32_t size = other.GetTotalSize();
  std::memcpy(block_.get(), other.block_.get(), size);
  return size;
}
