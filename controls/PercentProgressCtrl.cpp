#include "controls/PercentProgressCtrl.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>

#include "framework/Handles.h"
#include "framework/Sys.h"

namespace {

// Truncates toward zero, keeping the result inside int: a position far
// outside its range must not turn into an undefined conversion.
int TruncToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  if (rect.left >= rect.right || rect.top >= rect.bottom) return;
  ScopedBrush brush(::CreateSolidBrush(colour));
  if (brush) ::FillRect(dc, &rect, brush.get());
}

// Draws the text centred in the whole client rectangle, visible only in clip.
void DrawClippedText(HDC dc, const std::string& text, const RECT& client, const RECT& clip, COLORREF colour) {
  if (clip.left >= clip.right) return;
  const int saved = ::SaveDC(dc);
  ::IntersectClipRect(dc, clip.left, clip.top, clip.right, clip.bottom);
  ::SetTextColor(dc, colour);
  RECT r = client;
  sys::DrawText(dc, text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  ::RestoreDC(dc, saved);
}

}  // namespace

CPercentProgressCtrl::CPercentProgressCtrl()
    : barColour_(::GetSysColor(COLOR_HIGHLIGHT)),
      backgroundColour_(::GetSysColor(COLOR_WINDOW)),
      textOverBackground_(::GetSysColor(COLOR_HIGHLIGHT)),
      textOverBar_(::GetSysColor(COLOR_WINDOW)) {}

void CPercentProgressCtrl::SetShowText(BOOL show) {
  const bool changed = (show != FALSE) != (showText_ != FALSE);
  showText_ = show;
  if (m_hWnd && changed) Invalidate(TRUE);
}

void CPercentProgressCtrl::SetRange(int lower, int upper) {
  lower_ = lower;
  upper_ = upper;
}

int CPercentProgressCtrl::SetPos(int pos) {
  if (!m_hWnd) return -1;
  const int previous = position_;
  position_ = pos;
  const int width = ComputeBarWidth();
  if (width != barWidth_) {
    barWidth_ = width;
    Invalidate(TRUE);
    UpdateWindow();
  }
  return previous;
}

int CPercentProgressCtrl::StepIt() {
  // Saturates instead of overflowing at the ends of int.
  const long long next = static_cast<long long>(position_) + step_;
  return SetPos(static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
}

void CPercentProgressCtrl::SetStep(int step) { step_ = step; }

double CPercentProgressCtrl::Fraction() const {
  if (!HasRange()) return 0.0;
  // In double precision throughout: upper − lower may not fit in int.
  return (static_cast<double>(position_) - lower_) / (static_cast<double>(upper_) - lower_);
}

int CPercentProgressCtrl::ComputeBarWidth() const {
  // An empty range would divide by zero; its bar is drawn as nothing.
  if (!HasRange()) return 0;
  const RECT client = GetClientRect();
  return TruncToInt(Fraction() * (client.right - client.left));
}

std::string CPercentProgressCtrl::GetDisplayText() const {
  if (!caption_.empty()) return caption_;
  char text[32];
  std::snprintf(text, sizeof text, "%d%%", TruncToInt(Fraction() * 100.0));
  return text;
}

LRESULT CPercentProgressCtrl::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint covers the whole control
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SIZE: {
      const LRESULT result = Default();
      barWidth_ = -1;  // the next SetPos repaints
      return result;
    }
    case WM_SETTEXT:
      return OnSetText(lp);
    case WM_GETTEXT:
      return OnGetText(wp, lp);
    default:
      return Default();
  }
}

LRESULT CPercentProgressCtrl::OnSetText(LPARAM lp) {
  const LRESULT result = Default();
  const std::string caption = sys::TextOfSetText(lp);
  if (caption != caption_) {
    caption_ = caption;
    Invalidate(TRUE);
  }
  return result;
}

// Copies as much of the caption as fits with its terminating NUL, never
// splitting a character, and returns the characters copied.
LRESULT CPercentProgressCtrl::OnGetText(WPARAM size, LPARAM buffer) const {
  return sys::AnswerGetText(caption_, size, buffer);
}

void CPercentProgressCtrl::OnPaint() {
  PaintScope paint(m_hWnd);
  HDC dc = paint.get();
  if (!dc || !HasRange()) return;
  if (::GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER) {
    PaintBar(dc);
    return;
  }
  RECT clip{};
  ::GetClipBox(dc, &clip);
  const int w = clip.right - clip.left, h = clip.bottom - clip.top;
  if (w <= 0 || h <= 0) return;
  ScopedMemoryDC mem(::CreateCompatibleDC(dc));
  ScopedBitmap bitmap(mem ? ::CreateCompatibleBitmap(dc, w, h) : nullptr);
  if (!mem || !bitmap) {
    PaintBar(dc);
    return;
  }
  SelectScope selectBitmap(mem.get(), bitmap.get());
  ::SetWindowOrgEx(mem.get(), clip.left, clip.top, nullptr);
  PaintBar(mem.get());
  ::BitBlt(dc, clip.left, clip.top, w, h, mem.get(), clip.left, clip.top, SRCCOPY);
}

void CPercentProgressCtrl::PaintBar(HDC dc) {
  const RECT client = GetClientRect();
  const int width = client.right - client.left;
  // The split may lie outside the client (a position outside the range);
  // the bar or the rest is then simply empty.
  const int filled = TruncToInt(width * Fraction());
  const int inside = client.left + std::clamp(filled, 0, std::max(width, 0));
  const RECT bar{client.left, client.top, inside, client.bottom};
  const RECT rest{inside, client.top, client.right, client.bottom};
  FillColour(dc, bar, barColour_);
  FillColour(dc, rest, backgroundColour_);
  if (!showText_) return;

  const std::string text = GetDisplayText();
  ::SetBkMode(dc, TRANSPARENT);
  SelectScope selectFont(dc, reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)));
  DrawClippedText(dc, text, client, bar, textOverBar_);
  DrawClippedText(dc, text, client, rest, textOverBackground_);
}
