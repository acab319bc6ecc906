#include "app/program_log.h"

CProgramLog::~CProgramLog() { Close(); }

bool CProgramLog::Open(const std::string& path) {
    Close();
    path_ = path;
    file_ = std::fopen(path.c_str(), "ae");
    return file_ != nullptr;
}

void CProgramLog::Close() {
    if (file_ != nullptr) std::fclose(file_);
    file_ = nullptr;
}

void CProgramLog::WriteLine(std::string_view text) {
    if (file_ == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fputc('\n', file_);
    // Every line goes to the system at once: the log is what tells a crash
    // afterwards, so it must not lose its last lines with the process.
    std::fflush(file_);
}

void CProgramLog::Flush() {
    if (file_ != nullptr) std::fflush(file_);
}
