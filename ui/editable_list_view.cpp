#include "ui/editable_list_view.h"

#include <cwchar>

#include "ui/dpi.h"

namespace {

const DWORD LIST_STYLE = WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED
    | LVS_NOCOLUMNHEADER;
const DWORD EDIT_STYLE = WS_CHILD | WS_BORDER | ES_AUTOHSCROLL;
// Drawn here: the control's own drawing puts the text at the top of its
// field, which is cut down to fit the row (FitFieldInRow).
const DWORD COMBO_STYLE = WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS;

// The row's enabled state lives in a state bit the list view uses for nothing else.
const UINT DISABLED_STATE = LVIS_GLOW;

const COLORREF ODD_ROW_COLOUR = RGB(0xF0, 0xF0, 0xFF);
const COLORREF EVEN_ROW_COLOUR = RGB(0xFF, 0xFF, 0xFF);
const COLORREF SEPARATOR_COLOUR = RGB(0xC8, 0xC8, 0xF0);
const COLORREF ENABLED_TEXT_COLOUR = RGB(0, 0, 0);
const COLORREF DISABLED_TEXT_COLOUR = RGB(0xA0, 0xA0, 0xA0);
const UINT TEXT_FORMAT = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS;

const wchar_t EMPTY_TEXT[] = L"";

wchar_t* CopyText(const wchar_t* text)
{
    const size_t length = text ? wcslen(text) : 0;
    wchar_t* copy = new wchar_t[length + 1];
    if (length)
        wmemcpy(copy, text, length);
    copy[length] = L'\0';
    return copy;
}

// 9.6 points at the screen's resolution: -12 at 96 dpi, -25 at 192.
HFONT CreateTahoma(LONG weight)
{
    LOGFONTW font = {};
    font.lfHeight = -(96 * GetScreenDpiY() / 720);
    font.lfWeight = weight;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"Tahoma");
    return CreateFontIndirectW(&font);
}

RowKind KindOf(const RowData* data)
{
    return (RowKind)(data->kind & 7);
}

void FreeRowData(RowData* data)
{
    if (!data)
        return;
    if (KindOf(data) == RowText) {
        delete[] data->value.text;
    } else if (KindOf(data) == RowList && data->value.texts) {
        for (int i = 0; i < data->more.list.count; ++i)
            delete[] data->value.texts[i];
        delete[] data->value.texts;
    }
    delete data;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// A drop-down's closed field is as tall as its font asks, more than the
// value half of a row: its text height is cut down to what the row holds,
// or the field would cover the caption of the row below.
// The control adds margins of its own to the height it is given (Wine two
// pixels more than it reports): the height given shrinks until it fits.
void FitFieldInRow(HWND combo, HWND list, const RECT& row)
{
    LRESULT given = SendMessageW(combo, CB_GETITEMHEIGHT, (WPARAM)-1, 0);
    for (int round = 0; round < 4; ++round) {
        RECT field;
        GetWindowRect(combo, &field);
        MapWindowPoints(NULL, list, (POINT*)&field, 2);
        const int over = field.bottom - row.bottom;
        if (over <= 0 || given <= over)
            return;
        given -= over;
        SendMessageW(combo, CB_SETITEMHEIGHT, (WPARAM)-1, given);
    }
}

}  // namespace

EditableListView::EditableListView()
    : yesText(NULL)
    , noText(NULL)
    , editor(NULL)
    , editorHeight(0)
    , list(NULL)
    , parent(NULL)
    , currentRow(-1)
    , previousRow(-1)
    , imageList(NULL)
    , ownProcedure(NULL)
    , armed(false)
{
    numberText[0] = L'\0';
    colourText[0] = L'\0';
    InitCommonControls();
    valueFont = CreateTahoma(FW_BOLD);
    captionFont = CreateTahoma(0);
    separatorPen = CreatePen(PS_SOLID, SX(1), SEPARATOR_COLOUR);
}

EditableListView::~EditableListView()
{
    // Destroying the list frees the rows it holds (OnListDestroyed).
    if (list && IsWindow(list))
        DestroyWindow(list);
    delete[] yesText;
    delete[] noText;
    DeleteObject(valueFont);
    DeleteObject(captionFont);
    DeleteObject(separatorPen);
}

