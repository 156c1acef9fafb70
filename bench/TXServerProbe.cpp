// A private X server for the figures that need a real window: start-up time and processor use at rest.
#include "TXServerProbe.h"

#include <QFile>

#include <chrono>
#include <csignal>
#include <cstring>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

pid_t Spawn(const QString &Program, const QStringList &Arguments, const QStringList &Environment, int KeepFd = -1)
{
    std::vector<QByteArray> Storage;
    Storage.push_back(Program.toLocal8Bit());
    for (const QString &A : Arguments)
        Storage.push_back(A.toLocal8Bit());
    std::vector<QByteArray> EnvStorage;
    for (char **E = environ; *E; ++E)
        EnvStorage.emplace_back(*E);
    for (const QString &E : Environment)
        EnvStorage.push_back(E.toLocal8Bit());
    std::vector<char *> Argv, Envp;
    for (QByteArray &S : Storage)
        Argv.push_back(S.data());
    Argv.push_back(nullptr);
    for (QByteArray &S : EnvStorage)
        Envp.push_back(S.data());
    Envp.push_back(nullptr);
    const pid_t Pid = fork();
    if (Pid == 0) {
        // Later entries win: execve takes the first of equal names, so the extras are moved to the front.
        std::vector<char *> Ordered;
        for (size_t I = EnvStorage.size() - Environment.size(); I < EnvStorage.size(); ++I)
            Ordered.push_back(Envp[I]);
        for (size_t I = 0; I < EnvStorage.size() - Environment.size(); ++I)
            Ordered.push_back(Envp[I]);
        Ordered.push_back(nullptr);
        const int Null = open("/dev/null", O_WRONLY);
        dup2(Null, 1);
        dup2(Null, 2);
        for (int Fd = 3; Fd < 256; ++Fd)
            if (Fd != KeepFd)
                close(Fd);
        execve(Argv[0], Argv.data(), Ordered.data());
        _exit(127);
    }
    return Pid;
}

} // namespace

