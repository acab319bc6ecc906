#include "app/console_views.h"

CConsoleViews::CConsoleViews(const ConsoleViewContext& context)
    : reports_(MakeReportViews(context)),
      viewers_(MakeViewerViews(context)),
      tables_(MakeTableViews(context)) {}

bool IsPageIn(const std::filesystem::path& folder, const std::string& path) {
    namespace fs = std::filesystem;
    if (folder.empty() || path.empty()) return false;
    const fs::path page = fs::path(path).lexically_normal();
    const fs::path relative = page.lexically_relative(folder.lexically_normal());
    if (relative.empty() || *relative.begin() == ".." || relative == ".") return false;
    return page.extension() == ".htm";
}