bool EditableListView::Create(
    HWND owner, int id, int x, int y, int width, int height, const wchar_t* yes, const wchar_t* no)
{
    HWND made = CreateWindowExW(0, WC_LISTVIEWW, NULL, LIST_STYLE, x, y, width, height, owner,
        (HMENU)(INT_PTR)id, GetModuleHandleW(NULL), NULL);
    if (!made)
        return false;
    list = made;
    parent = owner;

    LVCOLUMNW column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 0;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, (LPARAM)&column);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    // Never drawn from: its images only set the row height.
    imageList = ImageList_Create(SX(32), SY(32), ILC_MASK, 0, 0);
    SendMessageW(list, LVM_SETIMAGELIST, LVSIL_STATE, (LPARAM)imageList);

    // The object first, so the new procedure never runs without it.
    SetWindowLongPtrW(list, GWLP_USERDATA, (LONG_PTR)this);
    ownProcedure = (WNDPROC)SetWindowLongPtrW(list, GWLP_WNDPROC, (LONG_PTR)EditableListViewProc);

    SetYesNoTexts(yes, no);
    editor = NULL;
    currentRow = -1;
    previousRow = -1;
    armed = false;
    return true;
}

RowData* EditableListView::Row(int row)
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageW(list, LVM_GETITEMW, 0, (LPARAM)&item))
        return NULL;
    return (RowData*)item.lParam;
}

RowData* EditableListView::AddRow(const wchar_t* caption, WORD kind, bool enabled)
{
    RowData* data = new RowData();
    data->kind = kind;
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = RowCount();
    item.pszText = (wchar_t*)(caption ? caption : EMPTY_TEXT);
    item.lParam = (LPARAM)data;
    const int index = (int)SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    if (index < 0) {
        delete data;
        return NULL;
    }
    if (!enabled)
        EnableRow(index, false);
    return data;
}

void EditableListView::AddTextRow(const wchar_t* caption, const wchar_t* text, bool enabled)
{
    wchar_t* copy = CopyText(text);
    RowData* data = AddRow(caption, RowText, enabled);
    if (data)
        data->value.text = copy;
    else
        delete[] copy;
}

void EditableListView::AddYesNoRow(const wchar_t* caption, int value, bool enabled)
{
    RowData* data = AddRow(caption, RowYesNo, enabled);
    if (data)
        data->value.yesNo = value & 1;
}

void EditableListView::AddNumberRow(const wchar_t* caption, int value, const wchar_t* suffix, bool enabled)
{
    RowData* data = AddRow(caption, RowNumber, enabled);
    if (!data)
        return;
    data->value.number = value;
    if (RowSuffixFits(suffix))
        lstrcpynW(data->more.suffix, suffix, ROW_SUFFIX_SIZE);
}

void EditableListView::AddListRow(
    const wchar_t* caption, const wchar_t* const* texts, int count, int chosen, bool enabled)
{
    if (count < 0)
        count = 0;
    wchar_t** copies = new wchar_t*[count > 0 ? count : 1];
    for (int i = 0; i < count; ++i)
        copies[i] = CopyText(texts[i]);
    RowData* data = AddRow(caption, RowList, enabled);
    if (!data) {
        for (int i = 0; i < count; ++i)
            delete[] copies[i];
        delete[] copies;
        return;
    }
    data->value.texts = copies;
    data->more.list.count = count;
    data->more.list.choice = (signed char)chosen;
}

void EditableListView::AddColourRow(const wchar_t* caption, COLORREF colour, bool enabled)
{
    RowData* data = AddRow(caption, RowColour, enabled);
    if (data)
        data->value.colour = colour;
}

const wchar_t* EditableListView::GetText(int row)
{
    const wchar_t* text = Row(row)->value.text;
    return text ? text : EMPTY_TEXT;
}

int EditableListView::GetYesNo(int row)
{
    return (int)(Row(row)->value.yesNo & 1);
}

int EditableListView::GetNumber(int row)
{
    return Row(row)->value.number;
}

int EditableListView::GetListIndex(int row)
{
    return Row(row)->more.list.choice;
}

COLORREF EditableListView::GetColour(int row)
{
    return Row(row)->value.colour;
}

void EditableListView::SetText(int row, const wchar_t* text)
{
    RowData* data = Row(row);
    wchar_t* copy = CopyText(text);
    delete[] data->value.text;
    data->value.text = copy;
    Repaint(row);
}

