// The background behind the wizard: teal without pictures, each picture
// fitted onto a white 1024 x 768 canvas with a light-grey frame, the slide
// show moving on every 5 seconds, and a file that is no picture shown teal.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/wine/setup/SetupDriver.h"

using namespace setuptest;

namespace {

constexpr COLORREF kTeal = RGB(0, 128, 128);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kFrame = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(200, 0, 0);     // square.jpg, 400 x 400
constexpr COLORREF kGreen = RGB(0, 160, 0);   // wide.jpg, 640 x 360
constexpr COLORREF kBlue = RGB(0, 0, 200);    // classic.jpg, 640 x 480
constexpr COLORREF kOrange = RGB(224, 112, 0);  // edge-WxH.jpg

// JPEG keeps plain colours within a few steps.
bool Near(COLORREF a, COLORREF b) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= 12 && std::abs(GetGValue(a) - GetGValue(b)) <= 12 &&
         std::abs(GetBValue(a) - GetBValue(b)) <= 12;
}

std::string Hex(COLORREF c) {
  char text[16];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
  return text;
}

// Which picture the background shows, told by a point left of and above the
// centred page: red square, white band of the 16:9 one, blue 4:3, or teal.
std::string Shown(HWND background) {
  const COLORREF c = ui::ClientPixel(background, 150, 50);
  if (Near(c, kRed)) return "square.jpg";
  if (c == kWhite && Near(ui::ClientPixel(background, 150, 100), kGreen)) return "wide.jpg";
  if (Near(c, kBlue)) return "classic.jpg";
  if (c == kTeal) return "teal";
  return "unknown " + Hex(c);
}

// The pictures in the order the file system lists them, as Setup finds them.
std::vector<std::string> ListedPictures() {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = ::FindFirstFileA("E:\\安装界面\\*.jpg", &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
  } while (::FindNextFileA(find, &data));
  ::FindClose(find);
  return names;
}

class Background : public ::testing::Test {
 protected:
  void TearDown() override { run.Kill(); }

  // Starts Setup on the medium and waits for the welcome page over the
  // background.
  HWND Start(const Medium& medium, bool brokenPicture = false) {
    BuildMedium(medium);
    if (brokenPicture) WriteTextFile("E:\\安装界面\\broken.jpg", "this is no picture\r\n");
    DeleteProductKey();
    if (!run.Start() || !run.WaitPage(Page::Welcome)) return nullptr;
    return run.WaitBackground();
  }
  void ExpectCoversTheDesktop(HWND background) {
    RECT client{};
    ::GetClientRect(background, &client);
    EXPECT_EQ(client.right, 1024) << "client width";
    EXPECT_EQ(client.bottom, 768) << "client height";
  }
  // Setup paints in its own time, and its paint reaches the screen later
  // still: the pixel is read until it matches or the time is up.
  void ExpectPixel(HWND background, int x, int y, COLORREF want, bool exact) {
    COLORREF got = CLR_INVALID;
    ui::WaitUntil([&] {
      got = ui::ClientPixel(background, x, y);
      return exact ? got == want : Near(got, want);
    }, ui::kPaintTimeout);
    EXPECT_TRUE(exact ? got == want : Near(got, want))
        << "at (" << x << ", " << y << "): " << Hex(got) << ", expected " << Hex(want);
  }

  SetupRun run;
};

TEST_F(Background, WithoutPicturesTheBackgroundIsTealAndStaysSo) {
  HWND background = Start(Medium{});
  ASSERT_NE(background, nullptr);
  ExpectCoversTheDesktop(background);
  Shot(nullptr, "setup_background_none");
  for (POINT p : {POINT{0, 0}, POINT{1023, 0}, POINT{0, 767}, POINT{1023, 767}, POINT{100, 384}, POINT{512, 700}})
    ExpectPixel(background, p.x, p.y, kTeal, true);
  ::Sleep(5500);  // past a tick of the slide show
  ExpectPixel(background, 100, 100, kTeal, true);
}

TEST_F(Background, AFolderWithoutJpegFilesGivesTeal) {
  Medium medium;
  medium.pictureFolder = true;
  BuildMedium(medium);
  ::CreateDirectoryA("E:\\安装界面\\folder.jpg", nullptr);  // a folder, not a picture
  WriteTextFile("E:\\安装界面\\note.txt", "no picture\r\n");
  ::CopyFileA((PictureSource() + "square.jpg").c_str(), "E:\\安装界面\\square.jpeg", FALSE);  // not *.jpg
  DeleteProductKey();
  ASSERT_TRUE(run.Start());
  ASSERT_NE(run.WaitPage(Page::Welcome), nullptr);
  HWND background = run.WaitBackground();
  ASSERT_NE(background, nullptr);
  ExpectPixel(background, 150, 50, kTeal, true);
  ExpectPixel(background, 900, 700, kTeal, true);
}

