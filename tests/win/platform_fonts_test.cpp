// The prefix the programs run in has the device's face: Tahoma, regular and
// bold, as TrueType (not a substitute under its name), drawn as the device
// draws it: unsmoothed, each glyph as wide as it is measured, bold heavier.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Found {
    LONG weight;
    bool trueType = false;
};

int CALLBACK OnFace(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM param)
{
    Found* found = (Found*)param;
    if (font->lfWeight == found->weight && (type & TRUETYPE_FONTTYPE))
        found->trueType = true;
    return 1;
}

TEST(DeviceFont, TahomaIsInThePrefix)
{
    for (LONG weight : {FW_NORMAL, FW_BOLD}) {
        SCOPED_TRACE(weight);
        HDC dc = GetDC(NULL);
        LOGFONTW wanted = {};
        wanted.lfCharSet = DEFAULT_CHARSET;
        lstrcpyW(wanted.lfFaceName, L"Tahoma");
        Found found = {weight};
        EnumFontFamiliesExW(dc, &wanted, OnFace, (LPARAM)&found, 0);
        EXPECT_TRUE(found.trueType) << "no TrueType Tahoma of this weight";

        HFONT font = CreateFontW(-11, 0, 0, 0, weight, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Tahoma");
        HGDIOBJ old = SelectObject(dc, font);
        wchar_t face[LF_FACESIZE] = L"";
        GetTextFaceW(dc, LF_FACESIZE, face);
        EXPECT_EQ(std::wstring(face), L"Tahoma");
        SelectObject(dc, old);
        DeleteObject(font);
        ReleaseDC(NULL, dc);
    }
}

// A word drawn in black on white into a 32-bit bitmap.
struct Drawn {
    std::vector<DWORD> pixels;
    int ink = 0;     // pixels not white
    int shades = 0;  // pixels neither white nor black: smoothing
    int width = 0;   // the extent measured
};

Drawn Draw(const wchar_t* face, int height, LONG weight, const wchar_t* word, bool measuredPlaces)
{
    const int w = 400, h = 80;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(info.bmiHeader), w, -h, 1, 32};
    HDC dc = CreateCompatibleDC(NULL);
    DWORD* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void**)&bits, NULL, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    std::fill(bits, bits + w * h, 0xFFFFFF);
    HFONT font = CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
        OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    const int length = lstrlenW(word);
    // Placed by the measured widths, as edit fields and Uniscribe place them.
    std::vector<INT> ends(length), dx(length);
    SIZE size = {};
    GetTextExtentExPointW(dc, word, length, 0, NULL, ends.data(), &size);
    for (int i = 0; i < length; ++i)
        dx[i] = ends[i] - (i ? ends[i - 1] : 0);
    ExtTextOutW(dc, 2, 2, 0, NULL, word, length, measuredPlaces ? dx.data() : NULL);
    Drawn drawn;
    drawn.pixels.assign(bits, bits + w * h);
    drawn.width = size.cx;
    for (DWORD p : drawn.pixels) {
        drawn.ink += (p & 0xFFFFFF) != 0xFFFFFF;
        drawn.shades += (p & 0xFFFFFF) != 0xFFFFFF && (p & 0xFFFFFF) != 0;
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    return drawn;
}

int ScreenDpi()
{
    HDC screen = GetDC(NULL);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(NULL, screen);
    return dpi;
}

TEST(DeviceFont, WordsAreDrawnAsTheDeviceDrawsThem)
{
    if (const char* expected = getenv("SORVINTA_EXPECT_DPI"))
        ASSERT_EQ(ScreenDpi(), atoi(expected));
    const int dpi = ScreenDpi();
    // The dialogs' 8 points, the lists' 9.6 and the soft keys' 9, the navigation bar's 15 px.
    const int heights[] = {-MulDiv(8, dpi, 72), -(96 * dpi / 720), -MulDiv(9, dpi, 72), -MulDiv(15, dpi, 96)};
    const wchar_t* words[] = {L"Сообщения", L"Настройки", L"О проекте", L"Привет", L"Отправить", L"ok"};
    for (int height : heights)
        for (const wchar_t* word : words)
            for (LONG weight : {FW_NORMAL, FW_BOLD}) {
                SCOPED_TRACE(testing::Message() << height << " " << weight);
                const Drawn own = Draw(L"Tahoma", height, weight, word, false);
                // Otherwise the letters of a word sit unevenly wherever text is placed by its measure.
                EXPECT_TRUE(own.pixels == Draw(L"Tahoma", height, weight, word, true).pixels)
                    << "drawn otherwise than measured";
                EXPECT_EQ(own.shades, 0) << "smoothed";
                // The About box asks for "MS Sans Serif", which the device maps to Tahoma.
                const Drawn about = Draw(L"MS Sans Serif", height, weight, word, false);
                EXPECT_EQ(about.width, own.width);
                EXPECT_EQ(about.shades, 0);
                if (weight == FW_BOLD)
                    EXPECT_GT(own.ink * 4, Draw(L"Tahoma", height, FW_NORMAL, word, false).ink * 5)
                        << "bold hardly heavier than regular";
            }
}

}  // namespace
