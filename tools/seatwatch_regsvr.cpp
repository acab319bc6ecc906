// seatwatch-regsvr [-u] [--home DIR] LIBRARY
//
// Registers (or, with -u, unregisters) an in-process server library in the
// program's own registry store, the way the Windows registration tool does:
// it loads the library and calls its DllRegisterServer or
// DllUnregisterServer, then writes the store to disk. The store is the file
// "registry.reg" in the program folder: --home DIR, else
// $XDG_DATA_HOME/seatwatch, else ~/.local/share/seatwatch.

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

#include "com/hresult.h"
#include "com/runtime.h"
#include "platform/wine_registry.h"

namespace {

constexpr const char* kUsage = "usage: seatwatch-regsvr [-u] [--home DIR] LIBRARY\n";
constexpr const char* kStoreFileName = "registry.reg";

// Exit codes: 0 success, 2 bad command line, 3 library not loadable or not a
// server, 4 the server's function failed, 5 the store could not be written.
enum ExitCode { kOk = 0, kUsageError = 2, kLoadError = 3, kServerError = 4, kStoreError = 5 };

struct Options {
    bool unregister = false;
    std::string home;
    std::string library;
};

bool ParseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-u" || arg == "--unregister") {
            options.unregister = true;
        } else if (arg == "--home") {
            if (i + 1 >= argc) return false;
            options.home = argv[++i];
        } else if (arg.starts_with("--home=")) {
            options.home = std::string(arg.substr(7));
        } else if (arg.starts_with("-") && arg != "-") {
            return false;
        } else if (options.library.empty()) {
            options.library = std::string(arg);
        } else {
            return false;
        }
    }
    return !options.library.empty();
}

std::filesystem::path ProgramFolder(const Options& options) {
    if (!options.home.empty()) return options.home;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        return std::filesystem::path(data) / "seatwatch";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / ".local" / "share" / "seatwatch";
}

std::string Describe(com::HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(hr));
    const std::string_view name = com::HResultName(hr);
    return std::string(code) + (name.empty() ? "" : " (" + std::string(name) + ")");
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return kUsageError;
    }
    std::error_code error;
    // The registered path must be absolute: the runtime loads nothing else.
    const std::filesystem::path library = std::filesystem::canonical(options.library, error);
    if (error) {
        std::fprintf(stderr, "seatwatch-regsvr: %s: %s\n", options.library.c_str(),
                     error.message().c_str());
        return kLoadError;
    }
    const std::filesystem::path folder = ProgramFolder(options);
    std::filesystem::create_directories(folder, error);
    if (error) {
        std::fprintf(stderr, "seatwatch-regsvr: cannot create %s: %s\n", folder.c_str(),
                     error.message().c_str());
        return kStoreError;
    }

    // Only our own store is written; no Wine prefix is read.
    platform::WineRegistry registry("", folder / kStoreFileName);
    com::SetRegistry(&registry);

    void* handle = dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "seatwatch-regsvr: cannot load %s: %s\n", library.c_str(), dlerror());
        return kLoadError;
    }
    const char* entry = options.unregister ? "DllUnregisterServer" : "DllRegisterServer";
    auto function = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, entry));
    if (!function) {
        std::fprintf(stderr, "seatwatch-regsvr: %s has no %s entry point\n", library.c_str(),
                     entry);
        dlclose(handle);
        return kLoadError;
    }
    const com::HRESULT hr = function();
    com::SetRegistry(nullptr);
    dlclose(handle);
    if (com::Failed(hr)) {
        std::fprintf(stderr, "seatwatch-regsvr: %s in %s failed: %s\n", entry, library.c_str(),
                     Describe(hr).c_str());
        return kServerError;
    }
    if (!registry.Flush()) {
        std::fprintf(stderr, "seatwatch-regsvr: cannot write %s\n",
                     (folder / kStoreFileName).c_str());
        return kStoreError;
    }
    std::printf("%s in %s succeeded.\n", entry, library.c_str());
    return kOk;
}
