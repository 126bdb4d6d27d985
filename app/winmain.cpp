// Process entry: start-up, then the message loop with the accelerators.
#include <windows.h>

#include "app/main_window.h"
#include "base/bench_marks.h"
#include "resources/resource.h"

#ifdef _WIN32_WCE
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int showCommand)
#else
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand)
#endif
{
    MarkBench(BenchMarkEntry);
    if (!InitMainWindow(instance, showCommand))
        return 0;
    HACCEL accelerators = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDA_MAIN));

    MSG message = {};
    while (GetMessageW(&message, NULL, 0, 0) > 0) {
        if (!TranslateAcceleratorW(message.hwnd, accelerators, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    // Workers are never waited for. End the process here, before static
    // destruction could tear down state a still-running worker writes.
    ExitProcess((UINT)message.wParam);
}
