// quorra-bench: the figures a player feels, each measured side by side with its baseline in one run, then a
// summary line per figure: "figure ratio goal met" or "figure ratio goal MISSED".
#include "BenchInputs.h"
#include "TSummaryReporter.h"
#include "TXServerProbe.h"

#include "Effects.h"
#include "TNimbrelMainForm.h"
#include "TPictureControl.h"
#include "TPicturePanel.h"
#include "TPointerControl.h"
#include "TPuzzle.h"
#include "TSoundPlayer.h"
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

namespace {

using Clock = std::chrono::steady_clock;

constexpr int PhotoWidth = 6000, PhotoHeight = 4000;

bool Quick = false;

struct TInputs
{
    QTemporaryDir Folder;
    QImage Photo;           // 24 megapixels
    QString BigPuzzle;      // the photo, 3 x 3, Hidden
    QByteArray BigJpeg;     // its JPEG stream
    QString StartPuzzle;    // a 2-megapixel photo, 3 x 3, Transparent: what start and idle show
    QString ConfigFolder;   // settings of the started programs: no demo window, no sound
};

TInputs *Inputs = nullptr;

// Makes the three sounds silent: the benchmark measures pictures, not the audio device.
class TSilentPlayer : public TSoundPlayer
{
public:
    bool Open(const QString &) override { return false; }
    void Play() override {}
};

// The pointer stays where it is: a warp would come back as a move event and snap the drag being measured.
class TStillPointer : public TPointerControl
{
public:
    void MoveTo(QPoint, QWindow *) override {}
    void Confine(const QRect &, QWindow *) override {}
    void Release() override {}
};

// Settings that switch the demo window and the sounds off, for the program's own name and the benchmark's.
void WriteSettings(const QString &Folder, const QString &Name)
{
    QDir().mkpath(Folder);
    QFile Ini(Folder + QLatin1Char('/') + Name + QStringLiteral(".INI"));
    if (Ini.open(QIODevice::WriteOnly))
        Ini.write("[TNimbrelMainForm]\nShowAtStartAction_Checked=False\nmSound_Checked=False\n");
}

void MakeInputs()
{
    Inputs = new TInputs;
    Inputs->Photo = MakePhotograph(PhotoWidth, PhotoHeight);
    Inputs->BigPuzzle = Inputs->Folder.filePath(QStringLiteral("big.nbq"));
    MakePuzzleFile(Inputs->Photo, Inputs->BigPuzzle, Effect::Hidden, 3, 3, false, false);
    Inputs->BigJpeg = JpegPartOf(Inputs->BigPuzzle);
    Inputs->StartPuzzle = Inputs->Folder.filePath(QStringLiteral("start.nbq"));
    MakePuzzleFile(MakePhotograph(1800, 1200), Inputs->StartPuzzle, Effect::Transparent, 3, 3, false, false);
    Inputs->ConfigFolder = Inputs->Folder.filePath(QStringLiteral("config"));
    WriteSettings(Inputs->ConfigFolder + QStringLiteral("/quorra"), QStringLiteral("quorra"));
    WriteSettings(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation),
                  QCoreApplication::applicationName());
    std::printf("Inputs: %d x %d photograph, JPEG stream of %.1f MB in %s\n", PhotoWidth, PhotoHeight,
                Inputs->BigJpeg.size() / 1e6, qPrintable(Inputs->Folder.path()));
}

// ---- open and save ----

// What opening a puzzle file costs the program: read, decode, tangle unpaced, fitted to a 1920 x 1080 panel.
void OpenFitted(const QString &Path, int PanelWidth, int PanelHeight)
{
    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    // As the main window does: the panel is known before the file is opened.
    Puzzle.OpenPanel = QSize(PanelWidth, PanelHeight);
    if (Puzzle.LoadFromFile(Path) != TLoadResult::Loaded)
        throw std::runtime_error("the puzzle file did not open");
    Puzzle.Tangle();
    Puzzle.UpdateFit(PanelWidth, PanelHeight, false);
    Puzzle.BestFit();
    benchmark::DoNotOptimize(Display.constBits());
}

