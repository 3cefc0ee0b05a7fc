// The DIB surface under a sequence of operations drawn from the input:
// Create with arbitrary sizes and bit depths, SetPaletteEntry,
// SetPixelIndex in and out of the image, BlendPalette with any percentage,
// Fill and CopyFrom. The block's layout follows its header at every step,
// writes land only where the rules put them (the whole block is compared
// before and after), and ASan watches the block's ends.
#include <cstdint>
#include <cstring>
#include <vector>

#include "controls/DibSurface.h"
#include "fuzz/FuzzInput.h"

namespace {

std::vector<std::uint8_t> Snapshot(const CDibSurface& s) {
  if (!s.IsValid()) return {};
  return std::vector<std::uint8_t>(s.Block(), s.Block() + s.GetTotalSize());
}

void CheckLayout(const CDibSurface& s) {
  if (!s.IsValid()) {
    FUZZ_CHECK(s.GetBits() == nullptr && s.Stride() == 0 && s.ColourCount() == 0);
    return;
  }
  const DibInfoHeader& h = s.Header();
  const unsigned bits = h.biBitCount;
  FUZZ_CHECK(bits == 1 || bits == 4 || bits == 8 || bits == 24);
  FUZZ_CHECK(s.ColourCount() == (bits == 24 ? 0u : 1u << bits));
  FUZZ_CHECK(s.Stride() % 4 == 0);
  const std::uint64_t rowBits = static_cast<std::uint64_t>(h.biWidth) * bits;
  FUZZ_CHECK(static_cast<std::uint64_t>(s.Stride()) * 8 >= rowBits && static_cast<std::uint64_t>(s.Stride()) * 8 < rowBits + 32);
  FUZZ_CHECK(h.biSizeImage == static_cast<std::uint64_t>(s.Stride()) * h.biHeight);
  FUZZ_CHECK(s.GetTotalSize() == 40 + s.ColourCount() * 4 + h.biSizeImage);
  FUZZ_CHECK(s.GetBits() == s.Block() + 40 + s.ColourCount() * 4);
  FUZZ_CHECK(std::memcmp(s.Block(), &h, sizeof h) == 0);
  FUZZ_CHECK(h.biSize == 40 && h.biPlanes == 1 && h.biCompression == 0);
}

void DoSetPixel(CDibSurface& s, FuzzInput& in) {
  const int x = in.Range(-3, 70), y = in.Range(-3, 70);
  const std::uint8_t v = in.Byte();
  std::vector<std::uint8_t> before = Snapshot(s);
  s.SetPixelIndex(x, y, v);
  const std::vector<std::uint8_t> after = Snapshot(s);
  const bool inside = s.IsValid() && s.ColourCount() > 0 && x >= 0 && y >= 0 && x < s.Width() && y < s.Height() &&
                      static_cast<std::uint32_t>(x) < s.Stride();
  if (inside) {
    const std::size_t at = 40 + s.ColourCount() * 4 + static_cast<std::size_t>(s.Height() - y - 1) * s.Stride() + x;
    before[at] = v;
    FUZZ_CHECK(s.PixelIndex(x, y) == v);
  }
  FUZZ_CHECK(before == after);
}

void DoPalette(CDibSurface& s, FuzzInput& in) {
  const unsigned index = in.U16();
  const std::uint8_t r = in.Byte(), g = in.Byte(), b = in.Byte();
  std::vector<std::uint8_t> before = Snapshot(s);
  s.SetPaletteEntry(index, r, g, b);
  const unsigned low = index & 0xFFu;
  if (s.IsValid() && low < s.ColourCount()) {
    std::uint8_t* e = before.data() + 40 + low * 4;
    e[0] = b, e[1] = g, e[2] = r, e[3] = 0;
    FUZZ_CHECK(s.PaletteEntry(low) == DibRgb(r, g, b));
  }
  FUZZ_CHECK(before == Snapshot(s));
}

void DoBlend(CDibSurface& s, FuzzInput& in) {
  const DibColour colour = in.U32() & 0xFFFFFFu;
  const unsigned percent = in.Byte() & 1 ? in.Range(0, 120) : in.U32();
  const std::vector<std::uint8_t> before = Snapshot(s);
  s.BlendPalette(colour, percent);
  const std::vector<std::uint8_t> after = Snapshot(s);
  if (!s.IsValid()) return;
  const unsigned p = percent > 100 ? 100 : percent;
  const std::size_t table = 40 + s.ColourCount() * 4;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i < 40 || i >= table || (i - 40) % 4 == 3) {
      FUZZ_CHECK(before[i] == after[i]);
      continue;
    }
    const unsigned channel = (i - 40) % 4;  // blue, green, red
    const unsigned target = channel == 0 ? DibBlue(colour) : channel == 1 ? DibGreen(colour) : DibRed(colour);
    FUZZ_CHECK(after[i] == (target * p + before[i] * (100 - p)) / 100);
  }
}

