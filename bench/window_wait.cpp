// Starts a program and waits, event-driven, until a top-level window of the X display whose title
// begins with a given text is viewable (mapped, and its window-manager frame mapped too). Prints
// the time from just before the process was spawned to then, and the CPU time its threads had
// used by then (steadier than the wall clock on a busy machine); with --idle it then leaves the
// program alone for that many seconds and prints its resident memory. The program is ended with
// SIGTERM before returning. The same waiter times every program, so they compare fairly.
//
// Usage: window_wait [--idle SECONDS] [--timeout SECONDS] <title prefix> <program> [args...]
// Output: startup_ms=<ms> cpu_ms=<ms> pid=<pid>
//         [rss_kb=<VmRSS> anon_kb=<RssAnon> file_kb=<RssFile>]
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <set>
#include <spawn.h>
#include <string>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// Windows come and go while we look at them; a vanished one is simply not the one we want.
int ignoreErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string title(Display* dpy, Window w) {
    static const Atom netWmName = XInternAtom(dpy, "_NET_WM_NAME", False);
    XTextProperty prop{};
    std::string out;
    if ((XGetTextProperty(dpy, w, &prop, netWmName) && prop.value) ||
        (XGetTextProperty(dpy, w, &prop, XA_WM_NAME) && prop.value))
        out.assign(reinterpret_cast<const char*>(prop.value), prop.nitems);
    if (prop.value)
        XFree(prop.value);
    return out;
}

bool viewableWithTitle(Display* dpy, Window w, const std::string& prefix) {
    XWindowAttributes a{};
    if (!XGetWindowAttributes(dpy, w, &a) || a.map_state != IsViewable)
        return false;
    return title(dpy, w).compare(0, prefix.size(), prefix) == 0;
}

long statusField(pid_t pid, const char* key) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    const size_t len = std::strlen(key);
    while (std::getline(in, line))
        if (line.compare(0, len, key) == 0 && line.size() > len && line[len] == ':')
            return std::strtol(line.c_str() + len + 1, nullptr, 10);
    return -1;
}

// CPU time of all live threads of the process, from the scheduler's nanosecond counters.
double cpuMs(pid_t pid) {
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    double ns = 0;
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            std::ifstream in(tasks + '/' + e->d_name + "/schedstat");
            double onCpu = 0;
            if (in >> onCpu)
                ns += onCpu;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

[[noreturn]] void usage() {
    std::fprintf(stderr, "usage: window_wait [--idle SECONDS] [--timeout SECONDS] <title prefix> "
                         "<program> [args...]\n");
    std::exit(2);
}

} // namespace

int main(int argc, char* argv[]) {
    double idle = 0, timeout = 60;
    int i = 1;
    for (; i + 1 < argc && std::strncmp(argv[i], "--", 2) == 0; i += 2) {
        if (std::strcmp(argv[i], "--idle") == 0)
            idle = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--timeout") == 0)
            timeout = std::atof(argv[i + 1]);
        else
            usage();
    }
    if (argc - i < 2)
        usage();
    const std::string prefix = argv[i];
    char** command = argv + i + 1;

    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy) {
        std::fprintf(stderr, "window_wait: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(ignoreErrors);
    const Window root = DefaultRootWindow(dpy);
    // New top-level windows, and frames of the window manager being mapped.
    XSelectInput(dpy, root, SubstructureNotifyMask);
    XSync(dpy, False);

    pid_t pid = 0;
    const double start = nowMs();
    if (const int err = posix_spawnp(&pid, command[0], nullptr, nullptr, command, environ)) {
        std::fprintf(stderr, "window_wait: cannot start %s: %s\n", command[0], std::strerror(err));
        return 1;
    }

    std::set<Window> candidates;
    const int fd = ConnectionNumber(dpy);
    double found = -1;
    while (found < 0) {
        while (XPending(dpy)) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == CreateNotify && ev.xcreatewindow.parent == root &&
                !ev.xcreatewindow.override_redirect) {
                const Window w = ev.xcreatewindow.window;
                XSelectInput(dpy, w,
                             StructureNotifyMask | PropertyChangeMask | VisibilityChangeMask);
                candidates.insert(w);
            } else if (ev.type == DestroyNotify) {
                candidates.erase(ev.xdestroywindow.window);
            }
        }
        // The window may have become viewable through its own map, its frame's map or a late
        // title: any event is a reason to look again.
        for (const Window w : candidates) {
            if (viewableWithTitle(dpy, w, prefix)) {
                found = nowMs();
                break;
            }
        }
        if (found >= 0)
            break;
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "window_wait: %s ended before its window came up\n", command[0]);
            return 1;
        }
        if (nowMs() - start > timeout * 1e3) {
            std::fprintf(stderr, "window_wait: no window \"%s\" within %.0f s\n", prefix.c_str(),
                         timeout);
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return 1;
        }
        fd_set fds;
        FD_ZERO(&fds);
        FD_SET(fd, &fds);
        timeval tv{0, 100000}; // also wakes to notice a program that died
        XFlush(dpy);
        select(fd + 1, &fds, nullptr, nullptr, &tv);
    }

    std::printf("startup_ms=%.3f cpu_ms=%.3f pid=%d", found - start, cpuMs(pid), int(pid));
    if (idle > 0) {
        XCloseDisplay(dpy);
        dpy = nullptr;
        timespec ts{time_t(idle), long((idle - double(time_t(idle))) * 1e9)};
        while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
        }
        std::printf(" rss_kb=%ld anon_kb=%ld file_kb=%ld", statusField(pid, "VmRSS"),
                    statusField(pid, "RssAnon"), statusField(pid, "RssFile"));
    }
    std::printf("\n");
    std::fflush(stdout);
    // A program that ignores the request gets 5 s before it is killed.
    kill(pid, SIGTERM);
    for (int tries = 0; waitpid(pid, nullptr, WNOHANG) == 0; ++tries) {
        if (tries == 500) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            break;
        }
        usleep(10000);
    }
    if (dpy)
        XCloseDisplay(dpy);
    return 0;
}
