// The simulator's speed: every zoom and pan reruns the whole simulation, so
// maglia and the painting of its picture must fit in one frame. The panel is
// the longest legal code, close to 10000 bytes, made of long count-byte
// repeats: plain courses, carrier changes, half-needle widenings and edge
// decreases, each run repeated 128 times by its count bytes.
#include "benchpanels.h"
#include "benchstatistics.h"
#include "simulator/drawingraster.h"
#include "simulator/knitengine.h"

#ifdef KN4_SIM_QT_PAINTER
#include "coursepainter.h"
#include "previewpage.h"
#include "simulatorstartup.h"
#include "simulatorwindow.h"

#include <QApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <memory>
#endif

#include <benchmark/benchmark.h>

#include <string>

using namespace kn4;

namespace {

void setUp(KnitEngine &engine)
{
    KnitStartValues values;
    values.setup = 2;
    values.ribRight = 120;
    values.ribLeft = 120;
    values.borderHeight = 6;
    values.coursesPerCm = 4.5;
    engine.setPanel(values, kn4::bench::longestCode());
    engine.drawingView().scale = 2;
}

// The picture of the main window at high resolution, in pixels.
constexpr int kPictureSize = 713;

void BM_maglia(benchmark::State &state)
{
    KnitEngine engine;
    setUp(engine);
    for (auto _ : state) {
        engine.maglia();
        benchmark::DoNotOptimize(engine.drawing().size());
    }
    state.counters["courses"] = double(engine.state().course);
    state.counters["primitives"] = double(engine.drawing().size());
}
BENCHMARK(BM_maglia)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

void BM_magliaValuesOnly(benchmark::State &state)
{
    KnitEngine engine;
    setUp(engine);
    engine.setRecording(false);
    for (auto _ : state) {
        engine.maglia();
        benchmark::DoNotOptimize(engine.stitches().total);
    }
}
BENCHMARK(BM_magliaValuesOnly)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

void BM_magliaAndRaster(benchmark::State &state)
{
    KnitEngine engine;
    setUp(engine);
    for (auto _ : state) {
        engine.maglia();
        DrawingRaster raster(kPictureSize, kPictureSize);
        raster.paint(engine.drawing());
        benchmark::DoNotOptimize(raster.pixel(0, 0));
    }
}
BENCHMARK(BM_magliaAndRaster)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

#ifdef KN4_SIM_QT_PAINTER
void BM_magliaAndPaint(benchmark::State &state)
{
    KnitEngine engine;
    setUp(engine);
    QImage image(kPictureSize, kPictureSize, QImage::Format_RGB32);
    for (auto _ : state) {
        engine.maglia();
        QPainter painter(&image);
        simulator::CoursePainter::paint(painter, engine.drawing(), QRectF(image.rect()));
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_magliaAndPaint)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

// The print of the simulator: the preview's page painted as vectors and
// text into a PDF file. Qt's font database needs an application; the
// offscreen platform needs no display.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "simulator_bench";
    static char *argv[] = {name, nullptr};
    if (!qApp) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(argc, argv);
    }
}

// The page of the longest code at the least scale, every primitive on it.
void BM_printLongestCodeToPdf(benchmark::State &state)
{
    ensureApplication();
    KnitEngine engine;
    setUp(engine);
    engine.maglia();
    simulator::PreviewPage page;
    page.size = QSize(620, 877);
    page.title = QStringLiteral("/ARCHIVI/DEMO/LUNGO.KN4");
    page.titleRect = QRect(50, 4, 520, 36);
    page.pictureRect = QRect(50, 44, 520, 520);
    page.drawing = &engine.drawing();
    page.text = QStringLiteral("Tipo prodotto           : MARIN\nDensit\u00e0                : 13.5");
    page.textRect = QRect(50, 576, 520, 290);
    page.textFont = QFont(QStringLiteral("Liberation Mono"), 8);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("lungo.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        QPainter painter(&printer);
        page.paint(painter, printer.pageLayout().paintRectPixels(printer.resolution()));
        painter.end();
    }
    state.counters["primitives"] = double(engine.drawing().size());
    state.counters["pdf_bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_printLongestCodeToPdf)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);

// Stampa of the window on the front of the sample archive, as a user prints
// it from the preview (without the print dialog).
void BM_printDavantiFromTheWindow(benchmark::State &state)
{
    ensureApplication();
    QTemporaryDir dir;
    const std::string program = KN4_PROGRAM_DIR;
    auto startup = simulator::SimulatorStartup::run(
        program + "/archivi/DEMO/DAVANTI.KN4," + program + "/italiano/", dir.path().toStdString());
    if (startup.ended()) {
        state.SkipWithError(startup.fatalMessage.c_str());
        return;
    }
    simulator::SimulatorWindow window(startup);
    window.Anteprima_Click();
    const QString file = dir.filePath(QStringLiteral("DAVANTI.pdf"));
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        if (!window.printPage(printer))
            state.SkipWithError("the printer did not start");
    }
    state.counters["pdf_bytes"] = double(QFileInfo(file).size());
}
BENCHMARK(BM_printDavantiFromTheWindow)->Unit(benchmark::kMillisecond)
    ->ComputeStatistics("min", kn4::bench::minimum);
#endif

} // namespace
