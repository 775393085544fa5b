// Forced into every file of a recording build of the program
// (record.sh): the window, timer and tray calls go to the file named by
// VELLOQ_RECORD, one line each, with windows named by class and control id
// so that two builds' runs compare line by line.
#pragma once
#ifdef __cplusplus
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>

namespace window_calls {

inline FILE* File() {
    static FILE* file = [] {
        wchar_t path[MAX_PATH];
        return GetEnvironmentVariableW(L"VELLOQ_RECORD", path, MAX_PATH) ? _wfopen(path, L"wb") : nullptr;
    }();
    return file;
}

inline void Line(const wchar_t* format, ...) {
    static const DWORD mainThread = GetCurrentThreadId();
    FILE* f = File();
    if (f == nullptr) return;
    wchar_t text[600];
    va_list args;
    va_start(args, format);
    _vsnwprintf(text, 599, format, args);
    va_end(args);
    text[599] = L'\0';
    // UTF-8, so the tray's bullet survives.
    char line[1800];
    int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, line, sizeof line, nullptr, nullptr);
    fprintf(f, "%s%s\n", GetCurrentThreadId() == mainThread ? "" : "worker: ", n > 0 ? line : "?");
    fflush(f);
}

inline const wchar_t* Name(HWND w, wchar_t* out) {
    if (w == nullptr) return L"-";
    wchar_t cls[64] = L"?";
    GetClassNameW(w, cls, 64);
    int id = GetParent(w) != nullptr ? GetDlgCtrlID(w) : 0;
    // Controls without an id (the countdown's two statics) by their place.
    RECT r = {};
    if (id == 0 && GetParent(w) != nullptr) GetWindowRect(w, &r);
    if (r.bottom > r.top)
        _snwprintf(out, 95, L"%ls(height %ld)", cls, r.bottom - r.top);
    else
        _snwprintf(out, 95, L"%ls#%d", cls, id);
    out[95] = L'\0';
    return out;
}

inline LRESULT Send(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    wchar_t n[96];
    if (m == WM_SETTEXT || (m == SB_SETTEXTW && GetParent(w) != nullptr))
        Line(L"text %ls %u \"%ls\"", Name(w, n), m == WM_SETTEXT ? 0u : static_cast<unsigned>(wp),
             lp ? reinterpret_cast<const wchar_t*>(lp) : L"(null)");
    else if (m != WM_GETTEXT && m != WM_GETTEXTLENGTH)
        Line(L"send %ls 0x%x %llu", Name(w, n), m, static_cast<unsigned long long>(wp));
    return SendMessageW(w, m, wp, lp);
}
inline BOOL Post(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    wchar_t n[96];
    Line(L"post %ls 0x%x %llu", Name(w, n), m, static_cast<unsigned long long>(wp));
    return PostMessageW(w, m, wp, lp);
}
inline BOOL Enable(HWND w, BOOL on) {
    wchar_t n[96];
    Line(L"enable %ls %d", Name(w, n), on);
    return EnableWindow(w, on);
}
inline UINT_PTR Set(HWND w, UINT_PTR id, UINT ms, TIMERPROC p) {
    wchar_t n[96];
    Line(L"settimer %ls %llu %u", Name(w, n), static_cast<unsigned long long>(id), ms);
    return SetTimer(w, id, ms, p);
}
inline BOOL Kill(HWND w, UINT_PTR id) {
    wchar_t n[96];
    Line(L"killtimer %ls %llu", Name(w, n), static_cast<unsigned long long>(id));
    return KillTimer(w, id);
}
inline BOOL Show(HWND w, int how) {
    wchar_t n[96];
    Line(L"show %ls %d", Name(w, n), how);
    return ShowWindow(w, how);
}
inline BOOL Tray(DWORD m, PNOTIFYICONDATAW d) {
    Line(L"tray %lu flags %u kind %lu tip \"%ls\" title \"%ls\" balloon \"%ls\"", m, d->uFlags, d->dwInfoFlags,
         d->szTip, d->szInfoTitle, d->szInfo);
    return Shell_NotifyIconW(m, d);
}
inline BOOL Beep(UINT type) {
    Line(L"beep %u", type);
    return MessageBeep(type);
}
inline int Box(HWND w, LPCWSTR text, LPCWSTR caption, UINT type) {
    Line(L"box \"%ls\" \"%ls\" %u", text, caption, type);
    return MessageBoxW(w, text, caption, type);
}
inline DWORD Check(HMENU m, UINT id, UINT how) {
    Line(L"checkmenu %u %u", id, how);
    return CheckMenuItem(m, id, how);
}

}  // namespace window_calls

#define SendMessageW window_calls::Send
#define PostMessageW window_calls::Post
#define EnableWindow window_calls::Enable
#define SetTimer window_calls::Set
#define KillTimer window_calls::Kill
#define ShowWindow window_calls::Show
#define Shell_NotifyIconW window_calls::Tray
#define MessageBeep window_calls::Beep
#define MessageBoxW window_calls::Box
#define CheckMenuItem window_calls::Check
#endif
