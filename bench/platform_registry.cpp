// Reading a Wine system.reg of real size (about 10 MB) and looking keys up.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "platform/reg_file.h"
#include "platform/wine_registry.h"

namespace {

// A system.reg shaped like a real one: deep class and CLSID keys with string,
// dword and hex values, time stamps and continuation lines.
const std::string& BigSystemReg() {
    static const std::string text = [] {
        std::string t = "WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n";
        char buf[512];
        for (int i = 0; t.size() < 10u * 1024u * 1024u; ++i) {
            std::snprintf(buf, sizeof buf,
                          "[Software\\\\Classes\\\\CLSID\\\\{%08X-1234-5678-9ABC-DEF012345678}\\\\InprocServer32] "
                          "1600000000\n#time=1d6f0b2c3a4e5f6\n@=\"C:\\\\windows\\\\system32\\\\lib%d.dll\"\n"
                          "\"ThreadingModel\"=\"Both\"\n\"Flags\"=dword:%08x\n"
                          "\"Data\"=hex:01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,17,\\\n"
                          "  18,19,1a,1b,1c\n\n",
                          static_cast<unsigned>(i), i, static_cast<unsigned>(i));
            t += buf;
        }
        return t;
    }();
    return text;
}

void BM_ParseSystemReg(benchmark::State& state) {
    const std::string& text = BigSystemReg();
    for (auto _ : state) {
        platform::RegTree tree;
        benchmark::DoNotOptimize(platform::ParseRegFile(text, tree));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_ParseSystemReg)->Unit(benchmark::kMillisecond);

void BM_QueryValue(benchmark::State& state) {
    const std::string& text = BigSystemReg();
    const std::string path = "/tmp/seatwatch-bench-prefix";
    std::system(("mkdir -p " + path).c_str());
    if (FILE* f = std::fopen((path + "/system.reg").c_str(), "wb")) {
        std::fwrite(text.data(), 1, text.size(), f);
        std::fclose(f);
    }
    platform::WineRegistry reg(path, {});
    int i = 0;
    char key[160];
    for (auto _ : state) {
        std::snprintf(key, sizeof key, "clsid\\{%08X-1234-5678-9ABC-DEF012345678}\\InprocServer32",
                      static_cast<unsigned>(i++ % 40000));
        benchmark::DoNotOptimize(reg.QueryValue(platform::RegRoot::kClassesRoot, key, "threadingmodel"));
    }
    std::remove((path + "/system.reg").c_str());
}
BENCHMARK(BM_QueryValue);

}  // namespace

BENCHMARK_MAIN();
