#include "setup/SetupDialog.h"

#include <ocidl.h>
#include <olectl.h>

#include <memory>

#include "framework/App.h"
#include "framework/CodePage.h"
#include "framework/FileFind.h"
#include "framework/Sys.h"
#include "setup/AgreementPage.h"
#include "setup/CopyPage.h"
#include "setup/FinishPage.h"
#include "setup/InstallPathPage.h"
#include "setup/WelcomePage.h"
#include "setup/WizardCodes.h"

namespace {

const char kWizardCaption[] = "Terrasum V8.0 安装向导";
const char kPictureFolder[] = "\\安装界面\\";
const char kPicturePattern[] = "*.jpg";

constexpr COLORREF kNoPictureColour = RGB(0, 128, 128);
constexpr COLORREF kCanvasColour = RGB(255, 255, 255);
constexpr COLORREF kCanvasFrameColour = RGB(192, 192, 192);
constexpr int kCanvasWidth = 1024;
constexpr int kCanvasHeight = 768;
constexpr int kLastPage = 4;

// The five pages, constructed once in position order and run as often as the
// wizard comes back to them.
struct WizardPages {
  explicit WizardPages(CWnd* parent)
      : welcome(parent), agreement(parent), installPath(parent), copy(parent), finish(parent) {}
  CWelcomePage welcome;
  CAgreementPage agreement;
  CInstallPathPage installPath;
  CCopyPage copy;
  CFinishPage finish;
};

// Where the picture lies on the canvas: as high as the canvas when it is
// taller than 4:3, else as wide.
RECT FitOnCanvas(long width, long height) {
  const double ratio = static_cast<double>(height) / static_cast<double>(width);
  RECT fit{};
  if (ratio > 0.75) {
    const int w = static_cast<int>(kCanvasHeight / ratio);
    fit.left = (kCanvasWidth - w) / 2;
    fit.top = 0;
    fit.right = fit.left + w;
    fit.bottom = kCanvasHeight;
  } else {
    const int h = static_cast<int>(kCanvasWidth * ratio);
    fit.left = 0;
    fit.top = (kCanvasHeight - h) / 2;
    fit.right = kCanvasWidth;
    fit.bottom = fit.top + h;
  }
  return fit;
}

void FillWith(HDC dc, const RECT& rc, COLORREF colour) {
  ScopedBrush brush(::CreateSolidBrush(colour));
  ::FillRect(dc, &rc, brush.get());
}

}  // namespace

CSetupDialog::CSetupDialog(CWnd* parent)
    : CDialog(IDD_SETUP_BACKGROUND, parent),
      icon_(::LoadIconW(AfxGetInstanceHandle(), MAKEINTRESOURCEW(IDI_SETUP))) {}

BOOL CSetupDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  // Everything below runs inside the dialog procedure; an exception must not
  // leave it, and the dialog must close whatever happened.
  try {
    if (!RunStartupChecks()) {
      // Ended during its initialisation, the modal dialog is never shown on
      // Windows. Wine's dialog box shows a template with WS_VISIBLE after
      // WM_INITDIALOG all the same, ended or not, and the empty background
      // would flash up before its modal loop sees the end: so the show
      // itself is refused.
      endingUnshown_ = true;
      PostMessage(WM_CLOSE);
      EndDialog(IDCANCEL);
      return FALSE;
    }
    RunWizard();
  } catch (...) {
  }
  PostMessage(WM_CLOSE);
  return TRUE;
}

bool CSetupDialog::RunStartupChecks() {
  SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  sourceFolder_ = ModuleFileName(nullptr);
  const size_t slash = cp936::FindLastBackslash(sourceFolder_);
  if (slash != cp936::npos) sourceFolder_.erase(slash);

  CollectPictures(sourceFolder_ + kPictureFolder, kPicturePattern, pictures_);

  std::string recorded;
  if (ReadInstallPath(kProductKey, kInstallPathValue, recorded)) {
    const bool again = MessageBox("已经安装了本软件!\n是否重新安装?", "警告", MB_YESNO | MB_ICONQUESTION) == IDYES;
    if (m_log) m_log->Write("已经安装过 (installPath = " + recorded + "); 是否重新安装: " + (again ? "是" : "否"));
    if (!again) return false;
  }

  SetWindowText(kWizardCaption);
  agreed_ = 0;
  installFolder_ = m_presetFolder.empty() ? std::string(kDefaultInstallFolder) : m_presetFolder;
  ShowWindow(SW_SHOWMAXIMIZED);
  ::SetTimer(m_hWnd, PICTURE_TIMER_ID, static_cast<UINT>(pictureInterval_), nullptr);
  return true;
}

