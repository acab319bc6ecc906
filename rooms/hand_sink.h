#pragma once
// HandSink: what the log reader needs from the hand database. The program
// adapts its hand analyzer to it; tests and tools can supply their own.
// All calls come from the thread that runs the reader.

#include <cstdint>
#include <memory>

#include "hands/hand.h"

// Which step of the intake delivers hands: the first loading of the
// histories already on disk, or a live pass over what the client appended.
enum class LoadPass { kFirstLoading, kLive };

class HandSink {
  public:
    virtual ~HandSink() = default;

    // Whether a hand with this number is already stored.
    virtual bool KnowsHand(std::uint64_t handNumber) const = 0;
    // Takes ownership of an accepted, complete hand: stores it and, in a
    // live pass, also records its summary and updates its table. Done under
    // the database's lock.
    virtual void AddHand(std::unique_ptr<CHand> hand, LoadPass pass) = 0;
    // A live hand that is still being played (or still being written):
    // updates its table only. The hand stays the caller's.
    virtual void UpdateTable(const CHand& hand) = 0;
    // Folds the hands added since the last call into the player records.
    virtual void Process(LoadPass pass) = 0;
    // Hands not later than this time (seconds since 1970) are not taken,
    // and files last written before it are not read.
    virtual std::int64_t EarliestHandDate() const = 0;
};
