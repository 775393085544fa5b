// Error report and process lookup over kernel32 and psapi.
#include <windows.h>
#include <psapi.h>

#include <cwchar>

#include "util/product.h"
#include "util/process.h"
#include "util/text.h"

void ReportLastError(const wchar_t* operation) {
    DWORD err = GetLastError();
    wchar_t* system = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, err, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPWSTR>(&system), 0,
                   nullptr);
    const wchar_t* systemText = system != nullptr ? system : L"";
    // The fixed words and the number always fit in the 40 spare characters.
    SIZE_T bytes = (std::wcslen(operation) + std::wcslen(systemText) + 40) * sizeof(wchar_t);
    wchar_t* message = static_cast<wchar_t*>(LocalAlloc(LMEM_ZEROINIT, bytes));
    wchar_t title[64];
    std::wstring titleText(ProductName);
    titleText += L" \u2022 ERROR";
    CopyText(title, titleText.c_str());
    if (message != nullptr) {
        std::wstring text(operation);
        text += L": failed with error ";
        text += DecimalText(static_cast<int>(err));
        text += L": ";
        text += systemText;
        CopyText(message, text.c_str(), bytes / sizeof(wchar_t));
    }
    MessageBoxW(nullptr, message != nullptr ? message : operation, title, MB_OK | MB_ICONERROR);
    if (message != nullptr) LocalFree(message);
    if (system != nullptr) LocalFree(system);
}

bool IsSecondInstance(const wchar_t* programPath, unsigned long serviceProcess) {
    DWORD ids[1024];
    DWORD bytes = 0;
    if (!EnumProcesses(ids, sizeof ids, &bytes)) return false;
    int matches = 0;
    for (DWORD i = 0; i < bytes / sizeof(DWORD); ++i) {
        HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, ids[i]);
        wchar_t image[MAX_PATH];
        DWORD length = process != nullptr ? GetProcessImageFileNameW(process, image, MAX_PATH) : 0;
        if (process != nullptr) CloseHandle(process);
        if (length == 0) continue;
        if (CountsAsCopy(image, ids[i], programPath, serviceProcess)) ++matches;
    }
    return matches >= 2;
}