void EditableListView::SetYesNo(int row, int value)
{
    Row(row)->value.yesNo = value & 1;
    Repaint(row);
}

void EditableListView::SetNumber(int row, int value)
{
    Row(row)->value.number = value;
    Repaint(row);
}

void EditableListView::SetColour(int row, COLORREF colour)
{
    Row(row)->value.colour = colour;
    Repaint(row);
}

void EditableListView::SetCaption(int row, const wchar_t* caption)
{
    LVITEMW item = {};
    item.iSubItem = 0;
    item.pszText = (wchar_t*)(caption ? caption : EMPTY_TEXT);
    SendMessageW(list, LVM_SETITEMTEXTW, row, (LPARAM)&item);
    Repaint(row);
}

void EditableListView::SetYesNoTexts(const wchar_t* yes, const wchar_t* no)
{
    wchar_t* yesCopy = CopyText(yes);
    wchar_t* noCopy = CopyText(no);
    delete[] yesText;
    delete[] noText;
    yesText = yesCopy;
    noText = noCopy;
}

void EditableListView::EnableRow(int row, bool enabled)
{
    LVITEMW item = {};
    item.stateMask = DISABLED_STATE;
    item.state = enabled ? 0 : DISABLED_STATE;
    SendMessageW(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

bool EditableListView::IsRowEnabled(int row)
{
    return (SendMessageW(list, LVM_GETITEMSTATE, row, DISABLED_STATE) & DISABLED_STATE) == 0;
}

int EditableListView::RowCount()
{
    return list ? (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0) : 0;
}

void EditableListView::DeleteRow(int row)
{
    if (row < 0)
        return;
    // The rows below move up: an open editor would end up over another row.
    if (currentRow >= row)
        EndEdit();
    SendMessageW(list, LVM_DELETEITEM, row, 0);
}

void EditableListView::EnsureCurrentVisible()
{
    if (currentRow < 0)
        return;
    SendMessageW(list, LVM_ENSUREVISIBLE, currentRow, FALSE);
    // The list scrolls its rows, not its children: bring the editor along.
    Relayout();
}

RECT EditableListView::RowBounds(int row)
{
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageW(list, LVM_GETITEMRECT, row, (LPARAM)&bounds);
    return bounds;
}

void EditableListView::Repaint(int row)
{
    if (list && row >= 0)
        SendMessageW(list, LVM_REDRAWITEMS, row, row);
}

const wchar_t* EditableListView::ValueText(int row)
{
    const RowData* data = Row(row);
    if (!data)
        return EMPTY_TEXT;
    switch (KindOf(data)) {
    case RowText: return data->value.text ? data->value.text : EMPTY_TEXT;
    case RowYesNo: return (data->value.yesNo & 1) ? yesText : noText;
    case RowNumber:
        FormatRowNumber(data->value.number, data->more.suffix, numberText, ROW_NUMBER_TEXT_SIZE);
        return numberText;
    case RowList: {
        const int choice = data->more.list.choice;
        return choice >= 0 && choice < data->more.list.count ? data->value.texts[choice] : EMPTY_TEXT;
    }
    case RowColour: FormatRowColour(data->value.colour, colourText, ROW_COLOUR_TEXT_SIZE); return colourText;
    default: return EMPTY_TEXT;
    }
}

void EditableListView::DrawSwatch(HDC dc, const RECT& bounds, COLORREF colour)
{
    RECT swatch;
    swatch.left = bounds.left + bounds.right - SX(44) + 2 * SX(3);
    swatch.top = bounds.top + SX(3);
    swatch.right = bounds.right - SX(3);
    swatch.bottom = bounds.bottom - SX(3);
    const POINT outline[] = {{swatch.left - 1, swatch.top - 1}, {swatch.right, swatch.top - 1},
        {swatch.right, swatch.bottom}, {swatch.left - 1, swatch.bottom}, {swatch.left - 1, swatch.top - 1}};
    HPEN black = CreatePen(PS_SOLID, SX(1), RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, black);
    Polyline(dc, outline, 5);
    SelectObject(dc, oldPen);
    DeleteObject(black);
    HBRUSH fill = CreateSolidBrush(colour);
    FillRect(dc, &swatch, fill);
    DeleteObject(fill);
}

LRESULT EditableListView::DrawItem(const DRAWITEMSTRUCT* item)
{
    // Selection and focus changes paint nothing: rows show no highlight.
    if (!item || !(item->itemAction & ODA_DRAWENTIRE))
        return 0;
    const int row = (int)item->itemID;
    HDC dc = item->hDC;
    // The list's own rectangle for the row (the bounds the list reports are
    // not always where it asks us to draw).
    const RECT bounds = item->rcItem;
    const int half = Height(bounds) / 2;
    const RowData* data = Row(row);
    const bool colourRow = data && KindOf(data) == RowColour;
    previousRow = currentRow;

    HBRUSH background = CreateSolidBrush(row % 2 ? ODD_ROW_COLOUR : EVEN_ROW_COLOUR);
    FillRect(dc, &bounds, background);
    DeleteObject(background);

    HGDIOBJ oldPen = SelectObject(dc, separatorPen);
    MoveToEx(dc, bounds.left, bounds.bottom - SY(1), NULL);
    LineTo(dc, bounds.right, bounds.bottom - SY(1));
    SelectObject(dc, oldPen);

    if (colourRow)
        DrawSwatch(dc, bounds, data->value.colour);

    const COLORREF oldColour
        = SetTextColor(dc, IsRowEnabled(row) ? ENABLED_TEXT_COLOUR : DISABLED_TEXT_COLOUR);
    const int oldMode = SetBkMode(dc, TRANSPARENT);

    wchar_t caption[ROW_TEXT_SIZE] = L"";
    LVITEMW text = {};
    text.iSubItem = 0;
    text.pszText = caption;
    text.cchTextMax = ROW_TEXT_SIZE;
    SendMessageW(list, LVM_GETITEMTEXTW, row, (LPARAM)&text);
    RECT captionRect = bounds;
    captionRect.left += SX(3);
    captionRect.right -= SX(3);
    captionRect.bottom -= half;
    HGDIOBJ oldFont = SelectObject(dc, captionFont);
    DrawTextW(dc, caption, -1, &captionRect, TEXT_FORMAT);

    RECT valueRect = bounds;
    valueRect.top += half;
    valueRect.left += SX(3) + GetSystemMetrics(SM_CXBORDER);
    valueRect.right -= colourRow ? SX(44) + 2 * SX(3) : SX(3);
    SelectObject(dc, valueFont);
    DrawTextW(dc, ValueText(row), -1, &valueRect, TEXT_FORMAT);

    SelectObject(dc, oldFont);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldColour);
    return 0;
}

void EditableListView::Relayout()
{
    if (!list)
        return;
    if (editor && currentRow >= 0) {
        const RECT bounds = RowBounds(currentRow);
        MoveWindow(editor, bounds.left + SX(3), bounds.top + Height(bounds) / 2, bounds.right - SX(6),
            editorHeight, FALSE);
    }
    RECT window;
    GetWindowRect(list, &window);
    const int width = window.right - window.left;
    const int border = GetSystemMetrics(SM_CXBORDER);
    const int perPage = (int)SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (perPage >= RowCount())
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width - 2 * border, 0));
    else if (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL)
        SendMessageW(list, LVM_SETCOLUMNWIDTH, 0,
            MAKELPARAM(width - (GetSystemMetrics(SM_CXVSCROLL) + 2 * border), 0));
}

