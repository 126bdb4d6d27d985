// The compiled resource script, read back from the test program (which links
// the same resource object as Sorvinta.exe).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "support/win_test_support.h"

namespace {

HINSTANCE Instance()
{
    return GetModuleHandleW(NULL);
}

std::vector<BYTE> ResourceBytes(LPCWSTR type, UINT id)
{
    HRSRC found = FindResourceW(Instance(), MAKEINTRESOURCEW(id), type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(Instance(), found);
    const BYTE* data = (const BYTE*)LockResource(loaded);
    return std::vector<BYTE>(data, data + SizeofResource(Instance(), found));
}

std::vector<BYTE> Words(std::initializer_list<WORD> words)
{
    std::vector<BYTE> bytes;
    for (WORD w : words) {
        bytes.push_back(LOBYTE(w));
        bytes.push_back(HIBYTE(w));
    }
    return bytes;
}

std::wstring LoadText(UINT id)
{
    wchar_t text[260] = L"";
    LoadStringW(Instance(), id, text, 260);
    return text;
}

// ---------------------------------------------------------------- strings

TEST(ResourceStrings, EveryStringAsTheProgramShowsIt)
{
    const struct {
        UINT id;
        const wchar_t* text;
    } cases[] = {
        {IDS_APP_TITLE, L"Sorvinta"},
        {IDS_WINDOW_CLASS, L"SORVINTA"},
        {IDS_SAVE, L"Сохранить"},
        {IDS_SEND, L"Отправить"},
        {IDS_CLOSE, L"Закрыть"},
        {IDS_SECTION, L"Раздел"},
        {IDS_MENU, L"Меню"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LoadText(c.id), c.text) << "string " << c.id;
}

TEST(ResourceStrings, NoOtherStringsInTheirBlocks)
{
    for (UINT id : {0u, 5u, 6u, 15u, 100u, 101u, 105u, 111u})
        EXPECT_EQ(LoadText(id), L"") << "string " << id;
}

// ------------------------------------------------------- menu-bar records

TEST(ResourceMenuBars, RecordsAreByteExact)
{
    const WORD none = 0xFFFE, noPopup = 0xFFFF, enabled = TBSTATE_ENABLED;
    const WORD dropDown = 0x18, autoSize = 0x10;
    const struct {
        UINT id;
        std::vector<BYTE> expected;
    } cases[] = {
        {IDR_MAIN,
            Words({102, 2, none, 40000, enabled, dropDown, 103, 0, 1, none, 40001, enabled, dropDown, 104, 0,
                0})},
        {IDR_ABOUT_BAR, Words({139, 1, none, 110, enabled, autoSize, 102, 0, noPopup})},
        {IDR_SETTINGS_BAR,
            Words({142, 2, none, 110, enabled, autoSize, 102, 0, noPopup, none, 111, enabled, autoSize, 3, 0,
                noPopup})},
        {IDR_SEND_BAR,
            Words({143, 2, none, 110, enabled, autoSize, 102, 0, noPopup, none, 112, enabled, autoSize, 4, 0,
                noPopup})},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResourceBytes((LPCWSTR)RT_RCDATA, c.id), c.expected) << "menu-bar record " << c.id;
}

TEST(ResourceMenuBars, HighResolutionMarkerIsOne)
{
    HRSRC found = FindResourceW(Instance(), L"HI_RES_AWARE", L"CEUX");
    ASSERT_NE(found, (HRSRC)NULL);
    ASSERT_EQ(SizeofResource(Instance(), found), 2u);
    const WORD* value = (const WORD*)LockResource(LoadResource(Instance(), found));
    EXPECT_EQ(*value, 1);
}

// ------------------------------------------------------------------ menus

struct ItemExpectation {
    UINT id;
    const wchar_t* caption;
    bool checked;
};

struct MenuItemFacts {
    UINT id = 0;
    std::wstring caption;
    UINT state = 0;
    UINT type = 0;
    HMENU popup = NULL;
};

MenuItemFacts ItemAt(HMENU menu, int position)
{
    wchar_t text[260] = L"";
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_FTYPE | MIIM_SUBMENU;
    info.dwTypeData = text;
    info.cch = 260;
    MenuItemFacts facts;
    if (!GetMenuItemInfoW(menu, position, TRUE, &info))
        return facts;
    facts.id = info.wID;
    facts.caption = text;
    facts.state = info.fState;
    facts.type = info.fType;
    facts.popup = info.hSubMenu;
    return facts;
}

// Where the item stands: found by its command, or, for the caption-only items
// of a bar whose keys carry the commands, by its caption below the last one.
int PositionOf(HMENU menu, const ItemExpectation& item, int above)
{
    if (item.id != 0)
        return MenuItemPosition(menu, item.id);
    for (int i = above + 1; i < GetMenuItemCount(menu); ++i) {
        if (ItemAt(menu, i).caption == item.caption)
            return i;
    }
    return -1;
}

// Each expected item, found by its command, in this order from the top (an
// item added between them is no concern of these rows).
void ExpectItems(HMENU menu, const std::vector<ItemExpectation>& expected, const char* what)
{
    int above = -1;
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(std::string(what) + " item " + std::to_string(i));
        const int position = PositionOf(menu, expected[i], above);
        ASSERT_GT(position, above) << "missing, or out of order";
        above = position;
        const MenuItemFacts item = ItemAt(menu, position);
        EXPECT_EQ(item.id, expected[i].id);
        EXPECT_EQ(item.caption, expected[i].caption);
        EXPECT_EQ((item.state & MFS_CHECKED) != 0, expected[i].checked);
        EXPECT_EQ(item.state & (MFS_DISABLED | MFS_GRAYED), 0u);
        EXPECT_EQ(item.type & MFT_SEPARATOR, 0u);
        EXPECT_EQ(item.popup, (HMENU)NULL);
    }
}

class ResourceMenus : public ::testing::Test {
protected:
    HMENU Load(UINT id)
    {
        HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(id));
        if (menu)
            m_menus.push_back(menu);
        return menu;
    }
    void TearDown() override
    {
        for (HMENU menu : m_menus)
            DestroyMenu(menu);
    }

private:
    std::vector<HMENU> m_menus;
};

TEST_F(ResourceMenus, MainMenuHasTheTwoSoftKeyPopups)
{
    HMENU menu = Load(IDR_MAIN);
    ASSERT_NE(menu, (HMENU)NULL);
    ASSERT_EQ(GetMenuItemCount(menu), 2);
    const MenuItemFacts main = ItemAt(menu, 0);
    const MenuItemFacts section = ItemAt(menu, 1);
    EXPECT_EQ(main.caption, L"Меню");
    EXPECT_EQ(section.caption, L"Раздел");
    ASSERT_NE(main.popup, (HMENU)NULL);
    ASSERT_NE(section.popup, (HMENU)NULL);

    ExpectItems(main.popup,
        {{IDM_CONNECT, L"Подключиться", false}, {IDM_MY_PAGE, L"Моя страница", false},
            {IDM_FRIENDS, L"Друзья", false}, {IDM_STATUS, L"Статус", false},
            {IDM_MESSAGES, L"Сообщения", false}, {IDM_SETTINGS, L"Настройки", false},
            {IDM_MINIMISE, L"Свернуть программу", false}, {IDM_ABOUT, L"О программе", false},
            {IDM_EXIT, L"Выход", false}},
        "main pop-up");
    ExpectItems(section.popup,
        {{IDM_REFRESH, L"Обновить", false}, {IDM_ALL_ONLINE, L"Все/Онлайн", true},
            {IDM_SECTION_MESSAGE, L"Сообщение", false}, {IDM_CONTACTS, L"Контакты", false},
            {IDM_DELETE_CONTACT, L"Удалить контакт", false}, {IDM_CLEAR_LIST, L"Очистить список", false}},
        "section pop-up");
}

TEST_F(ResourceMenus, ContextMenuIsPopupZeroTitledPopup)
{
    HMENU menu = Load(IDR_LIST_CONTEXT);
    ASSERT_NE(menu, (HMENU)NULL);
    ASSERT_EQ(GetMenuItemCount(menu), 1);
    const MenuItemFacts popup = ItemAt(menu, 0);
    EXPECT_EQ(popup.caption, L"POPUP");
    ASSERT_NE(popup.popup, (HMENU)NULL);
    ExpectItems(popup.popup,
        {{IDM_CTX_REFRESH, L"Обновить", false}, {IDM_CTX_ONLINE_ALL, L"Онлайн/всех", true},
            {IDM_CTX_MESSAGE, L"Сообщение", false}, {IDM_CTX_CLEAR, L"Очистить список", false},
            {IDM_CTX_DELETE, L"Удалить", false}},
        "context pop-up");
}

TEST_F(ResourceMenus, DialogBarMenus)
{
    const struct {
        UINT id;
        std::vector<ItemExpectation> items;
    } cases[] = {
        {IDR_ABOUT_BAR, {{IDM_ABOUT_BAR_CLOSE, L"Закрыть", false}}},
        {IDR_SETTINGS_BAR,
            {{IDM_SETTINGS_BAR_CLOSE, L"Закрыть", false}, {IDM_SETTINGS_BAR_SAVE, L"Сохранить", false}}},
        {IDR_SEND_BAR, {{0, L"Закрыть", false}, {0, L"Отправить", false}}},
    };
    for (const auto& c : cases) {
        HMENU menu = Load(c.id);
        ASSERT_NE(menu, (HMENU)NULL) << "menu " << c.id;
        ExpectItems(menu, c.items, ("menu " + std::to_string(c.id)).c_str());
    }
}

// ----------------------------------------------------------- accelerators

TEST(ResourceAccelerators, CtrlAGivesSelectAll)
{
    HACCEL table = LoadAcceleratorsW(Instance(), MAKEINTRESOURCEW(IDA_MAIN));
    ASSERT_NE(table, (HACCEL)NULL);
    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableW(table, entries, 4), 1);
    EXPECT_EQ(entries[0].key, 'A');
    EXPECT_EQ(entries[0].cmd, IDM_SELECT_ALL);
    EXPECT_EQ(entries[0].fVirt & ~0x80, FVIRTKEY | FCONTROL | FNOINVERT);
    DestroyAcceleratorTable(table);
}

