#include "app/setting_values.h"

#include <charconv>
#include <string>

std::optional<int> ParseWholeNumber(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

int ReadSetting(const platform::Profile& settings, const IntSetting& setting) {
    return ReadSetting(settings, setting, setting.def);
}

int ReadSetting(const platform::Profile& settings, const IntSetting& setting, int def) {
    const std::string text = settings.GetString(setting.section, setting.key);
    const std::optional<int> value = ParseWholeNumber(text);
    if (!value || *value < setting.lowest || *value > setting.highest) return def;
    return *value;
}
