// The in-memory bitmap: block layout, stride rule, pixel addressing, colour
// table operations, copies, and sizes that must not produce a short block.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "controls/DibSurface.h"

namespace {

std::vector<std::uint8_t> BlockBytes(const CDibSurface& s) {
  return std::vector<std::uint8_t>(s.Block(), s.Block() + s.GetTotalSize());
}

TEST(DibSurface, FreshSurfaceHasNoBlockAndAHeaderOfSize40) {
  CDibSurface s;
  EXPECT_FALSE(s.IsValid());
  EXPECT_EQ(s.GetBits(), nullptr);
  EXPECT_EQ(s.Header().biSize, 40u);
  EXPECT_EQ(s.Header().biWidth, 0);
  EXPECT_EQ(s.Header().biBitCount, 0);
  EXPECT_EQ(s.Stride(), 0u);
  EXPECT_EQ(s.ColourCount(), 0u);
  EXPECT_EQ(s.GetTotalSize(), 40u);
  // Operations on an empty surface do nothing.
  s.SetPaletteEntry(0, 1, 2, 3);
  s.SetPixelIndex(0, 0, 1);
  s.BlendPalette(DibRgb(1, 2, 3), 50);
  s.Fill(7);
  EXPECT_FALSE(s.IsValid());
}

TEST(DibSurface, CreateLaysOutHeaderTableAndRows) {
  CDibSurface s;
  std::uint8_t* block = s.Create(75, 23, 8);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(block, s.Block());
  EXPECT_EQ(s.Stride(), 76u) << "75 pixels at 8 bits round up to 76 bytes";
  EXPECT_EQ(s.ColourCount(), 256u);
  EXPECT_EQ(s.Header().biSizeImage, 76u * 23u);
  EXPECT_EQ(s.GetTotalSize(), 40u + 1024u + 76u * 23u);
  EXPECT_EQ(s.GetBits(), block + 40 + 1024);

  DibInfoHeader inBlock{};
  std::memcpy(&inBlock, block, sizeof inBlock);
  EXPECT_EQ(inBlock.biSize, 40u);
  EXPECT_EQ(inBlock.biWidth, 75);
  EXPECT_EQ(inBlock.biHeight, 23) << "positive height: rows bottom-up";
  EXPECT_EQ(inBlock.biPlanes, 1);
  EXPECT_EQ(inBlock.biBitCount, 8);
  EXPECT_EQ(inBlock.biCompression, 0u);
  EXPECT_EQ(inBlock.biSizeImage, 76u * 23u);
  EXPECT_EQ(inBlock.biXPelsPerMeter, 0);
  EXPECT_EQ(inBlock.biClrUsed, 0u);
  EXPECT_EQ(inBlock.biClrImportant, 0u);
}

TEST(DibSurface, BitCountsRoundUpWithTheirColourCounts) {
  struct Case {
    int bits, width;
    unsigned wantBits, wantColours, wantStride;
  };
  const Case cases[] = {
      {0, 10, 1, 2, 4},   {1, 33, 1, 2, 8},     {3, 10, 4, 16, 8},  {4, 9, 4, 16, 8},
      {5, 10, 8, 256, 12}, {8, 1, 8, 256, 4},   {16, 10, 24, 0, 32}, {24, 3, 24, 0, 12},
      {32, 1, 24, 0, 4},
  };
  for (const Case& c : cases) {
    CDibSurface s;
    ASSERT_NE(s.Create(c.width, 2, c.bits), nullptr) << c.bits << " bits";
    EXPECT_EQ(s.Header().biBitCount, c.wantBits) << "asked " << c.bits << " bits";
    EXPECT_EQ(s.ColourCount(), c.wantColours) << "asked " << c.bits << " bits";
    EXPECT_EQ(s.Stride(), c.wantStride) << c.width << " pixels at " << c.bits << " bits";
    EXPECT_EQ(s.Stride() % 4, 0u);
    EXPECT_EQ(s.GetBits(), s.Block() + 40 + c.wantColours * 4);
  }
}

TEST(DibSurface, PixelZeroZeroIsTheFirstByteOfTheLastRowInTheBlock) {
  CDibSurface s;
  ASSERT_NE(s.Create(5, 3, 8), nullptr);
  s.Fill(0);
  s.SetPixelIndex(0, 0, 0xAA);
  s.SetPixelIndex(4, 2, 0xBB);
  s.SetPixelIndex(2, 1, 0xCC);
  const std::uint8_t* bits = s.GetBits();
  EXPECT_EQ(bits[2 * 8 + 0], 0xAA) << "top-left pixel in the last row";
  EXPECT_EQ(bits[0 * 8 + 4], 0xBB) << "bottom-right pixel in the first row";
  EXPECT_EQ(bits[1 * 8 + 2], 0xCC);
  EXPECT_EQ(s.PixelIndex(0, 0), 0xAA);

  const std::vector<std::uint8_t> before = BlockBytes(s);
  for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 3}, {100000, 100000}}) s.SetPixelIndex(x, y, 0x11);
  EXPECT_EQ(BlockBytes(s), before) << "points outside the image are ignored";
}

TEST(DibSurface, PixelsBeyondTheRowBytesOfSmallBitCountsAreIgnored) {
  // A 75-pixel 1-bit row has 12 bytes; writing byte 74 of the top row
  // would run past the end of the block.
  CDibSurface s;
  ASSERT_NE(s.Create(75, 2, 1), nullptr);
  s.Fill(0);
  const std::vector<std::uint8_t> before = BlockBytes(s);
  s.SetPixelIndex(74, 0, 0xFF);
  s.SetPixelIndex(12, 1, 0xFF);
  EXPECT_EQ(BlockBytes(s), before);
  s.SetPixelIndex(11, 0, 0x5A);
  EXPECT_EQ(s.GetBits()[12 + 11], 0x5A) << "a byte within the row is still written";
}

