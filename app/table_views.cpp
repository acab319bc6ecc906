#include "app/console_views.h"

// The table information windows and the overlay options: not built yet, so their commands do nothing.
std::unique_ptr<IConsoleViews> MakeTableViews(const ConsoleViewContext& /*context*/) {
    return std::make_unique<IConsoleViews>();
}
