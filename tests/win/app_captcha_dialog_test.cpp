// The captcha dialog with a real picture (drawn by the emulator's libgd code
// and kept here as bytes): the pixels it shows, what it hands back, and a
// broken picture that opens nothing.
#include "app_window_fixture.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/captcha_dialog.h"
#include "net/captcha.h"
#include "resources/resource.h"
#include "ui/dpi.h"

namespace {

using namespace apptest;

// "K7X4PM" in black on white with grey noise, 150 x 30: 225 black pixels,
// all within columns 25..122 and rows 8..20, and 393 grey ones.
const char kCaptchaGif[]
    = "\x47\x49\x46\x38\x37\x61\x96\x00\x1E\x00\x91\x00\x00\xFF\xFF\xFF\x00\x00\x00\xA0\xA0\xA0\x00\x00"
      "\x00\x2C\x00\x00\x00\x00\x96\x00\x1E\x00\x00\x02\xFE\x14\x8E\xA9\x69\xEB\x0F\x5D\x8B\xB4\x5A\x2A"
      "\xE6\xDD\x51\xF3\x0F\x76\x4C\x48\x96\xA3\x69\x7A\xA8\xA2\xAE\x2E\xFB\x56\xAD\x14\x23\x73\x8D\x1F"
      "\x77\xBE\xED\x8F\x2F\xE3\x01\x2F\x99\xA2\xCF\x30\xE4\xA5\x94\xBD\x92\xF1\x59\x64\x5A\x5A\xC9\xE9"
      "\xA7\x2A\x85\x3E\x75\x56\x0E\x36\xE7\xB9\x25\xBF\x9C\x40\x40\x27\x30\x6B\x55\x6C\xE9\xC3\x0C\x37"
      "\x53\xE4\x0D\x39\x8D\x44\x46\xD8\x01\xFB\xC5\x3A\xCA\x15\xD3\xE7\xD7\x37\xA8\x00\x77\x00\xF7\x95"
      "\x77\x61\x67\xB8\x10\x17\x07\xF0\x07\xF8\x81\x18\x51\x78\x06\x11\x79\xE9\x66\x25\xF7\x18\xE8\x10"
      "\x9A\x78\x56\xA4\xB6\x05\xD9\xF9\xA6\x69\x40\xCA\x17\x90\x76\xF6\xEA\xA9\x1A\xEA\xF3\x9A\xE9\xF7"
      "\xA4\x46\xCB\xA9\xB9\x39\x2B\x5C\xBB\x21\x09\x42\x0B\x5B\x5A\xE1\x18\x4B\x79\x2B\x9A\x0C\x0A\x8C"
      "\x93\x27\x4D\xA4\x6C\x61\x8C\x09\xEC\xDB\xBC\xA6\x9A\x80\xDC\xB5\xC2\x5C\x3C\x0D\x7D\x78\xCE\xCA"
      "\xB9\xDD\xC1\xEB\x2D\x4B\x8C\x81\x9D\xBC\x1C\xFB\x33\xAA\x6E\x3F\xA7\x1F\x1C\x0E\x9F\xEA\x07\x23"
      "\x74\x7A\xEE\xD1\x83\x51\xCF\x9C\x9A\x32\xFD\x0A\x32\xFC\x07\x81\x52\x86\x20\x6E\x16\x9A\x3B\xB8"
      "\xCF\x8F\x3C\x56\x0C\x01\x81\x0C\x4C\x87\x0F\x9C\xC3\x8D\x22\x48\xAE\x18\xE8\x6A\x9A\x21\x89\x2C"
      "\x5B\xBA\x7C\x09\x33\xA6\xCC\x99\x2F\x11\x2E\x91\xA7\x01\x89\x90\x2B\x20\xC2\xD8\x34\x19\x43\x27"
      "\xD0\xA1\x44\x29\x0E\x45\x59\x34\xC4\xC7\x79\x2E\x96\x9E\x48\x5A\xC3\x29\x18\x8D\x4D\xA1\x5A\x6D"
      "\x72\x35\xCB\xC9\x9F\x54\x77\x66\xB5\x11\xF4\xAA\xD4\x3B\x45\x7D\x14\x00\x00\x3B";

std::string CaptchaGif()
{
    return std::string(kCaptchaGif, sizeof(kCaptchaGif) - 1);
}

const DWORD kWaitMs = 30000;

HWND FindCaptchaDialog()
{
    HWND dialog = FindProcessWindow(L"#32770");
    return dialog && IsWindowVisible(dialog) && WindowText(dialog) == L"Captcha" ? dialog : NULL;
}

struct Shown {
    int width = 0, height = 0;
    int black = 0, grey = 0;
    RECT ink = {1000, 1000, -1, -1};
    bool barOwned = false;
    std::wstring refusal;
};

// Reads the bitmap the picture control shows, pixel by pixel.
void ReadPicture(HWND dialog, Shown& shown)
{
    HBITMAP bitmap = (HBITMAP)SendDlgItemMessageW(dialog, IDC_CAPTCHA_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0);
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info))
        return;
    shown.width = info.bmWidth;
    shown.height = info.bmHeight;
    BITMAPINFO format = {};
    format.bmiHeader.biSize = sizeof(format.bmiHeader);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight;  // top-down
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(info.bmWidth * info.bmHeight);
    HDC dc = GetDC(NULL);
    GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(NULL, dc);
    for (int y = 0; y < info.bmHeight; ++y)
        for (int x = 0; x < info.bmWidth; ++x) {
            const DWORD p = pixels[y * info.bmWidth + x] & 0xFFFFFF;
            if (p == 0) {
                ++shown.black;
                shown.ink.left = std::min(shown.ink.left, (LONG)x);
                shown.ink.top = std::min(shown.ink.top, (LONG)y);
                shown.ink.right = std::max(shown.ink.right, (LONG)x);
                shown.ink.bottom = std::max(shown.ink.bottom, (LONG)y);
            } else if (p == 0xA0A0A0) {
                ++shown.grey;
            }
        }
}

