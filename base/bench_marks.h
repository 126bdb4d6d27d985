// Timestamps for tools/bench.sh. Off unless the benchmark made the shared
// block before the program started: then each mark writes one performance-
// counter reading into it, and the benchmark divides a refresh or the start
// into its steps. Nothing is written anywhere else. Implemented by app/.
#pragma once

enum BenchMark {
    BenchMarkStaticInit,       // the first static initialiser of the program
    BenchMarkEntry,            // WinMain (main for the floor)
    BenchMarkSettingsStart,    // the settings file is read, parsed, kept
    BenchMarkSettingsDone,     //
    BenchMarkWindowShown,      // the main window shown with its controls
    BenchMarkExchangeStart,    // a friend-list worker begins its exchange
    BenchMarkExchangeDone,     // the whole answer has arrived
    BenchMarkParseDone,        // body cut, member document read, names taken
    BenchMarkListEmptied,      // the list box emptied for the new rows
    BenchMarkModelDone,        // the document kept in the model
    BenchMarkConversionsDone,  // every name in wide text
    BenchMarkFillDone,         // the last row added
    BenchMarkCountShown,       // "Загружено N друзей" in the status bar
    BenchMarkOldListFreed      // the document it replaced released
};

enum { BENCH_MARK_COUNT = 14 };

// The shared block: the program's marks, then the floor's at the same
// indices. Each is a QueryPerformanceCounter value, 0 until marked.
struct BenchMarkBlock {
    long long program[BENCH_MARK_COUNT];
    long long floor[BENCH_MARK_COUNT];
};

#define BENCH_MARKS_NAME L"SorvintaBenchMarks"

// Records the counter for mark when the benchmark asked for marks; else nothing.
void MarkBench(BenchMark mark);
