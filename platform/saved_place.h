#pragma once
// A window's place kept between runs in the settings: four keys "NAME-Top",
// "NAME-Left", "NAME-Height" and "NAME-Width" of section "Positions", in
// screen pixels.
#include <string_view>

#include "platform/geometry.h"
#include "platform/profile.h"

namespace platform {

// A saved place must leave this much of the screen to spare on each axis.
inline constexpr int kSavedPlaceMargin = 50;

// The saved place of window NAME, or `fallback` (for all four values) when
// one is negative or the place does not fit `screen` less the margin: the
// top or the height beyond its height, the left or the width beyond its
// width. A missing key reads as the fallback's value.
Rect ReadSavedPlace(const Profile& settings, std::string_view name, const Rect& fallback,
                    const Rect& screen);

// Keeps `place` as the saved place of window NAME.
void WriteSavedPlace(Profile& settings, std::string_view name, const Rect& place);

}  // namespace platform
