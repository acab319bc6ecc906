#include "rooms/analyzer_hand_sink.h"

#include <mutex>

bool CAnalyzerHandSink::KnowsHand(std::uint64_t handNumber) const {
    std::lock_guard lock(analyzer_.Mutex());
    return analyzer_.HasHand(handNumber);
}

void CAnalyzerHandSink::AddHand(std::unique_ptr<CHand> hand, bool live) {
    std::lock_guard lock(analyzer_.Mutex());
    const CHand& stored = *hand;
    if (!analyzer_.AddHand(std::move(hand))) return;
    if (!live) return;
    analyzer_.AddHandSummary(stored);
    analyzer_.UpdateTable(stored);
}

void CAnalyzerHandSink::UpdateTable(const CHand& hand) {
    std::lock_guard lock(analyzer_.Mutex());
    analyzer_.UpdateTable(hand);
}

void CAnalyzerHandSink::Process(bool live) { analyzer_.Process(live); }

std::int64_t CAnalyzerHandSink::EarliestHandDate() const { return analyzer_.OldestHandCutoff(); }
