#include "app/console_views.h"

CConsoleViews::CConsoleViews(const ConsoleViewContext& context)
    : reports_(MakeReportViews(context)),
      viewers_(MakeViewerViews(context)),
      tables_(MakeTableViews(context)) {}
