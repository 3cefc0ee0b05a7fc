#include "controls/ShadePattern.h"

#include <algorithm>
#include <cstdint>

namespace shade {
namespace {

// Per-pixel noise: rand() / B − g with B = 32767 / (2g, or 1 when g is 0).
class Noise {
 public:
  Noise(int granularity, const ShadeRandom& random)
      : g_(granularity), b_(32767 / (granularity ? 2 * granularity : 1)), random_(random) {}
  int Next() { return Raw() - g_; }
  // The brushed effect adds the scaled value without subtracting g.
  int Raw() { return random_() / b_; }

 private:
  int g_;
  int b_;
  const ShadeRandom& random_;
};

// Pixel rows of an 8-bit image, addressed with r counted from the bottom.
class Pixels {
 public:
  explicit Pixels(CDibSurface& image)
      : bits_(image.GetBits()), stride_(image.Stride()), width_(image.Width()), height_(image.Height()) {}
  bool Empty() const { return !bits_ || width_ <= 0 || height_ <= 0; }
  int W() const { return width_; }
  int H() const { return height_; }
  // Every store wraps modulo 256, as a byte does.
  void Set(int r, int c, int value) { bits_[static_cast<size_t>(r) * stride_ + c] = static_cast<std::uint8_t>(value); }
  void Add(int r, int c, int value) { Set(r, c, Get(r, c) + value); }
  int Get(int r, int c) const { return bits_[static_cast<size_t>(r) * stride_ + c]; }

