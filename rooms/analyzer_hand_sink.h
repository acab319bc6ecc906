#pragma once
// CAnalyzerHandSink: the log reader's view of the hand analyzer. Every call
// that touches the hands map or a table record takes the analyzer's lock.

#include "analysis/hand_analyzer.h"
#include "rooms/hand_sink.h"

class CAnalyzerHandSink : public HandSink {
  public:
    // Borrows the analyzer, which must outlive the sink.
    explicit CAnalyzerHandSink(CHandAnalyzer& analyzer) : analyzer_(analyzer) {}

    bool KnowsHand(std::uint64_t handNumber) const override;
    // Add hand; in a live pass also Add hand summary and Update table.
    void AddHand(std::unique_ptr<CHand> hand, LoadPass pass) override;
    void UpdateTable(const CHand& hand) override;
    void Process(LoadPass pass) override;
    // The analyzer's oldest-hand cut-off.
    std::int64_t EarliestHandDate() const override;

  private:
    CHandAnalyzer& analyzer_;
};
