// SPDX-License-Identifier: MIT
// Starts a program, times the first paint of its window from outside over X,
// reads its peak memory, then ends it.
//
//   quellix-bench-firstpaint [-C dir] [-s settle_ms] [-t timeout_ms] [-i poll_ms]
//                            [-r rows] [-d image.ppm] program [argument...]
//
// The program is timed from just before fork() to the first read of its
// top-level window that is not a single colour: run it under an X server whose
// root is one plain colour (Xvfb -br) and with no window manager, so that an
// unpainted window shows only that. The window is read in `rows` evenly spaced
// rows (default 8; 0: whole), every `poll_ms` (default 0.5). After `settle_ms`
// (default 500) the peak and current RSS and the processor time so far are read
// and the program is ended. Prints
// "paint_ms=<ms> hwm_kb=<kB> rss_kb=<kB> cpu_ms=<ms> polls=<n>" and exits 0; -d also
// saves the painted window as a PPM image. Exits 1 with a message on failure.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>

namespace {

double nowMs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

void sleepMs(double ms)
{
    if (ms <= 0)
        return;
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(ms / 1e3);
    ts.tv_nsec = static_cast<long>((ms - static_cast<double>(ts.tv_sec) * 1e3) * 1e6);
    while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
    }
}

[[noreturn]] void fail(const char *message)
{
    std::fprintf(stderr, "quellix-bench-firstpaint: %s\n", message);
    std::exit(1);
}

// The next X event, or nullptr once the deadline has passed.
xcb_generic_event_t *nextEvent(xcb_connection_t *connection, double deadlineMs)
{
    for (;;) {
        if (xcb_generic_event_t *event = xcb_poll_for_event(connection))
            return event;
        if (xcb_connection_has_error(connection))
            fail("lost the X connection");
        const double left = deadlineMs - nowMs();
        if (left <= 0)
            return nullptr;
        pollfd descriptor{xcb_get_file_descriptor(connection), POLLIN, 0};
        poll(&descriptor, 1, static_cast<int>(left) + 1);
    }
}

// Saves a 24- or 32-bit Z-pixmap image (blue, green, red order) as a binary PPM.
void saveImage(const char *path, const std::uint8_t *data, int length, std::uint16_t width,
               std::uint16_t height)
{
    if (length < 4 * width * height)
        return;
    if (std::FILE *file = std::fopen(path, "wb")) {
        std::fprintf(file, "P6\n%u %u\n255\n", width, height);
        for (int pixel = 0; pixel < width * height; ++pixel) {
            const std::uint8_t *bgr = data + 4 * pixel;
            const std::uint8_t rgb[3] = {bgr[2], bgr[1], bgr[0]};
            std::fwrite(rgb, 1, 3, file);
        }
        std::fclose(file);
    }
}

// The window's pixels, whole or in rows; null while it cannot be read.
xcb_get_image_reply_t *readImage(xcb_connection_t *connection, xcb_window_t window, std::int16_t y,
                                 std::uint16_t width, std::uint16_t height)
{
    return xcb_get_image_reply(
        connection,
        xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, y, width, height, ~0u),
        nullptr);
}

// Whether the window now shows more than one colour, read in evenly spaced rows
// (all of it when rows is 0).
bool isPainted(xcb_connection_t *connection, xcb_window_t window, std::uint16_t width,
               std::uint16_t height, int rows)
{
    std::vector<xcb_get_image_cookie_t> cookies;
    if (rows <= 0 || rows >= height) {
        cookies.push_back(
            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0, width, height, ~0u));
    } else {
        for (int row = 0; row < rows; ++row) {
            const auto y = static_cast<std::int16_t>((2 * row + 1) * height / (2 * rows));
            cookies.push_back(
                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, y, width, 1, ~0u));
        }
    }
    std::uint32_t first = 0;
    bool haveFirst = false;
    bool painted = false;
    for (const xcb_get_image_cookie_t &cookie : cookies) {
        xcb_get_image_reply_t *reply = xcb_get_image_reply(connection, cookie, nullptr);
        if (!reply)
            continue;
        const int length = xcb_get_image_data_length(reply);
        const std::uint8_t *data = xcb_get_image_data(reply);
        const int pixelBytes = reply->depth > 16 ? 4 : (reply->depth > 8 ? 2 : 1);
        for (int offset = 0; !painted && offset + pixelBytes <= length; offset += pixelBytes) {
            std::uint32_t pixel = 0;
            std::memcpy(&pixel, data + offset, static_cast<std::size_t>(pixelBytes));
            if (!haveFirst) {
                first = pixel;
                haveFirst = true;
            }
            painted = pixel != first;
        }
        std::free(reply);
    }
    return painted;
}

long statusKb(pid_t pid, const std::string &field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
    }
    return -1;
}

