#include "app/main_app.h"

CMainApp::CMainApp(ConsoleEnvironment env)
    : loop_(env.loop), console_(std::make_unique<CDlgMain>(std::move(env))) {}

int CMainApp::InitInstance() {
    if (!console_->Construct()) return console_->ExitCode();
    console_->OnInitDialog();
    if (!console_->IsFinished()) loop_->Run();
    return console_->ExitCode();
}