TEST_F(Background, ASquarePictureLiesCentredWithWhiteBandsAndIsRedrawn) {
  Medium medium;
  medium.pictures = {"square.jpg"};
  HWND background = Start(medium);
  ASSERT_NE(background, nullptr);
  ExpectCoversTheDesktop(background);
  Shot(nullptr, "setup_background_square");
  // The picture: x 128 to 895, the full height, over the frame at top and bottom.
  ExpectPixel(background, 128, 300, kRed, false);
  ExpectPixel(background, 895, 300, kRed, false);
  ExpectPixel(background, 200, 0, kRed, false);
  ExpectPixel(background, 200, 767, kRed, false);
  // The white bands, 128 pixels on each side, framed in light grey.
  ExpectPixel(background, 127, 300, kWhite, true);
  ExpectPixel(background, 64, 300, kWhite, true);
  ExpectPixel(background, 896, 300, kWhite, true);
  ExpectPixel(background, 960, 100, kWhite, true);
  ExpectPixel(background, 0, 300, kFrame, true);
  ExpectPixel(background, 1023, 300, kFrame, true);
  ExpectPixel(background, 64, 0, kFrame, true);
  ExpectPixel(background, 64, 767, kFrame, true);

  // Paint over the background from outside; the next tick draws it anew.
  HDC screen = ::GetDC(nullptr);
  const RECT spot{20, 20, 60, 60};
  HBRUSH black = ::CreateSolidBrush(RGB(0, 0, 0));
  ::FillRect(screen, &spot, black);
  ::DeleteObject(black);
  ::ReleaseDC(nullptr, screen);
  ASSERT_EQ(ui::ClientPixel(background, 40, 40), RGB(0, 0, 0)) << "the spot was painted";
  EXPECT_TRUE(ui::WaitUntil([&] { return ui::ClientPixel(background, 40, 40) == kWhite; }, 8000))
      << "redrawn by the slide show's tick";
  EXPECT_EQ(Shown(background), "square.jpg") << "one picture is shown all the time";

  // Minimised, the window draws its icon; restored, the picture is back.
  ::ShowWindow(background, SW_MINIMIZE);
  ASSERT_TRUE(ui::WaitUntil([&] { return ::IsIconic(background) != FALSE; }, 5000));
  ::Sleep(500);
  Shot(nullptr, "setup_background_minimised");
  ::ShowWindow(background, SW_RESTORE);
  ASSERT_TRUE(ui::WaitUntil([&] { return ::IsZoomed(background) != FALSE; }, 5000)) << "maximised again";
  EXPECT_TRUE(ui::WaitUntil([&] { return Shown(background) == "square.jpg"; }, 5000)) << Shown(background);
  EXPECT_NE(run.WaitPage(Page::Welcome, 5000), nullptr) << "the page is back too";
}

TEST_F(Background, ThreePicturesAndABrokenFileTakeTurnsEveryTick) {
  Medium medium;
  medium.pictures = {"square.jpg", "wide.jpg", "classic.jpg"};
  HWND background = Start(medium, true);
  ASSERT_NE(background, nullptr);
  const std::vector<std::string> order = ListedPictures();
  ASSERT_EQ(order.size(), 4u) << "three pictures and broken.jpg";
  auto expected = [](const std::string& name) { return name == "broken.jpg" ? std::string("teal") : name; };

  ui::WaitUntil([&] { return Shown(background) == expected(order[0]); }, ui::kPaintTimeout);
  EXPECT_EQ(Shown(background), expected(order[0])) << "the first picture found is shown first";
  Shot(nullptr, "setup_background_" + expected(order[0]));
  for (size_t step = 1; step <= order.size(); ++step) {
    const std::string before = Shown(background);
    const std::string want = expected(order[step % order.size()]);
    ASSERT_TRUE(ui::WaitUntil([&] { return Shown(background) != before; }, 8000)) << "tick " << step;
    // The first change seen may be a picture half on screen.
    ui::WaitUntil([&] { return Shown(background) == want; }, ui::kPaintTimeout);
    EXPECT_EQ(Shown(background), want) << "tick " << step;
    if (step < order.size()) Shot(nullptr, "setup_background_" + want);
    if (want == "wide.jpg") {
      // 16:9: y 96 to 671 over the full width, white bands above and below.
      ExpectPixel(background, 100, 95, kWhite, true);
      ExpectPixel(background, 100, 96, kGreen, false);
      ExpectPixel(background, 100, 671, kGreen, false);
      ExpectPixel(background, 100, 672, kWhite, true);
      ExpectPixel(background, 0, 300, kGreen, false);
      ExpectPixel(background, 0, 50, kFrame, true);
    } else if (want == "classic.jpg") {
      ExpectPixel(background, 5, 5, kBlue, false);
      ExpectPixel(background, 1000, 760, kBlue, false);
    } else if (want == "teal") {
      ExpectPixel(background, 900, 700, kTeal, true);
    }
  }
}

// The fit follows the picture's size in pixels: a 4:3 picture covers the
// whole canvas, its last column and row included, and a 16:9 one lies at
// y 96 to 671. (Taken from the sizes in HIMETRIC, rounded at 96 dpi, a
// 1024 x 768 picture was drawn 1023 wide and 800 x 600 767 high, leaving the
// frame's grey column or row; 1280 x 720 was drawn 575 high.)
TEST_F(Background, PicturesOfFourToThreeCoverTheCanvasToItsEdges) {
  for (const char* size : {"1024x768", "800x600", "640x480"}) {
    SCOPED_TRACE(size);
    Medium medium;
    medium.pictures = {std::string("edge-") + size + ".jpg"};
    HWND background = Start(medium);
    ASSERT_NE(background, nullptr);
    ExpectCoversTheDesktop(background);
    for (const POINT p : {POINT{1023, 300}, POINT{0, 300}, POINT{500, 767}, POINT{500, 0}, POINT{1023, 767},
                          POINT{0, 0}})
      ExpectPixel(background, p.x, p.y, kOrange, false);
    run.Kill();
  }
}

TEST_F(Background, ASixteenToNinePictureOf1280x720LiesAtY96With576Rows) {
  Medium medium;
  medium.pictures = {"edge-1280x720.jpg"};
  HWND background = Start(medium);
  ASSERT_NE(background, nullptr);
  ExpectPixel(background, 500, 95, kWhite, true);
  ExpectPixel(background, 500, 96, kOrange, false);
  ExpectPixel(background, 500, 671, kOrange, false);
  ExpectPixel(background, 500, 672, kWhite, true);
  ExpectPixel(background, 0, 300, kOrange, false);
  ExpectPixel(background, 1023, 300, kOrange, false);
}

}  // namespace
