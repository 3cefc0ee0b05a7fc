// Surfaces of sizes no window has: the stride must follow its rule or the
// surface must be refused, never be cut to 32 bits.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "controls/DibSurface.h"

namespace {

TEST(FaultDibSurface, ARowTooLongForTheStrideIsRefusedEvenWithoutRows) {
  // 0x7FFFFFFF pixels of 24 bits make a row of about 6 GB: no 32-bit stride
  // holds it. With no rows the block would be 40 bytes, so only the stride
  // tells that the surface cannot be laid out.
  CDibSurface s;
  EXPECT_EQ(s.Create(std::numeric_limits<std::int32_t>::max(), 0, 24), nullptr) << "24-bit, no rows";
  EXPECT_FALSE(s.IsValid());
  EXPECT_EQ(s.Stride(), 0u) << "an empty surface has no stride";
  EXPECT_NE(s.Create(std::numeric_limits<std::int32_t>::max(), 0, 8), nullptr) << "8-bit: a row of 2 GB fits";
  EXPECT_EQ(s.Stride(), 0x80000000u) << "((width x 8 + 31) / 32) x 4";
  EXPECT_TRUE(s.IsValid());
}

TEST(FaultDibSurface, AnImageBeyondFourGigabytesIsRefusedAndLeavesTheSurfaceEmpty) {
  CDibSurface s;
  ASSERT_NE(s.Create(10, 10, 8), nullptr);
  EXPECT_EQ(s.Create(65536, 65536, 24), nullptr);
  EXPECT_FALSE(s.IsValid()) << "the old block is gone too";
  EXPECT_EQ(s.GetBits(), nullptr);
  EXPECT_EQ(s.GetTotalSize(), 40u);
  s.SetPixelIndex(0, 0, 1);  // nothing to write into: must not crash
  s.Fill(3);
  s.BlendPalette(0xFFFFFF, 50);
  EXPECT_EQ(s.PixelIndex(0, 0), 0);
}

}  // namespace
