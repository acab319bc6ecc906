// The desk server's costs: how long a window change takes to reach an
// event-stream client, how long a page command takes from its POST to the
// callback, and the CPU the process uses while 60 panels are rewritten and
// fetched every 2 seconds. Each runs once, with real loopback connections;
// the figures are reported as counters (milliseconds, percent of one core).

#include <benchmark/benchmark.h>
#include <httplib.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "web/web_desktop.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

std::int64_t NowUs() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch())
        .count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
double Percentile95(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() * 95 / 100];
}

// A desk with its UI loop on a thread of its own.
struct Desk {
    explicit Desk(const fs::path& home) {
        web::WebDesktopOptions options;
        options.home = home;
        desk = std::make_unique<web::WebDesktop>(loop, options);
        std::string error;
        desk->Start(&error);
        ui = std::thread([this] { loop.Run(); });
    }
    ~Desk() {
        loop.Post([this] { desk->Stop(); });
        loop.Quit();
        ui.join();
        desk.reset();
    }
    // Runs task on the UI thread and waits for it.
    void OnUi(std::function<void()> task) {
        std::promise<void> done;
        loop.Post([&] {
            task();
            done.set_value();
        });
        done.get_future().wait();
    }
    httplib::Headers Cookie() const { return {{"Cookie", "seatwatch_token=" + desk->Token()}}; }

    platform::EventLoop loop;
    std::unique_ptr<web::WebDesktop> desk;
    std::thread ui;
};

// Reads an event stream; calls onData for each piece.
struct Reader {
    Reader(Desk& desk, std::function<void(std::string_view)> onData)
        : client("127.0.0.1", desk.desk->Port()) {
        client.set_read_timeout(60, 0);
        thread = std::thread([this, &desk, onData] {
            client.Get("/_/events", desk.Cookie(), [&](const char* d, size_t n) {
                onData(std::string_view(d, n));
                return !stop.load();
            });
        });
    }
    ~Reader() {
        stop = true;
        client.stop();
        thread.join();
    }
    httplib::Client client;
    std::thread thread;
    std::atomic<bool> stop{false};
};

fs::path Home() {
    const fs::path home =
        fs::temp_directory_path() / ("seatwatch-bench-" + std::to_string(getpid()));
    fs::create_directories(home / "Temp");
    return home;
}

void BM_WindowChangeToStreamClient(benchmark::State& state) {
    for (auto _ : state) {
        Desk desk(Home());
        platform::WindowId window = 0;
        desk.OnUi([&] { window = desk.desk->CreateWindow({}); });
        std::mutex mutex;
        std::vector<double> latencies;
        Reader reader(desk, [&](std::string_view data) {
            const std::int64_t now = NowUs();
            for (std::size_t at = 0;
                 (at = data.find("\"title\":\"t", at)) != std::string_view::npos;) {
                at += 10;
                const std::int64_t sent = std::atoll(std::string(data.substr(at, 20)).c_str());
                std::lock_guard lock(mutex);
                latencies.push_back(static_cast<double>(now - sent) / 1000.0);
            }
        });
        while (desk.desk->ConnectedPages() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        for (int i = 0; i < 200; ++i) {
            desk.loop.Post([&] { desk.desk->SetTitle(window, "t" + std::to_string(NowUs())); });
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::lock_guard lock(mutex);
        state.counters["changes"] = static_cast<double>(latencies.size());
        state.counters["median_ms"] = Median(latencies);
        state.counters["p95_ms"] = Percentile95(latencies);
    }
}
BENCHMARK(BM_WindowChangeToStreamClient)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PageCommandToCallback(benchmark::State& state) {
    for (auto _ : state) {
        Desk desk(Home());
        std::vector<double> latencies;
        desk.OnUi([&] {
            desk.desk->SetPageCallHandler([&](const web::PageCall& call) {
                const std::int64_t sent = std::atoll(call.args[0].get<std::string>().c_str());
                latencies.push_back(static_cast<double>(NowUs() - sent) / 1000.0);
            });
        });
        httplib::Client client("127.0.0.1", desk.desk->Port());
        for (int i = 1; i <= 200; ++i) {
            const std::string body = "{\"seq\":" + std::to_string(i) +
                                     ",\"page\":\"b\",\"method\":\"DisplayHand\",\"args\":[\"" +
                                     std::to_string(NowUs()) + "\"]}";
            client.Post("/_/sink", desk.Cookie(), body, "application/json");
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        std::vector<double> copy;
        desk.OnUi([&] { copy = latencies; });
        state.counters["calls"] = static_cast<double>(copy.size());
        state.counters["median_ms"] = Median(copy);
        state.counters["p95_ms"] = Percentile95(copy);
    }
}
BENCHMARK(BM_PageCommandToCallback)->Iterations(1)->Unit(benchmark::kMillisecond);

// 60 panels rewritten and navigated every 2 s; a client plays the browser:
// it reads the stream and fetches every page it is told to show. The CPU
// figure is the whole process's, client included, so it bounds the server's.
void BM_SixtyPanelsEveryTwoSeconds(benchmark::State& state) {
    for (auto _ : state) {
        const fs::path home = Home();
        Desk desk(home);
        std::vector<platform::WindowId> panels;
        desk.OnUi([&] {
            for (int i = 0; i < 60; ++i) {
                platform::WindowDescription d;
                d.title = "Panel " + std::to_string(i);
                d.visible = true;
                panels.push_back(desk.desk->CreateWindow(d));
            }
        });
        std::mutex mutex;
        std::vector<std::string> toFetch;
        std::condition_variable wake;
        Reader reader(desk, [&](std::string_view data) {
            std::lock_guard lock(mutex);
            for (std::size_t at = 0;
                 (at = data.find("\"url\":\"", at)) != std::string_view::npos;) {
                at += 7;
                toFetch.emplace_back(data.substr(at, data.find('"', at) - at));
            }
            wake.notify_all();
        });
        std::atomic<bool> stop{false};
        std::atomic<int> fetched{0};
        std::thread browser([&] {
            httplib::Client client("127.0.0.1", desk.desk->Port());
            client.set_keep_alive(true);
            while (!stop) {
                std::vector<std::string> batch;
                {
                    std::unique_lock lock(mutex);
                    wake.wait_for(lock, std::chrono::milliseconds(100),
                                  [&] { return !toFetch.empty(); });
                    batch.swap(toFetch);
                }
                for (const std::string& url : batch) {
                    if (client.Get(url.c_str(), desk.Cookie())) ++fetched;
                }
            }
        });
        std::string table(6000, 'x');
        desk.OnUi([&] {
            desk.loop.SetTimer(platform::kNoWindow, 9, 2000, [&] {
                for (std::size_t i = 0; i < panels.size(); ++i) {
                    const fs::path page = home / "Temp" / ("panel_" + std::to_string(i) + ".htm");
                    std::ofstream(page)
                        << "<HTML><HEAD></HEAD><BODY>" << table << NowUs() << "</BODY></HTML>";
                    desk.desk->Navigate(panels[i], page.string());
                }
            });
        });
        constexpr int kSeconds = 20;
        const double cpuStart = CpuSeconds();
        const auto start = Clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(kSeconds));
        const double cpu = CpuSeconds() - cpuStart;
        const double wall = std::chrono::duration<double>(Clock::now() - start).count();
        stop = true;
        browser.join();
        desk.OnUi([&] { desk.loop.KillTimer(platform::kNoWindow, 9); });
        state.counters["pages_fetched"] = fetched.load();
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / wall;
        fs::remove_all(home);
    }
}
BENCHMARK(BM_SixtyPanelsEveryTwoSeconds)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
