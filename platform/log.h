#pragma once
// The program log: one line per event, appended to a text file. Platform code
// reports bad input here (a corrupt settings or registry file, a missing Wine
// prefix, an unreadable image) instead of failing, so that a user's problem
// can be traced afterwards.

#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

class Log {
  public:
    // Receives each line without its final line feed.
    using Sink = std::function<void(std::string_view line)>;

    // Sends one line to the current sink; line feeds inside the text are
    // replaced by spaces so that one call is always one line. Thread-safe.
    static void Write(std::string_view line);
    // Replaces the sink and returns the previous one. An empty sink drops
    // lines (the default until the program opens its log).
    static Sink SetSink(Sink sink);
    // A sink that appends each line and a line feed to the file at path,
    // opened for appending on every line so the file is never truncated and
    // survives the process being killed.
    static Sink FileSink(std::string path);
};

// Collects the log lines written while it lives (tests use it to check that
// bad input was reported); restores the previous sink when destroyed.
class ScopedLogCapture {
  public:
    ScopedLogCapture();
    ~ScopedLogCapture();
    ScopedLogCapture(const ScopedLogCapture&) = delete;
    ScopedLogCapture& operator=(const ScopedLogCapture&) = delete;

    // All lines so far, each followed by a line feed.
    std::string Text() const;
    // True when some line contains text.
    bool Contains(std::string_view text) const;

  private:
    Log::Sink previous_;
    std::shared_ptr<std::string> lines_;
};

}  // namespace platform
