// The compiler library's speed: the largest legal panel compiled with its
// file I/O, the command lookup and the running-simulation effect.
#include "catalogue.h"
#include "compiler.h"
#include "kn4edit2.h"

#include <benchmark/benchmark.h>

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
