// Settings checked, corrected and stored, host list, account, the forms' texts, failed writes.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "settings/account.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "support/fakes.h"
#include "util/text.h"

namespace {

const wchar_t* const kNames[] = {L"DomainCheckIP", L"DomainDynDNS", L"TOUT",   L"CLOOP",    L"DEBUG",
                                 L"AUTH",          L"DOMAIN",       L"LASTIP", L"TIMESTAMP"};
const wchar_t* const kDefaults[] = {L"checkip.dyndns.org", L"members.dyndns.org", L"3000", L"60", L"false",
                                    L"NULL", L"NULL", L"NULL", L"NULL"};

std::wstring Stored() {  // the stored values in load order, each followed by '|'
    std::wstring all;
    for (const wchar_t* name : kNames)
        all += (StoredValue(RegistryKeyPath, name) ? *StoredValue(RegistryKeyPath, name) : L"(absent)") + L"|";
    return all;
}

struct SettingsTest : ::testing::Test {
    void SetUp() override {
        MemoryRegistry() = {};
        FakeResolver() = {};
        FakeResolver().answers = {{L"check.example", L"192.0.2.10"}, {L"a_b.example", L"192.0.2.11"},
                                  {std::wstring(67, L'h'), L"192.0.2.12"}};
        SettingsRecord = SettingsData();
        FailedStoreKey = nullptr;
    }
};

// One value stored per row: that one as corrected, the other eight their defaults.
TEST_F(SettingsTest, LoadChecksCorrectsAndStoresAllNine) {
    struct Row { const char* behaviour; int index; std::wstring stored, expected; } rows[] = {
        {"host resolves", 0, L"check.example", L"check.example"}, {"host unresolved", 0, L"x.example", kDefaults[0]},
        {"host with a header after it", 0, L"1.2.3.4\r\nX-Extra: 1", kDefaults[0]},
        {"host with a blank", 0, L"1.2.3.4 x", kDefaults[0]}, {"host, underscore", 0, L"a_b.example", kDefaults[0]},
        {"host cut to 67, then resolved", 0, std::wstring(100, L'h'), std::wstring(67, L'h')},
        {"update host empty", 1, L"", kDefaults[1]},  {"update host with a blank", 1, L"127.0.0.3 x", kDefaults[1]},
        {"time-out below range", 2, L"999", L"3000"},        {"time-out lowest", 2, L"1000", L"1000"},
        {"time-out above range", 2, L"15001", L"3000"},      {"time-out highest", 2, L"15000", L"15000"},
        {"time-out cut to 7 characters, then out of range", 2, L"1000000000", L"3000"},
        {"pause below range", 3, L"29", L"60"},              {"pause above range", 3, L"1441", L"60"},
        {"pause kept as typed", 3, L"45 min", L"45 min"},    {"balloon word capitalised", 4, L"TRUE", L"false"},
        {"account cut to 63", 5, std::wstring(100, L'a'), std::wstring(63, L'a')},
        {"host names cut to 255", 6, std::wstring(300, L'd'), std::wstring(255, L'd')},
    };
    for (const Row& r : rows) {
        SetUp();
        MemoryRegistry().values[{RegistryKeyPath, kNames[r.index]}] = r.stored;
        LoadSettings(true);
        std::wstring expected;
        for (int i = 0; i < SETTINGS_COUNT; ++i) expected += (i == r.index ? r.expected : kDefaults[i]) + L"|";
        EXPECT_EQ(Stored(), expected) << r.behaviour;
    }
}

TEST_F(SettingsTest, HostListTakesOneNameALine) {
    struct Row { const char* behaviour; const wchar_t* domain; std::vector<std::wstring> hosts; } rows[] = {
        {"CR LF", L"a.example\r\nb.example", {L"a.example", L"b.example"}}, {"LF only", L"a\nb", {L"a", L"b"}},
        {"CR at the very end dropped", L"a\r\nb\r", {L"a", L"b"}}, {"empty lines", L"\r\na\n\nb\r\n", {L"a", L"b"}},
        {"line with a lone CR left out", L"a\rb\nc", {L"c"}},
        {"lines with a space, tab or DEL left out", L"a b\r\nc\td\ne\x7F\nf", {L"f"}},
    };
    for (const Row& r : rows) {
        std::wcscpy(SettingsRecord.DOMAIN, r.domain);
        RebuildHostList();
        EXPECT_EQ(SettingsRecord.HostList, r.hosts) << r.behaviour;
    }
}

TEST_F(SettingsTest, AccountCredential) {
    const wchar_t kept[] = L"a2VwdDprZXB0";
    const std::wstring a22(22, L'a'), b22(22, L'b'), b23(23, L'b');
    struct Row { const char* behaviour; std::wstring name, password; AuthOutcome outcome; std::wstring auth; };
    const Row rows[] = {
        {"name still masked", ACCOUNT_MASK, L"secret", AuthOutcome::NameMasked, kept},
        {"name outside the code page", L"d\u0101mo", L"secret", AuthOutcome::NameRefused, kept},
        {"name with a high byte", L"d\u00E9mo", L"secret", AuthOutcome::NameRefused, kept},
        {"password outside the code page", L"alice", L"p\u0101ss", AuthOutcome::PasswordRefused, kept},
        {"password with a high byte", L"alice", L"pass\u00FF", AuthOutcome::PasswordRefused, kept},
        {"45 joined bytes stored whole", a22, b22, AuthOutcome::Encoded,
         L"YWFhYWFhYWFhYWFhYWFhYWFhYWFhYTpiYmJiYmJiYmJiYmJiYmJiYmJiYmJi"},
        {"46 joined bytes", a22, b23, AuthOutcome::TooLong, kept},
    };
    for (const Row& r : rows) {
        wchar_t auth[64];
        std::wcscpy(auth, kept);
        EXPECT_EQ(BuildAuth(r.name.c_str(), r.password.c_str(), auth), r.outcome) << r.behaviour;
        EXPECT_EQ(std::wstring(auth), r.auth) << r.behaviour;
        bool refused = r.outcome != AuthOutcome::Encoded && r.outcome != AuthOutcome::NameMasked;
        EXPECT_EQ(AuthOutcomeMessage(r.outcome) != nullptr, refused) << r.behaviour << ": message";
    }
    std::wstring tooLong = AuthOutcomeMessage(AuthOutcome::TooLong);  // the user counts no colon
    EXPECT_NE(tooLong.find(L" " + DecimalText(ACCOUNT_JOIN_LIMIT - 1) + L" "), std::wstring::npos) << tooLong;
}

// Save takes what was typed, not what the store holds, and the eight edits
// show it again with the account masked; the first key a write fails
// under is kept.
TEST_F(SettingsTest, SaveFormTextsAndFailedWrites) {
    MemoryRegistry().values[{RegistryKeyPath, L"TOUT"}] = L"9000";
    const wchar_t* texts[FORM_FIELD_COUNT] = {L"127.0.0.9", L"127.0.0.3", L"45",     L"5000",
                                              L"true",      L"alice",     L"secret", L"a.example\r\nb.example"};
    EXPECT_EQ(TakeFormTexts(texts), AuthOutcome::Encoded);
    LoadSettings(false);
    std::wstring shown;
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) shown += FormFieldText(i) + std::wstring(L"|");
    EXPECT_EQ(shown, L"127.0.0.9|127.0.0.3|45|5000|true|********|********|a.example\r\nb.example|");
    EXPECT_EQ(Stored(), L"127.0.0.9|127.0.0.3|5000|45|true|YWxpY2U6c2VjcmV0|a.example\r\nb.example|NULL|NULL|");
    EXPECT_EQ(SettingsRecord.HostList, (std::vector<std::wstring>{L"a.example", L"b.example"}));
    EXPECT_EQ(FailedStoreKey, nullptr) << "good writes named a key";

    MemoryRegistry().failWrites = true;
    TakeFormTexts(texts);
    LoadSettings(false);
    EXPECT_STREQ(FailedStoreKey ? FailedStoreKey : L"(none)", RegistryKeyPath);
    EXPECT_FALSE(StoreValue(RunKeyPath, RunValueName, L"x"));
    EXPECT_STREQ(FailedStoreKey, RegistryKeyPath) << "a later failure replaced the first key";
}

}  // namespace
