#include "setup/PageLook.h"

#include <algorithm>

void ShadeWizardButton(CShadeButton& button) { button.SetShade(CShadeButton::BumpHard, 8, 10, 0, 0); }

void ShadeCancelButton(CShadeButton& button) { button.SetShade(CShadeButton::BumpSoft, 8, 10, 0, 0); }

void TakeParentIcons(CDialog& page) {
  if (!page.m_pParentWnd || !page.m_pParentWnd->m_hWnd) return;
  for (WPARAM kind : {static_cast<WPARAM>(ICON_BIG), static_cast<WPARAM>(ICON_SMALL)}) {
    const LRESULT icon = page.m_pParentWnd->SendMessage(WM_GETICON, kind, 0);
    page.SendMessage(WM_SETICON, kind, icon);
  }
}

// The page templates sit at (0, 0), which the dialog manager takes as the
// parent's top-left corner; modal pages belong in the middle of the screen.
void CenterOverParent(CDialog& page) {
  RECT workArea{};
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
  RECT area = workArea;
  const HWND parent = page.m_pParentWnd ? page.m_pParentWnd->m_hWnd : nullptr;
  if (parent && ::IsWindowVisible(parent) && !::IsIconic(parent)) ::GetWindowRect(parent, &area);
  const RECT own = page.GetWindowRect();
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  int x = area.left + ((area.right - area.left) - width) / 2;
  int y = area.top + ((area.bottom - area.top) - height) / 2;
  x = std::max(static_cast<int>(workArea.left), std::min(x, static_cast<int>(workArea.right) - width));
  y = std::max(static_cast<int>(workArea.top), std::min(y, static_cast<int>(workArea.bottom) - height));
  ::SetWindowPos(page.m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