TEST(DibSurface, SurfacesWithoutColourTableIgnorePaletteAndPixelIndex) {
  CDibSurface s;
  ASSERT_NE(s.Create(4, 2, 24), nullptr);
  s.Fill(3);
  const std::vector<std::uint8_t> before = BlockBytes(s);
  s.SetPaletteEntry(0, 9, 9, 9);
  s.SetPixelIndex(0, 0, 9);
  s.BlendPalette(DibRgb(9, 9, 9), 100);
  EXPECT_EQ(BlockBytes(s), before);
}

TEST(DibSurface, PaletteEntriesUseTheLowEightBitsOfTheIndex) {
  CDibSurface s;
  ASSERT_NE(s.Create(2, 2, 8), nullptr);
  s.SetPaletteEntry(300, 10, 20, 30);
  const std::uint8_t* entry = s.Block() + 40 + 44 * 4;
  EXPECT_EQ(entry[0], 30) << "blue first";
  EXPECT_EQ(entry[1], 20);
  EXPECT_EQ(entry[2], 10);
  EXPECT_EQ(entry[3], 0);
  EXPECT_EQ(s.PaletteEntry(44), DibRgb(10, 20, 30));

  CDibSurface small;
  ASSERT_NE(small.Create(2, 2, 4), nullptr);
  small.SetPaletteEntry(15, 1, 1, 1);
  const std::vector<std::uint8_t> before = BlockBytes(small);
  small.SetPaletteEntry(16, 7, 7, 7);
  EXPECT_EQ(BlockBytes(small), before) << "index 16 is past a 16-colour table";
}

TEST(DibSurface, BlendPaletteMovesEveryEntryTowardTheColour) {
  CDibSurface s;
  ASSERT_NE(s.Create(1, 1, 8), nullptr);
  for (unsigned i = 0; i < 256; ++i) s.SetPaletteEntry(i, i, 255 - i, 100);
  s.BlendPalette(DibRgb(200, 0, 50), 0);
  EXPECT_EQ(s.PaletteEntry(10), DibRgb(10, 245, 100)) << "0 percent leaves the table";

  s.BlendPalette(DibRgb(200, 0, 50), 30);
  // (200·30 + 10·70) / 100 = 67, (0 + 245·70) / 100 = 171, (50·30 + 100·70) / 100 = 85
  EXPECT_EQ(s.PaletteEntry(10), DibRgb(67, 171, 85));

  s.BlendPalette(DibRgb(200, 0, 50), 250);
  for (unsigned i = 0; i < 256; ++i) ASSERT_EQ(s.PaletteEntry(i), DibRgb(200, 0, 50)) << "entry " << i;
}

TEST(DibSurface, FillSetsEveryPixelByte) {
  CDibSurface s;
  ASSERT_NE(s.Create(3, 4, 8), nullptr);
  s.Fill(0x77);
  for (std::uint32_t i = 0; i < s.Header().biSizeImage; ++i) ASSERT_EQ(s.GetBits()[i], 0x77) << i;
}

TEST(DibSurface, CopyFromCopiesTheWholeBlock) {
  CDibSurface a;
  ASSERT_NE(a.Create(7, 5, 8), nullptr);
  a.Fill(9);
  a.SetPaletteEntry(3, 1, 2, 3);
  a.SetPixelIndex(6, 4, 200);
  CDibSurface b;
  ASSERT_NE(b.Create(1, 1, 24), nullptr);
  EXPECT_EQ(b.CopyFrom(a), a.GetTotalSize());
  EXPECT_EQ(BlockBytes(b), BlockBytes(a));
  EXPECT_EQ(b.Stride(), a.Stride());
  EXPECT_EQ(b.ColourCount(), 256u);
  EXPECT_NE(b.Block(), a.Block()) << "its own block";

  CDibSurface empty;
  EXPECT_EQ(b.CopyFrom(empty), 0u);
  EXPECT_FALSE(b.IsValid()) << "a copy of an empty surface is empty";
  EXPECT_EQ(a.CopyFrom(a), a.GetTotalSize()) << "copying itself keeps the block";
  EXPECT_EQ(a.PixelIndex(6, 4), 200);
}

TEST(DibSurface, SizesThatDoNotFitThirtyTwoBitsOrAreNegativeGiveNull) {
  CDibSurface s;
  ASSERT_NE(s.Create(4, 4, 8), nullptr);
  // 65536 × 65536 bytes is exactly 2^32: in 32 bits it would wrap to 0.
  EXPECT_EQ(s.Create(65536, 65536, 8), nullptr);
  EXPECT_FALSE(s.IsValid()) << "the old block is freed all the same";
  EXPECT_EQ(s.GetBits(), nullptr);
  EXPECT_EQ(s.Create(0x7FFFFFFF, 0x7FFFFFFF, 24), nullptr);
  EXPECT_EQ(s.Create(0x7FFFFFFF, 1, 24), nullptr) << "stride alone overflows";
  EXPECT_EQ(s.Create(-1, 5, 8), nullptr);
  EXPECT_EQ(s.Create(5, -1, 8), nullptr);
  EXPECT_FALSE(s.IsValid());
  EXPECT_EQ(s.GetTotalSize(), 40u);

  ASSERT_NE(s.Create(0, 0, 8), nullptr) << "an empty image still has its header and table";
  EXPECT_EQ(s.GetTotalSize(), 40u + 1024u);
}

}  // namespace
