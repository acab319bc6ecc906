#include "platform/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <mutex>

namespace platform {

namespace {

std::mutex& SinkMutex() {
    static std::mutex mutex;
    return mutex;
}

Log::Sink& CurrentSink() {
    static Log::Sink sink;
    return sink;
}

}  // namespace

void Log::Write(std::string_view line) {
    std::string clean(line);
    for (char& c : clean) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    std::lock_guard lock(SinkMutex());
    if (CurrentSink()) CurrentSink()(clean);
}

Log::Sink Log::SetSink(Sink sink) {
    std::lock_guard lock(SinkMutex());
    Sink previous = std::move(CurrentSink());
    CurrentSink() = std::move(sink);
    return previous;
}

Log::Sink Log::FileSink(std::string path) {
    return [path = std::move(path)](std::string_view line) {
        // O_APPEND makes each write land at the end even if another process
        // appends too; one write() per line keeps lines whole.
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
        if (fd < 0) return;
        std::string text(line);
        text += '\n';
        const char* p = text.data();
        std::size_t left = text.size();
        while (left > 0) {
            const ssize_t n = ::write(fd, p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::close(fd);
    };
}

ScopedLogCapture::ScopedLogCapture() : lines_(std::make_shared<std::string>()) {
    previous_ = Log::SetSink([lines = lines_](std::string_view line) {
        lines->append(line);
        lines->push_back('\n');
    });
}

ScopedLogCapture::~ScopedLogCapture() { Log::SetSink(std::move(previous_)); }

std::string ScopedLogCapture::Text() const {
    std::lock_guard lock(SinkMutex());
    return *lines_;
}

bool ScopedLogCapture::Contains(std::string_view text) const {
    return Text().find(text) != std::string::npos;
}

}  // namespace platform