void DoFill(CDibSurface& s, FuzzInput& in) {
  const std::uint8_t v = in.Byte();
  const std::vector<std::uint8_t> before = Snapshot(s);
  s.Fill(v);
  const std::vector<std::uint8_t> after = Snapshot(s);
  if (!s.IsValid()) return;
  const std::size_t pixels = 40 + s.ColourCount() * 4;
  FUZZ_CHECK(std::memcmp(before.data(), after.data(), pixels) == 0);
  for (std::size_t i = pixels; i < after.size(); ++i) FUZZ_CHECK(after[i] == v);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  CDibSurface surfaces[2];
  for (int step = 0; step < 64 && !in.Empty(); ++step) {
    const int op = in.Byte();
    CDibSurface& s = surfaces[op & 1];
    switch ((op >> 1) % 6) {
      case 0: {
        // Sizes up to a few hundred pixels, negative ones, and the odd huge
        // one whose block would not fit in 32 bits; any bit count.
        int w = in.Range(-4, 300), h = in.Range(-4, 300);
        if ((op >> 4) == 15) w = in.Range(0, 0x7FFFFFFF), h = in.Range(0, 0x7FFFFFFF);
        const int bits = static_cast<int>(in.U32());
        const std::uint64_t rounded = bits <= 1 ? 1 : bits <= 4 ? 4 : bits <= 8 ? 8 : 24;
        const std::uint64_t table = rounded == 24 ? 0 : (1ull << rounded) * 4;
        const std::uint64_t stride = ((static_cast<std::uint64_t>(w < 0 ? 0 : w) * rounded + 31) / 32) * 4;
        const std::uint64_t need = 40 + table + stride * static_cast<std::uint64_t>(h < 0 ? 0 : h);
        if (need > (64u << 20)) {
          // Would not be tried by a program either; only the refusal of
          // blocks beyond 32 bits is checked, without allocating.
          if (need > 0xFFFFFFFFull) FUZZ_CHECK(s.Create(w, h, bits) == nullptr && !s.IsValid());
          break;
        }
        std::uint8_t* block = s.Create(w, h, bits);
        FUZZ_CHECK((block != nullptr) == (w >= 0 && h >= 0 && stride <= 0xFFFFFFFFull));
        FUZZ_CHECK(block == s.Block());
        if (block) FUZZ_CHECK(s.Width() == w && s.Height() == h);
        break;
      }
      case 1: DoSetPixel(s, in); break;
      case 2: DoPalette(s, in); break;
      case 3: DoBlend(s, in); break;
      case 4: DoFill(s, in); break;
      case 5: {
        CDibSurface& from = surfaces[(op & 1) ^ 1];
        const std::uint32_t copied = s.CopyFrom(from);
        FUZZ_CHECK(copied == (from.IsValid() ? from.GetTotalSize() : 0u));
        FUZZ_CHECK(Snapshot(s) == Snapshot(from));
        break;
      }
    }
    CheckLayout(s);
  }
  return 0;
}
