#include "controls/ShadeButton.h"

#include <windowsx.h>

#include <cstdlib>

#include "framework/Handles.h"
#include "framework/Sys.h"

// The off-screen drawing of one paint: the memory context, the item
// rectangle R (shrunk by the default frame and the focus inset as the paint
// goes on), the caption rectangle T and the draw request's state.
struct CShadeButton::Frame {
  HDC dc;
  RECT r;
  RECT text;
  std::string caption;
  UINT state;
};

namespace {

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
  ScopedBrush brush(::CreateSolidBrush(colour));
  if (brush) ::FillRect(dc, &rect, brush.get());
}

// A one-pixel frame: topLeft along the top and left edges, bottomRight along
// the bottom and right edges.
void DrawFrame(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  FillColour(dc, {r.left, r.top, r.left + w - 1, r.top + 1}, topLeft);
  FillColour(dc, {r.left, r.top, r.left + 1, r.top + h - 1}, topLeft);
  FillColour(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
  FillColour(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
}

// The C library's generator: never seeded, so every run makes the same faces.
int LibraryRandom() { return std::rand(); }

}  // namespace

CShadeButton::CShadeButton() : textColour_(::GetSysColor(COLOR_BTNTEXT)) {}

CShadeButton::~CShadeButton() = default;

void CShadeButton::PreSubclassWindow() {
  const DWORD style = GetStyle();
  pushLike_ = (style & BS_PUSHLIKE) != 0;
  flat_ = (style & BS_FLAT) != 0;
  const DWORD align = style & (BS_LEFT | BS_RIGHT);
  const UINT horizontal = align == BS_LEFT ? DT_LEFT : align == BS_RIGHT ? DT_RIGHT : DT_CENTER;
  textFormat_ = horizontal | DT_VCENTER | DT_SINGLELINE;

  const DWORD type = style & 0xFFu;
  if ((type & 3u) == 3u) {
    mode_ = CheckBoxMode;
  } else if ((type & 9u) == 9u) {
    mode_ = RadioMode;
  } else {
    mode_ = PushMode;
    pushLike_ = true;
  }
  if (!pushLike_) border_ = FALSE;

  CButton::PreSubclassWindow();
  // The type field is replaced, not or-ed: or-ing 0xB into types such as
  // BS_RADIOBUTTON (4) would give 0xF, which is no button type at all.
  SetStyle((style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW);
}

void CShadeButton::SetShade(unsigned effect, unsigned granularity, unsigned highlight, unsigned colouring,
                            COLORREF colour) {
  if (!m_hWnd) return;
  const RECT rc = GetWindowRect();
  const ShadeSystemColours colours{::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNFACE),
                                   ::GetSysColor(COLOR_BTNHIGHLIGHT)};
  ShadeParameters parameters;
  parameters.effect = effect;
  parameters.granularity = granularity;
  parameters.highlight = highlight;
  parameters.colouring = colouring;
  parameters.colour = colour;
  shade::BuildImages(images_, rc.right - rc.left, rc.bottom - rc.top, focusInset_, parameters, colours,
                     &LibraryRandom);
  Invalidate();
}

LRESULT CShadeButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      OnMouseMove();
      return Default();
    case WM_MOUSELEAVE:
      hover_ = false;
      Invalidate();
      return 0;
    case WM_LBUTTONDOWN:
      OnLeftButtonDown();
      return 0;
    case WM_LBUTTONDBLCLK:
      return SendMessage(WM_LBUTTONDOWN, wp, lp);
    case WM_LBUTTONUP:
      OnLeftButtonUp(lp);
      return 0;
    case WM_KILLFOCUS:
      if (::GetCapture() == m_hWnd) {
        ::ReleaseCapture();
        held_ = false;
      }
      return Default();
    case WM_KEYDOWN:
      if (mode_ != PushMode && wp == VK_SPACE) ToggleByUser();
      return Default();
    case BM_SETCHECK:
      OnSetCheck(wp != 0);
      return 0;
    case BM_GETCHECK:
      return checked_ ? BST_CHECKED : BST_UNCHECKED;
    case WM_SHADE_UNCHECK:
      if (checked_) {
        checked_ = false;
        Invalidate();
      }
      return 0;
    default:
      return Default();
  }
}

