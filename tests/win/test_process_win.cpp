// The error report box and the running-copy lookup, under Wine with real
// processes and a real message box.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "util/process.h"

namespace {

std::wstring Text(HWND window) {
    wchar_t buffer[1024] = L"";
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

// Starts copies of notepad and ends them when the test ends.
struct Notepads {
    std::vector<PROCESS_INFORMATION> running;

    bool Start() {
        wchar_t line[] = L"notepad.exe";
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION p = {};
        if (!CreateProcessW(nullptr, line, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &p)) return false;
        WaitForInputIdle(p.hProcess, 10000);
        running.push_back(p);
        return true;
    }

    ~Notepads() {
        for (PROCESS_INFORMATION& p : running) {
            TerminateProcess(p.hProcess, 0);
            WaitForSingleObject(p.hProcess, 5000);
            CloseHandle(p.hProcess);
            CloseHandle(p.hThread);
        }
    }
};

}  // namespace

TEST(IsSecondInstance, CountsCopiesByExactFileName) {
    struct Row {
        const wchar_t* key;
        bool withOne, withTwo;
    } rows[] = {
        {L"notepad.exe", false, true},
        {L"C:\\any\\folder\\notepad.exe", false, true},
        {L"Notepad.exe", false, false},  // letter case counts
        {L"notepad", false, false},      // no extension matches no image
        {L"C:\\windows\\", false, false},
        {L"other.exe", false, false},
    };
    Notepads copies;
    ASSERT_TRUE(copies.Start());
    for (const Row& row : rows)
        EXPECT_EQ(IsSecondInstance(row.key), row.withOne) << "one copy, key " << std::string(row.key, row.key + std::wcslen(row.key));
    ASSERT_TRUE(copies.Start());
    for (const Row& row : rows)
        EXPECT_EQ(IsSecondInstance(row.key), row.withTwo) << "two copies, key " << std::string(row.key, row.key + std::wcslen(row.key));
}

TEST(IsSecondInstance, TheCallerAloneIsNotASecondCopy) {
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    EXPECT_FALSE(IsSecondInstance(path));
}

TEST(ReportLastError, BoxNamesOperationNumberAndSystemText) {
    struct Row {
        DWORD error;
        bool hasSystemText;
    } rows[] = {{ERROR_ACCESS_DENIED, true}, {0x20000001, false}};
    for (const Row& row : rows) {
        wchar_t* system = nullptr;
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, row.error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       reinterpret_cast<LPWSTR>(&system), 0, nullptr);
        std::wstring systemText = system != nullptr ? system : L"";
        if (system != nullptr) LocalFree(system);
        EXPECT_EQ(!systemText.empty(), row.hasSystemText) << row.error;

        // The box is modal: a watcher reads and closes it.
        std::wstring title, text;
        std::atomic<bool> seen(false);
        DWORD self = GetCurrentProcessId();
        std::thread watcher([&] {
            for (int i = 0; i < 500 && !seen; ++i) {
                HWND box = nullptr;
                while ((box = FindWindowExW(nullptr, box, L"#32770", nullptr)) != nullptr) {
                    DWORD pid = 0;
                    GetWindowThreadProcessId(box, &pid);
                    if (pid != self) continue;
                    title = Text(box);
                    text = Text(GetDlgItem(box, 0xFFFF));
                    seen = true;
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    break;
                }
                Sleep(20);
            }
        });
        SetLastError(row.error);
        ReportLastError(L"Get application memory");
        watcher.join();
        ASSERT_TRUE(seen) << row.error;
        EXPECT_EQ(title, L"DynDNS Velloq Client \u2022 ERROR");
        EXPECT_EQ(text, L"Get application memory: failed with error " + std::to_wstring(static_cast<int>(row.error)) +
                            L": " + systemText);
    }
}
