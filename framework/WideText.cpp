#include "framework/WideText.h"

#include <windows.h>

#include <climits>

namespace cp936 {
namespace {

constexpr UINT kCodePage = 936;

// One call each way, into a buffer of the largest size the result can have:
// a code page 936 byte never makes more than one UTF-16 unit, and a UTF-16
// unit never more than two bytes.
std::wstring Widen(const char* text, std::size_t size) {
  if (size == 0) return std::wstring();
  if (size > INT_MAX) size = INT_MAX;
  std::wstring out(size, L'\0');
  const int n = ::MultiByteToWideChar(kCodePage, 0, text, static_cast<int>(size), out.data(), static_cast<int>(size));
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  return out;
}

std::string Narrow(const wchar_t* text, std::size_t size, bool* lossless) {
  if (lossless) *lossless = true;
  if (size == 0) return std::string();
  if (size > INT_MAX / 2) size = INT_MAX / 2;
  std::string out(size * 2, '\0');
  BOOL usedDefault = FALSE;
  // No best fit: a character without a code page 936 form must not turn
  // into a look-alike that names another file.
  const int n = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, text, static_cast<int>(size), out.data(),
                                      static_cast<int>(out.size()), "?", &usedDefault);
  out.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
  if (lossless) *lossless = n > 0 && usedDefault == FALSE;
  return out;
}

}  // namespace

std::wstring ToWide(const char* text) { return text ? Widen(text, std::char_traits<char>::length(text)) : L""; }

std::wstring ToWide(const std::string& text) { return Widen(text.data(), text.size()); }

std::string FromWide(const wchar_t* text) {
  return text ? Narrow(text, std::char_traits<wchar_t>::length(text), nullptr) : std::string();
}

std::string FromWide(const std::wstring& text) { return Narrow(text.data(), text.size(), nullptr); }

bool FromWideExact(const std::wstring& text, std::string& out) {
  bool lossless = true;
  out = Narrow(text.data(), text.size(), &lossless);
  return lossless;
}

}  // namespace cp936
