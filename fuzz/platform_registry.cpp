// Parses arbitrary bytes as a Wine registry file, then writes the result and
// parses it again: the second parse must read every line back.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text("WINE REGISTRY Version 2\n");
    text.append(reinterpret_cast<const char*>(data), size);
    platform::RegTree tree;
    platform::ParseRegFile(text, tree);
    platform::RegTree back;
    const auto again = platform::ParseRegFile(platform::WriteRegFile(tree, "\\Registry"), back);
    if (again.badLines != 0) std::abort();
    return 0;
}
