#pragma once
// CMainApp: the application object. It makes the console, runs its
// construction and start-up sequence, and then the event loop until the
// console shuts down; InitInstance gives back the process's exit code.
#include <memory>

#include "app/dlg_main.h"

class CMainApp {
  public:
    explicit CMainApp(ConsoleEnvironment env);

    // 4874 when another copy runs in the program folder, else 39744 once
    // the console has shut down (whatever the reason).
    int InitInstance();
    CDlgMain& Console() { return *console_; }

  private:
    platform::EventLoop* loop_;
    std::unique_ptr<CDlgMain> console_;
};