void EditableListView::DestroyEditor()
{
    if (editor)
        DestroyWindow(editor);
    editor = NULL;
}

void EditableListView::EndEdit()
{
    DestroyEditor();
    armed = false;
    Repaint(previousRow);
    previousRow = -1;
    currentRow = -1;
}

void EditableListView::OpenEditor(int row, const RowData* data, const RECT& bounds)
{
    const RowKind kind = KindOf(data);
    const bool edit = kind == RowText || kind == RowNumber;
    // A text given at creation sends no EN_CHANGE, so opening reports no change.
    const wchar_t* initial = NULL;
    if (kind == RowText) {
        initial = data->value.text ? data->value.text : EMPTY_TEXT;
    } else if (kind == RowNumber) {
        FormatRowNumber(data->value.number, NULL, numberText, ROW_NUMBER_TEXT_SIZE);
        initial = numberText;
    }
    // The value half of the row: an odd row height (65 at 192 dpi) leaves
    // it one pixel short of SY(17).
    const int valueHalf = Height(bounds) - Height(bounds) / 2;
    editorHeight = edit ? (SY(17) < valueHalf ? SY(17) : valueHalf) : SY(160);
    editor = CreateWindowExW(0, edit ? L"EDIT" : L"COMBOBOX", initial, edit ? EDIT_STYLE : COMBO_STYLE,
        bounds.left + SX(3), bounds.top + Height(bounds) / 2, bounds.right - SX(6), editorHeight, list,
        (HMENU)0, GetModuleHandleW(NULL), NULL);
    if (!editor)
        return;  // the row stays current without an editor
    SendMessageW(editor, WM_SETFONT, (WPARAM)valueFont, TRUE);

    if (edit) {
        // No more than the row keeps: what is typed past it would vanish unseen.
        SendMessageW(editor, EM_LIMITTEXT, ROW_TEXT_SIZE - 1, 0);
        SendMessageW(editor, EM_SETSEL, 0, -1);
    } else if (kind == RowYesNo) {
        SendMessageW(editor, CB_RESETCONTENT, 0, 0);
        SendMessageW(editor, CB_INSERTSTRING, 0, (LPARAM)yesText);
        SendMessageW(editor, CB_INSERTSTRING, 1, (LPARAM)noText);
        SendMessageW(editor, CB_SETCURSEL, (data->value.yesNo & 1) ? 0 : 1, 0);
    } else {
        SendMessageW(editor, CB_RESETCONTENT, 0, 0);
        for (int i = 0; i < data->more.list.count; ++i)
            SendMessageW(editor, CB_ADDSTRING, 0, (LPARAM)data->value.texts[i]);
        SendMessageW(editor, CB_SETCURSEL, data->more.list.choice, 0);
    }
    (void)row;
    if (!edit)
        FitFieldInRow(editor, list, bounds);
    ShowWindow(editor, SW_SHOW);
    SetFocus(editor);
}

