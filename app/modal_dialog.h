// Opens one of the program's dialog templates modally over the main window.
#pragma once

#include <windows.h>

// The dialog's result, or -1 when the template is missing or cannot be shown.
INT_PTR ShowModalDialog(int templateId, DLGPROC procedure);
