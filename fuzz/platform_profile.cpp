// Parses arbitrary bytes as an INI file, reads and writes entries, and checks
// that a written entry reads back and that the text re-parses the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/ini_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    platform::IniDocument doc(text);
    for (const std::string& section : doc.Sections()) {
        for (const auto& [key, value] : doc.Entries(section)) platform::ParseProfileInt(value);
    }
    const std::string section = size > 0 ? std::string(text.substr(0, size % 7)) : "S";
    if (doc.Set(section, "Key", "value")) {
        const auto v = doc.Get(section, "key");
        if (!v || *v != "value") std::abort();
    }
    platform::IniDocument again(doc.Text());
    if (again.Text() != doc.Text()) std::abort();
    return 0;
}