void EditableListView::OnTap(LPARAM point)
{
    previousRow = currentRow;
    LVHITTESTINFO hit = {};
    hit.pt.x = LOWORD(point);
    hit.pt.y = HIWORD(point);
    const int row = (int)SendMessageW(list, LVM_HITTEST, 0, (LPARAM)&hit);
    // Again the row being edited (editor, text and caret stay), or empty
    // space with nothing edited.
    if (row == previousRow)
        return;
    if (row < 0) {
        EndEdit();
        return;
    }
    currentRow = row;
    if (!IsRowEnabled(row)) {
        EndEdit();
        return;
    }
    const RECT bounds = RowBounds(row);
    DestroyEditor();
    const RowData* data = Row(row);
    // A colour row has no editor: the release decides.
    if (!data)
        return;
    if (KindOf(data) == RowColour) {
        armed = true;
        return;
    }
    OpenEditor(row, data, bounds);
}

void EditableListView::OnRelease(LPARAM point)
{
    const bool wasArmed = armed;
    armed = false;
    if (currentRow < 0 || !wasArmed)
        return;
    RowData* data = Row(currentRow);
    if (!data || KindOf(data) != RowColour)
        return;
    const RECT bounds = RowBounds(currentRow);
    const POINT at = {(LONG)LOWORD(point), (LONG)HIWORD(point)};
    if (!PtInRect(&bounds, at))
        return;
    const int row = currentRow;
    const COLORREF old = data->value.colour;
    const COLORREF chosen = (COLORREF)SendMessageW(parent, ELVN_PICKCOLOUR, row, old);
    // The parent may have emptied the list meanwhile.
    data = row < RowCount() ? Row(row) : NULL;
    if (data && chosen != old) {
        data->value.colour = chosen;
        Repaint(row);
    }
    EndEdit();
}

