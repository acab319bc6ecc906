// The first loading of the real hand histories beside the project checkout,
// when they are there, written out as one text: every stored hand as the
// parser tool prints it, and every player record as the pages read it
// (counters, hands, series, class lists, tag record, rankings). The text's
// hash is fixed per room family, so a change in how hands are stored or
// folded in that alters anything shown fails here. On a mismatch the text is
// written beside the build for a diff against the previous version's.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "analysis/hand_reference.h"
#include "hands/hand_json.h"
#include "platform/clock.h"
#include "platform/memory_profile.h"
#include "rooms/intake_session.h"

namespace {

std::uint64_t Fnv1a(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ULL;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ULL;
    }
    return hash;
}

void AppendNumber(std::string& out, long long value) {
    out += ' ';
    out += std::to_string(value);
}

void AppendDouble(std::string& out, double value) {
    char text[32];
    std::snprintf(text, sizeof text, " %.6g", value);
    out += text;
}

void AppendSeries(std::string& out, const char* label, const CTimeSeries& series) {
    out += label;
    for (const auto& [key, amount] : series.Entries()) {
        AppendNumber(out, key);
        out += ':';
        out += std::to_string(amount);
    }
    out += '\n';
}

std::string Digest(const CHandAnalyzer& analyzer) {
    std::string out;
    for (const auto& [number, stored] : analyzer.Hands()) {
        out += stored.processed ? "H+ " : "H- ";
        hands::AppendHandJson(out, "", *stored.hand, CHand::kParseOk, true);
    }
    for (const auto& [key, record] : analyzer.Players()) {
        out += "P ";
        hands::AppendJsonString(out, key);
        hands::AppendJsonString(out, record->Tag());
        AppendNumber(out, record->Hands());
        for (int i = 0; i < CPlayerStats::kCounterCount; ++i) AppendNumber(out, record->Counter(i));
        AppendDouble(out, record->VPIP());
        AppendDouble(out, record->PFR());
        AppendDouble(out, record->WinPercent());
        out += record->InRanking() ? " ranked\n" : "\n";
        out += " hands";
        for (const CHand* hand : record->PlayerHands())
            AppendNumber(out, static_cast<long long>(hand->handNumber));
        out += '\n';
        for (int c = 0; c < CHandReference::kClassCount; ++c) {
            const auto hands = record->HandsOfClass(c);
            if (hands.empty()) continue;
            out += " class";
            AppendNumber(out, c);
            for (const CHand* hand : hands)
                AppendNumber(out, static_cast<long long>(hand->handNumber));
            out += '\n';
        }
        AppendSeries(out, " all", record->AllTimeSeries());
        AppendSeries(out, " session", record->SessionSeries());
        for (const auto& [opponent, entry] : record->TagRecord().Entries()) {
            out += " tag ";
            hands::AppendJsonString(out, opponent);
            AppendDouble(out, entry.wonFrom);
            AppendDouble(out, entry.lostTo);
            out += '\n';
        }
    }
    out += "R";
    AppendNumber(out, analyzer.RankedCount());
    AppendNumber(out, analyzer.RankedLimitCount());
    out += '\n';
    return out;
}

TEST(FirstLoadingDigest, StoredHandsAndRecordsAreUnchanged) {
    const std::filesystem::path corpus =
        std::filesystem::path(SEATWATCH_SOURCE_DIR) / ".." / "shared" / "corpus";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no corpus at " << corpus;
    // The series count from local midnight of 1 January 2000: the fixed
    // hashes are those of a machine on UTC.
    const char* zone = std::getenv("TZ");
    const std::string savedZone = zone != nullptr ? zone : "";
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    const struct {
        const char* folder;
        int roomId;
        std::uint64_t hash;
    } families[] = {
        {"pokerstars", 113, 6676061444440551796ULL},
        {"fulltilt", 114, 10889599506360241837ULL},
        {"partypoker", 101, 8383366828290022398ULL},
        {"absolute", 121, 13622351337104668547ULL},
    };
    for (const auto& family : families) {
        SCOPED_TRACE(family.folder);
        const std::filesystem::path folder = corpus / family.folder;
        if (!std::filesystem::is_directory(folder)) continue;
        platform::MemoryProfile settings;
        CHandReference reference;
        IntakeSessionSettings start;
        start.roomId = family.roomId;
        start.nickname = "Hero";
        start.loggingFolder = folder.string();
        CIntakeSession session(settings, reference, platform::SystemClock::Instance(), start);
        session.FirstLoading();
        ASSERT_GT(session.Analyzer().HandCount(), 0U);
        const std::string digest = Digest(session.Analyzer());
        const std::uint64_t hash = Fnv1a(digest);
        if (hash != family.hash) {
            const std::string path =
                std::string(SEATWATCH_BINARY_DIR) + "/first_loading_" + family.folder + ".digest";
            std::ofstream(path, std::ios::binary) << digest;
            ADD_FAILURE() << "digest " << hash << " written to " << path;
        }
    }
    if (zone != nullptr) {
        ::setenv("TZ", savedZone.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
