// SPDX-License-Identifier: GPL-3.0-or-later
// quorra-bench: the figures a player feels, each measured side by side with its baseline in one run, then a
// summary line per figure: "figure ratio goal met" or "figure ratio goal MISSED".
#include "BenchInputs.h"
#include "BenchSummary.h"
#include "SummaryReporter.h"
#include "XServerProbe.h"

#include "Documents.h"
#include "Effects.h"
#include "MainWindow.h"
#include "PicturePanel.h"
#include "PictureView.h"
#include "PointerControl.h"
#include "Puzzle.h"
#include "PuzzleDocument.h"
#include "SoundPlayer.h"
#include "WorkingBitmap.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

namespace quorra {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PhotoWidth = 6000, PhotoHeight = 4000;

bool quick = false;

struct Inputs {
    QTemporaryDir folder;
    QImage photo;         // 24 megapixels
    QString bigPuzzle;    // the photo, 3 x 3, Hidden
    QByteArray bigJpeg;   // its JPEG stream
    QString startPuzzle;  // a 2-megapixel photo, 3 x 3, Transparent: what start and idle show
    QString configFolder; // settings of the started programs: no demo window, no sound
};

Inputs *inputs = nullptr;

// Makes the three sounds silent: the benchmark measures pictures, not the audio device.
class SilentPlayer : public SoundPlayer
{
public:
    bool open(const QString &) override { return false; }
    void play() override {}
};

// The pointer stays where it is: a warp would come back as a move event and snap the drag being measured.
class StillPointer : public PointerControl
{
public:
    void moveTo(QPoint, QWindow *) override {}
    void confine(const QRect &, QWindow *) override {}
    void release() override {}
};

void makeInputs()
{
    inputs = new Inputs;
    inputs->photo = makePhotograph(PhotoWidth, PhotoHeight);
    inputs->bigPuzzle = inputs->folder.filePath(QStringLiteral("big.nbq"));
    makePuzzleFile(inputs->photo, inputs->bigPuzzle, Effect::Hidden, 3, 3, false, false);
    inputs->bigJpeg = jpegPartOf(inputs->bigPuzzle);
    inputs->startPuzzle = inputs->folder.filePath(QStringLiteral("start.nbq"));
    makePuzzleFile(makePhotograph(1800, 1200), inputs->startPuzzle, Effect::Transparent, 3, 3, false, false);
    inputs->configFolder = inputs->folder.filePath(QStringLiteral("config"));
    writeSettings(inputs->configFolder + QStringLiteral("/quorra"), QStringLiteral("quorra"));
    writeSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                  QCoreApplication::applicationName());
    std::printf("Inputs: %d x %d photograph, JPEG stream of %.1f MB in %s\n", PhotoWidth, PhotoHeight,
                inputs->bigJpeg.size() / 1e6, qPrintable(inputs->folder.path()));
}

// ---- open and save ----

// Opens a puzzle file as the main window does: the panel is known before the file is opened, then the opening
// tangle (unpaced) and the fit to the panel.
void openInto(PuzzleDocument &document, const QString &path, int panelWidth, int panelHeight)
{
    Puzzle &puzzle = document.puzzle();
    puzzle.setOpenPanel(QSize(panelWidth, panelHeight), false);
    if (document.open(path).result != LoadResult::Loaded)
        throw std::runtime_error("the puzzle file did not open");
    puzzle.tangle();
    puzzle.updateFit(panelWidth, panelHeight, false);
}

// What opening a puzzle file costs the program: read, decode, tangle unpaced, fitted to a 1920 x 1080 panel.
void openFitted(const QString &path, int panelWidth, int panelHeight)
{
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    openInto(document, path, panelWidth, panelHeight);
    document.puzzle().bestFit();
    benchmark::DoNotOptimize(display.constBits());
}

void openQuorra(benchmark::State &state)
{
    for (auto _ : state)
        openFitted(inputs->bigPuzzle, 1920, 1080);
}

