// Pictures that come over the network, decoded by the platform's own
// picture support (OLE), never by a decoder of ours.
#pragma once

#include <windows.h>

#include <string>

// A screen-compatible bitmap of width x height with the picture in bytes
// (GIF, JPEG or BMP) stretched onto it; NULL when the bytes are no picture.
// The caller deletes the bitmap.
HBITMAP DecodePicture(const std::string& bytes, int width, int height);
