#include "app/picture.h"

#include <ole2.h>
#include <olectl.h>
#include <string.h>

#include "base/late_call.h"

namespace {

// OLE is needed only once a captcha picture arrives, which most runs never
// see: it is loaded then, so that the start does not map and initialise it.
struct OleCalls {
    HRESULT(WINAPI* coInitializeEx)(LPVOID, DWORD);
    void(WINAPI* coUninitialize)();
    HRESULT(WINAPI* createStreamOnHGlobal)(HGLOBAL, BOOL, LPSTREAM*);
    HRESULT(WINAPI* oleLoadPicture)(LPSTREAM, LONG, BOOL, REFIID, LPVOID*);
};

OleCalls LoadOle()
{
    // Kept loaded for the rest of the process: a second picture finds them.
    const HMODULE ole = LoadLibraryW(L"ole32.dll");
    const HMODULE automation = LoadLibraryW(L"oleaut32.dll");
    OleCalls calls = {};
    if (!FindLateCall(ole, "CoInitializeEx", &calls.coInitializeEx)
        || !FindLateCall(ole, "CoUninitialize", &calls.coUninitialize)
        || !FindLateCall(ole, "CreateStreamOnHGlobal", &calls.createStreamOnHGlobal)
        || !FindLateCall(automation, "OleLoadPicture", &calls.oleLoadPicture))
        calls = OleCalls {};
    return calls;
}

// Null when the system has no OLE: then no picture can be decoded.
const OleCalls* Ole()
{
    static const OleCalls calls = LoadOle();
    return calls.oleLoadPicture ? &calls : NULL;
}

IPicture* LoadPicture(const OleCalls& ole, const std::string& bytes)
{
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    void* target = memory ? GlobalLock(memory) : NULL;
    if (!target) {
        if (memory)
            GlobalFree(memory);
        return NULL;
    }
    memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
    IStream* stream = NULL;
    if (FAILED(ole.createStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return NULL;
    }
    IPicture* picture = NULL;
    if (FAILED(ole.oleLoadPicture(stream, (LONG)bytes.size(), FALSE, IID_IPicture, (void**)&picture)))
        picture = NULL;
    stream->Release();  // frees the memory too
    return picture;
}

}  // namespace

HBITMAP DecodePicture(const std::string& bytes, int width, int height)
{
    const OleCalls* ole = Ole();
    if (!ole || bytes.empty() || width <= 0 || height <= 0)
        return NULL;
    // The decoders behind OleLoadPicture are COM objects.
    const HRESULT com = ole->coInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IPicture* picture = LoadPicture(*ole, bytes);
    HBITMAP bitmap = NULL;
    OLE_XSIZE_HIMETRIC pictureWidth = 0;
    OLE_YSIZE_HIMETRIC pictureHeight = 0;
    if (picture && SUCCEEDED(picture->get_Width(&pictureWidth))
        && SUCCEEDED(picture->get_Height(&pictureHeight)) && pictureWidth > 0 && pictureHeight > 0) {
        HDC screen = GetDC(NULL);
        HDC dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(NULL, screen);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all = {0, 0, width, height};
        FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
        SetStretchBltMode(dc, COLORONCOLOR);
        // HIMETRIC runs bottom-up: start at the height and go back.
        const HRESULT drawn
            = picture->Render(dc, 0, 0, width, height, 0, pictureHeight, pictureWidth, -pictureHeight, NULL);
        SelectObject(dc, old);
        DeleteDC(dc);
        if (FAILED(drawn)) {
            DeleteObject(bitmap);
            bitmap = NULL;
        }
    }
    if (picture)
        picture->Release();
    if (SUCCEEDED(com))
        ole->coUninitialize();
    return bitmap;
}
