#include "controls/ColorLabel.h"

#include "framework/Handles.h"
#include "framework/Sys.h"

namespace {

// Left and top aligned, lines broken at word boundaries.
constexpr UINT kTextFormat = DT_LEFT | DT_TOP | DT_WORDBREAK;

}  // namespace

CColorLabel::CColorLabel() = default;

BOOL CColorLabel::SetShadow(BOOL shadow) {
  const BOOL previous = shadow_;
  shadow_ = shadow;
  return previous;
}

LRESULT CColorLabel::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT:
      OnPaint();
      return 0;
    default:
      return CStatic::WindowProc(msg, wp, lp);
  }
}

void CColorLabel::OnPaint() {
  PaintScope paint(m_hWnd);
  HDC dc = paint.get();
  if (!dc) return;
  const RECT client = GetClientRect();
  const std::string text = GetWindowText();
  ::SetBkMode(dc, TRANSPARENT);
  HFONT font = font_ ? font_ : reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  SelectScope selectFont(dc, font);
  if (shadow_) {
    // The whole rectangle moves, so the shadow wraps at the same width.
    RECT shadowRect = client;
    ::OffsetRect(&shadowRect, shadowOffsetX_, shadowOffsetY_);
    ::SetTextColor(dc, shadowColour_);
    sys::DrawText(dc, text.c_str(), -1, &shadowRect, kTextFormat);
  }
  RECT textRect = client;
  ::SetTextColor(dc, textColour_);
  sys::DrawText(dc, text.c_str(), -1, &textRect, kTextFormat);
}