 private:
  std::uint8_t* bits_;
  std::uint32_t stride_;
  int width_;
  int height_;
};

// Row by row from the bottom row, left to right: the order the noise is drawn in.
template <typename F>
void ForRows(Pixels& px, F f) {
  for (int r = 0; r < px.H(); ++r)
    for (int c = 0; c < px.W(); ++c) f(r, c);
}

// Column by column from the left, each from the bottom row up.
template <typename F>
void ForColumns(Pixels& px, F f) {
  for (int c = 0; c < px.W(); ++c)
    for (int r = 0; r < px.H(); ++r) f(r, c);
}

void ShadeNoise(Pixels& px, int, Noise& noise) {
  ForRows(px, [&](int r, int c) { px.Set(r, c, 128 + noise.Next()); });
}

void ShadeDiagonal(Pixels& px, int g, Noise& noise) {
  const int W = px.W(), H = px.H(), E = (255 - 2 * g) / 2;
  ForRows(px, [&](int r, int c) { px.Set(r, c, g + r * E / H + E * (W - c) / W + noise.Next()); });
}

void ShadeDown(Pixels& px, int g, Noise& noise) {
  const int H = px.H(), E = 255 - 2 * g;
  ForRows(px, [&](int r, int c) { px.Set(r, c, g + r * E / H + noise.Next()); });
}

void ShadeAcross(Pixels& px, int g, Noise& noise) {
  const int W = px.W(), E = 255 - 2 * g;
  ForColumns(px, [&](int r, int c) { px.Set(r, c, g + E * (W - c) / W + noise.Next()); });
}

void BumpRows(Pixels& px, int g, Noise& noise) {
  const int H = px.H();
  ForRows(px, [&](int r, int c) { px.Set(r, c, 128 + Cube(255 * r / H - 127) * (128 - g) / 128 + noise.Next()); });
}

void BumpColumns(Pixels& px, int g, Noise& noise) {
  const int W = px.W();
  ForColumns(px, [&](int r, int c) {
    px.Set(r, c, 128 + (128 - g) * Cube(255 * (W - c) / W - 127) / 128 + noise.Next());
  });
}

void BumpSoft(Pixels& px, int g, Noise& noise) {
  const int W = px.W(), H = px.H();
  ForRows(px, [&](int r, int c) {
    int v = (Cube(255 * r / H - 127) + Cube(255 * (W - c) / W - 127)) * (128 - g) / 128 + 128;
    if (v < g) v = g;
    if (v > 255 - g) v = 255 - g;
    px.Set(r, c, v + noise.Next());
  });
}

// The bevels' boundary for row r: a parabola through the middle row. A window
// less than 2 pixels high has Q = 0; its rows are all treated as the middle.
// Worked out in 64 bits so that very tall windows do not overflow; the
// result is the same wherever 32 bits suffice.
int BevelLimit(int r, int W, int H, int P) {
  const std::int64_t h = H / 2;
  const std::int64_t Q = static_cast<std::int64_t>(H) * H / 4;
  const std::int64_t curve = Q ? (P * r - P * h) * (r - h) / Q : 0;
  return static_cast<int>(curve - P + W / 2);
}

void BumpHard(Pixels& px, int g, Noise& noise) {
  const int W = px.W(), H = px.H();
  ForRows(px, [&](int r, int c) { px.Set(r, c, 128 + Cube(255 * r / H - 127) * (64 - g) * 2 / 128 + noise.Next()); });
  // A window less than 6 pixels wide has no bevel (P = 0 would divide by zero).
  const int P = std::min(W / 6, 16);
  for (int r = 0; r < H; ++r) {
    const int J = BevelLimit(r, W, H, P);
    for (int c = 0; c < W; ++c) {
      const int d = c - W / 2;
      if (P > 0 && d > J) px.Set(r, c, g + 128 * (W - c) / P);
      if (P > 0 && J + d < 0) px.Set(r, c, (255 - g) - 128 * c / P);
      px.Add(r, c, noise.Next());
    }
  }
}

// rand() / (32767 / n), with the divisor kept at 1 or more for any n.
int ScaledRandom(const ShadeRandom& random, int n) { return random() / std::max(1, 32767 / std::max(1, n)); }

void DrawStreaks(CDibSurface& image, int W, int H, const ShadeRandom& random) {
  for (int i = 0; i < 200; ++i) {
    const int x0 = ScaledRandom(random, W);
    const int y0 = ScaledRandom(random, H);
    const int n = ScaledRandom(random, std::min(W, H)) / 2;
    const auto v = static_cast<std::uint8_t>(random() / 819);
    for (int k = 0; k < n; ++k) {
      if (x0 - k > 0 && y0 + k < H) image.SetPixelIndex(x0 - k, y0 + k, v);
      if (x0 + k < W && y0 - k > 0) image.SetPixelIndex(W - x0 + k, y0 - k, v);
    }
  }
}

void BrushedStreaks(CDibSurface& image, Pixels& px, int g, Noise& noise, const ShadeRandom& random) {
  const int W = px.W(), H = px.H();
  image.Fill(0);
  DrawStreaks(image, W, H, random);
  const int G = (215 - 2 * g) / 2;
  ForRows(px, [&](int r, int c) {
    px.Add(r, c, r * G / H + G * (W - c) / W);
    px.Add(r, c, noise.Raw());
  });
}

void SetDottedAcross(CDibSurface& line) {
  for (int k = 0; k < line.Width(); ++k) line.SetPixelIndex(k, 0, (k % 2) ? 255 : 0);
}

void SetDottedDown(CDibSurface& line) {
  // Counted from the bottom row, which is y = height − 1 from the top.
  for (int k = 0; k < line.Height(); ++k) line.SetPixelIndex(0, line.Height() - 1 - k, (k % 2) ? 255 : 0);
}

}  // namespace

int Cube(int x) { return x * x * x / 16384; }

void SetColourTable(CDibSurface& surface, const ShadeSystemColours& colours) {
  const auto mix = [](DibColour a, DibColour b, unsigned i, unsigned (*channel)(DibColour)) {
    return static_cast<std::uint8_t>((channel(a) * (128 - i) + channel(b) * i) / 128);
  };
  const auto set = [&](unsigned index, DibColour a, DibColour b, unsigned i) {
    surface.SetPaletteEntry(index, mix(a, b, i, DibRed), mix(a, b, i, DibGreen), mix(a, b, i, DibBlue));
  };
  for (unsigned i = 0; i <= 128; ++i) set(i, colours.shadow, colours.face, i);
  for (unsigned i = 1; i <= 128; ++i) set(127 + i, colours.face, colours.highlight, i);
}

void FillPattern(CDibSurface& image, unsigned effect, unsigned granularity, const ShadeRandom& random) {
  Pixels px(image);
  if (px.Empty() || image.Header().biBitCount != 8) return;
  const int g = static_cast<int>(granularity & 0xFFu);
  Noise noise(g, random);
  switch (effect) {
    case kShadeDiagonal: ShadeDiagonal(px, g, noise); break;
    case kShadeDown: ShadeDown(px, g, noise); break;
    case kShadeAcross: ShadeAcross(px, g, noise); break;
    case kBumpRows: BumpRows(px, g, noise); break;
    case kBumpColumns: BumpColumns(px, g, noise); break;
    case kBumpSoft: BumpSoft(px, g, noise); break;
    case kBumpHard: BumpHard(px, g, noise); break;
    case kBrushedStreaks: BrushedStreaks(image, px, g, noise, random); break;
    default: ShadeNoise(px, g, noise); break;
  }
}

void BuildImages(ShadeImages& images, int width, int height, int focusInset, const ShadeParameters& parameters,
                 const ShadeSystemColours& colours, const ShadeRandom& random) {
  const int K = focusInset;
  images.focusAcross.Create(width - 2 * K - 2 >= 0 ? width - 2 * K - 1 : 1, 1, 8);
  images.focusDown.Create(1, height - 2 * K > 0 ? height - 2 * K : 1, 8);
  images.base.Create(width, height, 8);

  SetColourTable(images.base, colours);
  SetColourTable(images.focusAcross, colours);
  SetColourTable(images.focusDown, colours);
  images.base.BlendPalette(parameters.colour, parameters.colouring & 0xFFu);

  SetDottedAcross(images.focusAcross);
  SetDottedDown(images.focusDown);
  FillPattern(images.base, parameters.effect, parameters.granularity, random);

  images.disabled.CopyFrom(images.base);
  images.hover.CopyFrom(images.base);
  images.hover.BlendPalette(colours.highlight, parameters.highlight & 0xFFu);
  images.pressed.CopyFrom(images.hover);
}

}  // namespace shade
