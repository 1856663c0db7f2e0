// SPDX-License-Identifier: MIT
// Starts a program and reports the milliseconds from its exec to the first
// top-level window mapped on the screen, and its resident memory one second
// after start. It listens for MapNotify on the root window, so the time is
// what the X server saw, not when a poll came round.
//
//   mapwait PROGRAM [ARGS...]   prints "<milliseconds> <resident KiB>"
//
// For a program that only runs to its end, the time from exec to exit and
// its peak resident memory, on standard error, since the program's own
// output goes to standard output:
//
//   mapwait --exit PROGRAM [ARGS...]
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <signal.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

long residentKiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapwait [--exit] PROGRAM [ARGS...]\n");
        return 2;
    }
    if (std::string(argv[1]) == "--exit" && argc > 2) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = fork();
        if (pid == 0) {
            execvp(argv[2], argv + 2);
            _exit(127);
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        const double milliseconds
            = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count();
        std::fprintf(stderr, "%.2f %ld\n", milliseconds, usage.ru_maxrss);
        return WIFEXITED(status) && WEXITSTATUS(status) <= 1 ? 0 : 1;
    }
    const std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> connected(
        xcb_connect(nullptr, nullptr), &xcb_disconnect);
    xcb_connection_t *connection = connected.get();
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "mapwait: no X display\n");
        return 1;
    }
    xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    // Nothing may be missed between the exec and the first event read.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }
    double milliseconds = -1;
    while (xcb_generic_event_t *event = xcb_wait_for_event(connection)) {
        const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
        std::free(event);
        if (mapped) {
            milliseconds = std::chrono::duration<double, std::milli>(
                               std::chrono::steady_clock::now() - start)
                               .count();
            break;
        }
    }
    std::this_thread::sleep_until(start + std::chrono::seconds(1));
    const long resident = residentKiB(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (milliseconds < 0)
        return 1;
    std::printf("%.2f %ld\n", milliseconds, resident);
    return 0;
}
