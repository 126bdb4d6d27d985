#include "base/bench_marks.h"

#include "base/bench_block.h"

namespace {

volatile long long* g_marks = NULL;

// Runs before every other static initialiser of the program, so its mark is
// where static initialisation begins.
struct MarksOpener {
    MarksOpener()
    {
        g_marks = OpenBenchMarkHalf(false);
        MarkBench(BenchMarkStaticInit);
    }
};

MarksOpener g_marksOpener __attribute__((init_priority(101)));

}  // namespace

void MarkBench(BenchMark mark)
{
    WriteBenchMark(g_marks, mark);
}
