#pragma once
// Restores the order of page commands. A page's calls travel on separate
// HTTP requests and may arrive out of order; each carries the page load's id
// and a sequence number from 1. Calls are released in sequence order; a call
// that arrives twice is dropped; a gap that stays open longer than the gap
// time (a request lost on the way) is skipped, so one lost call never blocks
// the page's later ones. Not thread-safe: used on the user-interface thread.

#include <cstddef>
#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

namespace web {

struct PageCall {
    std::string page;  // the page load's id
    std::uint64_t seq = 0;
    std::string method;
    nlohmann::json args = nlohmann::json::array();
};

class CallSequencer {
  public:
    explicit CallSequencer(std::int64_t gapMs = 2000, std::size_t maxPages = 256,
                           std::size_t maxHeldPerPage = 1000);

    // Takes one call that arrived at nowMs; returns the calls now due, in order.
    std::vector<PageCall> Accept(PageCall call, std::int64_t nowMs);
    // Releases the calls held behind a gap older than the gap time.
    std::vector<PageCall> Expire(std::int64_t nowMs);
    // True while some call waits for an earlier one.
    bool Holding() const;

  private:
    struct Held {
        PageCall call;
        std::int64_t arrivedMs = 0;
    };
    struct Page {
        std::uint64_t next = 1;
        std::map<std::uint64_t, Held> held;
        std::int64_t usedMs = 0;
    };
    // Moves the calls from next on, as long as they are consecutive.
    static void Release(Page& page, std::vector<PageCall>& out);
    void Evict();

    std::int64_t gapMs_;
    std::size_t maxPages_;
    std::size_t maxHeldPerPage_;
    std::map<std::string, Page> pages_;
};

}  // namespace web
