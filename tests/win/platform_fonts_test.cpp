// The prefix the programs run in has the device's face: Tahoma, regular and
// bold, as TrueType (not a substitute under its name).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

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

}  // namespace
