// Pure: converts a length for a 96-dpi screen to pixels at dpi, halves
// rounded away from zero.
#pragma once

int ScaleForDpi(int v, int dpi);