void openLibjpeg(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage picture = decodeWithLibjpeg(inputs->bigJpeg);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

// A new puzzle of the 24-megapixel picture, fitted to 1920 x 1080, saved: its picture is encoded.
void saveQuorra(benchmark::State &state)
{
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    document.setPicture(inputs->photo);
    document.setUp(Effect::Hidden, 3, 3, false, false, false);
    document.puzzle().updateFit(1920, 1080, false);
    const QString path = inputs->folder.filePath(QStringLiteral("saved.nbq"));
    for (auto _ : state) {
        // A picture handed over anew (the bitmap is shared, not copied) has no stream yet: every save encodes.
        document.setPicture(inputs->photo);
        // Save As as the window does it: the file, then the tangle a saved puzzle is played from.
        document.save(path);
        document.puzzle().tangle();
    }
}

// The 24-megapixel puzzle opened as the window opens it and saved under another name: its stream is written back.
void resaveQuorra(benchmark::State &state)
{
    QImage display;
    PuzzleDocument document(&display, &concealmentTexture());
    openInto(document, inputs->bigPuzzle, 1920, 1080);
    const QString path = inputs->folder.filePath(QStringLiteral("resaved.nbq"));
    for (auto _ : state) {
        document.save(path);
        document.puzzle().tangle();
    }
}

void saveLibjpeg(benchmark::State &state)
{
    for (auto _ : state) {
        const QByteArray stream = encodeWithLibjpeg(inputs->photo);
        benchmark::DoNotOptimize(stream.constData());
    }
}

// ---- rebuild ----

// A 24-megapixel puzzle, 4 x 4 with an empty row and column, in set-up, fitted to a 3840 x 2160 panel.
struct RebuildPuzzle {
    QImage display;
    Puzzle puzzle{&display, &concealmentTexture()};
    explicit RebuildPuzzle(qint32 effect)
    {
        puzzle.setPicture(inputs->photo);
        puzzle.zoomTo(0.05);
        puzzle.setUp(effect, 4, 4, false, true, true);
        puzzle.updateFit(3840, 2160, false);
        puzzle.bestFit();
    }
};

void rebuildQuorra(benchmark::State &state, qint32 effect)
{
    RebuildPuzzle p(effect);
    for (auto _ : state)
        p.puzzle.rebuild();
    state.counters["display_width"] = p.display.width();
    state.counters["display_height"] = p.display.height();
}

void rebuildScaled(benchmark::State &state)
{
    RebuildPuzzle p(Effect::TopSecret);
    const QSize size = p.display.size();
    for (auto _ : state) {
        const QImage scaled = inputs->photo.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(scaled.constBits());
    }
}

// ---- drag frame ----

// The main window, offscreen, with the 24-megapixel puzzle 4 x 4 plus an empty row and column fitted to a
// 3840 x 2160 panel, and a row caught and being dragged.
struct DragWindow {
    std::unique_ptr<MainWindow> form;
    QRect band;
    int x = 0, y = 0;

    DragWindow()
    {
        form = std::make_unique<MainWindow>(nullptr, [] { return std::make_unique<SilentPlayer>(); });
        form->setTangleStepMs(0);
        form->play().setPointerControl(std::make_unique<StillPointer>());
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            throw std::runtime_error("the window was not exposed");
        for (int attempt = 0; attempt < 20; ++attempt) {
            PicturePanel *panel = form->picturePanel();
            if (panel->clientWidth() == 3840 && panel->clientHeight() == 2160)
                break;
            form->resize(form->width() + 3840 - panel->clientWidth(), form->height() + 2160 - panel->clientHeight());
            QTest::qWait(5);
        }
        const QString path = inputs->folder.filePath(QStringLiteral("drag.nbq"));
        if (!QFile::exists(path))
            makePuzzleFile(inputs->photo, path, Effect::Hidden, 4, 4, true, true);
        form->documents().openPuzzleFile(path);
        // The file is decoded on a worker thread; the opening ends on the event loop.
        if (!QTest::qWaitFor([this] { return !form->documents().isLoading(); }, 60000) || !form->documents().puzzle())
            throw std::runtime_error("the puzzle file did not open");
        QCoreApplication::processEvents();
        Puzzle &p = *form->documents().puzzle();
        const QPoint c = p.cellCentre(CellPos(2, 2));
        form->play().press(Qt::LeftButton, {}, c.x(), c.y());
        x = c.x() + p.dragThreshold() + 1;
        y = c.y();
        form->play().move(Qt::LeftButton, {}, x, y);
        QCoreApplication::processEvents();
        if (p.dragState() != DragState::Row)
            throw std::runtime_error(
                QStringLiteral("the row drag did not start (panel %1 x %2, display %3 x %4, state %5)")
                    .arg(form->picturePanel()->clientWidth())
                    .arg(form->picturePanel()->clientHeight())
                    .arg(p.display().width())
                    .arg(p.display().height())
                    .arg(int(p.dragState()))
                    .toStdString());
        band = QRect(0, (p.selected().y() - 1) * p.cellHeight(), p.display().width(), p.cellHeight());
    }

    // One pointer move along the row that stays clear of every cell centre, so that no move is committed.
    void move()
    {
        const Puzzle &p = *form->documents().puzzle();
        x += 1;
        if (p.nearCellCentre(x, y))
            x += 2 * p.dragThreshold() + 1;
        // The band's width, not the display's: reading the display would write the moving line into it first,
        // work the window does only once the drag is done.
        if (x >= band.width())
            x = p.cellCentre(CellPos(1, 1)).x() + p.dragThreshold() + 1;
        form->play().move(Qt::LeftButton, {}, x, y);
        // Paints what the move invalidated into the window's backing store, in the screen's format.
        form->pictureView()->repaint(band);
    }
};

void dragQuorra(benchmark::State &state)
{
    DragWindow window;
    for (auto _ : state)
        window.move();
    state.counters["band_width"] = window.band.width();
    state.counters["band_height"] = window.band.height();
}

void dragMemcpy(benchmark::State &state)
{
    DragWindow window;
    const QImage &display = window.form->documents().puzzle()->display();
    QImage copy = display.copy(window.band);
    const size_t bytes = size_t(window.band.width()) * 3;
    for (auto _ : state) {
        for (int y = 0; y < window.band.height(); ++y)
            std::memcpy(copy.scanLine(y), display.constScanLine(window.band.top() + y), bytes);
        benchmark::ClobberMemory();
    }
}

// ---- effects ----

QImage effectCell()
{
    return inputs->photo.copy(1000, 1000, 1000, 1000);
}

void effectQuorra(benchmark::State &state, qint32 effect)
{
    QImage cell = effectCell();
    for (auto _ : state) {
        applyEffect(cell, effect, 7, concealmentTexture());
        benchmark::ClobberMemory();
    }
}

void effectMemcpy(benchmark::State &state)
{
    const QImage from = effectCell();
    QImage to = effectCell();
    for (auto _ : state) {
        std::memcpy(to.bits(), from.constBits(), size_t(from.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}

// ---- start, memory and idle: other processes ----

XServerProbe *xServer = nullptr;

QStringList childEnvironment()
{
    return {QStringLiteral("XDG_CONFIG_HOME=") + inputs->configFolder};
}

void startQuorra(benchmark::State &state)
{
    for (auto _ : state) {
        const double seconds = xServer->startAndWaitForPaint(QStringLiteral(QUORRA_PROGRAM), {inputs->startPuzzle},
                                                             childEnvironment(), true, 30);
        xServer->stop();
        if (seconds < 0) {
            state.SkipWithError("quorra showed no painted puzzle within 30 s");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void startEmptyWindow(benchmark::State &state)
{
    for (auto _ : state) {
        const double seconds =
            xServer->startAndWaitForPaint(QStringLiteral(QUORRA_EMPTY_WINDOW), {}, childEnvironment(), false, 30);
        xServer->stop();
        if (seconds < 0) {
            state.SkipWithError("the empty window did not show within 30 s");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

double residentKilobytes(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(std::strlen(key))).trimmed().split(' ').first().toDouble();
    return -1;
}

// Run in a child process: opens the puzzle as the program does and reports the peak resident memory.
int memoryChild(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const double before = residentKilobytes("VmRSS:");
    openFitted(QString::fromLocal8Bit(argv[2]), 1920, 1080);
    std::printf("%.0f %.0f\n", before, residentKilobytes("VmHWM:"));
    return 0;
}

void memory(benchmark::State &state)
{
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), inputs->bigPuzzle});
        if (!child.waitForFinished(120000) || child.exitCode() != 0) {
            state.SkipWithError("the memory probe failed");
            break;
        }
        const QList<QByteArray> numbers = child.readAllStandardOutput().trimmed().split(' ');
        const double source = double(PhotoWidth) * PhotoHeight * 3;
        state.counters["before_open_MB"] = numbers.value(0).toDouble() * 1024 / 1e6;
        state.counters["peak_MB"] = numbers.value(1).toDouble() * 1024 / 1e6;
        state.counters["source_MB"] = source / 1e6;
    }
}

void idle(benchmark::State &state)
{
    const double window = quick ? 2.0 : 10.0;
    for (auto _ : state) {
        if (xServer->startAndWaitForPaint(QStringLiteral(QUORRA_PROGRAM), {inputs->startPuzzle}, childEnvironment(),
                                          true, 30)
            < 0) {
            state.SkipWithError("quorra showed no painted puzzle within 30 s");
            break;
        }
        // Let the start-up settle (deferred loading, the first command updates) before the quiet time is measured.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double before = XServerProbe::cpuSeconds(xServer->child());
        std::this_thread::sleep_for(std::chrono::duration<double>(window));
        const double after = XServerProbe::cpuSeconds(xServer->child());
        xServer->stop();
        state.SetIterationTime(window);
        state.counters["cpu_percent"] = 100.0 * (after - before) / window;
    }
}

// ---- registration and summary ----

void Register()
{
    auto heavy = [](benchmark::internal::Benchmark *b, int full) {
        b->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(quick ? 1 : full);
    };
    auto timed = [](benchmark::internal::Benchmark *b, int full) {
        b->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(quick ? 1 : full);
    };
    auto light = [](benchmark::internal::Benchmark *b) {
        b->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(quick ? 0.02 : 0.5);
    };
    // Each figure's own run and its baseline are registered next to each other, so the two see the same load.
    heavy(benchmark::RegisterBenchmark("open/quorra", openQuorra), 5);
    heavy(benchmark::RegisterBenchmark("open/libjpeg", openLibjpeg), 5);
    heavy(benchmark::RegisterBenchmark("save/quorra", saveQuorra), 5);
    heavy(benchmark::RegisterBenchmark("save/libjpeg", saveLibjpeg), 5);
    heavy(benchmark::RegisterBenchmark("resave/quorra", resaveQuorra), 5);
    heavy(benchmark::RegisterBenchmark("resave/libjpeg", saveLibjpeg), 5);
    for (int e = 0; e < 7; ++e)
        heavy(benchmark::RegisterBenchmark((std::string("rebuild/quorra/") + EffectNames[e]).c_str(), rebuildQuorra,
                                           qint32(e)),
              5);
    heavy(benchmark::RegisterBenchmark("rebuild/qimage_scaled", rebuildScaled), 10);
    light(benchmark::RegisterBenchmark("drag_frame/quorra", dragQuorra));
    light(benchmark::RegisterBenchmark("drag_frame/memcpy", dragMemcpy));
    for (int e = 0; e < 7; ++e)
        light(benchmark::RegisterBenchmark((std::string("effect/quorra/") + EffectNames[e]).c_str(), effectQuorra,
                                           qint32(e)));
    light(benchmark::RegisterBenchmark("effect/memcpy", effectMemcpy));
    timed(benchmark::RegisterBenchmark("start/quorra", startQuorra), 5);
    timed(benchmark::RegisterBenchmark("start/empty_window", startEmptyWindow), 5);
    heavy(benchmark::RegisterBenchmark("memory", memory), 1);
    timed(benchmark::RegisterBenchmark("idle", idle), 1);
}

} // namespace

} // namespace quorra

using namespace quorra;

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc >= 3 && std::strcmp(argv[1], "--memory-child") == 0)
        return memoryChild(argc, argv);

    std::vector<char *> arguments;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
        else
            arguments.push_back(argv[i]);
    }
    if (qEnvironmentVariableIntValue("QUORRA_BENCH_QUICK") == 1)
        quick = true;
    int count = int(arguments.size());
    arguments.push_back(nullptr);

    // The in-process figures paint into Qt's offscreen backing store; start and idle use a private X server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(count, arguments.data());
    makeInputs();
    XServerProbe probe;
    xServer = &probe;
    if (!probe.ok())
        std::printf("No X server could be started (Xvfb): start and idle are not measured.\n");

    benchmark::Initialize(&count, arguments.data());
    Register();
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    printSummary(reporter);
    benchmark::Shutdown();
    delete inputs;
    return 0;
}
