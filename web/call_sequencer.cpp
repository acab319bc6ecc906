#include "web/call_sequencer.h"

namespace web {

CallSequencer::CallSequencer(std::int64_t gapMs, std::size_t maxPages, std::size_t maxHeldPerPage)
    : gapMs_(gapMs), maxPages_(maxPages), maxHeldPerPage_(maxHeldPerPage) {}

void CallSequencer::Release(Page& page, std::vector<PageCall>& out) {
    for (auto it = page.held.begin(); it != page.held.end() && it->first == page.next;
         it = page.held.erase(it)) {
        out.push_back(std::move(it->second.call));
        ++page.next;
    }
}

std::vector<PageCall> CallSequencer::Accept(PageCall call, std::int64_t nowMs) {
    std::vector<PageCall> out;
    Page& page = pages_[call.page];
    page.usedMs = nowMs;
    if (call.seq < page.next || page.held.count(call.seq) > 0) return out;  // a repeat
    const std::uint64_t seq = call.seq;
    page.held.emplace(seq, Held{std::move(call), nowMs});
    if (page.held.size() > maxHeldPerPage_) {
        // Too many waiting for one call: give up on the gap.
        page.next = page.held.begin()->first;
    }
    Release(page, out);
    Evict();
    return out;
}

std::vector<PageCall> CallSequencer::Expire(std::int64_t nowMs) {
    std::vector<PageCall> out;
    for (auto& [id, page] : pages_) {
        while (!page.held.empty()) {
            auto first = page.held.begin();
            bool stale = false;
            for (const auto& [seq, held] : page.held) {
                if (nowMs - held.arrivedMs >= gapMs_) stale = true;
            }
            if (!stale) break;
            page.next = first->first;
            Release(page, out);
        }
    }
    return out;
}

bool CallSequencer::Holding() const {
    for (const auto& [id, page] : pages_) {
        if (!page.held.empty()) return true;
    }
    return false;
}

void CallSequencer::Evict() {
    // Pages are forgotten least recently used first; a page that still holds
    // calls is kept, since its gap may yet fill.
    while (pages_.size() > maxPages_) {
        auto oldest = pages_.end();
        for (auto it = pages_.begin(); it != pages_.end(); ++it) {
            if (it->second.held.empty() &&
                (oldest == pages_.end() || it->second.usedMs < oldest->second.usedMs)) {
                oldest = it;
            }
        }
        if (oldest == pages_.end()) return;
        pages_.erase(oldest);
    }
}

}  // namespace web
