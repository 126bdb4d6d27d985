// Commands of the main window's menus and of the friends list's context menu.
#pragma once

#include <windows.h>

// Runs one command of the main or section pop-up (or its soft key or
// accelerator); false when the id has no handler here.
bool HandleMainCommand(HWND window, UINT id);

// Runs one command picked from the context menu; ids without a meaning do
// nothing.
void HandleContextCommand(UINT id);

// A pop-up of the main window is opening: record it and bring the connect
// caption and the all/online mark up to date.
void OnMenuPopup(HMENU popup);

void ConnectOrDisconnect();
// act is the issuing menu's own buffer; the worker gets its address.
void RefreshFriendList(char* act);
// Starts the friend-list worker for act with a fresh refresh ticket.
void StartFriendListWorker(const char* act);
// Inverts the all/online filter and marks item itemId of the last pop-up.
void ToggleOnlineOnly(UINT itemId);
void DeleteSelectedContact();
void ClearFriendList();
void ShowAboutBox();
void ShowAllFriends();
void ShowMutualFriends();
void ShowMyPage();
