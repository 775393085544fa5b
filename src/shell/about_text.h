// The texts of the About window: fixed values of our own, and the
// formatting of the title, OpenSSL block and information text, each cut to
// its buffer.
#pragma once

#include <string>

extern const wchar_t DonationAccount[];
extern const wchar_t AuthorLine[];
extern const wchar_t ProjectPageUrl[];
extern const wchar_t AccountPageUrl[];   // an https address ending in "/account"

const std::size_t ABOUT_TITLE_LENGTH = 128;    // characters kept of the title
const std::size_t ABOUT_INFO_LENGTH = 512;     // of the information and donation texts
const std::size_t OPENSSL_BLOCK_BYTES = 256;   // of the narrow OpenSSL block
const std::size_t OPENSSL_WIDE_CAPACITY = 257; // its wide form, terminator included

// "About ● <ProductName>": the About window's title and class name.
std::wstring AboutTitle();

// "Open SSL info:\nBuild with:\t<build>\nCurrent use:\t<current>", cut at
// OPENSSL_BLOCK_BYTES, then converted with AnsiToWide.
std::wstring OpenSslBlock(const char* buildText, const char* currentText);

// "Windows <major>.<minor> build <build>".
std::wstring OsVersionText(long major, long minor, long build);

// The large static text: product and version, author line, OpenSSL block,
// machine description; cut at ABOUT_INFO_LENGTH.
std::wstring AboutInformation(const std::wstring& openSslBlock, const wchar_t* computerName,
                              const wchar_t* userName, const wchar_t* osVersion,
                              const wchar_t* memoryUsed);

// "Donate (WebMoney): <DonationAccount>", cut at ABOUT_INFO_LENGTH.
std::wstring DonationLine();

// One SysLink anchor: <a href="target">words</a>.
std::wstring LinkMarkup(const std::wstring& target, const wchar_t* words);

// The three links (mail, project, account) and their tooltips, in the order
// the window creates them.
struct AboutLink {
    std::wstring markup;
    std::wstring tooltip;
};
const int ABOUT_LINK_COUNT = 3;
AboutLink AboutLinkAt(int index);
