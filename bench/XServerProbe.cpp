// SPDX-License-Identifier: GPL-3.0-or-later
// A private X server for the figures that need a real window: start-up time and processor use at rest.
#include "XServerProbe.h"

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

namespace quorra {

namespace {

using Clock = std::chrono::steady_clock;

pid_t spawn(const QString &program, const QStringList &arguments, const QStringList &environment, int keepFd = -1)
{
    std::vector<QByteArray> storage;
    storage.push_back(program.toLocal8Bit());
    for (const QString &a : arguments)
        storage.push_back(a.toLocal8Bit());
    std::vector<QByteArray> envStorage;
    for (char **e = environ; *e; ++e)
        envStorage.emplace_back(*e);
    for (const QString &e : environment)
        envStorage.push_back(e.toLocal8Bit());
    std::vector<char *> argv, envp;
    for (QByteArray &s : storage)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    for (QByteArray &s : envStorage)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        // Later entries win: execve takes the first of equal names, so the extras are moved to the front.
        std::vector<char *> ordered;
        for (size_t i = envStorage.size() - environment.size(); i < envStorage.size(); ++i)
            ordered.push_back(envp[i]);
        for (size_t i = 0; i < envStorage.size() - environment.size(); ++i)
            ordered.push_back(envp[i]);
        ordered.push_back(nullptr);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        for (int fd = 3; fd < 256; ++fd)
            if (fd != keepFd)
                close(fd);
        execve(argv[0], argv.data(), ordered.data());
        _exit(127);
    }
    return pid;
}

} // namespace

XServerProbe::XServerProbe()
{
    int displayPipe[2];
    if (pipe(displayPipe) != 0)
        return;
    m_server = spawn(QStringLiteral("/usr/bin/Xvfb"),
                     {QStringLiteral("-displayfd"), QString::number(displayPipe[1]), QStringLiteral("-screen"),
                      QStringLiteral("0"), QStringLiteral("1600x1200x24"), QStringLiteral("-br"),
                      QStringLiteral("-nolisten"), QStringLiteral("tcp")},
                     {}, displayPipe[1]);
    close(displayPipe[1]);
    QByteArray number;
    char c;
    while (read(displayPipe[0], &c, 1) == 1 && c != '\n')
        number += c;
    close(displayPipe[0]);
    if (number.isEmpty())
        return;
    m_display = QStringLiteral(":") + QString::fromLatin1(number);
    xcb_connection_t *connection = xcb_connect(m_display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    m_connection = connection;
    m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(m_connection, xcb_intern_atom(m_connection, 0, 11, "_NET_WM_PID"), nullptr);
    if (atom) {
        m_pidAtom = atom->atom;
        std::free(atom);
    }
}

XServerProbe::~XServerProbe()
{
    stop();
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_server > 0) {
        kill(m_server, SIGTERM);
        waitpid(m_server, nullptr, 0);
    }
}

quint32 XServerProbe::findWindow(pid_t process)
{
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(m_connection, xcb_query_tree(m_connection, m_root), nullptr);
    if (!tree)
        return 0;
    quint32 found = 0;
    const xcb_window_t *children = xcb_query_tree_children(tree);
    for (int i = 0, n = xcb_query_tree_children_length(tree); i < n && !found; ++i) {
        xcb_get_property_reply_t *pid = xcb_get_property_reply(
            m_connection, xcb_get_property(m_connection, 0, children[i], m_pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
        if (pid && xcb_get_property_value_length(pid) == 4
            && *static_cast<const quint32 *>(xcb_get_property_value(pid)) == quint32(process)) {
            xcb_get_window_attributes_reply_t *attributes = xcb_get_window_attributes_reply(
                m_connection, xcb_get_window_attributes(m_connection, children[i]), nullptr);
            if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE
                && attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT)
                found = children[i];
            std::free(attributes);
        }
        std::free(pid);
    }
    std::free(tree);
    return found;
}

bool XServerProbe::painted(quint32 window, bool wantTransparentCells)
{
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(m_connection, xcb_get_geometry(m_connection, window), nullptr);
    if (!geometry)
        return false;
    const int w = geometry->width, h = geometry->height;
    std::free(geometry);
    if (w < 64 || h < 64)
        return false;
    xcb_get_image_reply_t *image = xcb_get_image_reply(
        m_connection, xcb_get_image(m_connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, quint16(w), quint16(h), ~0u),
        nullptr);
    if (!image)
        return false;
    const quint32 *pixels = reinterpret_cast<const quint32 *>(xcb_get_image_data(image));
    const int count = xcb_get_image_data_length(image) / 4;
    bool result = false;
    if (count >= w * h) {
        int black = 0;
        for (int i = 0; i < count; i += 7)
            black += (pixels[i] & 0xFFFFFF) == 0;
        result = black * 7 < count / 10;
        if (result && wantTransparentCells) {
            // The picture sits centred in the window; a Transparent cell turns about half its pixels white.
            int white = 0, total = 0;
            for (int y = h / 2 - 40; y < h / 2 + 40; ++y)
                for (int x = w / 2 - 40; x < w / 2 + 40; ++x, ++total)
                    white += (pixels[y * w + x] & 0xFFFFFF) == 0xFFFFFF;
            result = white > total / 4 && white < total * 3 / 4;
        }
    }
    std::free(image);
    return result;
}

double XServerProbe::startAndWaitForPaint(const QString &program, const QStringList &arguments,
                                          const QStringList &environment, bool wantTransparentCells,
                                          double timeoutSeconds)
{
    if (!ok())
        return -1;
    stop();
    QStringList env = environment;
    env << QStringLiteral("DISPLAY=") + m_display << QStringLiteral("QT_QPA_PLATFORM=xcb");
    const auto start = Clock::now();
    m_child = spawn(program, arguments, env);
    for (;;) {
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (seconds > timeoutSeconds)
            return -1;
        if (const quint32 window = findWindow(m_child); window && painted(window, wantTransparentCells))
            return std::chrono::duration<double>(Clock::now() - start).count();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void XServerProbe::stop()
{
    if (m_child > 0) {
        kill(m_child, SIGKILL);
        waitpid(m_child, nullptr, 0);
        m_child = -1;
    }
}

double XServerProbe::cpuSeconds(pid_t process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    const double ticks = fields[11].toDouble() + fields[12].toDouble(); // utime, stime
    return ticks / double(sysconf(_SC_CLK_TCK));
}

} // namespace quorra
