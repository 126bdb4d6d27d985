// The benchmark's shared block as the program and its floor write into it:
// one code for both, so that a mark costs each of them the same.
#pragma once

#include <windows.h>

#include "base/bench_marks.h"

// One half of the block (the program's or the floor's marks), or null when
// the benchmark made none.
inline volatile long long* OpenBenchMarkHalf(bool floorHalf)
{
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, BENCH_MARKS_NAME);
    if (!mapping)
        return NULL;
    void* view = MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(BenchMarkBlock));
    CloseHandle(mapping);  // the view keeps the block
    if (!view)
        return NULL;
    BenchMarkBlock* block = static_cast<BenchMarkBlock*>(view);
    return floorHalf ? block->floor : block->program;
}

// One performance-counter reading at mark's index, when there are marks.
inline void WriteBenchMark(volatile long long* marks, BenchMark mark)
{
    if (!marks)
        return;
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    marks[mark] = now.QuadPart;
}
