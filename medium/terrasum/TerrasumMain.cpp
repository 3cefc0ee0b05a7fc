// The product program of the sample distribution medium ("Terrasum.exe" on
// the medium). It only says what it is: the real earthwork program is not
// part of this system, and the installer copies this file as it would the
// real one.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Wide texts: the same on a Windows of any language.
  ::MessageBoxW(nullptr,
                L"土方工程量计算软件 Terrasum V8.0\n\n"
                L"这是安装程序的示例文件, 不是土方计算程序本身。\n"
                L"(Sample payload of the Terrasum V8.0 distribution medium.)",
                L"土方工程量计算软件 Terrasum V8.0", MB_OK | MB_ICONINFORMATION);
  return 0;
}
