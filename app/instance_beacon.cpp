#include "app/instance_beacon.h"

#include <fcntl.h>
#include <httplib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <sstream>
#include <thread>

#include "platform/file_util.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kBeaconFileName = "Seatwatch.desk";
constexpr std::size_t kMaxBeaconSize = 4096;
constexpr int kMaxTokenLength = 256;
// The cookie the desk server reads its token from.
constexpr const char* kTokenCookie = "seatwatch_token";

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool TokenIsPlain(const std::string& token) {
    if (token.empty() || token.size() > kMaxTokenLength) return false;
    for (const char c : token) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
        if (!ok) return false;
    }
    return true;
}

}  // namespace

bool WriteInstanceBeacon(const fs::path& folder, const InstanceBeacon& beacon, std::string& error) {
    const fs::path path = folder / kBeaconFileName;
    const fs::path temp = folder / (std::string(kBeaconFileName) + ".tmp");
    std::ostringstream text;
    text << "port=" << beacon.port << "\ntoken=" << beacon.token << "\npid=" << beacon.pid << "\n";
    ::unlink(temp.c_str());
    // Created 0600 from the start, so the token is never readable by others,
    // not even for a moment.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    const bool written = WriteAll(fd, text.str()) && ::fchmod(fd, 0600) == 0 && ::fsync(fd) == 0;
    const int writeErrno = errno;
    ::close(fd);
    if (!written || ::rename(temp.c_str(), path.c_str()) != 0) {
        error = std::strerror(written ? errno : writeErrno);
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

std::optional<InstanceBeacon> ReadInstanceBeacon(const fs::path& folder) {
    const fs::path path = folder / kBeaconFileName;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if ((info.st_mode & 077) != 0 || info.st_uid != ::getuid()) return std::nullopt;
    const auto content = platform::ReadWholeFile(path.string(), kMaxBeaconSize);
    if (!content) return std::nullopt;
    InstanceBeacon beacon;
    std::istringstream lines(*content);
    std::string line;
    while (std::getline(lines, line)) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        try {
            if (key == "port") {
                beacon.port = std::stoi(value);
            } else if (key == "token") {
                beacon.token = value;
            } else if (key == "pid") {
                beacon.pid = std::stol(value);
            }
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }
    if (beacon.port <= 0 || beacon.port > 65535 || !TokenIsPlain(beacon.token)) return std::nullopt;
    return beacon;
}

void RemoveInstanceBeacon(const fs::path& folder, long pid) {
    const auto beacon = ReadInstanceBeacon(folder);
    if (beacon && beacon->pid == pid) {
        std::error_code ec;
        fs::remove(folder / kBeaconFileName, ec);
    }
}

bool AskRunningCopyToActivate(const fs::path& folder, int waitMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    for (;;) {
        if (const auto beacon = ReadInstanceBeacon(folder)) {
            httplib::Client client("127.0.0.1", beacon->port);
            client.set_connection_timeout(1, 0);
            client.set_read_timeout(2, 0);
            client.set_write_timeout(2, 0);
            const httplib::Headers headers{
                {"Cookie", std::string(kTokenCookie) + "=" + beacon->token}};
            const auto response =
                client.Post("/_/program/activate", headers, "{}", "application/json");
            if (response && response->status >= 200 && response->status < 300) return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}