TXServerProbe::TXServerProbe()
{
    int Pipe[2];
    if (pipe(Pipe) != 0)
        return;
    FServer = Spawn(QStringLiteral("/usr/bin/Xvfb"),
                    {QStringLiteral("-displayfd"), QString::number(Pipe[1]), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("1600x1200x24"), QStringLiteral("-br"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                    {}, Pipe[1]);
    close(Pipe[1]);
    QByteArray Number;
    char C;
    while (read(Pipe[0], &C, 1) == 1 && C != '\n')
        Number += C;
    close(Pipe[0]);
    if (Number.isEmpty())
        return;
    FDisplay = QStringLiteral(":") + QString::fromLatin1(Number);
    xcb_connection_t *Connection = xcb_connect(FDisplay.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(Connection)) {
        xcb_disconnect(Connection);
        return;
    }
    FConnection = Connection;
    FRoot = xcb_setup_roots_iterator(xcb_get_setup(FConnection)).data->root;
    xcb_intern_atom_reply_t *Atom =
        xcb_intern_atom_reply(FConnection, xcb_intern_atom(FConnection, 0, 11, "_NET_WM_PID"), nullptr);
    if (Atom) {
        FPidAtom = Atom->atom;
        std::free(Atom);
    }
}

TXServerProbe::~TXServerProbe()
{
    Stop();
    if (FConnection)
        xcb_disconnect(FConnection);
    if (FServer > 0) {
        kill(FServer, SIGTERM);
        waitpid(FServer, nullptr, 0);
    }
}

quint32 TXServerProbe::FindWindow(pid_t Process)
{
    xcb_query_tree_reply_t *Tree = xcb_query_tree_reply(FConnection, xcb_query_tree(FConnection, FRoot), nullptr);
    if (!Tree)
        return 0;
    quint32 Found = 0;
    const xcb_window_t *Children = xcb_query_tree_children(Tree);
    for (int I = 0, N = xcb_query_tree_children_length(Tree); I < N && !Found; ++I) {
        xcb_get_property_reply_t *Pid = xcb_get_property_reply(
            FConnection, xcb_get_property(FConnection, 0, Children[I], FPidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        if (Pid && xcb_get_property_value_length(Pid) == 4
            && *static_cast<const quint32 *>(xcb_get_property_value(Pid)) == quint32(Process)) {
            xcb_get_window_attributes_reply_t *Attributes = xcb_get_window_attributes_reply(
                FConnection, xcb_get_window_attributes(FConnection, Children[I]), nullptr);
            if (Attributes && Attributes->map_state == XCB_MAP_STATE_VIEWABLE
                && Attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT)
                Found = Children[I];
            std::free(Attributes);
        }
        std::free(Pid);
    }
    std::free(Tree);
    return Found;
}

bool TXServerProbe::Painted(quint32 Window, bool WantTransparentCells)
{
    xcb_get_geometry_reply_t *Geometry =
        xcb_get_geometry_reply(FConnection, xcb_get_geometry(FConnection, Window), nullptr);
    if (!Geometry)
        return false;
    const int W = Geometry->width, H = Geometry->height;
    std::free(Geometry);
    if (W < 64 || H < 64)
        return false;
    xcb_get_image_reply_t *Image = xcb_get_image_reply(
        FConnection, xcb_get_image(FConnection, XCB_IMAGE_FORMAT_Z_PIXMAP, Window, 0, 0, quint16(W), quint16(H), ~0u),
        nullptr);
    if (!Image)
        return false;
    const quint32 *Pixels = reinterpret_cast<const quint32 *>(xcb_get_image_data(Image));
    const int Count = xcb_get_image_data_length(Image) / 4;
    bool Result = false;
    if (Count >= W * H) {
        int Black = 0;
        for (int I = 0; I < Count; I += 7)
            Black += (Pixels[I] & 0xFFFFFF) == 0;
        Result = Black * 7 < Count / 10;
        if (Result && WantTransparentCells) {
            // The picture sits centred in the window; a Transparent cell turns about half its pixels white.
            int White = 0, Total = 0;
            for (int Y = H / 2 - 40; Y < H / 2 + 40; ++Y)
                for (int X = W / 2 - 40; X < W / 2 + 40; ++X, ++Total)
                    White += (Pixels[Y * W + X] & 0xFFFFFF) == 0xFFFFFF;
            Result = White > Total / 4 && White < Total * 3 / 4;
        }
    }
    std::free(Image);
    return Result;
}

double TXServerProbe::StartAndWaitForPaint(const QString &Program, const QStringList &Arguments,
                                           const QStringList &Environment, bool WantTransparentCells,
                                           double TimeoutSeconds)
{
    if (!Ok())
        return -1;
    Stop();
    QStringList Env = Environment;
    Env << QStringLiteral("DISPLAY=") + FDisplay << QStringLiteral("QT_QPA_PLATFORM=xcb");
    const auto Start = Clock::now();
    FChild = Spawn(Program, Arguments, Env);
    for (;;) {
        const double Seconds = std::chrono::duration<double>(Clock::now() - Start).count();
        if (Seconds > TimeoutSeconds)
            return -1;
        if (const quint32 Window = FindWindow(FChild); Window && Painted(Window, WantTransparentCells))
            return std::chrono::duration<double>(Clock::now() - Start).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void TXServerProbe::Stop()
{
    if (FChild > 0) {
        kill(FChild, SIGKILL);
        waitpid(FChild, nullptr, 0);
        FChild = -1;
    }
}

double TXServerProbe::CpuSeconds(pid_t Process)
{
    QFile Stat(QStringLiteral("/proc/%1/stat").arg(Process));
    if (!Stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray Text = Stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> Fields = Text.mid(Text.lastIndexOf(')') + 2).split(' ');
    if (Fields.size() < 13)
        return -1;
    const double Ticks = Fields[11].toDouble() + Fields[12].toDouble(); // utime, stime
    return Ticks / double(sysconf(_SC_CLK_TCK));
}