bool CSetupDialog::ConfirmExit() {
  return MessageBox("真要退出安装程序吗?", kWizardCaption, MB_YESNO | MB_ICONQUESTION) == IDYES;
}

// Each page gets its data before it runs and gives it back after it ended,
// whatever its end code; a page shown again keeps its members otherwise.
void CSetupDialog::RunWizard() {
  auto pages = std::make_unique<WizardPages>(this);
  int position = 0;
  while (position >= 0 && position <= kLastPage) {
    INT_PTR code = IDOK;
    switch (position) {
      case 0:
        code = pages->welcome.DoModal();
        break;
      case 1:
        pages->agreement.m_agreed = agreed_;
        code = pages->agreement.DoModal();
        agreed_ = pages->agreement.m_agreed;
        break;
      case 2:
        pages->installPath.m_installFolder = installFolder_;
        code = pages->installPath.DoModal();
        installFolder_ = pages->installPath.m_installFolder;
        break;
      case 3:
        pages->copy.m_sourceFolder = sourceFolder_;
        pages->copy.m_installFolder = installFolder_;
        pages->copy.m_log = m_log;
        code = pages->copy.DoModal();
        sourceFolder_ = pages->copy.m_sourceFolder;
        restart_ = pages->copy.m_restart;
        exitCode_ = pages->copy.ExitCode();
        break;
      default:
        pages->finish.m_installFolder = installFolder_;
        pages->finish.m_restart = restart_;
        code = pages->finish.DoModal();
        restart_ = pages->finish.m_restart;  // told once, not again when the page is shown again
        break;
    }
    if (code == WIZARD_NEXT) {
      ++position;
    } else if (code == WIZARD_BACK) {
      --position;
    } else if (code == WIZARD_FINISH) {
      break;
    } else if (code == IDCANCEL) {
      if (ConfirmExit()) break;
    } else if (code == -1) {
      break;  // the page could not be shown at all: asking again would loop
    }
  }
}

bool CSetupDialog::ReadInstallPath(const char* keyPath, const char* valueName, std::string& text) {
  text.clear();
  HKEY raw = nullptr;
  if (sys::RegCreateKey(HKEY_LOCAL_MACHINE, keyPath, &raw) != ERROR_SUCCESS) return false;
  ScopedRegKey key(raw);
  char data[2048] = {};
  DWORD size = sizeof data;
  if (sys::RegQueryValueEx(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) !=
      ERROR_SUCCESS)
    return false;
  // The stored text need not end with a NUL.
  text.assign(data, size);
  const size_t nul = text.find('\0');
  if (nul != std::string::npos) text.erase(nul);
  return true;
}

void CSetupDialog::OnDestroy() { ::KillTimer(m_hWnd, PICTURE_TIMER_ID); }

void CSetupDialog::OnWindowPosChanging(WINDOWPOS& pos) {
  if (endingUnshown_) pos.flags &= ~SWP_SHOWWINDOW;
}

// ---- Background picture ----

void CSetupDialog::CollectPictures(const std::string& folder, const std::string& pattern,
                                   std::vector<std::string>& list) {
  list.clear();
  const std::string saved = sys::CurrentDirectory();
  if (!sys::SetCurrentDirectory(folder.c_str())) return;
  CFileFind finder;
  bool more = finder.FindFile(pattern);
  while (more) {
    more = finder.FindNextFile();
    if (finder.IsDots() || finder.IsDirectory()) continue;
    list.push_back(folder + finder.GetFileName());
  }
  finder.Close();
  if (!saved.empty()) sys::SetCurrentDirectory(saved.c_str());
}

