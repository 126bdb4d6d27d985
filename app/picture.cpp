#include "app/picture.h"

#include <ole2.h>
#include <olectl.h>
#include <string.h>

namespace {

IPicture* LoadPicture(const std::string& bytes)
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
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return NULL;
    }
    IPicture* picture = NULL;
    if (FAILED(OleLoadPicture(stream, (LONG)bytes.size(), FALSE, IID_IPicture, (void**)&picture)))
        picture = NULL;
    stream->Release();  // frees the memory too
    return picture;
}

}  // namespace

HBITMAP DecodePicture(const std::string& bytes, int width, int height)
{
    if (bytes.empty() || width <= 0 || height <= 0)
        return NULL;
    // The decoders behind OleLoadPicture are COM objects.
    const HRESULT com = CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    IPicture* picture = LoadPicture(bytes);
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
        CoUninitialize();
    return bitmap;
}
