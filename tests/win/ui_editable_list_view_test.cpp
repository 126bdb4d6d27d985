// The editable list on a real "SysListView32": taps posted to the list and
// dispatched as the message loop would, the editors the control makes, the
// change messages its parent receives, and the rows' drawing checked pixel by
// pixel in a memory device context. The program runs this once on the
// default 96-dpi screen and once on a 192-dpi one (SORVINTA_EXPECT_DPI).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/win_test_support.h"
#include "ui/dpi.h"
#include "ui/editable_list_view.h"

namespace {

const int LIST_ID = 1001;
const COLORREF SWATCH = RGB(0x20, 0x80, 0x40);
const COLORREF PICKED = RGB(0x11, 0x22, 0x33);
const COLORREF MARKER = RGB(0xFF, 0x00, 0xFF);
const COLORREF WHITE = RGB(0xFF, 0xFF, 0xFF);
const COLORREF PALE_BLUE = RGB(0xF0, 0xF0, 0xFF);
const COLORREF SEPARATOR = RGB(0xC8, 0xC8, 0xF0);
const COLORREF BLACK = RGB(0, 0, 0);

enum { ROW_TEXT, ROW_NUMBER, ROW_YESNO, ROW_LIST, ROW_COLOUR, ROW_DISABLED, ROW_COUNT };

// A parent window that hands WM_DRAWITEM to the control, answers the colour
// request and records the rest, with the list made in it.
class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent.reset(new MessageRecorder(L"parent", WS_POPUP | WS_VISIBLE, 0, 0, SX(240), SY(320)));
        parent->onMessage = [this](UINT message, WPARAM, LPARAM lParam, LRESULT* result) {
            if (message == WM_DRAWITEM) {
                *result = view.DrawItem((const DRAWITEMSTRUCT*)lParam);
                return true;
            }
            if (message == ELVN_PICKCOLOUR) {
                *result = (LRESULT)PICKED;
                return true;
            }
            return false;
        };
        MakeList(SX(240), SY(300));
    }

    void TearDown() override { parent.reset(); }

    void MakeList(int width, int height)
    {
        if (view.Window())
            DestroyWindow(view.Window());
        ASSERT_TRUE(view.Create(parent->hwnd(), LIST_ID, 0, 0, width, height, L"Да", L"Нет"));
        list = view.Window();
        const wchar_t* const profiles[] = {L"Один", L"Два", L"Три"};
        view.AddTextRow(L"Email:", L"user@mail.ru");
        view.AddNumberRow(L"Время:", 5, L"мин");
        view.AddYesNoRow(L"Подключение:", 1);
        view.AddListRow(L"Профиль:", profiles, 3, 1);
        view.AddColourRow(L"Цвет:", SWATCH);
        view.AddTextRow(L"Выключено:", L"x", false);
        PumpPendingMessages();
        parent->Clear();
    }

    RECT Bounds(int row)
    {
        RECT r = {};
        r.left = LVIR_BOUNDS;
        SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&r);
        return r;
    }

    void Press(int x, int y) { PostMouse(list, WM_LBUTTONDOWN, x, y, MK_LBUTTON), PumpPendingMessages(); }
    void Release(int x, int y) { PostMouse(list, WM_LBUTTONUP, x, y), PumpPendingMessages(); }
    void Tap(int x, int y) { Press(x, y), Release(x, y); }
    void TapRow(int row)
    {
        const RECT r = Bounds(row);
        Tap((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void TapEmpty()
    {
        const RECT r = Bounds(ROW_COUNT - 1);
        Tap(20, r.bottom + 10);
    }
    void Type(const wchar_t* text)
    {
        for (; *text; ++text)
            SendMessageW(view.editor, WM_CHAR, *text, 1);
        PumpPendingMessages();
    }
    void Key(HWND window, UINT key)
    {
        SendMessageW(window, WM_KEYDOWN, key, 1);
        SendMessageW(window, WM_KEYUP, key, 0xC0000001);
        PumpPendingMessages();
    }

    std::wstring EditorClass() { return view.editor ? ClassName(view.editor) : std::wstring(); }

    std::vector<RecordedMessage> Changes(UINT message) { return parent->Of(message); }

    std::unique_ptr<MessageRecorder> parent;
    EditableListView view;
    HWND list = NULL;
};

// ------------------------------------------------------------ the editor

enum Action { TAP_ROW, TAP_EMPTY, KEY_TO_LIST, SCROLL };

struct TapCase {
    const char* name;
    int opened;  // row whose editor is open first, or -1
    Action action;
    int row;              // for TAP_ROW
    int current;          // the current row afterwards
    const wchar_t* kind;  // the editor's class afterwards, or empty
    bool sameEditor;      // the editor that was open stays
};

const TapCase TAP_CASES[] = {
    {"idle, text row", -1, TAP_ROW, ROW_TEXT, ROW_TEXT, L"Edit", false},
    {"idle, number row", -1, TAP_ROW, ROW_NUMBER, ROW_NUMBER, L"Edit", false},
    {"idle, yes/no row", -1, TAP_ROW, ROW_YESNO, ROW_YESNO, L"ComboBox", false},
    {"idle, list row", -1, TAP_ROW, ROW_LIST, ROW_LIST, L"ComboBox", false},
    {"idle, disabled row", -1, TAP_ROW, ROW_DISABLED, -1, L"", false},
    {"idle, empty space", -1, TAP_EMPTY, 0, -1, L"", false},
    {"editing, the same row", ROW_TEXT, TAP_ROW, ROW_TEXT, ROW_TEXT, L"Edit", true},
    {"editing, another row", ROW_TEXT, TAP_ROW, ROW_YESNO, ROW_YESNO, L"ComboBox", false},
    {"editing, yet another row", ROW_LIST, TAP_ROW, ROW_NUMBER, ROW_NUMBER, L"Edit", false},
    {"editing, disabled row", ROW_TEXT, TAP_ROW, ROW_DISABLED, -1, L"", false},
    {"editing, empty space", ROW_NUMBER, TAP_EMPTY, 0, -1, L"", false},
    {"editing, a key", ROW_YESNO, KEY_TO_LIST, 0, -1, L"", false},
    {"editing, scrolling", ROW_TEXT, SCROLL, 0, -1, L"", false},
};

TEST_F(ListViewTest, TapsMoveTheEditorAsTabled)
{
    for (const TapCase& c : TAP_CASES) {
        SCOPED_TRACE(c.name);
        MakeList(SX(240), SY(300));  // a list made again: the first tap must open its editor
        HWND before = NULL;
        if (c.opened >= 0) {
            TapRow(c.opened);
            ASSERT_TRUE(view.editor != NULL);
            before = view.editor;
        }
        switch (c.action) {
        case TAP_ROW: TapRow(c.row); break;
        case TAP_EMPTY: TapEmpty(); break;
        case KEY_TO_LIST: Key(list, VK_DOWN); break;
        case SCROLL: SendMessageW(list, WM_VSCROLL, SB_LINEDOWN, 0); break;
        }
        EXPECT_EQ(c.current, view.currentRow);
        EXPECT_EQ(std::wstring(c.kind), EditorClass());
        if (c.sameEditor)
            EXPECT_EQ(before, view.editor);
        if (before && !c.sameEditor)
            EXPECT_FALSE(IsWindow(before)) << "the old editor is left behind";
        if (view.editor) {
            EXPECT_EQ(list, GetParent(view.editor));
            EXPECT_TRUE(IsWindowVisible(view.editor));
            EXPECT_EQ(view.editor, GetFocus());
            // Over the value half of its row.
            const RECT row = Bounds(c.current);
            RECT editor;
            GetWindowRect(view.editor, &editor);
            MapWindowPoints(NULL, list, (POINT*)&editor, 2);
            EXPECT_EQ(row.left + SX(3), editor.left);
            EXPECT_EQ(row.top + (row.bottom - row.top) / 2, editor.top);
            // A closed drop-down's field too: the next row's caption stays clear.
            EXPECT_LE(editor.bottom, row.bottom) << "the editor reaches into the next row";
        }
    }
}

TEST_F(ListViewTest, TheEditedRowTappedAgainKeepsTextAndCaret)
{
    TapRow(ROW_TEXT);
    ASSERT_TRUE(view.editor != NULL);
    // Opened with everything selected: typing replaces it.
    DWORD start = 1, end = 0;
    SendMessageW(view.editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(12u, end);
    Type(L"new@mail.ru");
    SendMessageW(view.editor, EM_SETSEL, 3, 3);
    HWND editor = view.editor;

    TapRow(ROW_TEXT);
    EXPECT_EQ(editor, view.editor);
    EXPECT_EQ(L"new@mail.ru", WindowText(view.editor));
    SendMessageW(view.editor, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(3u, start);
    EXPECT_EQ(3u, end);
    EXPECT_EQ(std::wstring(L"new@mail.ru"), view.GetText(ROW_TEXT));
}

TEST_F(ListViewTest, KeysReachingTheListAreSwallowed)
{
    Key(list, VK_DOWN);
    Key(list, VK_END);
    EXPECT_EQ(-1, (int)SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED));
    EXPECT_EQ(-1, (int)SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED));
    EXPECT_EQ(0, (int)SendMessageW(list, WM_KEYDOWN, VK_DOWN, 1));
}

TEST_F(ListViewTest, ColourRowAsksTheParentOnlyOnAReleaseInsideIt)
{
    const RECT row = Bounds(ROW_COLOUR);
    const int x = (row.left + row.right) / 2, y = (row.top + row.bottom) / 2;
    Tap(x, y);
    std::vector<RecordedMessage> asked = Changes(ELVN_PICKCOLOUR);
    ASSERT_EQ(1u, asked.size());
    EXPECT_EQ((WPARAM)ROW_COLOUR, asked[0].wParam);
    EXPECT_EQ((LPARAM)SWATCH, asked[0].lParam);
    EXPECT_EQ(PICKED, view.GetColour(ROW_COLOUR));
    EXPECT_EQ(-1, view.currentRow);
    EXPECT_TRUE(view.editor == NULL);

    // Armed, released elsewhere: no question, and the row stays armed ...
    Press(x, y);
    Release(x, row.bottom + 40);
    EXPECT_EQ((int)ROW_COLOUR, view.currentRow);
    // ... so that a further tap on it is ignored,
    Tap(x, y);
    EXPECT_EQ(1u, Changes(ELVN_PICKCOLOUR).size());
    // until another row was tapped.
    TapRow(ROW_TEXT);
    Tap(x, y);
    EXPECT_EQ(2u, Changes(ELVN_PICKCOLOUR).size());
    EXPECT_TRUE(view.editor == NULL);
}

// ------------------------------------------------------ change messages

TEST_F(ListViewTest, TextRowPostsItsTextKeystrokeByKeystroke)
{
    TapRow(ROW_TEXT);
    EXPECT_TRUE(Changes(ELVN_TEXTCHANGED).empty()) << "opening is no change";
    Type(L"ab");
    std::vector<RecordedMessage> changes = Changes(ELVN_TEXTCHANGED);
    ASSERT_EQ(2u, changes.size());
    EXPECT_EQ((WPARAM)ROW_TEXT, changes[1].wParam);
    EXPECT_EQ((LPARAM)view.GetText(ROW_TEXT), changes[1].lParam);
    EXPECT_EQ(std::wstring(L"ab"), view.GetText(ROW_TEXT));

    // At most 259 characters stay.
    SendMessageW(view.editor, WM_SETTEXT, 0, (LPARAM)std::wstring(300, L'я').c_str());
    PumpPendingMessages();
    EXPECT_EQ(std::wstring(259, L'я'), view.GetText(ROW_TEXT));
}

struct NumberCase {
    const wchar_t* typed;
    int stored;
};

TEST_F(ListViewTest, NumberRowStoresWhatAtoiReads)
{
    const NumberCase cases[] = {{L"12abc", 12}, {L"abc", 0}, {L"-3", -3}, {L"", 0}};
    for (const NumberCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::wstring(c.typed).size() << " characters");
        MakeList(SX(240), SY(300));
        TapRow(ROW_NUMBER);
        // The editor holds the number alone; the row shows the suffix.
        EXPECT_EQ(L"5", WindowText(view.editor));
        EXPECT_EQ(std::wstring(L"5 мин"), view.ValueText(ROW_NUMBER));
        SendMessageW(view.editor, WM_CHAR, VK_BACK, 1);  // the selected "5" goes
        Type(c.typed);
        EXPECT_EQ(c.stored, view.GetNumber(ROW_NUMBER));
        std::vector<RecordedMessage> changes = Changes(ELVN_NUMBERCHANGED);
        ASSERT_FALSE(changes.empty());
        EXPECT_EQ((WPARAM)ROW_NUMBER, changes.back().wParam);
        EXPECT_EQ((LPARAM)c.stored, changes.back().lParam);
    }
}

TEST_F(ListViewTest, YesNoRowPostsZeroForNoAndOneForYes)
{
    TapRow(ROW_YESNO);
    ASSERT_EQ(L"ComboBox", EditorClass());
    EXPECT_EQ(2, (int)SendMessageW(view.editor, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0, (int)SendMessageW(view.editor, CB_GETCURSEL, 0, 0));  // "Да" for 1
    Key(view.editor, VK_DOWN);
    Key(view.editor, VK_UP);
    Key(view.editor, VK_DOWN);
    std::vector<RecordedMessage> changes = Changes(ELVN_YESNOCHANGED);
    ASSERT_EQ(3u, changes.size());
    EXPECT_EQ((LPARAM)0, changes[0].lParam);
    EXPECT_EQ((LPARAM)1, changes[1].lParam);
    EXPECT_EQ((LPARAM)0, changes[2].lParam);
    EXPECT_EQ((WPARAM)ROW_YESNO, changes[2].wParam);
    TapEmpty();
    EXPECT_EQ(0, view.GetYesNo(ROW_YESNO));
    EXPECT_EQ(std::wstring(L"Нет"), view.ValueText(ROW_YESNO));
}

TEST_F(ListViewTest, ListRowPostsTheChosenIndex)
{
    TapRow(ROW_LIST);
    ASSERT_EQ(3, (int)SendMessageW(view.editor, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(1, (int)SendMessageW(view.editor, CB_GETCURSEL, 0, 0));
    Key(view.editor, VK_DOWN);
    std::vector<RecordedMessage> changes = Changes(ELVN_LISTCHANGED);
    ASSERT_EQ(1u, changes.size());
    EXPECT_EQ((WPARAM)ROW_LIST, changes[0].wParam);
    EXPECT_EQ((LPARAM)2, changes[0].lParam);
    EXPECT_EQ(2, view.GetListIndex(ROW_LIST));
    EXPECT_EQ(std::wstring(L"Три"), view.ValueText(ROW_LIST));
}

// ------------------------------------------------------ rows as added

TEST_F(ListViewTest, RowsKeepWhatTheyWereGivenAsTabled)
{
    view.AddYesNoRow(L"Два", 2);
    view.AddYesNoRow(L"Три", 3);
    view.AddNumberRow(L"Длинный", 5, L"1234567890123456");
    view.AddNumberRow(L"Пятнадцать", 5, L"123456789012345");
    view.AddNumberRow(L"Без", 7, NULL);
    EXPECT_EQ(0, view.GetYesNo(ROW_COUNT));  // only bit 0 counts
    EXPECT_EQ(1, view.GetYesNo(ROW_COUNT + 1));
    EXPECT_EQ(std::wstring(L"5"), view.ValueText(ROW_COUNT + 2));  // dropped, not cut
    EXPECT_EQ(std::wstring(L"5 123456789012345"), view.ValueText(ROW_COUNT + 3));
    EXPECT_EQ(std::wstring(L"7"), view.ValueText(ROW_COUNT + 4));
    EXPECT_EQ(std::wstring(L"#208040"), view.ValueText(ROW_COLOUR));
    EXPECT_EQ(std::wstring(L"Да"), view.ValueText(ROW_YESNO));
    EXPECT_EQ(std::wstring(L"Два"), view.ValueText(ROW_LIST));

    EXPECT_FALSE(view.IsRowEnabled(ROW_DISABLED));
    EXPECT_TRUE(view.IsRowEnabled(ROW_TEXT));
    view.EnableRow(ROW_DISABLED, true);
    view.EnableRow(ROW_TEXT, false);
    EXPECT_TRUE(view.IsRowEnabled(ROW_DISABLED));
    EXPECT_FALSE(view.IsRowEnabled(ROW_TEXT));

    view.SetNumber(ROW_NUMBER, -4);
    view.SetYesNoTexts(L"Yes", L"No");
    EXPECT_EQ(std::wstring(L"-4 мин"), view.ValueText(ROW_NUMBER));
    EXPECT_EQ(std::wstring(L"Yes"), view.ValueText(ROW_YESNO));

    const int rows = view.RowCount();
    view.DeleteRow(-1);
    EXPECT_EQ(rows, view.RowCount());
    view.DeleteRow(ROW_TEXT);
    EXPECT_EQ(rows - 1, view.RowCount());
    EXPECT_EQ(-4, view.GetNumber(ROW_NUMBER - 1));
}

TEST_F(ListViewTest, ColumnLeavesRoomForTheScrollBarOnlyWhenOneIsNeeded)
{
    const int border = GetSystemMetrics(SM_CXBORDER);
    EXPECT_EQ(SX(240) - 2 * border, (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    for (int i = 0; i < 20; ++i)
        view.AddTextRow(L"Ещё", L"строка");
    PumpPendingMessages();
    ASSERT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(SX(240) - GetSystemMetrics(SM_CXVSCROLL) - 2 * border,
        (int)SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
}

// ----------------------------------------------------------------- drawing

// A 32-bit memory device context as large as the list, filled with a marker
// colour, into which one row is drawn the way the list asks for it.
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width)
        , m_height(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        m_dc = CreateCompatibleDC(NULL);
        m_bitmap = CreateDIBSection(m_dc, &info, DIB_RGB_COLORS, NULL, NULL, 0);
        m_old = SelectObject(m_dc, m_bitmap);
        RECT all = {0, 0, width, height};
        HBRUSH marker = CreateSolidBrush(MARKER);
        FillRect(m_dc, &all, marker);
        DeleteObject(marker);
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    HDC dc() const { return m_dc; }
    COLORREF At(int x, int y) const { return GetPixel(m_dc, x, y); }
    // Pixels of the rectangle that are neither of the two colours.
    int Other(const RECT& r, COLORREF a, COLORREF b) const
    {
        int count = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = At(x, y);
                count += c != a && c != b;
            }
        return count;
    }
    // The smallest colour component in the rectangle.
    int Darkest(const RECT& r) const
    {
        int darkest = 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                const COLORREF c = At(x, y);
                darkest
                    = std::min(darkest, (int)std::min(GetRValue(c), std::min(GetGValue(c), GetBValue(c))));
            }
        return darkest;
    }
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    int m_width, m_height;
    HDC m_dc;
    HBITMAP m_bitmap;
    HGDIOBJ m_old;
};

class ListDrawingTest : public ListViewTest {
protected:
    // Draws one row as the list would ask for it; the row's rectangle.
    RECT Draw(Canvas& canvas, int row, UINT action = ODA_DRAWENTIRE, UINT state = 0)
    {
        DRAWITEMSTRUCT item = {};
        item.CtlType = ODT_LISTVIEW;
        item.CtlID = LIST_ID;
        item.itemID = row;
        item.itemAction = action;
        item.itemState = state;
        item.hwndItem = list;
        item.hDC = canvas.dc();
        item.rcItem = Bounds(row);
        EXPECT_EQ(0, view.DrawItem(&item));
        return item.rcItem;
    }
    Canvas Blank() { return Canvas(ClientRect(list).right, ClientRect(list).bottom); }
};

TEST(ScreenResolution, IsTheOneThisRunIsFor)
{
    const char* expected = getenv("SORVINTA_EXPECT_DPI");
    if (expected)
        EXPECT_EQ(atoi(expected), GetScreenDpiY());
    EditableListView view;
    LOGFONTW font = {};
    GetObjectW(view.valueFont, sizeof(font), &font);
    EXPECT_EQ(-(96 * GetScreenDpiY() / 720), font.lfHeight);
    EXPECT_EQ(FW_BOLD, font.lfWeight);
    GetObjectW(view.captionFont, sizeof(font), &font);
    EXPECT_EQ(std::wstring(L"Tahoma"), font.lfFaceName);
}

TEST_F(ListDrawingTest, RowsAlternateWhiteAndPaleBlueOverTheSeparator)
{
    for (int row = 0; row < ROW_COUNT; ++row) {
        SCOPED_TRACE(row);
        Canvas canvas = Blank();
        const RECT r = Draw(canvas, row);
        ASSERT_GT(r.bottom - r.top, SY(30));
        const COLORREF background = row % 2 ? PALE_BLUE : WHITE;
        EXPECT_EQ(background, canvas.At(r.left + 1, r.top + 1));
        EXPECT_EQ(background, canvas.At(r.left + 1, r.bottom - SY(1) - SX(1) - 1));
        const int middle = (r.left + r.right) / 2;
        EXPECT_EQ(SEPARATOR, canvas.At(r.left, r.bottom - SY(1)));
        EXPECT_EQ(SEPARATOR, canvas.At(middle, r.bottom - SY(1)));
        EXPECT_EQ(SEPARATOR, canvas.At(r.right - 1, r.bottom - SY(1)));
        // Nothing beyond the row.
        if (r.top > 0)
            EXPECT_EQ(MARKER, canvas.At(middle, r.top - 1));
        if (r.bottom < canvas.height())
            EXPECT_EQ(MARKER, canvas.At(middle, r.bottom));
    }
}

TEST_F(ListDrawingTest, CaptionInTheUpperHalfValueInTheLowerHalf)
{
    view.AddTextRow(L"ЖЖЖЖ", L"");  // even row: white
    view.AddTextRow(L"", L"ЖЖЖЖ");
    const int captionOnly = ROW_COUNT, valueOnly = ROW_COUNT + 1;
    Canvas canvas = Blank();
    const RECT c = Draw(canvas, captionOnly);
    const RECT v = Draw(canvas, valueOnly);
    const int half = (c.bottom - c.top) / 2;
    const RECT cUpper = {c.left, c.top, c.right, c.top + half};
    const RECT cLower = {c.left, c.top + half, c.right, c.bottom - SY(1) - SX(1)};
    EXPECT_GT(canvas.Other(cUpper, WHITE, SEPARATOR), 10);
    EXPECT_EQ(0, canvas.Other(cLower, WHITE, SEPARATOR));
    const RECT vUpper = {v.left, v.top, v.right, v.top + half};
    const RECT vLower = {v.left, v.top + half, v.right, v.bottom - SY(1) - SX(1)};
    EXPECT_EQ(0, canvas.Other(vUpper, PALE_BLUE, SEPARATOR));
    EXPECT_GT(canvas.Other(vLower, PALE_BLUE, SEPARATOR), 10);
    // The caption starts SX(3) in; black text.
    const RECT leftStrip = {c.left, c.top, c.left + SX(3), c.bottom};
    EXPECT_EQ(0, canvas.Other(leftStrip, WHITE, SEPARATOR));
    EXPECT_LT(canvas.Darkest(cUpper), 0x50);
}

TEST_F(ListDrawingTest, DisabledRowIsGreyEnabledRowIsBlack)
{
    view.AddTextRow(L"ЖЖЖЖЖ", L"ЖЖЖЖЖ", true);   // row 6: white
    view.AddTextRow(L"ЖЖЖЖЖ", L"ЖЖЖЖЖ", true);   // row 7: pale blue
    view.AddTextRow(L"ЖЖЖЖЖ", L"ЖЖЖЖЖ", false);  // row 8: white
    Canvas canvas = Blank();
    const RECT enabled = Draw(canvas, ROW_COUNT);
    const RECT disabled = Draw(canvas, ROW_COUNT + 2);
    RECT text = enabled;
    text.bottom -= SY(1) + SX(1);
    EXPECT_LT(canvas.Darkest(text), 0x50);
    text = disabled;
    text.bottom -= SY(1) + SX(1);
    EXPECT_GT(canvas.Other(text, WHITE, SEPARATOR), 20) << "no text drawn";
    EXPECT_GE(canvas.Darkest(text), 0x9F);
    EXPECT_LE(canvas.Darkest(text), 0xA0);
}

TEST_F(ListDrawingTest, SwatchWithOutlineAndTheValueKeptClearOfIt)
{
    // Narrow, so that "#208040" in bold would reach the swatch.
    MakeList(SX(100), SY(300));
    Canvas canvas = Blank();
    const RECT r = Draw(canvas, ROW_COLOUR);
    RECT s;
    s.left = r.left + r.right - SX(44) + 2 * SX(3);
    s.top = r.top + SX(3);
    s.right = r.right - SX(3);
    s.bottom = r.bottom - SX(3);
    const int midX = (s.left + s.right) / 2, midY = (s.top + s.bottom) / 2;
    EXPECT_EQ(SWATCH, canvas.At(midX, midY));
    EXPECT_EQ(SWATCH, canvas.At(s.left, s.top));
    EXPECT_EQ(SWATCH, canvas.At(s.right - 1, s.bottom - 1));
    EXPECT_EQ(BLACK, canvas.At(s.left - 1, midY));
    EXPECT_EQ(BLACK, canvas.At(s.right, midY));
    EXPECT_EQ(BLACK, canvas.At(midX, s.top - 1));
    EXPECT_EQ(BLACK, canvas.At(midX, s.bottom));
    EXPECT_EQ(WHITE, canvas.At(s.left - 1 - SX(2), midY));  // outside the outline

    // The value stops SX(44) + 2 * SX(3) before the right edge; the swatch
    // starts further right, so the strip between stays empty.
    const int half = (r.bottom - r.top) / 2;
    const RECT gap
        = {r.right - SX(44) - 2 * SX(3), r.top + half, s.left - 1 - SX(1), r.bottom - SY(1) - SX(1)};
    ASSERT_LT(gap.left, gap.right);
    EXPECT_EQ(0, canvas.Other(gap, WHITE, WHITE));
    const RECT value = {r.left, r.top + half, gap.left, gap.bottom};
    EXPECT_GT(canvas.Other(value, WHITE, WHITE), 10);
}

TEST_F(ListDrawingTest, SelectionAndFocusChangesPaintNothing)
{
    Canvas canvas = Blank();
    Draw(canvas, ROW_TEXT, ODA_SELECT, ODS_SELECTED);
    Draw(canvas, ROW_NUMBER, ODA_FOCUS, ODS_FOCUS);
    const RECT all = {0, 0, canvas.width(), canvas.height()};
    EXPECT_EQ(0, canvas.Other(all, MARKER, MARKER));
    // A selected row drawn whole looks like any other.
    const RECT r = Draw(canvas, ROW_NUMBER, ODA_DRAWENTIRE, ODS_SELECTED | ODS_FOCUS);
    EXPECT_EQ(PALE_BLUE, canvas.At(r.left + 1, r.top + 1));
}

}  // namespace
