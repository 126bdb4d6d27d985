// Screen resolution and scaling of 96-dpi lengths.
#pragma once

#include "ui/scale.h"

// Pixels per logical inch of the screen, read once; -1 without a screen DC.
int GetScreenDpiX();
int GetScreenDpiY();

inline int SX(int v)
{
    return ScaleForDpi(v, GetScreenDpiX());
}
inline int SY(int v)
{
    return ScaleForDpi(v, GetScreenDpiY());
}
