#pragma once
// A text argument of the sys:: functions, converted for the wide function
// it is handed to; a null text stays null. Only for framework/Sys*.cpp.
#include <string>

#include "framework/WideText.h"

namespace sys {

// A text argument that may be null: the wide function gets null too.
class WideArg {
 public:
  explicit WideArg(const char* text) : null_(text == nullptr), text_(cp936::ToWide(text)) {}
  const wchar_t* get() const { return null_ ? nullptr : text_.c_str(); }
  wchar_t* data() { return null_ ? nullptr : text_.data(); }

 private:
  bool null_;
  std::wstring text_;
};

}  // namespace sys
