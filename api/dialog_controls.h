// The device dialogs create their controls at run time from one table each;
// this lays such a table out on the dialog's frame.
#pragma once

#include <windows.h>

#include <string>

// Sizes that depend on the screen or on the dialog, for the table's width
// and height columns; any other value is pixels of a 96-dpi screen, scaled
// for the screen's (so a VGA screen shows the QVGA layout at twice the size).
enum ControlExtent {
    EXTENT_SCREEN_WIDTH = -1,  // SM_CXSCREEN
    EXTENT_DIALOG_RIGHT = -2,  // right edge of the dialog's window rectangle
    EXTENT_REST = -3           // what the dialog leaves below the control
};

struct ControlRow {
    int id;
    const wchar_t* className;
    const wchar_t* text;
    DWORD style;
    int x, y, width, height;
};

struct DialogFrame {
    int screenWidth;
    int dialogRight;
    int restHeight;
    int dpi;
};

// Moves the dialog to x 0, y S(26) at the screen's width and the given
// height, and gives the frame its controls are laid out on.
DialogFrame PlaceDeviceDialog(HWND dialog, int height, int dpi, int restHeight);

// Creates the rows in order; or, with move, places the existing ones again.
void LayOutControls(HWND dialog, const ControlRow* rows, int count, const DialogFrame& frame, bool move);

// A dialog's wide text in the ANSI code page, as requests carry it.
std::string TypedToAnsi(const std::wstring& text);
