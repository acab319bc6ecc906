#pragma once
// The hand page: the ten positions against the betting rounds with every
// action and amount, the posts, the total bets and the money won, then the
// hand's information and the preflop alerts of its players.

#include <string>
#include <string_view>

#include "analysis/analysis_pages.h"

namespace pages {

// "Hand N.htm" in `folder`.
std::string HandPagePath(std::string_view folder, std::uint64_t handNumber);
// The page text of a request; writes nothing.
std::string HandPageText(const HandPageRequest& request);

}  // namespace pages
