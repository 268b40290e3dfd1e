#include <windows.h>

#include "tests/support/child_process.h"

#include <map>
#include <stdexcept>
#include <string_view>

#include "base/text.h"

namespace {

std::map<std::string, ChildScenario>& Scenarios() {
    static std::map<std::string, ChildScenario> scenarios;
    return scenarios;
}

} // namespace

ChildScenarioRegistration::ChildScenarioRegistration(const char* name, ChildScenario scenario) {
    Scenarios()[name] = scenario;
}

bool RunChildScenarioIfAsked(int argc, char** argv, int& exitCode) {
    if (argc < 3 || std::string_view(argv[1]) != "--child")
        return false;
    const auto it = Scenarios().find(argv[2]);
    exitCode = it == Scenarios().end() ? 99 : it->second();
    return true;
}

ChildProcess::ChildProcess(const std::string& scenario) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" --child " + FromAnsi(scenario);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        throw std::runtime_error("cannot start the child process");
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
}

ChildProcess::~ChildProcess() {
    if (Running()) {
        TerminateProcess(process_.get(), 255);
        Wait(5000);
    }
}

bool ChildProcess::Wait(DWORD ms) const {
    return WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return code;
}
