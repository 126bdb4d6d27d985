#include "ui/scale.h"

int ScaleForDpi(int v, int dpi)
{
    // Integer rounding with halves away from zero, symmetric for negatives.
    const long long magnitude = v < 0 ? -(long long)v : (long long)v;
    const long long scaled = (magnitude * dpi + 48) / 96;
    return (int)(v < 0 ? -scaled : scaled);
}
