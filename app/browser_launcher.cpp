#include "app/browser_launcher.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string_view>

namespace {

bool IsWindowsPath(const std::string& path) {
    if (path.find('\\') != std::string::npos) return true;
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

}  // namespace

std::vector<std::string> BrowserCommand(const std::string& browser, const std::string& address) {
    if (IsWindowsPath(browser)) return {"wine", browser, address};
    return {browser.empty() ? std::string("xdg-open") : browser, address};
}

bool LaunchDetached(const std::vector<std::string>& command, const std::string& winePrefix) {
    if (command.empty()) return false;
    std::vector<char*> argv;
    for (const std::string& arg : command) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // Everything the child needs is made before fork: after it, only calls
    // that are safe in a copy of a threaded process are made.
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        if (!winePrefix.empty() && std::string_view(*e).starts_with("WINEPREFIX=")) continue;
        environment.emplace_back(*e);
    }
    if (!winePrefix.empty()) environment.push_back("WINEPREFIX=" + winePrefix);
    std::vector<char*> envp;
    for (std::string& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    // A pipe reports whether the grandchild's exec worked: it is closed on
    // exec, and written to only when exec fails.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) return false;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(report[0]);
        ::close(report[1]);
        return false;
    }
    if (child == 0) {
        ::close(report[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        const int null = ::open("/dev/null", O_RDWR);
        if (null >= 0) {
            ::dup2(null, 0);
            ::dup2(null, 1);
        }
        ::execvpe(argv[0], argv.data(), envp.data());
        const int error = errno;
        [[maybe_unused]] const ssize_t n = ::write(report[1], &error, sizeof error);
        ::_exit(127);
    }
    ::close(report[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int error = 0;
    ssize_t n;
    do {
        n = ::read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(report[0]);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}
