#include "rooms/analyzer_hand_sink.h"

#include <mutex>

bool CAnalyzerHandSink::KnowsHand(std::uint64_t handNumber) const {
    std::lock_guard lock(analyzer_.Mutex());
    return analyzer_.HasHand(handNumber);
}

void CAnalyzerHandSink::AddHand(std::unique_ptr<CHand> hand, LoadPass pass) {
    std::lock_guard lock(analyzer_.Mutex());
    const CHand& stored = *hand;
    if (!analyzer_.AddHand(std::move(hand))) return;
    if (pass != LoadPass::kLive) return;
    analyzer_.AddHandSummary(stored);
    analyzer_.UpdateTable(stored);
}

void CAnalyzerHandSink::UpdateTable(const CHand& hand) {
    std::lock_guard lock(analyzer_.Mutex());
    analyzer_.UpdateTable(hand);
}

void CAnalyzerHandSink::Process(LoadPass pass) { analyzer_.Process(pass == LoadPass::kLive); }

std::int64_t CAnalyzerHandSink::EarliestHandDate() const { return analyzer_.OldestHandCutoff(); }
