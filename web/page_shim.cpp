#include "web/page_shim.h"

namespace web {

namespace {

constexpr std::string_view kSinkClsid = "a0dc81a6-a79e-4bc8-98c5-7f11e897d85d";

std::string LowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool IsNameEnd(char c) {
    return c == '>' || c == '/' || c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// The position just after the '>' that ends the tag starting at `at`, quotes
// respected; npos when the tag does not end.
std::size_t TagEnd(std::string_view text, std::size_t at) {
    char quote = 0;
    for (std::size_t i = at; i < text.size(); ++i) {
        const char c = text[i];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return std::string_view::npos;
}

// The first start tag <name ...> at or after `from` in lower (the lowered
// text); npos when none.
std::size_t FindTag(const std::string& lower, std::string_view name, std::size_t from) {
    const std::string open = "<" + std::string(name);
    for (std::size_t at = lower.find(open, from); at != std::string::npos;
         at = lower.find(open, at + 1)) {
        const std::size_t after = at + open.size();
        if (after < lower.size() && IsNameEnd(lower[after])) return at;
    }
    return std::string::npos;
}

std::string RemoveSinkObjects(std::string_view page) {
    std::string out;
    const std::string lower = LowerAscii(page);
    std::size_t copied = 0;
    std::size_t at = 0;
    while ((at = FindTag(lower, "object", at)) != std::string::npos) {
        const std::size_t end = TagEnd(page, at);
        if (end == std::string_view::npos) break;
        const std::string_view tag = std::string_view(lower).substr(at, end - at);
        if (tag.find("classid") == std::string_view::npos ||
            tag.find(kSinkClsid) == std::string_view::npos) {
            at = end;
            continue;
        }
        std::size_t stop = end;
        const std::size_t close = lower.find("</object", end);
        if (close != std::string::npos) {
            const std::size_t closeEnd = TagEnd(page, close);
            stop = closeEnd == std::string_view::npos ? page.size() : closeEnd;
        }
        out.append(page.substr(copied, at - copied));
        copied = stop;
        at = stop;
    }
    out.append(page.substr(copied));
    return out;
}

// Where the shim goes when the page has no head: after a byte-order mark and
// any XML declaration, doctype, comments and white space that open the page.
std::size_t PrologueEnd(std::string_view page) {
    std::size_t at = page.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    std::size_t placed = at;
    const std::string lower = LowerAscii(page.substr(0, 4096));
    while (at < lower.size()) {
        while (at < lower.size() && (lower[at] == ' ' || lower[at] == '\t' || lower[at] == '\n' ||
                                     lower[at] == '\r' || lower[at] == '\f')) {
            ++at;
        }
        std::size_t end = std::string::npos;
        if (lower.compare(at, 4, "<!--") == 0) {
            end = lower.find("-->", at + 4);
            if (end != std::string::npos) end += 3;
        } else if (lower.compare(at, 9, "<!doctype") == 0 || lower.compare(at, 5, "<?xml") == 0) {
            end = TagEnd(page, at);
        }
        if (end == std::string::npos || end == std::string_view::npos) break;
        at = placed = end;
    }
    return placed;
}

}  // namespace

std::string InsertPageShim(std::string_view original) {
    std::string page = RemoveSinkObjects(original);
    const std::string lower = LowerAscii(page);
    std::size_t at = std::string::npos;
    const std::size_t head = FindTag(lower, "head", 0);
    if (head != std::string::npos) at = TagEnd(page, head);
    if (at == std::string::npos) at = PrologueEnd(page);
    page.insert(at, kShimScript);
    return page;
}

}  // namespace web