// ------------------------------------------------------------------- icon

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colours;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(ResourceIcon, GroupHoldsEverySizeAndDepth)
{
    const std::vector<BYTE> group = ResourceBytes((LPCWSTR)RT_GROUP_ICON, IDI_SORVINTA);
    ASSERT_GE(group.size(), 6u);
    const WORD* header = (const WORD*)group.data();
    EXPECT_EQ(header[1], 1);  // icons, not cursors
    const WORD count = header[2];
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
    const GroupIconEntry* entries = (const GroupIconEntry*)(group.data() + 6);

    const struct {
        int size;
        int bits;
    } expected[] = {{16, 4}, {16, 8}, {24, 8}, {24, 32}, {32, 8}, {32, 32}, {48, 8}, {48, 32}};
    ASSERT_EQ(count, sizeof(expected) / sizeof(expected[0]));
    for (const auto& e : expected) {
        int matches = 0;
        for (WORD i = 0; i < count; ++i) {
            if (entries[i].width == e.size && entries[i].height == e.size && entries[i].bitCount == e.bits) {
                ++matches;
                EXPECT_EQ(entries[i].planes, 1);
                // The image itself is there and is a DIB of that size and depth.
                const std::vector<BYTE> image = ResourceBytes((LPCWSTR)RT_ICON, entries[i].id);
                ASSERT_EQ(image.size(), entries[i].bytes);
                const BITMAPINFOHEADER* dib = (const BITMAPINFOHEADER*)image.data();
                EXPECT_EQ(dib->biWidth, e.size);
                EXPECT_EQ(dib->biHeight, 2 * e.size);
                EXPECT_EQ(dib->biBitCount, e.bits);
            }
        }
        EXPECT_EQ(matches, 1) << e.size << "x" << e.size << " at " << e.bits << " bpp";
    }
}

