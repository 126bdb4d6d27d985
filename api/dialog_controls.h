// The device dialogs create their controls at run time from one table each;
// this lays such a table out on the dialog's frame.
#pragma once

#include <windows.h>

#include <string>

#include "api/data_request.h"
#include "base/shell.h"
#include "net/session.h"
#include "net/text.h"

// Sizes that depend on the screen or on the dialog, for the table's width
// and height columns; any other value is pixels of a 96-dpi screen, scaled
// for the screen's (so a VGA screen shows the QVGA layout at twice the size).
enum ControlExtent {
    ExtentScreenWidth = -1,  // SM_CXSCREEN
    ExtentDialogRight = -2,  // right edge of the dialog's window rectangle
    ExtentRest = -3          // what the dialog leaves below the control
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

// The height of a dialog between the navigation bar and the main window's
// status bar, which stays in view above the soft-key bar.
int HeightAboveStatusBar(int dpi);

// Moves the dialog to x 0, below the navigation bar, at the screen's width and the given
// height, and gives the frame its controls are laid out on.
DialogFrame PlaceDeviceDialog(HWND dialog, int height, int dpi, int restHeight);

// Creates the rows in order; or, with move, places the existing ones again.
void LayOutControls(HWND dialog, const ControlRow* rows, int count, const DialogFrame& frame, bool move);

// A dialog's wide text in the ANSI code page, as requests carry it.
std::string TypedToAnsi(const std::wstring& text);

// A dialog in which a text is typed and sent with the send bar. It ends
// above the main window's status bar; its ExtentRest row takes what is left.
struct TypingDialog {
    const ControlRow* rows;
    int count;
    int editId;  // the field the text is typed in
};

// The device dialog with the send bar, its rows made, the edit field held to
// what one request can carry.
void InitTypingDialog(HWND dialog, const TypingDialog& shape);

// The caret at the end of the edit field's text, ready for typing; the
// dialog's WM_INITDIALOG then answers FALSE.
void FocusTypingField(HWND dialog, const TypingDialog& shape);

// The dialog and its rows placed again for a screen of dpi.
void PlaceTypingDialog(HWND dialog, const TypingDialog& shape, int dpi);

// The edit field's text, TYPED_TEXT_LIMIT characters at the most.
std::wstring ReadTypedText(HWND dialog, const TypingDialog& shape);

// Whether the text can be sent as typed; if not, the status bar names the
// first character the ANSI code page lacks, and the dialog stays open with it.
bool SendableAsTyped(const std::wstring& text);

// What every typed job carries: the text as typed, the same URL-encoded in
// the ANSI code page, the act it is sent with and the session it was
// written in. False, nothing filled in, when the text cannot be sent as it is.
template <class Job> bool ReadTypedJob(HWND dialog, const TypingDialog& shape, const char* act, Job* job)
{
    const std::wstring typed = ReadTypedText(dialog, shape);
    if (!SendableAsTyped(typed))
        return false;
    job->typed = typed;
    job->text = UrlEncode(TypedToAnsi(job->typed));
    job->act = act;
    job->session = CurrentSession();
    return true;
}

// A request too long for its buffer is caught here, while the user still
// has his text in front of him: tooLong goes on the status bar and the
// dialog stays open. The worker checks again with its own session.
// compose(sid, memberId, buffer, size) gives a DataRequestResult.
template <class Compose> bool RequestFits(Compose compose, const wchar_t* tooLong)
{
    char sid[SESSION_ID_SIZE];
    char memberId[SESSION_ID_SIZE];
    ReadSessionIds(sid, memberId);
    char request[DATA_REQUEST_SIZE];
    if (compose(sid, memberId, request, sizeof(request)) != DataRequestTooLong)
        return true;
    SetStatusText(tooLong);
    return false;
}
