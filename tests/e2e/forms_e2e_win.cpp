// End-to-end tests of the settings forms and the About window under Wine,
// against the stand-ins of tests/e2e/forms_standins.list. The About
// window's links are never followed.
#include <gtest/gtest.h>

#include <windows.h>

#include <openssl/crypto.h>
#include <openssl/opensslv.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/resource_ids.h"
#include "client_win.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/about_text.h"

namespace {

using namespace e2e;

const char kUpdateLog[] = "127.0.0.31-80";
const wchar_t kGoodAuth[] = L"dmVsbG9xOnNlY3JldA==";  // velloq:secret
const wchar_t kOtherAuth[] = L"b3RoZXI6b3RoZXI=";     // other:other
const wchar_t kMask[] = L"********";

void Seed(const Values& overrides = {}) {
    e2e::Seed({{L"DomainCheckIP", L"127.0.0.30"}, {L"DomainDynDNS", L"127.0.0.31"}, {L"TOUT", L"1000"},
               {L"CLOOP", L"30"}, {L"DEBUG", L"false"}, {L"AUTH", kOtherAuth}, {L"DOMAIN", L"one.example"},
               {L"LASTIP", L"NULL"}, {L"TIMESTAMP", L"NULL"}, {L"CheckLastIP", L"false"}, {L"CheckUseSSL", L"false"}},
              overrides);
}

std::wstring Wide(const char* text) {
    return std::wstring(text, text + std::strlen(text));
}

// The About window of this client, if open.
HWND About(const Client& c) {
    std::wstring title = AboutTitle();
    return WindowOf(c.process.dwProcessId, title.c_str(), title.c_str());
}

// An update the service accepted: the first for an address, or a repeat.
bool WaitSynced(const Client& c) {
    return WaitUntil([&] {
        std::wstring status = Text(c.Query(2));
        return status == L"GOOD" || status == L"NO CHANGE";
    }, 10000);
}

// Opens the About window and waits for it.
HWND OpenAbout(const Client& c) {
    PostMessageW(c.main, WM_COMMAND, IDM_ABOUT, 0);
    HWND about = nullptr;
    WaitUntil([&] { return (about = About(c)) != nullptr && IsWindowVisible(about); }, 10000);
    return about;
}

}  // namespace