// The processor time all the program's threads have run, from the scheduler.
double cpuMs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *directory = opendir(tasks.c_str());
    if (!directory)
        return -1;
    double total = 0;
    while (const dirent *entry = readdir(directory)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream schedstat(tasks + "/" + entry->d_name + "/schedstat");
        double runNs = 0;
        if (schedstat >> runNs)
            total += runNs / 1e6;
    }
    closedir(directory);
    return total;
}

bool hasEnded(pid_t pid)
{
    int status = 0;
    return waitpid(pid, &status, WNOHANG) == pid;
}

// Ends the program and waits until the X server has destroyed its window, so
// that the next run starts on a bare screen.
void endProgram(xcb_connection_t *connection, pid_t pid, xcb_window_t window)
{
    kill(pid, SIGTERM);
    const double killAt = nowMs() + 2000;
    bool killed = false;
    for (;;) {
        if (waitpid(pid, nullptr, WNOHANG) == pid)
            break;
        if (!killed && nowMs() > killAt) {
            kill(pid, SIGKILL);
            killed = true;
        }
        sleepMs(1);
    }
    if (window == XCB_WINDOW_NONE)
        return;
    const double deadline = nowMs() + 5000;
    while (xcb_generic_event_t *event = nextEvent(connection, deadline)) {
        const bool destroyed =
            (event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
            reinterpret_cast<xcb_destroy_notify_event_t *>(event)->window == window;
        std::free(event);
        if (destroyed)
            return;
    }
    fail("the window outlived its program");
}

} // namespace

int main(int argc, char *argv[])
{
    const char *directory = nullptr;
    double settleMs = 500;
    double timeoutMs = 30000;
    double intervalMs = 0.5;
    int rows = 8;
    const char *imagePath = nullptr;
    int option;
    while ((option = getopt(argc, argv, "+C:s:t:i:r:d:")) != -1) {
        switch (option) {
        case 'i':
            intervalMs = std::atof(optarg);
            break;
        case 'r':
            rows = std::atoi(optarg);
            break;
        case 'd':
            imagePath = optarg;
            break;
        case 'C':
            directory = optarg;
            break;
        case 's':
            settleMs = std::atof(optarg);
            break;
        case 't':
            timeoutMs = std::atof(optarg);
            break;
        default:
            return 2;
        }
    }
    if (optind >= argc) {
        std::fprintf(stderr,
                     "usage: %s [-C dir] [-s settle_ms] [-t timeout_ms] [-i poll_ms] [-r rows] "
                     "[-d image.ppm] program [arg...]\n",
                     argv[0]);
        return 2;
    }

    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        fail("cannot open the display");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const std::uint32_t rootEvents = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, root, XCB_CW_EVENT_MASK, &rootEvents);
    // A round trip: the selection is in force before the program starts.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid < 0)
        fail("cannot fork");
    if (pid == 0) {
        if (directory && chdir(directory) != 0)
            _exit(126);
        execvp(argv[optind], argv + optind);
        _exit(127);
    }
    const double deadline = start + timeoutMs;

    // The program's first top-level window to be mapped.
    xcb_window_t window = XCB_WINDOW_NONE;
    while (window == XCB_WINDOW_NONE) {
        xcb_generic_event_t *event = nextEvent(connection, std::min(deadline, nowMs() + 50));
        if (!event) {
            if (hasEnded(pid))
                fail("the program ended before showing a window");
            if (nowMs() > deadline) {
                endProgram(connection, pid, XCB_WINDOW_NONE);
                fail("no window was mapped in time");
            }
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto *map = reinterpret_cast<xcb_map_notify_event_t *>(event);
            if (!map->override_redirect)
                window = map->window;
        }
        std::free(event);
    }
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        fail("the window went away before its first paint");
    const std::uint16_t width = geometry->width;
    const std::uint16_t height = geometry->height;
    std::free(geometry);

    // The time of the reply that first shows the paint: at most one poll late.
    double paintedAt = 0;
    long polls = 0;
    for (;;) {
        const bool painted = isPainted(connection, window, width, height, rows);
        ++polls;
        paintedAt = nowMs();
        if (painted)
            break;
        if (paintedAt > deadline) {
            endProgram(connection, pid, window);
            fail("the window was not painted in time");
        }
        sleepMs(intervalMs);
    }
    if (imagePath) {
        if (xcb_get_image_reply_t *image = readImage(connection, window, 0, width, height)) {
            saveImage(imagePath, xcb_get_image_data(image), xcb_get_image_data_length(image), width,
                      height);
            std::free(image);
        }
    }

    sleepMs(settleMs);
    if (hasEnded(pid))
        fail("the program ended before its memory could be read");
    const long hwm = statusKb(pid, "VmHWM");
    const long rss = statusKb(pid, "VmRSS");
    const double cpu = cpuMs(pid);
    endProgram(connection, pid, window);
    xcb_disconnect(connection);

    std::printf("paint_ms=%.2f hwm_kb=%ld rss_kb=%ld cpu_ms=%.2f polls=%ld\n", paintedAt - start,
                hwm, rss, cpu, polls);
    return 0;
}
