#include "platform/saved_place.h"

#include <string>

namespace platform {

namespace {

constexpr std::string_view kSection = "Positions";

std::string Key(std::string_view name, std::string_view edge) {
    std::string key(name);
    key += '-';
    key += edge;
    return key;
}

}  // namespace

Rect ReadSavedPlace(const Profile& settings, std::string_view name, const Rect& fallback,
                    const Rect& screen) {
    const int top = settings.GetInt(kSection, Key(name, "Top"), fallback.top);
    const int left = settings.GetInt(kSection, Key(name, "Left"), fallback.left);
    const int height = settings.GetInt(kSection, Key(name, "Height"), fallback.Height());
    const int width = settings.GetInt(kSection, Key(name, "Width"), fallback.Width());
    const int roomHeight = screen.Height() - kSavedPlaceMargin;
    const int roomWidth = screen.Width() - kSavedPlaceMargin;
    if (top < 0 || left < 0 || height < 0 || width < 0 || top > roomHeight || left > roomWidth ||
        height > roomHeight || width > roomWidth) {
        return fallback;
    }
    return Rect::FromSize(left, top, width, height);
}

void WriteSavedPlace(Profile& settings, std::string_view name, const Rect& place) {
    settings.WriteInt(kSection, Key(name, "Top"), place.top);
    settings.WriteInt(kSection, Key(name, "Left"), place.left);
    settings.WriteInt(kSection, Key(name, "Height"), place.Height());
    settings.WriteInt(kSection, Key(name, "Width"), place.Width());
}

}  // namespace platform
