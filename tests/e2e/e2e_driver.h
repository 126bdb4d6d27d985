// Drives a real Sorvinta.exe from another process: starts it in a folder of
// its own with a settings file, finds its windows, sends commands, reads the
// controls and works the soft keys, pop-up menus and dialogs the way a user
// would. Everything crosses the process boundary as window messages, so only
// messages Wine marshals are used (commands posted, texts read with
// SendMessageTimeout, never a send that could wait on a modal loop).
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The exe under test, as Wine sees it. A Unix path ("/a/b") is taken as Z:\a\b.
void SetSorvintaExe(const std::string& path);
const std::wstring& SorvintaExe();
std::wstring UnixToWinePath(const std::string& path);

// settings.txt as the program writes it: one section with e-mail and password.
std::string SettingsText(const std::string& email, const std::string& password);

enum SoftKey { SOFTKEY_LEFT, SOFTKEY_RIGHT };  // "Раздел", "Меню"

// How many arrow-key presses select the item of command in its pop-up of the
// exe's menus (the soft keys' and the list's context menu); -1 when no pop-up
// holds it. Read from the exe's own resources, so a test names items by
// command and never by position.
int PopupKeySteps(UINT command);

enum { STATUS_WAIT_MS = 15000 };

// Polls done until it holds (true) or timeoutMs has passed (false, after one
// last look). Every wait of the driver and the tests goes through here.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs);

class SorvintaApp {
public:
    SorvintaApp();
    ~SorvintaApp();  // ends a process still running and removes its folder

    // Copies the exe into a fresh folder with settingsText as settings.txt
    // (none when empty), starts it and waits for the main window and its
    // children. False (with Error() saying why) when that does not happen.
    bool Start(const std::string& settingsText);
    // Starts with a folder named settings.txt: a file there that cannot be read.
    bool StartWithSettingsFolder();
    bool StartWithAccount(const std::string& email, const std::string& password);
    // Started with the account, logged in and showing all friends (not the
    // online ones, which move with the clock).
    bool StartLoggedIn(const std::string& email, const std::string& password);
    // Start in steps, for a caller that times the process start alone:
    // Prepare makes the folder as Start does; Launch starts the process and
    // returns at once; WaitStarted then waits as Start does.
    bool Prepare(const std::string& settingsText);
    bool Launch();
    bool WaitStarted();
    // Takes over a program started earlier (by another driver process).
    bool Attach();
    // Lets the program run on after this object is gone; its folder stays.
    void Detach();
    const std::string& Error() const { return m_error; }

    // Starts a second process of the same exe in the same folder and waits
    // for it to end.
    bool StartSecondInstance(DWORD timeoutMs, DWORD* exitCode);

    HWND MainWindow() const { return m_main; }
    HWND Control(int id) const;
    DWORD ProcessId() const { return m_pi.dwProcessId; }
    HANDLE Process() const { return m_pi.hProcess; }
    bool Running() const;

    // Reads and commands.
    std::wstring ControlText(int id) const;
    std::wstring StatusText() const;
    void Command(WORD id) const;
    bool Responsive(DWORD timeoutMs = 1000) const;
    bool IsMainVisible() const;
    // Threads of the program: a worker that has ended is gone from the count.
    int ThreadCount() const;
    // Waits until at most count threads run (the workers started since have ended).
    bool WaitThreadsAtMost(int count, DWORD timeoutMs = STATUS_WAIT_MS) const;

    // The status text: MarkStatus writes a marker, so that an outcome that
    // repeats the text already shown can still be seen to arrive.
    void MarkStatus() const;
    bool WaitStatus(const std::wstring& text, DWORD timeoutMs = STATUS_WAIT_MS) const;
    // Waits until the text is a final one: neither the marker nor a progress
    // text of the exchange. Gives the text seen last.
    bool WaitFinalStatus(std::wstring* text, DWORD timeoutMs = STATUS_WAIT_MS) const;
    // Command and wait: marks, posts the command, waits for the final text.
    std::wstring CommandAndWait(WORD id, DWORD timeoutMs = STATUS_WAIT_MS) const;

    // The friends list box.
    int ListCount() const;
    std::vector<std::wstring> ListRows() const;
    bool SelectRow(int row) const;  // -1 clears the selection
    int SelectedRow() const;

    // Soft keys, pop-up menus, tap and hold, dialogs.
    HWND SoftKeyBar() const;
    bool PressSoftKey(SoftKey key) const;
    // Taps the program's notification icon in the navigation bar.
    bool TapNotifyIcon() const;
    HWND WaitPopupMenu(DWORD timeoutMs = 5000) const;
    bool WaitNoPopupMenu(DWORD timeoutMs = 5000) const;
    // Chooses the item of command in the open pop-up menu.
    bool ChooseFromPopup(HWND menu, UINT command) const;
    bool DismissPopup(HWND menu) const;
    // Opens the pop-up of a soft key and chooses the item of command.
    bool ChooseFromSoftKey(SoftKey key, UINT command) const;
    // Presses the stylus on a row of the list and keeps it there; the
    // context menu is due after about half a second.
    bool PressAndHoldRow(int row) const;
    void ReleaseList() const;
    HWND WaitDialog(const std::wstring& title, DWORD timeoutMs = 5000) const;
    // The settings dialog: taps a row of its list and waits for the editor
    // that opens over it (null when none does); types a whole new text into
    // an open edit field.
    HWND TapSettingsRow(HWND dialog, int row) const;
    bool TypeInto(HWND editor, const std::wstring& text) const;
    bool WaitWindowGone(HWND window, DWORD timeoutMs = 5000) const;
    // The captcha dialog: whether its picture control holds a picture; the
    // code typed and "Отправить" pressed (no code: "Закрыть"), true once the
    // dialog is gone. The status is marked first, so the outcome can be awaited.
    bool CaptchaShowsPicture(HWND dialog) const;
    bool AnswerCaptcha(HWND dialog, const char* code) const;
    bool WaitMainVisible(bool visible, DWORD timeoutMs = 5000) const;

    // Ending: WM_CLOSE, then the exit code.
    bool Close(DWORD timeoutMs, DWORD* exitCode);
    bool WaitExit(DWORD timeoutMs, DWORD* exitCode);

private:
    bool MakeFolder(const std::string& settingsText);
    bool WaitMainWindow(DWORD timeoutMs);
    void Cleanup();

    PROCESS_INFORMATION m_pi;
    HWND m_main;
    std::wstring m_folder;
    std::wstring m_exe;
    std::string m_error;
};

// A control of one of the program's dialogs: its text, and a whole new text
// set as if typed.
std::wstring ItemText(HWND dialog, int id);
bool SetItemText(HWND dialog, int id, const std::wstring& text);

// The captcha dialog's caption in the resource script.
extern const wchar_t CAPTCHA_TITLE[];

// "Загружено N друзей": N, or -1 for any other text.
int LoadedCount(const std::wstring& status);

// Main windows of the program on the desktop, whichever process owns them.
int CountMainWindows();

// Windows-1251 text of the settings file and the wire, to wide and back.
std::wstring FromCp1251(const std::string& text);
std::string ToUtf8(const std::wstring& text);

// True while the CompareStringW order of the user's locale (the one a
// sorted list box uses) holds between every pair of neighbours.
bool IsSortedLikeListBox(const std::vector<std::wstring>& rows);
void SortLikeListBox(std::vector<std::wstring>& rows);