void OpenQuorra(benchmark::State &State)
{
    for (auto _ : State)
        OpenFitted(Inputs->BigPuzzle, 1920, 1080);
}

void OpenLibjpeg(benchmark::State &State)
{
    for (auto _ : State) {
        const QImage Picture = DecodeWithLibjpeg(Inputs->BigJpeg);
        benchmark::DoNotOptimize(Picture.constBits());
    }
}

void SaveQuorra(benchmark::State &State)
{
    QImage Display;
    TPuzzle Puzzle(&Display, &ConcealmentTexture());
    Puzzle.LoadFromFile(Inputs->BigPuzzle);
    Puzzle.UpdateFit(1920, 1080, false);
    const QString Path = Inputs->Folder.filePath(QStringLiteral("saved.nbq"));
    for (auto _ : State)
        Puzzle.SaveToFile(Path);
}

void SaveLibjpeg(benchmark::State &State)
{
    for (auto _ : State) {
        const QByteArray Stream = EncodeWithLibjpeg(Inputs->Photo);
        benchmark::DoNotOptimize(Stream.constData());
    }
}

// ---- rebuild ----

// A 24-megapixel puzzle, 4 x 4 with an empty row and column, in set-up, fitted to a 3840 x 2160 panel.
struct TRebuildPuzzle
{
    QImage Display;
    TPuzzle Puzzle{&Display, &ConcealmentTexture()};
    explicit TRebuildPuzzle(qint32 Effect)
    {
        Puzzle.Source = Inputs->Photo;
        Puzzle.Scale = 0.05;
        Puzzle.Setup(Effect, 4, 4, false, true, true);
        Puzzle.UpdateFit(3840, 2160, false);
        Puzzle.BestFit();
    }
};

void RebuildQuorra(benchmark::State &State, qint32 Effect)
{
    TRebuildPuzzle P(Effect);
    for (auto _ : State)
        P.Puzzle.Rebuild();
    State.counters["display_width"] = P.Display.width();
    State.counters["display_height"] = P.Display.height();
}

