// Recording windows for the Windows-side tests: real hidden windows whose
// procedure logs every message sent to them, so the code under test
// reaches them through SendMessageW as it reaches the program's windows.
#include <windows.h>

#include "recording_window.h"

namespace {
LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool interesting = message == WM_SETTEXT || message == WM_CHECKIP_DONE || message == WM_SYNC_DONE ||
                       message == WM_NET_NOTICE || message >= WM_APP;
    if (!interesting) return DefWindowProcW(window, message, wParam, lParam);
    RecordedMessage m{window, message, wParam, lParam, std::wstring()};
    if (message == WM_SETTEXT) {
        m.text = reinterpret_cast<const wchar_t*>(lParam);
        DefWindowProcW(window, message, wParam, lParam);
    }
    return RecordMessage(m);
}
}  // namespace

WindowHandle MakeRecordingWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VelloqRecordingWindow";
        RegisterClassW(&wc);
        registered = true;
    }
    return CreateWindowExW(0, L"VelloqRecordingWindow", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

// Messages sent from a worker thread arrive only while this thread pumps.
bool WaitForMessage(unsigned message, int timeoutMs) {
    DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        if (MessageRecorded(message)) return true;
        if (static_cast<int>(GetTickCount() - deadline) > 0) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}
