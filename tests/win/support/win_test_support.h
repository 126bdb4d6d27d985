// Helpers shared by the Win32 tests (run under Wine, headless). They know
// nothing of the program: message pumping, a window that records what it
// receives, synthetic stylus taps, and picking items from a pop-up menu
// while the thread that opened it is blocked in TrackPopupMenuEx.
//
// Typical use, a soft key that opens a pop-up:
//
//     MessageRecorder owner(L"owner");
//     ... make the soft-key bar for owner.hwnd() ...
//     MenuPicker picker(2);                       // the third item
//     PostClick(bar, 10, 10);                     // the key opens the menu
//     PumpUntil([&] { return owner.Count(WM_COMMAND) > 0; }, 5000);
//     EXPECT_TRUE(picker.Wait());
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "menu_items.h"

// ---------------------------------------------------------------- pumping

// Dispatches every message of the calling thread for about ms milliseconds
// (TranslateMessage and DispatchMessageW; timers and sent messages too).
void PumpMessagesFor(DWORD ms);

// Dispatches what is queued now and returns at once.
void PumpPendingMessages();

// Pumps until done() is true (checked after each batch of messages) or
// timeoutMs has passed. Returns done()'s last value.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// ------------------------------------------------------ recording window

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// A top-level window (or, with a parent, a child window) that records every
// message it gets, then hands it to DefWindowProcW. Destroyed with the
// object. Not copyable.
class MessageRecorder {
public:
    explicit MessageRecorder(const wchar_t* title = L"recorder",
        DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, int x = 40, int y = 40, int width = 200,
        int height = 240, HWND parent = NULL, DWORD exStyle = 0);
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    HWND hwnd() const { return m_hwnd; }
    const std::vector<RecordedMessage>& messages() const { return m_messages; }
    // Messages of one number, in arrival order.
    std::vector<RecordedMessage> Of(UINT message) const;
    size_t Count(UINT message) const;
    // Position of the first message of that number, or -1.
    int IndexOf(UINT message) const;
    // Low words of the WM_COMMAND wParams received, in order.
    std::vector<UINT> Commands() const;
    void Clear() { m_messages.clear(); }
    // Called for every message after it is recorded; returning true (with
    // *result set) answers it instead of DefWindowProcW.
    std::function<bool(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result)> onMessage;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    HWND m_hwnd = NULL;
    std::vector<RecordedMessage> m_messages;
};

// ------------------------------------------------------- input and lookup

// Posts a stylus tap: WM_LBUTTONDOWN (MK_LBUTTON) then WM_LBUTTONUP at the
// client point (x, y) of hwnd. Nothing is dispatched; pump afterwards.
void PostClick(HWND hwnd, int x, int y);

// Posts one mouse message at the client point (x, y).
void PostMouse(HWND hwnd, UINT message, int x, int y, WPARAM keys = 0);

// The first top-level window of this process with that class that owner
// owns (GW_OWNER), or null.
HWND FindOwnedWindow(HWND owner, const wchar_t* className);

// The first top-level window of this process with that class, or null.
HWND FindProcessWindow(const wchar_t* className);

// Polls find (every 10 ms, without pumping: safe from a thread other than
// the one that runs the window) until it gives a window. Null after timeoutMs.
HWND WaitForWindow(HWND (*find)(), DWORD timeoutMs);

RECT WindowRect(HWND hwnd);
RECT ClientRect(HWND hwnd);
std::wstring WindowText(HWND hwnd);
std::wstring ClassName(HWND hwnd);

// ------------------------------------------------------------- pop-up menus

// A visible pop-up menu window ("#32768") of this process, or null.
HWND FindMenuWindow();

// WaitForWindow(FindMenuWindow, timeoutMs).
HWND WaitForMenuWindow(DWORD timeoutMs);

// Chooses the item of command from the next pop-up menu of this process, from
// a helper thread started by the constructor: it waits for the menu window,
// notes which menu it shows (MN_GETHMENU), finds the item there and steps to
// it with VK_DOWN (a pop-up opens with nothing selected; the arrow keys step
// over separators), then VK_RETURN. kCancel, or a command the menu does not
// hold, posts VK_ESCAPE instead. The destructor waits for the helper thread.
class MenuPicker {
public:
    static const UINT kCancel = 0;
    explicit MenuPicker(UINT command, DWORD timeoutMs = 5000);
    ~MenuPicker();
    MenuPicker(const MenuPicker&) = delete;
    MenuPicker& operator=(const MenuPicker&) = delete;

    // Waits for the helper thread; true when a menu was found and keys posted.
    bool Wait();
    // The menu that was shown, or null (valid after Wait).
    HMENU menu() const { return m_menu; }
    // Height of its first item while it showed, 0 if unknown (valid after Wait).
    int firstItemHeight() const { return m_firstItemHeight; }

private:
    static DWORD WINAPI Run(void* self);
    UINT m_command;
    DWORD m_timeoutMs;
    HANDLE m_thread = NULL;
    bool m_found = false;
    HMENU m_menu = NULL;
    int m_firstItemHeight = 0;
};
