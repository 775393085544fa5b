// Texts of the About window, built portably so their cuts can be tested.
#include "shell/about_text.h"

#include <cstdio>
#include <cstring>

#include "util/product.h"
#include "util/text.h"

const wchar_t DonationAccount[] = L"R104729001337";
const wchar_t AuthorLine[] = L"Written by the Velloq Client developers, 2026";
const wchar_t ProjectPageUrl[] = L"https://velloq.example.org/";
const wchar_t AccountPageUrl[] = L"https://dyndns.example.org/account";

namespace {

std::wstring Cut(std::wstring text, std::size_t length) {
    if (text.size() > length) text.resize(length);
    return text;
}

}  // namespace

std::wstring AboutTitle() {
    return Cut(std::wstring(L"About \u25CF ") + ProductName, ABOUT_TITLE_LENGTH);
}

std::wstring OpenSslBlock(const char* buildText, const char* currentText) {
    char narrow[OPENSSL_BLOCK_BYTES + 1] = {};
    std::snprintf(narrow, sizeof narrow, "Open SSL info:\nBuild with:\t%s\nCurrent use:\t%s",
                  buildText ? buildText : "", currentText ? currentText : "");
    wchar_t wide[OPENSSL_WIDE_CAPACITY] = {};
    AnsiToWide(wide, narrow, OPENSSL_WIDE_CAPACITY);
    return wide;
}

std::wstring OsVersionText(long major, long minor, long build) {
    return L"Windows " + std::to_wstring(major) + L"." + std::to_wstring(minor) + L" build " +
           std::to_wstring(build);
}

std::wstring AboutInformation(const std::wstring& openSslBlock, const wchar_t* computerName,
                              const wchar_t* userName, const wchar_t* osVersion,
                              const wchar_t* memoryUsed) {
    std::wstring text;
    text += ProductName;
    text += L" v";
    text += ProductVersion;
    text += L"\n";
    text += AuthorLine;
    text += L"\n\n";
    text += openSslBlock;
    text += L"\n\nRun on:\t";
    text += computerName;
    text += L" (";
    text += userName;
    text += L")\nOS:\t\t";
    text += osVersion;
    text += L"\nMem Used:\t";
    text += memoryUsed;
    text += L" byte\n\n";
    return Cut(text, ABOUT_INFO_LENGTH);
}

std::wstring DonationLine() {
    return Cut(std::wstring(L"Donate (WebMoney): ") + DonationAccount, ABOUT_INFO_LENGTH);
}

std::wstring LinkMarkup(const std::wstring& target, const wchar_t* words) {
    return L"<a href=\"" + target + L"\">" + words + L"</a>";
}

AboutLink AboutLinkAt(int index) {
    switch (index) {
        case 0:
            return {LinkMarkup(std::wstring(L"mailto:") + ContactEmail, L"FEEDBACK"),
                    std::wstring(L"Feedback:\n") + ContactEmail};
        case 1:
            return {LinkMarkup(ProjectPageUrl, L"On Sourceforge"),
                    std::wstring(L"On Sourceforge:\n") + ProjectPageUrl};
        default:
            return {LinkMarkup(AccountPageUrl, L"DynDNS Account"),
                    std::wstring(L"DynDNS Account:\n") + AccountPageUrl};
    }
}