class CaptchaDialogTest : public MainWindowTest {
protected:
    // Opens the prompt through the main window as the login worker does;
    // act runs on a second thread once the dialog shows.
    bool Prompt(CaptchaPrompt& prompt, const std::function<void(HWND)>& act)
    {
        std::atomic<bool> seen {false};
        std::thread driver([&] {
            HWND dialog = WaitForWindow(FindCaptchaDialog, kWaitMs);
            if (!dialog)
                return;
            seen = true;
            act(dialog);
        });
        SendMessageW(window, WM_CAPTCHA_PROMPT, 0, (LPARAM)&prompt);
        driver.join();
        return seen;
    }
};

TEST_F(CaptchaDialogTest, ShowsThePictureScaledAndHandsBackTheTypedCode)
{
    CaptchaPrompt prompt;
    prompt.picture = CaptchaGif();
    prompt.code[0] = '\0';
    Shown shown;
    ASSERT_TRUE(Prompt(prompt, [&](HWND dialog) {
        ReadPicture(dialog, shown);
        shown.barOwned = GetWindow(g_menuBar, GW_OWNER) == dialog;
        // "Отправить" with nothing typed keeps the dialog open, and so does a
        // code the code page cannot carry, naming its character.
        SendMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        if (!IsWindowVisible(dialog))
            return;
        SetDlgItemTextW(dialog, IDC_CAPTCHA_CODE, L"k7ä4");
        SendMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
        if (!IsWindowVisible(dialog))
            return;
        shown.refusal = WindowText(GetDlgItem(dialog, IDC_CAPTCHA_LABEL));
        SetDlgItemTextW(dialog, IDC_CAPTCHA_CODE, L"k7x4pm");
        PostMessageW(dialog, WM_COMMAND, IDM_BAR_SEND, 0);
    }));
    EXPECT_EQ(CaptchaTyped, prompt.answer);
    EXPECT_STREQ("k7x4pm", prompt.code);
    EXPECT_TRUE(shown.barOwned);
    EXPECT_EQ(L"Нельзя отправить символ «ä»", shown.refusal);

    // Whole pixels of the screen per picture pixel, as ScaleForDpi gives.
    const int scale = SX(150) / 150;
    ASSERT_GE(scale, 1);
    EXPECT_EQ(SX(150), shown.width);
    EXPECT_EQ(SY(30), shown.height);
    EXPECT_EQ(225 * scale * scale, shown.black);
    EXPECT_EQ(393 * scale * scale, shown.grey);
    EXPECT_EQ(25 * scale, shown.ink.left);
    EXPECT_EQ(8 * scale, shown.ink.top);
    EXPECT_EQ(123 * scale - 1, shown.ink.right);
    EXPECT_EQ(21 * scale - 1, shown.ink.bottom);
    EXPECT_EQ(NULL, FindCaptchaDialog());
}

TEST_F(CaptchaDialogTest, CloseAndTheWindowsCloseCancelAndASecondPromptIsRefused)
{
    std::vector<CloseWay> ways(std::begin(CLOSE_WAYS), std::end(CLOSE_WAYS));
    ways.push_back({"Закрыть", WM_COMMAND, IDM_BAR_CLOSE});
    for (const CloseWay& way : ways) {
        SCOPED_TRACE(way.name);
        CaptchaPrompt prompt;
        prompt.picture = CaptchaGif();
        prompt.code[0] = '\0';
        // A second worker asking while the dialog is open gets no dialog of its own.
        CaptchaPrompt second;
        second.picture = CaptchaGif();
        second.answer = CaptchaTyped;
        ASSERT_TRUE(Prompt(prompt, [&](HWND dialog) {
            SendMessageW(window, WM_CAPTCHA_PROMPT, 0, (LPARAM)&second);
            SetDlgItemTextW(dialog, IDC_CAPTCHA_CODE, L"typed");
            PostCloseWay(dialog, way);
        }));
        EXPECT_EQ(CaptchaCancelled, prompt.answer);
        EXPECT_EQ(CaptchaBusy, second.answer);
        EXPECT_EQ(NULL, FindCaptchaDialog());
    }
}

TEST_F(CaptchaDialogTest, ABrokenPictureOpensNoDialog)
{
    const std::string broken[] = {
        CaptchaGif().substr(0, 40),
        "GIF89a" + std::string(200, 'x'),
        std::string("\x89PNG\r\n\x1a\n", 8) + std::string(100, '\0'),
    };
    for (const std::string& bytes : broken) {
        CaptchaPrompt prompt;
        prompt.picture = bytes;
        prompt.answer = CaptchaTyped;
        EXPECT_EQ(0, SendMessageW(window, WM_CAPTCHA_PROMPT, 0, (LPARAM)&prompt));
        EXPECT_EQ(CaptchaUnreadable, prompt.answer) << bytes.size();
        EXPECT_EQ(NULL, FindCaptchaDialog());
    }
}

}  // namespace
