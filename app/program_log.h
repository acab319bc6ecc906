#pragma once
// CProgramLog: "Seatwatch_log.log" in the program folder, one line per
// start-up milestone. The file is opened for appending (created when missing,
// never truncated); every line ends with a line feed and is handed to the
// system as soon as it is written, so a killed process loses none.
#include <cstdio>
#include <string>
#include <string_view>

class CProgramLog {
  public:
    CProgramLog() = default;
    ~CProgramLog();
    CProgramLog(const CProgramLog&) = delete;
    CProgramLog& operator=(const CProgramLog&) = delete;

    // Opens (or reopens) the file at path for appending; false when it
    // cannot be opened, in which case lines are dropped.
    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return file_ != nullptr; }
    // Appends text and a line feed, and flushes.
    void WriteLine(std::string_view text);
    // Hands the lines written so far to the system.
    void Flush();
    const std::string& Path() const { return path_; }

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
};
