#pragma once
// Starts a private Xvfb for a test or a benchmark. Xvfb picks a free display
// number itself and writes it to a pipe (-displayfd), so processes running
// side by side never race for one number or talk to each other's server.
#include <sys/types.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace seatwatch_test {

// Starts `xvfb` with one screen of `geometry` ("1280x800x24"); its process id
// goes to `pid` (0 when it could not start). The display's name (":7"), or
// empty when none was reported. With `quiet`, Xvfb's messages are dropped
// (it reports every display number it finds taken).
inline std::string StartPrivateXvfb(const char* geometry, pid_t& pid, bool quiet = false,
                                    const char* xvfb = "/usr/bin/Xvfb") {
    pid = 0;
    int fds[2];
    if (pipe(fds) != 0) return {};
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        if (quiet && std::freopen("/dev/null", "w", stderr) == nullptr) _exit(127);
        const std::string fd = std::to_string(fds[1]);
        // -noreset: by default the server resets when its last client leaves
        // and refuses connections meanwhile.
        execl(xvfb, "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-screen", "0", geometry,
              "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        pid = 0;
        close(fds[0]);
        return {};
    }
    std::string number;
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    close(fds[0]);
    return number.empty() ? std::string() : ":" + number;
}

}  // namespace seatwatch_test
