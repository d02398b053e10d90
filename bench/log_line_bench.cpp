// The cost of logging: a slot's log calls with logging off against an empty slot, a
// MEMORY line, and a FILE line against a bare open, append and close of the same
// line in the same folder.
#include "diag/log.h"
#include "diag/log_writer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;

using SlotFn = int32_t (*)(char*, int64_t);

int32_t EmptySlot(char*, int64_t) {
    return 0;
}

// A slot as the module writes one, its ENTER and EXIT lines around no work.
int32_t LoggingSlot(char*, int64_t channelID) {
    AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d", "StartAcquisition", static_cast<int>(channelID));
    AIK_LOG(LOG_INFO, "EXIT : %s", "StartAcquisition");
    return 0;
}

// The host calls slots through the record's pointers; so does the benchmark, which
// also keeps the compiler from inlining them.
void CallSlot(benchmark::State& state, SlotFn slot) {
    SlotFn volatile call = slot;
    for (auto _ : state)
        benchmark::DoNotOptimize(call(nullptr, 0));
}

// The log lines the module writes most: one slot's ENTER line.
void LogEnterLine(benchmark::State& state) {
    for (auto _ : state)
        AIK_LOG(LOG_INFO, "ENTER: %s, channelID=%d, index=%d", "GetFeatureName", 0, 3);
}

fs::path BenchFolder() {
    fs::path folder = fs::temp_directory_path() / "aik-log-bench";
    fs::create_directories(folder);
    return folder;
}

void MemoryLine(benchmark::State& state) {
    if (!InitMemoryLog(1 << 20, LOG_DEBUG)) {
        state.SkipWithError("no memory log");
        return;
    }
    LogEnterLine(state);
    CloseLog();
}

void FileLine(benchmark::State& state) {
    const std::string path = (BenchFolder() / "log.txt").string();
    if (!InitFileLog(path.c_str(), LOG_DEBUG)) {
        state.SkipWithError("no file log");
        return;
    }
    LogEnterLine(state);
    CloseLog();
    fs::remove(path);
}

// What FileLine is measured against: a line of the same length, appended the same way.
void BareFileAppend(benchmark::State& state) {
    const std::string path = (BenchFolder() / "bare.txt").string();
    const char* line = "0.512345,API INFO ,ThreadId:0412,ENTER: GetFeatureName, channelID=0, index=3\n";
    for (auto _ : state) {
        FILE* file = fopen(path.c_str(), "a");
        fputs(line, file);
        fclose(file);
    }
    fs::remove(path);
}

BENCHMARK_CAPTURE(CallSlot, EmptySlot, EmptySlot);
BENCHMARK_CAPTURE(CallSlot, SlotWithLoggingOff, LoggingSlot);
BENCHMARK(MemoryLine);
BENCHMARK(BareFileAppend)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(FileLine)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
