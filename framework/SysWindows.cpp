// Windows, resources and painting.
#include <vector>

#include "framework/Handles.h"
#include "framework/Sys.h"
#include "framework/SysArgs.h"
#include "framework/WideText.h"

namespace sys {

// ---- Windows, resources, painting ----

int MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return ::MessageBoxW(owner, WideArg(text).get(), WideArg(caption).get(), type);
}

std::string LoadString(HINSTANCE instance, UINT id) {
  // Asked for no buffer, the wide function points into the resource itself.
  const wchar_t* text = nullptr;
  const int n = ::LoadStringW(instance, id, reinterpret_cast<wchar_t*>(&text), 0);
  if (n <= 0 || !text) return std::string();
  return cp936::FromWide(std::wstring(text, static_cast<std::size_t>(n)));
}

std::string GetWindowText(HWND wnd) {
  const int length = ::GetWindowTextLengthW(wnd);
  if (length <= 0) return std::string();
  std::vector<wchar_t> text(static_cast<std::size_t>(length) + 1, L'\0');
  const int got = ::GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()));
  return got > 0 ? cp936::FromWide(std::wstring(text.data(), static_cast<std::size_t>(got))) : std::string();
}

BOOL SetWindowText(HWND wnd, const char* text) { return ::SetWindowTextW(wnd, WideArg(text).get()); }

BOOL SetDlgItemText(HWND dialog, int id, const char* text) {
  return ::SetDlgItemTextW(dialog, id, WideArg(text).get());
}

LRESULT SendTextMessage(HWND wnd, UINT wideMessage, WPARAM wp, const char* text) {
  WideArg wide(text);
  return ::SendMessageW(wnd, wideMessage, wp, reinterpret_cast<LPARAM>(wide.get()));
}

std::string TextOfSetText(LPARAM lp) { return cp936::FromWide(reinterpret_cast<const wchar_t*>(lp)); }

LRESULT AnswerGetText(const std::string& text, WPARAM size, LPARAM buffer) {
  wchar_t* out = reinterpret_cast<wchar_t*>(buffer);
  if (!out || size == 0) return 0;
  const std::wstring wide = cp936::ToWide(text);
  std::size_t n = wide.size() < size - 1 ? wide.size() : size - 1;
  // A surrogate pair is copied whole or not at all.
  if (n > 0 && n < wide.size() && IS_HIGH_SURROGATE(wide[n - 1])) --n;
  wide.copy(out, n);
  out[n] = L'\0';
  return static_cast<LRESULT>(n);
}

int DrawText(HDC dc, const char* text, int count, RECT* rect, UINT format) {
  if (!text) return 0;
  const std::wstring wide = count < 0 ? cp936::ToWide(text) : cp936::ToWide(std::string(text, count));
  return ::DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), rect, format & ~DT_MODIFYSTRING);
}

HFONT ChineseGuiFont() {
  static const ScopedFont made = [] {
    HFONT stock = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    LOGFONTW font{};
    if (!::GetObjectW(stock, sizeof font, &font)) return ScopedFont();
    WindowDC screen(nullptr);
    const LONG height = -::MulDiv(9, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
    if (font.lfCharSet == GB2312_CHARSET && font.lfHeight == height) return ScopedFont();
    font.lfCharSet = GB2312_CHARSET;
    font.lfHeight = height;
    return ScopedFont(::CreateFontIndirectW(&font));
  }();
  return made ? made.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

}  // namespace sys
