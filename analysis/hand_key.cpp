#include "analysis/hand_key.h"

#include <cstdio>

#include "hands/hand.h"
#include "platform/local_time.h"

CHandKey CHandKey::Of(const CHand& hand) { return CHandKey{hand.dateTime, hand.handNumber}; }

std::string CHandKey::Text() const {
    char number[32];
    std::snprintf(number, sizeof number, "-%09llu", static_cast<unsigned long long>(handNumber));
    return platform::FormatLocal(dateTime, "%y%m%d %H:%M:%S") + number;
}
