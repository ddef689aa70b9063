// The compiler library's speed: the largest legal panel compiled with its
// file I/O, the command lookup and the running-simulation effect.
#include "benchstatistics.h"
#include "catalogue.h"
#include "compiler.h"
#include "kn4edit2.h"

#include "kn4/filereader.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// 10 definitions and 999 commands; definition 0 alternates two stripes for
// 9800 courses, so the code is close to its 10000-byte limit.
std::string largestPanel()
{
    std::string text = "SORGENTE.KN4\r\n"
                       "tipo MAGLI, taglia 42,parte DAVANTI---  \r\n"
                       "frontura 400, densita 12------          \r\n"
                       "costina 200                             \r\n"
                       "scollo   20                             \r\n"
                       "predisposizione 1                       \r\n"
                       "uscita 1                                \r\n"
                       "; --- Inizio programma ;FGHIJKLM\r\n"
                       "definizione ALTRO                       \r\n"
                       "rigato        1, 1   ,-1   ;            \r\n"
                       "rigato        2, 1   , 4900;            \r\n";
    int commands = 2;
    for (int d = 1; d < 10; ++d) {
        text += "definizione ALTRO                       \r\n";
        const int rows = d < 9 ? 111 : 999 - commands;
        for (int r = 0; r < rows; ++r)
            text += "liscio         , 9   ,-1   ;            \r\n";
        commands += rows;
    }
    return text;
}

void BM_CompilazioneLargestPanel(benchmark::State &state)
{
    const fs::path dir = fs::temp_directory_path() / ("kn4bench" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/italiano/VUZUDO.KEY", dir / "VUZUDO.KEY",
                  fs::copy_options::overwrite_existing);
    const fs::path panel = dir / "GRANDE.KN4";
    const std::string source = largestPanel();
    std::ofstream(panel, std::ios::binary) << source;
    static char report[KN4_REPORT_SIZE];

    int result = Compilazione(panel.c_str(), dir.c_str(), report);
    if (result != KN4_COMPILED)
        state.SkipWithError(report);
    for (auto _ : state) {
        result = Compilazione(panel.c_str(), dir.c_str(), report);
        benchmark::DoNotOptimize(result);
    }
    state.counters["code_bytes"] = double(fs::file_size(panel) - source.size());
    fs::remove_all(dir);
}
BENCHMARK(BM_CompilazioneLargestPanel)->Unit(benchmark::kMicrosecond);

// The least a safe rewrite of the compiled panel can cost: the same bytes
// into an exclusive temporary file beside it, flushed, renamed over it, and
// the folder flushed. Returns false when a step fails.
bool atomicWriteFloor(const fs::path &target, const std::string &bytes)
{
    const std::string temp = target.string() + ".floor";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    bool ok = ::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    const int folder = ::open(target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ok = folder >= 0 && ::fsync(folder) == 0 && ok;
    if (folder >= 0)
        ::close(folder);
    if (!ok)
        ::unlink(temp.c_str());
    return ok;
}

// Compilazione of the largest panel against the floor above, in turns in
// the same run (so both meet the same disk and the same load): the time is
// the compilation's, "floor_us" the write's and "ratio" the one over the
// other, summed over the iterations.
void BM_CompilazioneAgainstAtomicWrite(benchmark::State &state)
{
    using Clock = std::chrono::steady_clock;
    const fs::path dir = fs::temp_directory_path() / ("kn4floor" + std::to_string(::getpid()));
    fs::create_directories(dir);
    fs::copy_file(fs::path(KN4_SOURCE_DIR) / "data/italiano/VUZUDO.KEY", dir / "VUZUDO.KEY",
                  fs::copy_options::overwrite_existing);
    const fs::path panel = dir / "GRANDE.KN4";
    const fs::path copy = dir / "COPIA.KN4";
    std::ofstream(panel, std::ios::binary) << largestPanel();
    static char report[KN4_REPORT_SIZE];
    if (Compilazione(panel.c_str(), dir.c_str(), report) != KN4_COMPILED) {
        state.SkipWithError(report);
        return;
    }
    const kn4::FileContent compiled = kn4::FileReader::read(panel, kn4::FileReader::kPanelLimit);
    if (!compiled.ok()) {
        state.SkipWithError("the compiled panel cannot be read");
        return;
    }
    const std::string &bytes = compiled.bytes;

    Clock::duration compiling{};
    Clock::duration writing{};
    for (auto _ : state) {
        const auto start = Clock::now();
        const int result = Compilazione(panel.c_str(), dir.c_str(), report);
        const auto middle = Clock::now();
        const bool written = atomicWriteFloor(copy, bytes);
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(middle - start).count());
        compiling += middle - start;
        writing += end - middle;
        if (result != KN4_COMPILED || !written)
            state.SkipWithError("a compilation or a write failed");
    }
    const double iterations = double(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["floor_us"] = std::chrono::duration<double, std::micro>(writing).count() / iterations;
    state.counters["ratio"] = writing.count() > 0 ? double(compiling.count()) / double(writing.count()) : 0.0;
    state.counters["bytes"] = double(bytes.size());
    fs::remove_all(dir);
}
BENCHMARK(BM_CompilazioneAgainstAtomicWrite)->UseManualTime()->Unit(benchmark::kMicrosecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

// The same panel through the stages alone, without the files.
void BM_CompileSourceLargestPanel(benchmark::State &state)
{
    const std::string source = largestPanel().substr(14);
    kn4::compiler::Compiler compiler;
    for (auto _ : state)
        benchmark::DoNotOptimize(compiler.compileSource(source.data(), source.size()));
    state.counters["code_bytes"] = compiler.machine().codeLength();
    state.counters["steps"] = compiler.machine().steps();
    if (compiler.reader().commands().fill != 2997)
        state.SkipWithError("the panel does not hold 999 commands");
}
BENCHMARK(BM_CompileSourceLargestPanel)->Unit(benchmark::kMicrosecond);

void BM_CercaFunzioneAllWords(benchmark::State &state)
{
    char name[KN4_TEXT_SIZE];
    int32_t index;
    for (auto _ : state) {
        for (int32_t i = 0; i < KN4_COMMANDS; ++i) {
            const std::string_view word = kn4::compiler::commandWord(i);
            char buffer[KN4_TEXT_SIZE] = {};
            word.copy(buffer, sizeof buffer - 1);
            CercaFunzione(buffer, name, &index);
            benchmark::DoNotOptimize(index);
        }
    }
    state.SetItemsProcessed(state.iterations() * KN4_COMMANDS);
}
BENCHMARK(BM_CercaFunzioneAllWords);

void BM_SimulaFunzione(benchmark::State &state)
{
    Kn4Simulazione record{};
    for (auto _ : state) {
        for (int32_t i = -1; i < KN4_COMMANDS; ++i) {
            record.p1 = 2;
            record.p2 = -5;
            record.lato = i & 1;
            SimulaFunzione(i, &record);
            benchmark::DoNotOptimize(record);
        }
    }
    state.SetItemsProcessed(state.iterations() * (KN4_COMMANDS + 1));
}
BENCHMARK(BM_SimulaFunzione);

} // namespace
