// The one operation of the surface that needs the platform: the transfer of
// the whole block to a device context.
#include <cstddef>

#include "controls/DibSurface.h"

static_assert(sizeof(DibInfoHeader) == sizeof(BITMAPINFOHEADER), "same size as the platform's header");
static_assert(offsetof(DibInfoHeader, biBitCount) == offsetof(BITMAPINFOHEADER, biBitCount), "same layout");
static_assert(offsetof(DibInfoHeader, biSizeImage) == offsetof(BITMAPINFOHEADER, biSizeImage), "same layout");
static_assert(offsetof(DibInfoHeader, biClrImportant) == offsetof(BITMAPINFOHEADER, biClrImportant), "same layout");

bool CDibSurface::Draw(HDC dc, int x, int y) const {
  if (!block_ || !dc) return false;
  ::SetStretchBltMode(dc, COLORONCOLOR);
  const auto* info = reinterpret_cast<const BITMAPINFO*>(block_.get());
  ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(header_.biWidth), static_cast<DWORD>(header_.biHeight), 0, 0, 0,
                      static_cast<UINT>(header_.biHeight), GetBits(), info, DIB_RGB_COLORS);
  return true;
}