TEST(FormsE2E, AccountTypedIntoTheWindowIsWhatTheServiceReceives) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    // A new password under the masked name changes nothing.
    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(6, L"secret");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth);
    EXPECT_EQ(Text(c.Setting(6)), kMask);
    // Nor does a name the encoder refuses; a box says why. Posted: the box
    // holds the click until it is answered.
    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(5, L"j\u00E9r\u00F4me");
    c.Type(6, L"secret");
    PostMessageW(c.PageButton(2, IDC_SAVE), BM_CLICK, 0, 0);
    Box box = WaitForBox(c.process.dwProcessId, 10000);
    ASSERT_NE(box.window, nullptr) << "no box for the refused name";
    EXPECT_NE(box.text.find(L"account name"), std::wstring::npos) << Narrow(box.text);
    PostMessageW(box.window, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(c.WaitText(c.Setting(5), kMask, 5000)) << Narrow(Text(c.Setting(5)));
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth);

    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(5, L"velloq");
    c.Type(6, L"secret");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"AUTH"), kGoodAuth);
    EXPECT_EQ(Text(c.Setting(5)), kMask);
    EXPECT_EQ(Text(c.Setting(6)), kMask);
    // Back to the resting state.
    EXPECT_FALSE(IsWindowEnabled(c.Setting(5)));
    EXPECT_FALSE(IsWindowEnabled(c.PageButton(2, IDC_SAVE)));
    EXPECT_TRUE(IsWindowEnabled(c.PageButton(2, IDC_EDIT)));
    EXPECT_TRUE(IsWindowEnabled(c.Button(IDC_START)));

    // The service accepts the account only if the credential is right.
    c.Click(c.Button(IDC_MANUAL));
    EXPECT_TRUE(WaitSynced(c)) << Narrow(Text(c.Query(2)));
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, TwoHostLinesBecomeTwoNamesInTheNextUpdate) {
    Seed({{L"AUTH", kGoodAuth}});
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.PageButton(2, IDC_EDIT));
    c.Type(7, L"one.example\r\ntwo.example");
    c.Click(c.PageButton(2, IDC_SAVE));
    EXPECT_EQ(Stored(L"DOMAIN"), L"one.example\r\ntwo.example");
    std::size_t before = RequestLines(kUpdateLog).size();
    c.Click(c.Button(IDC_MANUAL));
    EXPECT_TRUE(WaitSynced(c)) << Narrow(Text(c.Query(2)));
    std::vector<std::string> requests = RequestLines(kUpdateLog);
    ASSERT_EQ(requests.size(), before + 1);
    EXPECT_NE(requests.back().find("hostname=one.example,two.example&"), std::string::npos) << requests.back();
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, InvalidConfigValuesComeBackCorrected) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    c.Click(c.PageButton(1, IDC_EDIT));
    c.Type(0, L"300.1.1.1");
    c.Type(2, L"abc");
    c.Type(3, L"999");
    c.Type(4, L"true ");
    c.Click(c.PageButton(1, IDC_SAVE));
    const std::pair<int, const wchar_t*> expected[] = {
        {0, DEFAULT_CHECKIP_HOST}, {2, L"60"}, {3, L"3000"}, {4, L"false"}};
    const wchar_t* names[] = {L"DomainCheckIP", L"DomainDynDNS", L"CLOOP", L"TOUT", L"DEBUG"};
    for (const auto& e : expected) {
        EXPECT_EQ(Text(c.Setting(e.first)), e.second) << "field " << e.first;
        EXPECT_EQ(Stored(names[e.first]), e.second) << "field " << e.first;
    }
    EXPECT_EQ(Text(c.Countdown(true)), L"60") << "the countdown starts again from the corrected pause";
    EXPECT_EQ(Text(c.Countdown(false)), L"0");
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, ReloadDiscardsUnsavedTextAndReadsTheStore) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    c.Type(2, L"120");
    c.Type(5, L"someone");
    RegWriteString(RegistryKeyPath, L"TOUT", L"2000");  // changed behind the client's back
    c.Click(c.PageButton(1, IDC_RELOAD));
    EXPECT_EQ(Text(c.Setting(2)), L"30");
    EXPECT_EQ(Text(c.Setting(3)), L"2000");
    EXPECT_EQ(Text(c.Setting(5)), kMask);
    EXPECT_EQ(Stored(L"CLOOP"), L"30");
    EXPECT_EQ(Stored(L"AUTH"), kOtherAuth);
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, AboutWindowShowsItsTextsAndCopiesTheDonationAccount) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    for (int opening = 0; opening < 2; ++opening) {
        HWND about = OpenAbout(c);
        ASSERT_NE(about, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(c.main); }, 5000)) << "main window hidden while open";
        EXPECT_EQ(Text(about), L"About \u25CF DynDNS Velloq Client");
        HWND info = GetWindow(about, GW_CHILD);
        std::wstring text = Text(info);
        EXPECT_EQ(text.substr(0, text.find(L'\n')), L"DynDNS Velloq Client v2.0.0.2") << opening;
        // The client links the same OpenSSL as this driver.
        EXPECT_NE(text.find(L"\nBuild with:\t" + Wide(OPENSSL_VERSION_TEXT) + L"\n"), std::wstring::npos);
        EXPECT_NE(text.find(L"\nCurrent use:\t" + Wide(OpenSSL_version(OPENSSL_VERSION)) + L"\n"), std::wstring::npos);

        EmptyTheClipboard();
        SendMessageW(GetDlgItem(about, 246), BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == DonationAccount; }, 3000)) << Narrow(ClipboardText());

        PostMessageW(about, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([&] { return About(c) == nullptr; }, 5000));
        EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 5000)) << "main window shown again";
    }
    EXPECT_EQ(c.Close(), 0u);
}

TEST(FormsE2E, SyncCompletesWhileTheAboutWindowIsOpen) {
    Seed({{L"AUTH", kGoodAuth}});
    Client c;
    ASSERT_TRUE(c.Start());
    HWND about = OpenAbout(c);
    ASSERT_NE(about, nullptr);
    std::size_t before = RequestLines(kUpdateLog).size();
    c.Click(c.Button(IDC_START));
    EXPECT_TRUE(WaitSynced(c)) << Narrow(Text(c.Query(2)));
    EXPECT_EQ(RequestLines(kUpdateLog).size(), before + 1);
    EXPECT_TRUE(c.WaitText(c.Countdown(false), L"59", 3000)) << "the cycle counts down behind the About window";
    EXPECT_NE(About(c), nullptr);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(c.main) != 0; }, 5000));
    EXPECT_EQ(c.Close(), 0u);
}

// The About window's quit and the main window's quit can arrive together;
// the program must still end.
TEST(FormsE2E, ExitRightAfterClosingTheAboutWindowEndsTheProgram) {
    Seed();
    Client c;
    ASSERT_TRUE(c.Start());
    HWND about = OpenAbout(c);
    ASSERT_NE(about, nullptr);
    PostMessageW(about, WM_CLOSE, 0, 0);
    EXPECT_EQ(c.Close(), 0u);
}