bool CShadeButton::IsPushed() const {
  return (::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

bool CShadeButton::CursorOverSelf() const {
  POINT p{};
  return ::GetCursorPos(&p) && ::WindowFromPoint(p) == m_hWnd;
}

void CShadeButton::OnMouseMove() {
  if (held_ && ::GetCapture() == m_hWnd) {
    const bool over = CursorOverSelf();
    if (over != IsPushed()) {
      SendMessage(BM_SETSTATE, over ? TRUE : FALSE);
      Invalidate();
    }
  } else if (!hover_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, m_hWnd, 0};
    if (::TrackMouseEvent(&track)) {
      hover_ = true;
      Invalidate();
    }
  }
}

void CShadeButton::OnLeftButtonDown() {
  if (hover_) {
    TRACKMOUSEEVENT track{sizeof track, TME_CANCEL | TME_LEAVE, m_hWnd, 0};
    if (::TrackMouseEvent(&track)) hover_ = false;
  }
  // The platform presses the button and captures the mouse.
  Default();
  held_ = true;
}

void CShadeButton::OnLeftButtonUp(LPARAM lp) {
  if (mode_ != PushMode) {
    POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    ::ClientToScreen(m_hWnd, &p);
    if (::WindowFromPoint(p) == m_hWnd && held_) ToggleByUser();
  }
  held_ = false;
  // The platform releases the capture and tells the parent of the click.
  Default();
}

void CShadeButton::ToggleByUser() {
  if (mode_ == CheckBoxMode) SendMessage(BM_SETCHECK, checked_ ? BST_UNCHECKED : BST_CHECKED);
  else if (mode_ == RadioMode) SendMessage(BM_SETCHECK, BST_CHECKED);
}

void CShadeButton::OnSetCheck(bool flag) {
  checked_ = flag && mode_ != PushMode;
  if (mode_ == RadioMode && checked_) UncheckGroup();
  Invalidate();
}

void CShadeButton::UncheckGroup() {
  HWND parent = GetParent();
  if (!parent) return;
  // The walk normally comes back to this button; one that is disabled or
  // hidden is skipped by the platform, so also stop where the walk began,
  // and after a bounded number of steps in any case.
  HWND first = nullptr;
  HWND item = ::GetNextDlgGroupItem(parent, m_hWnd, FALSE);
  for (int steps = 0; item && item != m_hWnd && item != first && steps < 1024; ++steps) {
    if (!first) first = item;
    ::PostMessageW(item, WM_SHADE_UNCHECK, 0, 0);
    item = ::GetNextDlgGroupItem(parent, item, FALSE);
  }
}

bool CShadeButton::TrackPushedWhileHeld() {
  if (!held_ || ::GetCapture() != m_hWnd) return false;
  POINT p{};
  if (!::GetCursorPos(&p)) return false;
  const bool over = ::WindowFromPoint(p) == m_hWnd;
  const bool pushed = IsPushed();
  if (over == pushed) return false;
  // The platform paints again for the new state.
  SendMessage(BM_SETSTATE, over ? TRUE : FALSE);
  return true;
}

void CShadeButton::DrawItem(LPDRAWITEMSTRUCT dis) {
  if (!dis || !dis->hDC) return;
  if (TrackPushedWhileHeld()) return;
  const RECT item = dis->rcItem;
  const int w = item.right - item.left, h = item.bottom - item.top;
  if (w <= 0 || h <= 0) return;

  ScopedMemoryDC mem(::CreateCompatibleDC(dis->hDC));
  ScopedBitmap bitmap(mem ? ::CreateCompatibleBitmap(dis->hDC, w, h) : nullptr);
  if (!mem || !bitmap) return;
  SelectScope selectBitmap(mem.get(), bitmap.get());
  SelectScope selectFont(mem.get(), sys::ChineseGuiFont());
  ::SetBkMode(mem.get(), TRANSPARENT);

  Frame f{mem.get(), item, item, GetWindowText(), dis->itemState};
  const int inset = focusInset_ + 2;
  f.text.left += inset;
  f.text.right -= inset;

  if (f.state & ODS_DISABLED) {
    DrawDisabled(f);
  } else {
    if ((f.state & ODS_SELECTED) || checked_) DrawPressed(f);
    else DrawAtRest(f, (f.state & ODS_DEFAULT) != 0);
    DrawFocus(f);
    DrawCaption(f, f.text, textColour_);
  }
  ::BitBlt(dis->hDC, 0, 0, w, h, mem.get(), 0, 0, SRCCOPY);
}

void CShadeButton::DrawDisabled(Frame& f) {
  if (images_.disabled.IsValid()) images_.disabled.Draw(f.dc, 0, 0);
  else FillColour(f.dc, f.r, ::GetSysColor(COLOR_BTNFACE));
  if (border_ && !flat_) ::DrawEdge(f.dc, &f.r, EDGE_RAISED, BF_RECT);
  // Embossed: a highlight copy one pixel below and right of the grey text.
  DrawCaption(f, f.text, ::GetSysColor(COLOR_BTNHIGHLIGHT));
  RECT raised = f.text;
  ::OffsetRect(&raised, -1, -1);
  DrawCaption(f, raised, ::GetSysColor(COLOR_GRAYTEXT));
}

void CShadeButton::DrawPressed(Frame& f) {
  if (images_.pressed.IsValid()) images_.pressed.Draw(f.dc, border_ ? 1 : 0, border_ ? 1 : 0);
  else FillColour(f.dc, f.r, ::GetSysColor(COLOR_BTNFACE));
  if (pushLike_) ::OffsetRect(&f.text, 1, 1);
  if (!border_) return;
  if (flat_) DrawFrame(f.dc, f.r, ::GetSysColor(COLOR_BTNSHADOW), ::GetSysColor(COLOR_BTNHIGHLIGHT));
  else ::DrawEdge(f.dc, &f.r, EDGE_SUNKEN, BF_RECT);
}

void CShadeButton::DrawAtRest(Frame& f, bool isDefault) {
  if (!images_.base.IsValid()) FillColour(f.dc, f.r, ::GetSysColor(COLOR_BTNFACE));
  else if (hover_ && images_.hover.IsValid()) images_.hover.Draw(f.dc, 0, 0);
  else images_.base.Draw(f.dc, 0, 0);
  if (!border_ || !(hover_ || !flat_)) return;
  if (isDefault) {
    ::DrawEdge(f.dc, &f.r, EDGE_SUNKEN, BF_RECT);
    ::InflateRect(&f.r, -1, -1);
    ::DrawEdge(f.dc, &f.r, EDGE_RAISED, BF_RECT);
  } else if (flat_) {
    DrawFrame(f.dc, f.r, ::GetSysColor(COLOR_BTNHIGHLIGHT), ::GetSysColor(COLOR_BTNSHADOW));
  } else {
    ::DrawEdge(f.dc, &f.r, EDGE_RAISED, BF_RECT);
  }
}

void CShadeButton::DrawFocus(Frame& f) {
  const int K = focusInset_;
  if (!(f.state & ODS_FOCUS) || K <= 0) return;
  ::InflateRect(&f.r, -K, -K);
  images_.focusAcross.Draw(f.dc, f.r.left + 1, f.r.top);
  images_.focusAcross.Draw(f.dc, f.r.left + 1, f.r.bottom);
  images_.focusDown.Draw(f.dc, f.r.left, f.r.top + 1);
  images_.focusDown.Draw(f.dc, f.r.right, f.r.top + 1);
}

void CShadeButton::DrawCaption(Frame& f, const RECT& rect, COLORREF colour) {
  ::SetTextColor(f.dc, colour);
  RECT r = rect;
  sys::DrawText(f.dc, f.caption.c_str(), -1, &r, textFormat_);
}
