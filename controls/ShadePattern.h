#pragma once
// The arithmetic behind the shaded button's faces: the 256-colour table from
// the system's shadow, face and highlight colours, the nine surface effects
// with their noise, the dotted focus lines, and the set of images one
// SetShade builds. Pure logic: the random generator is passed in, so the
// programs use the C library's rand() and the native tests the same sequence.
#include <functional>

#include "controls/DibSurface.h"

// Returns 0 ... 32767 per call, like the C library's rand().
using ShadeRandom = std::function<int()>;

struct ShadeSystemColours {
  DibColour shadow;     // button shadow
  DibColour face;       // button face
  DibColour highlight;  // button highlight
};

struct ShadeParameters {
  unsigned effect = 0;       // 0 ... 8; any other number is the plain noise face
  unsigned granularity = 0;  // only the low 8 bits count
  unsigned highlight = 0;    // percent, low 8 bits
  unsigned colouring = 0;    // percent, low 8 bits
  DibColour colour = 0;
};

// The six surfaces a shaded button paints from.
struct ShadeImages {
  CDibSurface base;
  CDibSurface pressed;
  CDibSurface disabled;
  CDibSurface hover;
  CDibSurface focusAcross;
  CDibSurface focusDown;
};

namespace shade {

enum Effect : unsigned {
  kShadeNoise = 0, kShadeDiagonal = 1, kShadeDown = 2, kShadeAcross = 3, kBumpRows = 4,
  kBumpColumns = 5, kBumpSoft = 6, kBumpHard = 7, kBrushedStreaks = 8,
};

// x³ / 16384 in 32-bit signed arithmetic.
int Cube(int x);

// Entries 0 ... 128 run from the shadow to the face colour, 128 ... 255 from
// the face to the highlight colour (entry 128 is finally the second run's).
void SetColourTable(CDibSurface& surface, const ShadeSystemColours& colours);

// Fills an 8-bit surface with the effect's pattern and noise. Surfaces less
// than 2 pixels wide or high are filled too, without dividing by zero.
void FillPattern(CDibSurface& image, unsigned effect, unsigned granularity, const ShadeRandom& random);

// Everything SetShade makes for a window of width × height pixels with the
// focus frame focusInset pixels inside its edge.
void BuildImages(ShadeImages& images, int width, int height, int focusInset, const ShadeParameters& parameters,
                 const ShadeSystemColours& colours, const ShadeRandom& random);

}  // namespace shade