void RebuildScaled(benchmark::State &State)
{
    TRebuildPuzzle P(Effect::TopSecret);
    const QSize Size = P.Display.size();
    for (auto _ : State) {
        const QImage Scaled = Inputs->Photo.scaled(Size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        benchmark::DoNotOptimize(Scaled.constBits());
    }
}

// ---- drag frame ----

// The main window, offscreen, with the 24-megapixel puzzle 4 x 4 plus an empty row and column fitted to a
// 3840 x 2160 panel, and a row caught and being dragged.
struct TDragWindow
{
    std::unique_ptr<TNimbrelMainForm> Form;
    QRect Band;
    int X = 0, Y = 0;

    TDragWindow()
    {
        Form = std::make_unique<TNimbrelMainForm>(nullptr, [] { return std::make_unique<TSilentPlayer>(); });
        Form->TangleStepMs = 0;
        Form->PointerControl = std::make_unique<TStillPointer>();
        Form->show();
        if (!QTest::qWaitForWindowExposed(Form.get()))
            throw std::runtime_error("the window was not exposed");
        for (int Attempt = 0; Attempt < 20; ++Attempt) {
            TPicturePanel *Panel = Form->ImageSpeedBar;
            if (Panel->ClientWidth() == 3840 && Panel->ClientHeight() == 2160)
                break;
            Form->resize(Form->width() + 3840 - Panel->ClientWidth(), Form->height() + 2160 - Panel->ClientHeight());
            QTest::qWait(5);
        }
        const QString Path = Inputs->Folder.filePath(QStringLiteral("drag.nbq"));
        if (!QFile::exists(Path))
            MakePuzzleFile(Inputs->Photo, Path, Effect::Hidden, 4, 4, true, true);
        Form->OpenPuzzleFile(Path);
        QCoreApplication::processEvents();
        TPuzzle &P = *Form->Puzzle;
        const QPoint C = P.CellCentre(QPoint(2, 2));
        Form->ImageMouseDown(Qt::LeftButton, {}, C.x(), C.y());
        X = C.x() + P.DragThreshold + 1;
        Y = C.y();
        Form->ImageMouseMove(Qt::LeftButton, {}, X, Y);
        QCoreApplication::processEvents();
        if (P.DragState != TDragState::Row)
            throw std::runtime_error(QStringLiteral("the row drag did not start (panel %1 x %2, display %3 x %4, state %5)")
                                         .arg(Form->ImageSpeedBar->ClientWidth())
                                         .arg(Form->ImageSpeedBar->ClientHeight())
                                         .arg(P.Display->width())
                                         .arg(P.Display->height())
                                         .arg(int(P.DragState))
                                         .toStdString());
        Band = QRect(0, (P.Selected.y() - 1) * P.CellHeight, P.Display->width(), P.CellHeight);
    }

    // One pointer move along the row that stays clear of every cell centre, so that no move is committed.
    void Move()
    {
        const TPuzzle &P = *Form->Puzzle;
        X += 1;
        if (P.NearCellCentre(X, Y))
            X += 2 * P.DragThreshold + 1;
        if (X >= P.Display->width())
            X = P.CellCentre(QPoint(1, 1)).x() + P.DragThreshold + 1;
        Form->ImageMouseMove(Qt::LeftButton, {}, X, Y);
        // Paints what the move invalidated into the window's backing store, in the screen's format.
        Form->Image->repaint(Band);
    }
};

void DragQuorra(benchmark::State &State)
{
    TDragWindow Window;
    for (auto _ : State)
        Window.Move();
    State.counters["band_width"] = Window.Band.width();
    State.counters["band_height"] = Window.Band.height();
}

void DragMemcpy(benchmark::State &State)
{
    TDragWindow Window;
    const QImage &Display = *Window.Form->Puzzle->Display;
    QImage Copy = Display.copy(Window.Band);
    const size_t Bytes = size_t(Window.Band.width()) * 3;
    for (auto _ : State) {
        for (int Y = 0; Y < Window.Band.height(); ++Y)
            std::memcpy(Copy.scanLine(Y), Display.constScanLine(Window.Band.top() + Y), Bytes);
        benchmark::ClobberMemory();
    }
}

// ---- effects ----

QImage EffectCell()
{
    return Inputs->Photo.copy(1000, 1000, 1000, 1000);
}

void EffectQuorra(benchmark::State &State, qint32 Effect)
{
    QImage Cell = EffectCell();
    for (auto _ : State) {
        ApplyEffect(Cell, Effect, 7, ConcealmentTexture());
        benchmark::ClobberMemory();
    }
}

void EffectMemcpy(benchmark::State &State)
{
    const QImage From = EffectCell();
    QImage To = EffectCell();
    for (auto _ : State) {
        std::memcpy(To.bits(), From.constBits(), size_t(From.sizeInBytes()));
        benchmark::ClobberMemory();
    }
}

// ---- start, memory and idle: other processes ----

TXServerProbe *XServer = nullptr;

QStringList ChildEnvironment()
{
    return {QStringLiteral("XDG_CONFIG_HOME=") + Inputs->ConfigFolder};
}

void StartQuorra(benchmark::State &State)
{
    for (auto _ : State) {
        const double Seconds = XServer->StartAndWaitForPaint(QStringLiteral(QUORRA_PROGRAM), {Inputs->StartPuzzle},
                                                             ChildEnvironment(), true, 30);
        XServer->Stop();
        if (Seconds < 0) {
            State.SkipWithError("quorra showed no painted puzzle within 30 s");
            break;
        }
        State.SetIterationTime(Seconds);
    }
}

void StartEmptyWindow(benchmark::State &State)
{
    for (auto _ : State) {
        const double Seconds = XServer->StartAndWaitForPaint(QStringLiteral(QUORRA_EMPTY_WINDOW), {},
                                                             ChildEnvironment(), false, 30);
        XServer->Stop();
        if (Seconds < 0) {
            State.SkipWithError("the empty window did not show within 30 s");
            break;
        }
        State.SetIterationTime(Seconds);
    }
}

double ResidentKilobytes(const char *Key)
{
    QFile Status(QStringLiteral("/proc/self/status"));
    if (!Status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &Line : Status.readAll().split('\n'))
        if (Line.startsWith(Key))
            return Line.mid(int(std::strlen(Key))).trimmed().split(' ').first().toDouble();
    return -1;
}

// Run in a child process: opens the puzzle as the program does and reports the peak resident memory.
int MemoryChild(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication Application(argc, argv);
    const double Before = ResidentKilobytes("VmRSS:");
    OpenFitted(QString::fromLocal8Bit(argv[2]), 1920, 1080);
    std::printf("%.0f %.0f\n", Before, ResidentKilobytes("VmHWM:"));
    return 0;
}

void Memory(benchmark::State &State)
{
    for (auto _ : State) {
        QProcess Child;
        Child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--memory-child"), Inputs->BigPuzzle});
        if (!Child.waitForFinished(120000) || Child.exitCode() != 0) {
            State.SkipWithError("the memory probe failed");
            break;
        }
        const QList<QByteArray> Numbers = Child.readAllStandardOutput().trimmed().split(' ');
        const double Source = double(PhotoWidth) * PhotoHeight * 3;
        State.counters["before_open_MB"] = Numbers.value(0).toDouble() * 1024 / 1e6;
        State.counters["peak_MB"] = Numbers.value(1).toDouble() * 1024 / 1e6;
        State.counters["source_MB"] = Source / 1e6;
    }
}

void Idle(benchmark::State &State)
{
    const double Window = Quick ? 2.0 : 10.0;
    for (auto _ : State) {
        if (XServer->StartAndWaitForPaint(QStringLiteral(QUORRA_PROGRAM), {Inputs->StartPuzzle}, ChildEnvironment(),
                                          true, 30)
            < 0) {
            State.SkipWithError("quorra showed no painted puzzle within 30 s");
            break;
        }
        // Let the start-up settle (deferred loading, the first idle passes) before the quiet time is measured.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        const double Before = TXServerProbe::CpuSeconds(XServer->Child());
        std::this_thread::sleep_for(std::chrono::duration<double>(Window));
        const double After = TXServerProbe::CpuSeconds(XServer->Child());
        XServer->Stop();
        State.SetIterationTime(Window);
        State.counters["cpu_percent"] = 100.0 * (After - Before) / Window;
    }
}

// ---- registration and summary ----

const char *const EffectNames[7] = {"Obscure", "Dark", "Transparent", "Negative", "Hidden", "TopSecret",
                                    "LowResolution"};

void Register()
{
    auto Heavy = [](benchmark::internal::Benchmark *B, int Full) {
        B->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(Quick ? 1 : Full);
    };
    auto Timed = [](benchmark::internal::Benchmark *B, int Full) {
        B->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(Quick ? 1 : Full);
    };
    auto Light = [](benchmark::internal::Benchmark *B) {
        B->Unit(benchmark::kMicrosecond)->UseRealTime()->MinTime(Quick ? 0.02 : 0.5);
    };
    // Each figure's own run and its baseline are registered next to each other, so the two see the same load.
    Heavy(benchmark::RegisterBenchmark("open/quorra", OpenQuorra), 5);
    Heavy(benchmark::RegisterBenchmark("open/libjpeg", OpenLibjpeg), 5);
    Heavy(benchmark::RegisterBenchmark("save/quorra", SaveQuorra), 5);
    Heavy(benchmark::RegisterBenchmark("save/libjpeg", SaveLibjpeg), 5);
    for (int E = 0; E < 7; ++E)
        Heavy(benchmark::RegisterBenchmark((std::string("rebuild/quorra/") + EffectNames[E]).c_str(), RebuildQuorra,
                                           qint32(E)),
              5);
    Heavy(benchmark::RegisterBenchmark("rebuild/qimage_scaled", RebuildScaled), 10);
    Light(benchmark::RegisterBenchmark("drag_frame/quorra", DragQuorra));
    Light(benchmark::RegisterBenchmark("drag_frame/memcpy", DragMemcpy));
    for (int E = 0; E < 7; ++E)
        Light(benchmark::RegisterBenchmark((std::string("effect/quorra/") + EffectNames[E]).c_str(), EffectQuorra,
                                           qint32(E)));
    Light(benchmark::RegisterBenchmark("effect/memcpy", EffectMemcpy));
    Timed(benchmark::RegisterBenchmark("start/quorra", StartQuorra), 5);
    Timed(benchmark::RegisterBenchmark("start/empty_window", StartEmptyWindow), 5);
    Heavy(benchmark::RegisterBenchmark("memory", Memory), 1);
    Timed(benchmark::RegisterBenchmark("idle", Idle), 1);
}

void Line(const char *Figure, double Ratio, double Goal)
{
    if (Ratio < 0)
        std::printf("%s n/a %.2f MISSED\n", Figure, Goal);
    else
        std::printf("%s %.2f %.2f %s\n", Figure, Ratio, Goal, Ratio <= Goal ? "met" : "MISSED");
}

double Ratio(const TSummaryReporter &R, const std::string &Measured, const std::string &Baseline)
{
    const double M = R.Seconds(Measured), B = R.Seconds(Baseline);
    return M < 0 || B <= 0 ? -1 : M / B;
}

void Summary(const TSummaryReporter &R)
{
    std::printf("\nSummary (figure, ratio to its baseline, goal, verdict; idle in percent of one core)\n");
    Line("open", Ratio(R, "open/quorra", "open/libjpeg"), 1.25);
    Line("save", Ratio(R, "save/quorra", "save/libjpeg"), 1.15);
    for (int E = 0; E < 7; ++E)
        Line((std::string("rebuild-") + EffectNames[E]).c_str(),
             Ratio(R, std::string("rebuild/quorra/") + EffectNames[E], "rebuild/qimage_scaled"), 1.0);
    Line("drag-frame", Ratio(R, "drag_frame/quorra", "drag_frame/memcpy"), 2.0);
    const double EffectGoals[7] = {2, 4, 4, 2, 3, 3, 3};
    for (int E = 0; E < 7; ++E)
        Line((std::string("effect-") + EffectNames[E]).c_str(),
             Ratio(R, std::string("effect/quorra/") + EffectNames[E], "effect/memcpy"), EffectGoals[E]);
    Line("start", Ratio(R, "start/quorra", "start/empty_window"), 1.5);
    const double Peak = R.Counter("memory", "peak_MB"), Source = R.Counter("memory", "source_MB");
    Line("memory", Peak < 0 || Source <= 0 ? -1 : Peak / Source, 1.8);
    Line("idle", R.Counter("idle", "cpu_percent"), 1.0);
}

} // namespace

int main(int argc, char *argv[])
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc >= 3 && std::strcmp(argv[1], "--memory-child") == 0)
        return MemoryChild(argc, argv);

    std::vector<char *> Arguments;
    for (int I = 0; I < argc; ++I) {
        if (std::strcmp(argv[I], "--quick") == 0)
            Quick = true;
        else
            Arguments.push_back(argv[I]);
    }
    if (qEnvironmentVariableIntValue("QUORRA_BENCH_QUICK") == 1)
        Quick = true;
    int Count = int(Arguments.size());
    Arguments.push_back(nullptr);

    // The in-process figures paint into Qt's offscreen backing store; start and idle use a private X server.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication Application(Count, Arguments.data());
    MakeInputs();
    TXServerProbe Probe;
    XServer = &Probe;
    if (!Probe.Ok())
        std::printf("No X server could be started (Xvfb): start and idle are not measured.\n");

    benchmark::Initialize(&Count, Arguments.data());
    Register();
    TSummaryReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    Summary(Reporter);
    benchmark::Shutdown();
    delete Inputs;
    return 0;
}