ScopedBitmap CSetupDialog::LoadPictureCanvas(const std::string& path) const {
  ComPtr<IPicture> picture;
  if (FAILED(sys::OleLoadPicturePath(path.c_str(), IID_IPicture, picture.put_void())) || !picture) return {};

  OLE_HANDLE handle = 0;
  SHORT type = PICTYPE_NONE;
  // Only bitmaps (which every JPEG becomes) are drawn; an icon or a
  // metafile that happens to carry the picture's extension is no picture here.
  if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(picture->get_Handle(&handle))) return {};
  const HBITMAP source = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
  BITMAP sourceInfo{};
  if (!::GetObjectW(source, sizeof sourceInfo, &sourceInfo) || sourceInfo.bmWidth <= 0 || sourceInfo.bmHeight <= 0)
    return {};

  // The proportions from the size in pixels: the picture object's HIMETRIC
  // sizes are rounded at 96 dpi, so a 4:3 picture never came out at exactly
  // 0.75 and was drawn a pixel short of the canvas's edge.
  const RECT fit = FitOnCanvas(sourceInfo.bmWidth, sourceInfo.bmHeight);
  WindowDC screen(m_hWnd);
  ScopedBitmap canvas(::CreateCompatibleBitmap(screen.get(), kCanvasWidth, kCanvasHeight));
  ScopedMemoryDC canvasDC(::CreateCompatibleDC(screen.get()));
  ScopedMemoryDC sourceDC(::CreateCompatibleDC(screen.get()));
  if (!canvas || !canvasDC || !sourceDC) return {};
  {
    SelectScope canvasSelected(canvasDC.get(), canvas.get());
    SelectScope sourceSelected(sourceDC.get(), source);
    const RECT all{0, 0, kCanvasWidth, kCanvasHeight};
    FillWith(canvasDC.get(), all, kCanvasColour);
    ScopedBrush frame(::CreateSolidBrush(kCanvasFrameColour));
    ::FrameRect(canvasDC.get(), &all, frame.get());
    ::SetStretchBltMode(canvasDC.get(), COLORONCOLOR);
    ::StretchBlt(canvasDC.get(), fit.left, fit.top, fit.right - fit.left, fit.bottom - fit.top, sourceDC.get(), 0, 0,
                 sourceInfo.bmWidth, sourceInfo.bmHeight, SRCCOPY);
  }
  return canvas;
}

// Every repaint loads the current picture anew; nothing is cached. A file
// that is no picture shows the plain colour, as no pictures at all would.
BOOL CSetupDialog::OnEraseBackground(HDC dc) {
  const RECT client = GetClientRect();
  if (pictures_.empty()) {
    FillWith(dc, client, kNoPictureColour);
    return TRUE;
  }
  if (pictureIndex_ < 0 || pictureIndex_ >= static_cast<int>(pictures_.size())) pictureIndex_ = 0;
  ScopedBitmap canvas = LoadPictureCanvas(pictures_[static_cast<size_t>(pictureIndex_)]);
  ScopedMemoryDC memory(canvas ? ::CreateCompatibleDC(dc) : nullptr);
  if (!canvas || !memory) {
    FillWith(dc, client, kNoPictureColour);
    return TRUE;
  }
  BITMAP info{};
  ::GetObjectW(canvas.get(), sizeof info, &info);
  SelectScope selected(memory.get(), canvas.get());
  ::StretchBlt(dc, client.left, client.top, client.right - client.left, client.bottom - client.top, memory.get(), 0,
               0, info.bmWidth, info.bmHeight, SRCCOPY);
  return TRUE;
}

void CSetupDialog::OnTimer(UINT_PTR id) {
  if (id != PICTURE_TIMER_ID) return;
  ++pictureIndex_;
  ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

// Minimised, the window shows its icon; otherwise the default painting
// erases through OnEraseBackground.
bool CSetupDialog::OnPaintIcon() { return PaintIconIfMinimised(icon_); }

bool CSetupDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND:
      result = OnEraseBackground(reinterpret_cast<HDC>(wp));
      return true;
    case WM_TIMER:
      OnTimer(static_cast<UINT_PTR>(wp));
      return false;  // the default handling follows
    case WM_PAINT:
      if (!OnPaintIcon()) return false;
      result = 0;
      return true;
    case WM_WINDOWPOSCHANGING:
      if (lp) OnWindowPosChanging(*reinterpret_cast<WINDOWPOS*>(lp));
      return false;  // the default handling follows
    case WM_QUERYDRAGICON:
      result = reinterpret_cast<LRESULT>(icon_);
      return true;
    default:
      return CDialog::OnMessage(msg, wp, lp, result);
  }
}
