#pragma once
// An in-memory device-independent bitmap in one block: a 40-byte info header,
// the colour table, and bottom-up pixel rows whose stride is a multiple of 4.
// Everything but Draw is pure arithmetic and builds natively as well.
#include <cstdint>
#include <memory>

#ifdef _WIN32
#include <windows.h>
#endif

// The layout of the platform's BITMAPINFOHEADER, byte for byte, so that the
// block can be handed to the platform as it is.
struct DibInfoHeader {
  std::uint32_t biSize;
  std::int32_t biWidth;
  std::int32_t biHeight;
  std::uint16_t biPlanes;
  std::uint16_t biBitCount;
  std::uint32_t biCompression;
  std::uint32_t biSizeImage;
  std::int32_t biXPelsPerMeter;
  std::int32_t biYPelsPerMeter;
  std::uint32_t biClrUsed;
  std::uint32_t biClrImportant;
};
static_assert(sizeof(DibInfoHeader) == 40, "the info header is 40 bytes");

// A colour as the platform's COLORREF holds it: 0x00BBGGRR.
using DibColour = std::uint32_t;
constexpr DibColour DibRgb(unsigned r, unsigned g, unsigned b) {
  return (r & 0xFFu) | ((g & 0xFFu) << 8) | ((b & 0xFFu) << 16);
}
constexpr unsigned DibRed(DibColour c) { return c & 0xFFu; }
constexpr unsigned DibGreen(DibColour c) { return (c >> 8) & 0xFFu; }
constexpr unsigned DibBlue(DibColour c) { return (c >> 16) & 0xFFu; }

class CDibSurface {
 public:
  CDibSurface();
  ~CDibSurface();
  CDibSurface(const CDibSurface&) = delete;
  CDibSurface& operator=(const CDibSurface&) = delete;

  // Replaces any old block. Bits per pixel are rounded up to 1, 4, 8 or 24.
  // Returns the block, or null when the sizes are negative, the block would
  // not fit in 32 bits, or the allocation fails (the surface is then empty).
  std::uint8_t* Create(int width, int height, int bitsPerPixel);
  bool IsValid() const { return block_ != nullptr; }
  // Start of the pixel rows (the bottom row first), or null.
  std::uint8_t* GetBits() const;
  std::uint32_t GetTotalSize() const;

  // Only the low 8 bits of the index count.
  void SetPaletteEntry(unsigned index, std::uint8_t red, std::uint8_t green, std::uint8_t blue);
  // x from the left, y from the top; points outside the image are ignored.
  void SetPixelIndex(int x, int y, std::uint8_t value);
  // Moves every colour-table entry toward the colour; percent above 100 counts as 100.
  void BlendPalette(DibColour colour, unsigned percent);
  void Fill(std::uint8_t value);
  // Makes this surface a copy of the other; returns the bytes copied.
  std::uint32_t CopyFrom(const CDibSurface& other);

#ifdef _WIN32
  // Transfers the whole image to (x, y) of the device context.
  bool Draw(HDC dc, int x, int y) const;
#endif

  // Read access for drawing and for tests.
  const DibInfoHeader& Header() const { return header_; }
  int Width() const { return header_.biWidth; }
  int Height() const { return header_.biHeight; }
  std::uint32_t Stride() const { return stride_; }
  unsigned ColourCount() const { return colours_; }
  const std::uint8_t* Block() const { return block_.get(); }
  // Colour-table entry as a colour (0 without a table or out of range).
  DibColour PaletteEntry(unsigned index) const;
  // Pixel byte at x from the left, y from the top (0 outside the image).
  std::uint8_t PixelIndex(int x, int y) const;

 private:
  std::uint8_t* ColourTable() const;
  // Offset of the pixel byte at (x, y from the top), or -1 outside the image.
  std::int64_t PixelOffset(int x, int y) const;
  void Reset();

  std::unique_ptr<std::uint8_t[]> block_;
  DibInfoHeader header_{};
  std::uint32_t stride_ = 0;
  std::uint16_t colours_ = 0;
};
