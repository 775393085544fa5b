// The About window's texts: title, OpenSSL block, information text and
// links, and their cuts.
#include <gtest/gtest.h>

#include <string>

#include "app/ui_handles.h"
#include "shell/about_text.h"

namespace {

TEST(AboutText, TitleAndInformationLayout) {
    EXPECT_EQ(AboutTitle(), L"About \u25CF DynDNS Velloq Client");
    std::wstring info = AboutInformation(L"Open SSL info:\nBuild with:\tA\nCurrent use:\tB", L"HOST", L"user",
                                         L"Windows 6.1 build 7601", L"1234");
    std::wstring expected = std::wstring(L"DynDNS Velloq Client v2.0.0.2\n") + AuthorLine +
                            L"\n\nOpen SSL info:\nBuild with:\tA\nCurrent use:\tB\n\n"
                            L"Run on:\tHOST (user)\nOS:\t\tWindows 6.1 build 7601\nMem Used:\t1234 byte\n\n";
    EXPECT_EQ(info, expected);
    EXPECT_NE(AboutInformation(L"", L"", L"", L"", L"").find(L"\n\nRun on:\t ()\nOS:\t\t\nMem Used:\t byte\n\n"),
              std::wstring::npos)
        << "unreadable names show as empty";
}

TEST(AboutText, LongTextsAreCutNeverOverrun) {
    std::wstring info = AboutInformation(L"block", L"HOST", std::wstring(1000, L'u').c_str(), L"os", L"1");
    EXPECT_EQ(info.size(), ABOUT_INFO_LENGTH);
    EXPECT_EQ(info.back(), L'u');

    std::string longVersion(400, 'v');
    std::wstring block = OpenSslBlock("OpenSSL 3.0.20 7 Apr 2026", longVersion.c_str());
    EXPECT_EQ(block.size(), OPENSSL_BLOCK_BYTES);
    EXPECT_EQ(block.substr(0, 51), L"Open SSL info:\nBuild with:\tOpenSSL 3.0.20 7 Apr 202");
}

TEST(AboutText, OpenSslBlockNamesBothVersions) {
    EXPECT_EQ(OpenSslBlock("OpenSSL 3.0.20 7 Apr 2026", "OpenSSL 3.0.21 1 Jun 2026"),
              L"Open SSL info:\nBuild with:\tOpenSSL 3.0.20 7 Apr 2026\nCurrent use:\tOpenSSL 3.0.21 1 Jun 2026");
}

TEST(AboutText, OsVersionText) {
    struct Row {
        long major, minor, build;
        const wchar_t* text;
    } rows[] = {{6, 1, 7601, L"Windows 6.1 build 7601"}, {10, 0, 19045, L"Windows 10.0 build 19045"},
                {-1, 0, 0, L"Windows -1.0 build 0"}};
    for (const Row& r : rows) EXPECT_EQ(OsVersionText(r.major, r.minor, r.build), r.text);
}

TEST(AboutText, DonationLineAndLinks) {
    EXPECT_EQ(DonationLine(), std::wstring(L"Donate (WebMoney): ") + DonationAccount);
    struct Row {
        const wchar_t* words;
        std::wstring target, tooltip;
    } rows[] = {
        {L"FEEDBACK", std::wstring(L"mailto:") + ContactAddress, std::wstring(L"Feedback:\n") + ContactAddress},
        {L"On Sourceforge", ProjectPageUrl, std::wstring(L"On Sourceforge:\n") + ProjectPageUrl},
        {L"DynDNS Account", AccountPageUrl, std::wstring(L"DynDNS Account:\n") + AccountPageUrl},
    };
    for (int i = 0; i < ABOUT_LINK_COUNT; ++i) {
        AboutLink link = AboutLinkAt(i);
        EXPECT_EQ(link.markup, L"<a href=\"" + rows[i].target + L"\">" + rows[i].words + L"</a>") << i;
        EXPECT_EQ(link.tooltip, rows[i].tooltip) << i;
    }
}

}  // namespace
