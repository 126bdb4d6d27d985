// A list of property rows on the report list view ("SysListView32"): each
// row shows its caption in the upper half and its value, bold, in the lower
// half; a tap opens an editor over the value (an edit field, or a drop-down
// list for yes/no and list rows), and a colour row asks the parent instead.
// Every change goes to the parent as one of the ELVN_ messages below.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "ui/list_row_text.h"

// To the parent; wParam the row, lParam the new value. Posted, except
// ELVN_PICKCOLOUR, which is sent: the parent's result is the new colour.
const UINT ELVN_YESNOCHANGED = 2099;   // 0 or 1
const UINT ELVN_NUMBERCHANGED = 2100;  // the number
const UINT ELVN_TEXTCHANGED = 2101;    // the row's text (the control's storage)
const UINT ELVN_LISTCHANGED = 2102;    // the chosen index
const UINT ELVN_PICKCOLOUR = 2103;     // lParam: the current colour

enum RowKind { RowText = 0, RowYesNo = 1, RowNumber = 2, RowList = 3, RowColour = 4 };

// One per row, the list item's parameter. The value is pointer-sized so it
// can own a text or an array on 64-bit builds too.
struct RowData {
    WORD kind;  // the low 3 bits hold the RowKind
    union {
        wchar_t* text;    // RowText, owned
        DWORD yesNo;      // RowYesNo, bit 0
        int number;       // RowNumber
        wchar_t** texts;  // RowList, owned array of owned texts
        COLORREF colour;  // RowColour
    } value;
    union {
        wchar_t suffix[ROW_SUFFIX_SIZE];  // RowNumber, empty when none
        struct {
            int count;
            signed char choice;
        } list;  // RowList
    } more;
};

LRESULT CALLBACK EditableListViewProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam);

struct EditableListView {
    EditableListView();
    ~EditableListView();
    EditableListView(const EditableListView&) = delete;
    EditableListView& operator=(const EditableListView&) = delete;

    // Makes the list window, a child of parent; false when it cannot be made,
    // and then no rows may be added or read.
    bool Create(
        HWND parent, int id, int x, int y, int width, int height, const wchar_t* yes, const wchar_t* no);

    void AddTextRow(const wchar_t* caption, const wchar_t* text, bool enabled = true);
    void AddYesNoRow(const wchar_t* caption, int value, bool enabled = true);
    void AddNumberRow(const wchar_t* caption, int value, const wchar_t* suffix, bool enabled = true);
    void AddListRow(
        const wchar_t* caption, const wchar_t* const* texts, int count, int chosen, bool enabled = true);
    void AddColourRow(const wchar_t* caption, COLORREF colour, bool enabled = true);

    // The row must exist and be of the getter's kind. Texts stay valid until
    // that row's value changes or the row goes away.
    const wchar_t* GetText(int row);
    int GetYesNo(int row);
    int GetNumber(int row);
    int GetListIndex(int row);
    COLORREF GetColour(int row);
    void SetText(int row, const wchar_t* text);
    void SetYesNo(int row, int value);
    void SetNumber(int row, int value);
    void SetColour(int row, COLORREF colour);
    void SetCaption(int row, const wchar_t* caption);
    void SetYesNoTexts(const wchar_t* yes, const wchar_t* no);
    void EnableRow(int row, bool enabled);
    bool IsRowEnabled(int row);
    int RowCount();
    void DeleteRow(int row);
    void EnsureCurrentVisible();
    HWND Window() const { return list; }

    // The text a row shows as its value (in the control's scratch texts for
    // numbers and colours).
    const wchar_t* ValueText(int row);

    // For the parent's WM_DRAWITEM of this control; returns 0.
    LRESULT DrawItem(const DRAWITEMSTRUCT* item);
    void Relayout();
    void EndEdit();

    // Message handlers of EditableListViewProc.
    void OnTap(LPARAM point);
    void OnRelease(LPARAM point);
    void OnEditorCommand(WPARAM wParam, LPARAM lParam);
    void OnListDestroyed();
    void MeasureChoice(MEASUREITEMSTRUCT* item);
    void DrawChoice(const DRAWITEMSTRUCT* item);
    void FreeRowOf(int row);

    wchar_t numberText[ROW_NUMBER_TEXT_SIZE];
    wchar_t colourText[ROW_COLOUR_TEXT_SIZE];
    wchar_t* yesText;
    wchar_t* noText;
    HWND editor;
    int editorHeight;
    HWND list;
    HWND parent;
    int currentRow;
    int previousRow;
    HIMAGELIST imageList;
    HFONT valueFont;
    HFONT captionFont;
    HPEN separatorPen;
    WNDPROC ownProcedure;
    // A colour row was pressed and its release is still to come; a release
    // outside the row disarms it, so a further tap on it is ignored.
    bool armed;

private:
    RowData* Row(int row);
    RowData* AddRow(const wchar_t* caption, WORD kind, bool enabled);
    RECT RowBounds(int row);
    void Repaint(int row);
    void DestroyEditor();
    void OpenEditor(int row, const RowData* data, const RECT& bounds);
    void DrawSwatch(HDC dc, const RECT& bounds, COLORREF colour);
};
