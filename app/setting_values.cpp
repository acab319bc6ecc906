#include "app/setting_values.h"

#include <string>

#include "platform/ini_document.h"

int ReadSetting(const platform::Profile& settings, const IntSetting& setting) {
    return ReadSetting(settings, setting, setting.def);
}

int ReadSetting(const platform::Profile& settings, const IntSetting& setting, int def) {
    const std::string text = settings.GetString(setting.section, setting.key);
    const std::optional<int> value = platform::ParseWholeNumber(text);
    if (!value || *value < setting.lowest || *value > setting.highest) return def;
    return *value;
}