TEST(ResourceIcon, LoadsAtEachSize)
{
    for (int size : {16, 24, 32, 48}) {
        HICON icon = (HICON)LoadImageW(Instance(), MAKEINTRESOURCEW(IDI_SORVINTA), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, (HICON)NULL) << size;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP bitmap = {};
        GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, size);
        if (info.hbmColor)
            DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

// ---------------------------------------------------------------- dialogs

// What a dialog template says about itself, from either template format.
struct TemplateFacts {
    DWORD style = 0;
    DWORD exStyle = 0;
    int controls = 0;
    int cx = 0;
    int cy = 0;
    std::wstring caption;
    int pointSize = 0;
    std::wstring face;
};

const WORD* SkipSzOrOrd(const WORD* p)
{
    if (*p == 0xFFFF)
        return p + 2;
    while (*p)
        ++p;
    return p + 1;
}

TemplateFacts ReadTemplate(const std::vector<BYTE>& bytes)
{
    TemplateFacts facts;
    const WORD* p = (const WORD*)bytes.data();
    const bool extended = p[0] == 1 && p[1] == 0xFFFF;
    if (extended) {
        facts.exStyle = *(const DWORD*)(p + 4);
        facts.style = *(const DWORD*)(p + 6);
        facts.controls = p[8];
        facts.cx = (short)p[11];
        facts.cy = (short)p[12];
        p += 13;
    } else {
        facts.style = *(const DWORD*)p;
        facts.exStyle = *(const DWORD*)(p + 2);
        facts.controls = p[4];
        facts.cx = (short)p[7];
        facts.cy = (short)p[8];
        p += 9;
    }
    p = SkipSzOrOrd(p);  // menu
    p = SkipSzOrOrd(p);  // class
    facts.caption = (const wchar_t*)p;
    p += facts.caption.size() + 1;
    if (facts.style & DS_SETFONT) {
        facts.pointSize = p[0];
        p += extended ? 3 : 1;  // weight, italic and charset in the extended form
        facts.face = (const wchar_t*)p;
    }
    return facts;
}

INT_PTR CALLBACK QuietDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

TEST(ResourceDialogs, TemplatesAsDescribed)
{
    const DWORD popupCaption = WS_POPUP | WS_CAPTION;
    const struct {
        UINT id;
        const wchar_t* caption;
        int cx, cy;
        DWORD style;  // bits that must be set
        DWORD exStyle;
        int controls;
        const wchar_t* face;
    } cases[] = {
        {IDD_SETTINGS, L"Настройки", 156, 177, popupCaption | WS_SYSMENU | DS_SETFONT | DS_FIXEDSYS, 0, 0,
            L"MS Shell Dlg"},
        {IDD_ABOUT, L"О проекте Sorvinta", 156, 129, popupCaption | DS_SETFONT, 0x80000000, 3,
            L"MS Sans Serif"},
        {IDD_MESSAGE, L"Отправить сообщение", 156, 177, popupCaption | WS_SYSMENU | DS_SETFONT, 0, 0,
            L"MS Shell Dlg"},
        {IDD_STATUS, L"Статус", 156, 177, popupCaption | WS_SYSMENU | DS_SETFONT, 0, 0, L"MS Shell Dlg"},
        {IDD_MY_PAGE, L"Моя страница", 156, 177, popupCaption | WS_SYSMENU | DS_SETFONT, 0, 0,
            L"MS Shell Dlg"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("dialog " + std::to_string(c.id));
        const std::vector<BYTE> bytes = ResourceBytes((LPCWSTR)RT_DIALOG, c.id);
        ASSERT_FALSE(bytes.empty());
        const TemplateFacts facts = ReadTemplate(bytes);
        EXPECT_EQ(facts.caption, c.caption);
        EXPECT_EQ(facts.cx, c.cx);
        EXPECT_EQ(facts.cy, c.cy);
        EXPECT_EQ(facts.style & c.style, c.style);
        EXPECT_EQ(facts.exStyle, c.exStyle);
        EXPECT_EQ(facts.controls, c.controls);
        EXPECT_EQ(facts.pointSize, 8);
        EXPECT_EQ(facts.face, c.face);

        HWND dialog
            = CreateDialogIndirectParamW(Instance(), (LPCDLGTEMPLATEW)bytes.data(), NULL, QuietDialogProc, 0);
        ASSERT_NE(dialog, (HWND)NULL);
        EXPECT_EQ(WindowText(dialog), c.caption);
        EXPECT_EQ(GetWindow(dialog, GW_CHILD) != NULL, c.controls > 0);
        DestroyWindow(dialog);
    }
}

TEST(ResourceDialogs, AboutBoxControls)
{
    const std::vector<BYTE> bytes = ResourceBytes((LPCWSTR)RT_DIALOG, IDD_ABOUT);
    HWND dialog
        = CreateDialogIndirectParamW(Instance(), (LPCDLGTEMPLATEW)bytes.data(), NULL, QuietDialogProc, 0);
    ASSERT_NE(dialog, (HWND)NULL);

    HWND icon = GetDlgItem(dialog, IDC_ABOUT_ICON);
    ASSERT_NE(icon, (HWND)NULL);
    EXPECT_EQ(_wcsicmp(ClassName(icon).c_str(), L"Static"), 0);
    const LONG iconStyle = GetWindowLongW(icon, GWL_STYLE);
    EXPECT_EQ(iconStyle & SS_TYPEMASK, SS_ICON);
    EXPECT_TRUE(iconStyle & SS_REALSIZEIMAGE);
    EXPECT_TRUE(iconStyle & WS_VISIBLE);
    HICON shown = (HICON)SendMessageW(icon, STM_GETICON, 0, 0);
    ASSERT_NE(shown, (HICON)NULL) << "icon 101 is shown";
    // At its own size: the 32 x 32 image, which fills the 20 x 20 unit box.
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(shown, &info));
    BITMAP bitmap = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(bitmap.bmWidth, 32);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    RECT units = {12, 12, 12 + 20, 12 + 20};
    MapDialogRect(dialog, &units);
    RECT placed = WindowRect(icon);
    MapWindowPoints(NULL, dialog, (POINT*)&placed, 2);
    EXPECT_EQ(placed.left, units.left);
    EXPECT_EQ(placed.top, units.top);

    HWND version = GetDlgItem(dialog, IDC_ABOUT_VERSION);
    ASSERT_NE(version, (HWND)NULL);
    EXPECT_EQ(WindowText(version).rfind(L"Sorvinta", 0), 0u);

    // The notice fits its 66 x 8 box in the dialog's own font.
    HWND notice = GetDlgItem(dialog, IDC_ABOUT_NOTICE);
    ASSERT_NE(notice, (HWND)NULL);
    const std::wstring text = WindowText(notice);
    ASSERT_FALSE(text.empty());
    const LONG noticeStyle = GetWindowLongW(notice, GWL_STYLE);
    EXPECT_EQ(noticeStyle & SS_TYPEMASK, SS_LEFT);
    EXPECT_TRUE(noticeStyle & WS_GROUP);
    RECT box = {12, 48, 12 + 66, 48 + 8};
    MapDialogRect(dialog, &box);
    RECT noticeRect = WindowRect(notice);
    MapWindowPoints(NULL, dialog, (POINT*)&noticeRect, 2);
    EXPECT_EQ(noticeRect.left, box.left);
    EXPECT_EQ(noticeRect.top, box.top);
    EXPECT_EQ(noticeRect.right - noticeRect.left, box.right - box.left);
    HDC dc = GetDC(notice);
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(dialog, WM_GETFONT, 0, 0));
    SIZE extent = {};
    GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &extent);
    SelectObject(dc, old);
    ReleaseDC(notice, dc);
    EXPECT_LE(extent.cx, box.right - box.left) << "notice too long for its box";
    DestroyWindow(dialog);
}

}  // namespace
