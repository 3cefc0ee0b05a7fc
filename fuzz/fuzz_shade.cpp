// The shaded button's face arithmetic for arbitrary window sizes, focus
// insets, effects, granularities, percentages and colours, with a rand()
// drawn from the input: every image has the size its rule gives, the
// pattern stays inside the pixel rows (ASan watches the block's end), the
// faces share their pixels and differ only in their colour tables, the
// focus lines are dotted, the colour table runs from shadow to highlight,
// and the same random sequence gives the same face.
#include <cstdint>
#include <cstring>

#include "controls/ShadePattern.h"
#include "fuzz/FuzzInput.h"

namespace {

bool SamePixels(const CDibSurface& a, const CDibSurface& b) {
  if (a.IsValid() != b.IsValid()) return false;
  if (!a.IsValid()) return true;
  return a.Header().biSizeImage == b.Header().biSizeImage &&
         std::memcmp(a.GetBits(), b.GetBits(), a.Header().biSizeImage) == 0;
}

void CheckFocusLines(const ShadeImages& images, int width, int height, int inset) {
  const int across = width - 2 * inset - 2 >= 0 ? width - 2 * inset - 1 : 1;
  const int down = height - 2 * inset > 0 ? height - 2 * inset : 1;
  FUZZ_CHECK(images.focusAcross.Width() == across && images.focusAcross.Height() == 1);
  FUZZ_CHECK(images.focusDown.Width() == 1 && images.focusDown.Height() == down);
  for (int k = 0; k < across; ++k) FUZZ_CHECK(images.focusAcross.PixelIndex(k, 0) == ((k % 2) ? 255 : 0));
  for (int k = 0; k < down; ++k) FUZZ_CHECK(images.focusDown.PixelIndex(0, down - 1 - k) == ((k % 2) ? 255 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput in(data, size);
  // Sizes a window can have, small ones and empty ones most often.
  const int width = in.Byte() & 1 ? in.Range(-2, 12) : in.Range(-2, 400);
  const int height = in.Byte() & 1 ? in.Range(-2, 12) : in.Range(-2, 300);
  // 16-bit signed, as the member; mostly small.
  const int rawInset = static_cast<std::int16_t>(in.U16());
  const int inset = in.Byte() & 1 ? rawInset : rawInset / 4096;
  ShadeParameters p;
  p.effect = in.Byte() & 1 ? in.Range(0, 9) : in.U32();
  p.granularity = in.U32();
  p.highlight = in.U32();
  p.colouring = in.U32();
  p.colour = in.U32() & 0xFFFFFFu;
  ShadeSystemColours colours{in.U32() & 0xFFFFFFu, in.U32() & 0xFFFFFFu, in.U32() & 0xFFFFFFu};
  const std::string noise = in.Rest();
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(noise.data());

  FuzzRandom random(bytes, noise.size());
  ShadeImages images;
  shade::BuildImages(images, width, height, inset, p, colours, [&] { return random(); });

  const bool sized = width >= 0 && height >= 0;
  FUZZ_CHECK(images.base.IsValid() == sized);
  if (sized) {
    FUZZ_CHECK(images.base.Width() == width && images.base.Height() == height);
    FUZZ_CHECK(images.base.Header().biBitCount == 8 && images.base.ColourCount() == 256);
  }
  FUZZ_CHECK(SamePixels(images.base, images.disabled));
  FUZZ_CHECK(SamePixels(images.base, images.hover));
  FUZZ_CHECK(SamePixels(images.hover, images.pressed));
  if (sized) {
    FUZZ_CHECK(std::memcmp(images.base.Block(), images.disabled.Block(), images.base.GetTotalSize()) == 0);
    FUZZ_CHECK(std::memcmp(images.hover.Block(), images.pressed.Block(), images.hover.GetTotalSize()) == 0);
  }
  CheckFocusLines(images, width, height, inset);
  // The focus lines' tables are the unblended ramp: shadow first, highlight last.
  FUZZ_CHECK(images.focusAcross.PaletteEntry(0) == colours.shadow);
  FUZZ_CHECK(images.focusAcross.PaletteEntry(255) == colours.highlight);
  if (sized && (p.colouring & 0xFFu) == 0) FUZZ_CHECK(images.base.PaletteEntry(0) == colours.shadow);
  if (sized && (p.colouring & 0xFFu) >= 100) {
    for (unsigned i = 0; i < 256; ++i) FUZZ_CHECK(images.base.PaletteEntry(i) == p.colour);
  }

  // The same sequence again gives the same face; any effect above 8 is the
  // plain noise face.
  if (sized) {
    CDibSurface again;
    again.Create(width, height, 8);
    FuzzRandom replay(bytes, noise.size());
    const unsigned effect = p.effect > 8 ? 0 : p.effect;
    shade::FillPattern(again, effect, p.granularity, [&] { return replay(); });
    // Pixel by pixel: the padding at the end of each row is never painted.
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) FUZZ_CHECK(again.PixelIndex(x, y) == images.base.PixelIndex(x, y));
  }
  // FillPattern leaves surfaces of other depths alone.
  CDibSurface other;
  if (sized && other.Create(width, height, 24)) {
    other.Fill(0x5A);
    FuzzRandom r2(bytes, noise.size());
    shade::FillPattern(other, p.effect, p.granularity, [&] { return r2(); });
    for (std::uint32_t i = 0; i < other.Header().biSizeImage; ++i) FUZZ_CHECK(other.GetBits()[i] == 0x5A);
  }
  return 0;
}