void EditableListView::OnEditorCommand(WPARAM wParam, LPARAM lParam)
{
    if (currentRow < 0 || !editor || (HWND)lParam != editor)
        return;
    RowData* data = Row(currentRow);
    if (!data)
        return;
    const UINT code = HIWORD(wParam);
    const RowKind kind = KindOf(data);
    if (code == CBN_SELCHANGE && kind == RowYesNo) {
        const LRESULT chosen = SendMessageW(editor, CB_GETCURSEL, 0, 0);
        data->value.yesNo = chosen == 1 ? 0 : 1;
        PostMessageW(parent, ELVN_YESNOCHANGED, currentRow, data->value.yesNo);
    } else if (code == CBN_SELCHANGE && kind == RowList) {
        data->more.list.choice = (signed char)SendMessageW(editor, CB_GETCURSEL, 0, 0);
        PostMessageW(parent, ELVN_LISTCHANGED, currentRow, data->more.list.choice);
    } else if (code == EN_CHANGE && (kind == RowText || kind == RowNumber)) {
        wchar_t typed[ROW_TEXT_SIZE] = L"";
        GetWindowTextW(editor, typed, ROW_TEXT_SIZE);
        if (kind == RowText) {
            wchar_t* copy = CopyText(typed);
            delete[] data->value.text;
            data->value.text = copy;
            PostMessageW(parent, ELVN_TEXTCHANGED, currentRow, (LPARAM)copy);
        } else {
            data->value.number = ParseRowNumber(typed);
            PostMessageW(parent, ELVN_NUMBERCHANGED, currentRow, data->value.number);
        }
    }
}

void EditableListView::FreeRowOf(int row)
{
    RowData* data = Row(row);
    if (!data)
        return;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = 0;
    SendMessageW(list, LVM_SETITEMW, 0, (LPARAM)&item);
    FreeRowData(data);
}

// The list goes with its parent dialog: its rows' data go with it, and
// nothing points into the old window afterwards.
void EditableListView::OnListDestroyed()
{
    for (int row = RowCount() - 1; row >= 0; --row)
        FreeRowOf(row);
    editor = NULL;  // a child of the list: destroyed with it
    currentRow = -1;
    previousRow = -1;
    imageList = NULL;  // the list owns it now
    list = NULL;
}

void EditableListView::MeasureChoice(MEASUREITEMSTRUCT* item)
{
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, valueFont);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    item->itemHeight = metrics.tmHeight + SY(2);
}

// The chosen text in the field and each text of the dropped list, centred
// in its height.
void EditableListView::DrawChoice(const DRAWITEMSTRUCT* item)
{
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if ((int)item->itemID < 0)
        return;
    wchar_t text[ROW_TEXT_SIZE] = L"";
    if (SendMessageW(item->hwndItem, CB_GETLBTEXTLEN, item->itemID, 0) < ROW_TEXT_SIZE)
        SendMessageW(item->hwndItem, CB_GETLBTEXT, item->itemID, (LPARAM)text);
    HGDIOBJ old = SelectObject(item->hDC, valueFont);
    SetBkMode(item->hDC, TRANSPARENT);
    SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT place = item->rcItem;
    place.left += SX(2);
    DrawTextW(item->hDC, text, -1, &place, TEXT_FORMAT | DT_NOPREFIX);
    SelectObject(item->hDC, old);
}

LRESULT CALLBACK EditableListViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    EditableListView* self = (EditableListView*)GetWindowLongPtrW(window, GWLP_USERDATA);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC own = self->ownProcedure;
    if (self->list != window)
        return CallWindowProcW(own, window, message, wParam, lParam);
    switch (message) {
    case WM_LBUTTONDOWN: self->OnTap(lParam); return 0;
    case WM_LBUTTONUP: self->OnRelease(lParam); return 0;
    case WM_COMMAND: self->OnEditorCommand(wParam, lParam); return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: self->EndEdit(); return 0;
    case WM_VSCROLL:
    case WM_MOUSEWHEEL: self->EndEdit(); break;
    case LVM_INSERTITEMW: self->Relayout(); break;
    case LVM_DELETEITEM: self->FreeRowOf((int)wParam); break;
    case WM_SIZE: {
        // Laid out from the new size, which the list learns in its own handler.
        const LRESULT result = CallWindowProcW(own, window, message, wParam, lParam);
        self->Relayout();
        return result;
    }
    case WM_DESTROY: self->OnListDestroyed(); break;
    case WM_MEASUREITEM:
        if (((MEASUREITEMSTRUCT*)lParam)->CtlType != ODT_COMBOBOX)
            break;
        self->MeasureChoice((MEASUREITEMSTRUCT*)lParam);
        return TRUE;
    case WM_DRAWITEM:
        if (((const DRAWITEMSTRUCT*)lParam)->CtlType != ODT_COMBOBOX)
            break;
        self->DrawChoice((const DRAWITEMSTRUCT*)lParam);
        return TRUE;
    default: break;
    }
    return CallWindowProcW(own, window, message, wParam, lParam);
}
