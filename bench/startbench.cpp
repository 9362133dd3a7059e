// How long a program takes from being started until its first top-level
// window is mapped on the X server, as a player sees it. Runs under an X
// server of its own (xvfb-run); every figure is the median of several starts,
// ours and the yardstick's taken in turn.
#include "posixhelpers.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRuns = 9;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Starts `program` in `directory` and waits for a window to be mapped on the
// root; the program is ended afterwards.
double timeToMap(xcb_connection_t *connection, const std::string &program, const std::string &directory)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = vesk::posix::startProgram(program, directory, "QT_QPA_PLATFORM", "xcb");
    // A program that ends or never maps a window within 10 s ends the bench.
    double elapsed = -1;
    while (elapsed < 0) {
        if (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY)
                elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            std::free(event);
            continue;
        }
        const bool late = std::chrono::steady_clock::now() - start > std::chrono::seconds(10);
        if (late || vesk::posix::hasEnded(pid)) {
            std::fprintf(stderr, "%s showed no window\n", program.c_str());
            vesk::posix::endProgram(pid);
            std::exit(1);
        }
        vesk::posix::waitForInput(xcb_get_file_descriptor(connection), 50);
    }
    vesk::posix::endProgram(pid);
    return elapsed;
}

void compare(xcb_connection_t *connection, const char *name, const std::string &ours, const std::string &oursDir,
             const std::string &base, const std::string &baseDir)
{
    std::vector<double> a, b;
    for (int run = 0; run < kRuns; ++run) {
        // Alternate which goes first, so that neither always finds the caches warm.
        if (run % 2 == 0) {
            a.push_back(timeToMap(connection, ours, oursDir));
            b.push_back(timeToMap(connection, base, baseDir));
        } else {
            b.push_back(timeToMap(connection, base, baseDir));
            a.push_back(timeToMap(connection, ours, oursDir));
        }
    }
    const double x = median(a), y = median(b);
    std::printf("%s: %.4f s vs minimal Qt program %.4f s, ratio %.2f, target 1.10\n", name, x, y, x / y);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s VESK VPAK MINIMAL\n", argv[0]);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "no X server: run under xvfb-run\n");
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    // The programs run from a folder of their own: the editor with its
    // settings file, so that no message box comes first, and the installer
    // inside a package.
    const fs::path root
        = fs::temp_directory_path()
          / ("vesk-startbench-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
    fs::create_directories(root / "editor");
    fs::create_directories(root / "package");
    fs::copy_file(argv[1], root / "editor" / "vesk");
    fs::copy_file(argv[2], root / "package" / "install.exe");
    const std::string minimal = fs::absolute(argv[3]).string();
    std::ofstream(root / "editor" / "vesk.cfg", std::ios::binary) << root.string() << "\r\n";
    std::ofstream(root / "package" / "theme.cfg", std::ios::binary)
        << "Ann Example\r\nann@example.org\r\nhttp://ann.example.org\r\n14\r\nYellow\r\nPurple\r\nNight\r\n";

    compare(connection, "editor process start", (root / "editor" / "vesk").string(), (root / "editor").string(),
            minimal, root.string());
    compare(connection, "installer process start", (root / "package" / "install.exe").string(),
            (root / "package").string(), minimal, root.string());

    xcb_disconnect(connection);
    fs::remove_all(root);
    return 0;
}
