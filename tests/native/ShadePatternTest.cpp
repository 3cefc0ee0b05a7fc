// The shaded button's face arithmetic: colour table, every effect's pixels
// for a small window with the C library's rand() sequence, the BumpHard
// bevels of a 75 × 23 button, windows too small for the divisions, and the
// images one SetShade builds.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "controls/ShadePattern.h"

namespace {

// msvcrt's rand(), which the programs call: the classic LCG, never seeded.
class MsvcrtRand {
 public:
  int operator()() {
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_ = 1;
};

// With granularity 8, B = 32767 / 16 = 2047, so 8 × 2047 makes every noise 0.
int ZeroNoiseAtGranularity8() { return 8 * 2047; }

// Rows from the bottom (r = 0 first), as the effects count them.
using Rows = std::vector<std::vector<int>>;

Rows PixelsByRow(const CDibSurface& s) {
  Rows rows(static_cast<size_t>(s.Height()), std::vector<int>(static_cast<size_t>(s.Width())));
  for (int r = 0; r < s.Height(); ++r)
    for (int c = 0; c < s.Width(); ++c) rows[r][c] = s.PixelIndex(c, s.Height() - 1 - r);
  return rows;
}

Rows Pattern(unsigned effect, int w, int h, unsigned g, const ShadeRandom& random) {
  CDibSurface s;
  EXPECT_NE(s.Create(w, h, 8), nullptr);
  shade::FillPattern(s, effect, g, random);
  return PixelsByRow(s);
}

const ShadeSystemColours kColours{DibRgb(10, 100, 200), DibRgb(50, 150, 250), DibRgb(250, 20, 90)};

TEST(ShadeRandom, TheReferenceGeneratorIsMsvcrtsSequence) {
  MsvcrtRand r;
  const int want[] = {41, 18467, 6334, 26500, 19169};
  for (int v : want) EXPECT_EQ(r(), v);
}

TEST(ShadePattern, ColourTableRunsFromShadowThroughFaceToHighlight) {
  CDibSurface s;
  ASSERT_NE(s.Create(2, 2, 8), nullptr);
  shade::SetColourTable(s, kColours);
  EXPECT_EQ(s.PaletteEntry(0), DibRgb(10, 100, 200)) << "entry 0 is the shadow colour";
  // (S + 127 F) / 128 per channel: 6360/128, 19150/128, 31950/128
  EXPECT_EQ(s.PaletteEntry(127), DibRgb(49, 149, 249));
  // (127 F + L) / 128: 6600/128, 19070/128, 31840/128 (the second run wins)
  EXPECT_EQ(s.PaletteEntry(128), DibRgb(51, 148, 248));
  EXPECT_EQ(s.PaletteEntry(255), DibRgb(250, 20, 90)) << "entry 255 is the highlight colour";
  // (64 S + 64 F) / 128
  EXPECT_EQ(s.PaletteEntry(64), DibRgb(30, 125, 225));
}

// Every effect on a 7 × 3 window, granularity 8, with the rand() sequence
// from its start; rows listed from the bottom row up.
TEST(ShadePattern, EveryEffectsPixelsForASmallWindow) {
  const Rows want[9] = {
      {{120, 129, 123, 132, 129, 127, 125}, {134, 133, 131, 122, 133, 131, 128}, {124, 120, 121, 125, 122, 122, 135}},
      {{119, 111, 88, 80, 60, 41, 22}, {172, 154, 135, 109, 103, 84, 64}, {202, 181, 165, 152, 132, 115, 111}},
      {{0, 9, 3, 12, 9, 7, 5}, {93, 92, 90, 81, 92, 90, 87}, {163, 159, 160, 164, 161, 161, 174}},
      {{239, 216, 175, 147, 113, 68, 36}, {248, 213, 184, 138, 110, 69, 36}, {242, 211, 183, 149, 106, 73, 49}},
      {{3, 12, 6, 15, 12, 10, 8}, {131, 130, 128, 119, 130, 128, 125}, {127, 123, 124, 128, 125, 125, 138}},
      {{240, 174, 134, 131, 131, 111, 80}, {249, 171, 143, 122, 128, 112, 80}, {243, 169, 142, 133, 124, 116, 93}},
      {{122, 54, 16, 15, 12, 7, 5}, {250, 171, 136, 119, 130, 118, 83}, {243, 165, 134, 128, 125, 117, 97}},
      {{246, 13, 6, 15, 18, 18, 137}, {248, 131, 122, 121, 129, 125, 128}, {248, 127, 128, 128, 121, 131, 139}},
      {{101, 114, 83, 101, 79, 36, 38}, {144, 141, 117, 134, 112, 83, 78}, {167, 168, 152, 148, 145, 123, 100}},
  };
  for (unsigned effect = 0; effect < 9; ++effect) {
    EXPECT_EQ(Pattern(effect, 7, 3, 8, MsvcrtRand()), want[effect]) << "effect " << effect;
  }
}

TEST(ShadePattern, FirstPixelsFollowTheNoiseFormula) {
  // rand() 41, 18467, 6334: noise 41/2047 − 8 = −8, 9 − 8 = 1, 3 − 8 = −5.
  const Rows noise = Pattern(shade::kShadeNoise, 3, 1, 8, MsvcrtRand());
  EXPECT_EQ(noise, (Rows{{120, 129, 123}}));
  // ShadeDown: 8 + r·239/3 + noise; the bottom row has r = 0, so 8 − 8 wraps to 0.
  const Rows down = Pattern(shade::kShadeDown, 1, 3, 8, MsvcrtRand());
  EXPECT_EQ(down, (Rows{{0}, {8 + 79 + 1}, {8 + 159 - 5}}));
}

TEST(ShadePattern, BumpHardBevelsOfA75By23Button) {
  const Rows px = Pattern(shade::kBumpHard, 75, 23, 8, &ZeroNoiseAtGranularity8);
  // Middle row r = 11: J = 25, dark bevel 63 ... 74, light bevel 0 ... 11.
  const std::vector<int>& middle = px[11];
  for (int c = 63; c < 75; ++c) EXPECT_EQ(middle[c], 8 + 128 * (75 - c) / 12) << "dark bevel, column " << c;
  for (int c = 0; c < 12; ++c) EXPECT_EQ(middle[c], 247 - 128 * c / 12) << "light bevel, column " << c;
  // cube(255·11/23 − 127) = cube(−6) = 0: the ridge is flat 128 here.
  for (int c = 12; c < 63; ++c) EXPECT_EQ(middle[c], 128) << "ridge, column " << c;
  // Bottom row r = 0: J = 36, only columns 74 and 0 are bevel.
  const std::vector<int>& bottom = px[0];
  EXPECT_EQ(bottom[74], 8 + 128 * 1 / 12) << "dark bevel";
  EXPECT_EQ(bottom[0], 247) << "light bevel";
  // 128 + cube(−127)·56·2/128 = 128 − 125·112/128 = 19
  for (int c = 1; c < 74; ++c) EXPECT_EQ(bottom[c], 19) << "ridge, column " << c;
}

TEST(ShadePattern, GranularityZeroGivesNoNoise) {
  // N = 1, B = 32767: rand()/32767 is 0 except for 32767 itself.
  MsvcrtRand reference;
  const Rows px = Pattern(shade::kShadeNoise, 75, 23, 0, MsvcrtRand());
  for (int r = 0; r < 23; ++r)
    for (int c = 0; c < 75; ++c) {
      const int want = 128 + (reference() == 32767 ? 1 : 0);
      ASSERT_EQ(px[r][c], want) << "row " << r << " column " << c;
    }
  EXPECT_EQ(Pattern(shade::kShadeNoise, 4, 1, 0, [] { return 32767; }), (Rows{{129, 129, 129, 129}}));
  EXPECT_EQ(Pattern(shade::kShadeDown, 1, 2, 0, [] { return 32766; }), (Rows{{0}, {127}}))
      << "0 + r·255/2 with no noise";
}

TEST(ShadePattern, EffectsAboveEightAreThePlainNoiseFace) {
  const Rows plain = Pattern(shade::kShadeNoise, 9, 5, 8, MsvcrtRand());
  EXPECT_EQ(Pattern(9, 9, 5, 8, MsvcrtRand()), plain);
  EXPECT_EQ(Pattern(200, 9, 5, 8, MsvcrtRand()), plain);
  EXPECT_NE(Pattern(shade::kBumpHard, 9, 5, 8, MsvcrtRand()), plain);
}

TEST(ShadePattern, GranularityUsesItsLowEightBits) {
  EXPECT_EQ(Pattern(shade::kBumpSoft, 8, 4, 256 + 8, MsvcrtRand()), Pattern(shade::kBumpSoft, 8, 4, 8, MsvcrtRand()));
}

TEST(ShadePattern, WindowsTooSmallForTheDivisionsAreStillFilled) {
  const std::pair<int, int> sizes[] = {{0, 0}, {0, 5}, {5, 0}, {1, 1}, {1, 5}, {5, 1}, {2, 1}, {1, 2}, {12, 1}};
  for (auto [w, h] : sizes)
    for (unsigned effect = 0; effect <= 9; ++effect) {
      const Rows px = Pattern(effect, w, h, 8, MsvcrtRand());
      EXPECT_EQ(px.size(), static_cast<size_t>(h)) << w << " x " << h << " effect " << effect;
    }
  // One row: Q = H·H/4 = 0, so every row counts as the middle one: J = W/2 − P.
  // 12 × 1: P = 2, J = 4; column 11 is dark, columns 0 and 1 light.
  EXPECT_EQ(Pattern(shade::kBumpHard, 12, 1, 8, &ZeroNoiseAtGranularity8),
            (Rows{{247, 183, 19, 19, 19, 19, 19, 19, 19, 19, 19, 72}}));
  // Under 6 pixels wide, P = 0: no bevel at all.
  EXPECT_EQ(Pattern(shade::kBumpHard, 5, 2, 8, &ZeroNoiseAtGranularity8), (Rows{{19, 19, 19, 19, 19}, {128, 128, 128, 128, 128}}));
}

TEST(ShadePattern, VeryTallWindowsKeepTheBevelArithmeticExact) {
  // 96 × 24000: P = 16 and P·(r − h)² reaches 2.3 · 10^9 in the bottom row.
  const Rows px = Pattern(shade::kBumpHard, 96, 24000, 8, &ZeroNoiseAtGranularity8);
  // Bottom row: J = 16 − 16 + 48 = 48, so no column is bevel.
  EXPECT_EQ(px[0][95], 19) << "bottom row, last column";
  EXPECT_EQ(px[0][0], 19) << "bottom row, first column";
  // Middle row: J = 32: columns 81 ... 95 dark, 0 ... 15 light.
  EXPECT_EQ(px[12000][95], 8 + 128 / 16);
  EXPECT_EQ(px[12000][81], 8 + 128 * 15 / 16);
  EXPECT_EQ(px[12000][0], 247);
}

TEST(ShadeImages, FocusLinesAreDottedAndSizedByTheInset) {
  ShadeImages images;
  shade::BuildImages(images, 75, 23, 4, ShadeParameters{}, kColours, MsvcrtRand());
  ASSERT_TRUE(images.focusAcross.IsValid());
  EXPECT_EQ(images.focusAcross.Width(), 66) << "W - 2K - 1";
  EXPECT_EQ(images.focusAcross.Height(), 1);
  EXPECT_EQ(images.focusDown.Width(), 1);
  EXPECT_EQ(images.focusDown.Height(), 15) << "H - 2K";
  for (int k = 0; k < 66; ++k) ASSERT_EQ(images.focusAcross.PixelIndex(k, 0), k % 2 ? 255 : 0) << k;
  for (int k = 0; k < 15; ++k) ASSERT_EQ(images.focusDown.PixelIndex(0, 14 - k), k % 2 ? 255 : 0) << "from the bottom " << k;
  EXPECT_EQ(images.focusAcross.PaletteEntry(0), kColours.shadow);
  EXPECT_EQ(images.focusDown.PaletteEntry(255), kColours.highlight);

  ShadeImages tiny;
  shade::BuildImages(tiny, 9, 8, 4, ShadeParameters{}, kColours, MsvcrtRand());
  EXPECT_EQ(tiny.focusAcross.Width(), 1) << "W - 2K - 2 < 0";
  EXPECT_EQ(tiny.focusDown.Height(), 1) << "H - 2K = 0";
  shade::BuildImages(tiny, 10, 9, 4, ShadeParameters{}, kColours, MsvcrtRand());
  EXPECT_EQ(tiny.focusAcross.Width(), 1) << "W - 2K - 2 = 0 gives W - 2K - 1 = 1";
  EXPECT_EQ(tiny.focusDown.Height(), 1);
}

TEST(ShadeImages, HoverPressedAndDisabledShareTheBasePixels) {
  ShadeParameters p;
  p.effect = shade::kBumpHard;
  p.granularity = 8;
  p.highlight = 10;
  ShadeImages images;
  shade::BuildImages(images, 75, 23, 4, p, kColours, MsvcrtRand());
  EXPECT_EQ(images.base.Width(), 75);
  EXPECT_EQ(images.base.Height(), 23);
  EXPECT_EQ(PixelsByRow(images.base), Pattern(shade::kBumpHard, 75, 23, 8, MsvcrtRand()));
  for (const CDibSurface* copy : {&images.disabled, &images.hover, &images.pressed})
    EXPECT_EQ(PixelsByRow(*copy), PixelsByRow(images.base));
  for (unsigned i = 0; i < 256; i += 51) {
    EXPECT_EQ(images.disabled.PaletteEntry(i), images.base.PaletteEntry(i)) << i;
    const DibColour b = images.base.PaletteEntry(i), L = kColours.highlight;
    const DibColour lighter = DibRgb((DibRed(L) * 10 + DibRed(b) * 90) / 100, (DibGreen(L) * 10 + DibGreen(b) * 90) / 100,
                                     (DibBlue(L) * 10 + DibBlue(b) * 90) / 100);
    EXPECT_EQ(images.hover.PaletteEntry(i), lighter) << "hover entry " << i;
    EXPECT_EQ(images.pressed.PaletteEntry(i), lighter) << "pressed entry " << i;
  }
}

TEST(ShadeImages, ColouringOneHundredMakesTheFaceFlatInTheColour) {
  ShadeParameters p;
  p.effect = shade::kBumpSoft;
  p.granularity = 8;
  p.highlight = 10;
  p.colouring = 100;
  p.colour = DibRgb(0, 128, 255);
  ShadeImages images;
  shade::BuildImages(images, 20, 10, 4, p, kColours, MsvcrtRand());
  // Hover: (L·10 + colour·90) / 100 = (25, 117, 238)
  for (unsigned i = 0; i < 256; ++i) {
    ASSERT_EQ(images.base.PaletteEntry(i), DibRgb(0, 128, 255)) << "base entry " << i;
    ASSERT_EQ(images.hover.PaletteEntry(i), DibRgb(25, 117, 238)) << "hover entry " << i;
  }
  EXPECT_EQ(images.focusAcross.PaletteEntry(0), kColours.shadow) << "the focus lines keep the plain table";

  p.colouring = 256 + 100;  // only the low 8 bits count
  ShadeImages again;
  shade::BuildImages(again, 20, 10, 4, p, kColours, MsvcrtRand());
  EXPECT_EQ(again.base.PaletteEntry(7), DibRgb(0, 128, 255));
}

}  // namespace
