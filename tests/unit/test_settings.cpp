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
                                  {std::wstring(67, L'h'), L"192.0.2.12"}, {L"1up.example", L"192.0.2.13"}};
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
        // Digits and dots are an address only as a strict dotted quad; anything else is a name.
        {"host a dotted quad", 0, L"192.0.2.1", L"192.0.2.1"}, {"host in octal", 0, L"010.010.010.010", kDefaults[0]},
        {"host a short address", 0, L"10.1", kDefaults[0]}, {"host a quad and a dot", 1, L"192.0.2.1.", kDefaults[1]},
        {"host, a name beginning with a digit", 1, L"1up.example", L"1up.example"},
        {"host in hex: a name, and none resolves", 1, L"0x0a.1", kDefaults[1]},
        // The check-IP host may name a page; a path of anything but path characters is refused whole.
        {"check-IP page", 0, L"check.example/v1/ip-4.txt", L"check.example/v1/ip-4.txt"},
        {"check-IP root page", 0, L"192.0.2.1/", L"192.0.2.1/"}, {"check-IP page, no host", 0, L"/ip", kDefaults[0]},
        {"check-IP page with a query", 0, L"check.example/ip?x=1", kDefaults[0]},
        {"check-IP page with a blank", 0, L"check.example/a b", kDefaults[0]},
        {"check-IP page of a loose address", 0, L"10.1/ip", kDefaults[0]},
        {"update host with a page", 1, L"check.example/ip", kDefaults[1]},
        {"update host empty", 1, L"", kDefaults[1]},  {"update host with a blank", 1, L"127.0.0.3 x", kDefaults[1]},
        {"time-out below range", 2, L"999", L"3000"},        {"time-out lowest", 2, L"1000", L"1000"},
        {"time-out above range", 2, L"15001", L"3000"},      {"time-out highest", 2, L"15000", L"15000"},
        {"time-out cut to 7 characters, then out of range", 2, L"1000000000", L"3000"},
        {"pause below range", 3, L"29", L"60"},              {"pause above range", 3, L"1441", L"60"},
        {"pause kept as typed", 3, L"45 min", L"45 min"},    {"balloon word capitalised", 4, L"TRUE", L"false"},
        {"account cut to 63", 5, std::wstring(100, L'a'), std::wstring(63, L'a')},
        {"account with a header line", 5, L"x\r\nX: y", L"NULL"}, {"account padded", 5, L"YWJjZA==", L"YWJjZA=="},
        {"account not Base64", 5, L"YTpi\xA4", L"NULL"},    {"account with three '='", 5, L"YQ===", L"NULL"},
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

// The option's values: checked at every load (looked up, AAAA only, while
// the option is on), stored back only while it is on; LASTIP6 only by a sync.
TEST_F(SettingsTest, IPv6ValuesStoredOnlyWhileTheOptionIsOn) {
    const std::wstring absent = L"(absent)", fallback = kDefaults[0];
    struct Row { const char* behaviour; bool on; std::wstring stored, field, after; const wchar_t* lookup; } rows[] = {
        {"off, absent", false, absent, fallback, absent, nullptr},
        {"off, a name: kept, not looked up", false, L"v6.example", L"v6.example", L"v6.example", nullptr},
        {"off, a dotted address is no name", false, L"192.0.2.10", fallback, L"192.0.2.10", nullptr},
        {"on, absent", true, absent, fallback, fallback, nullptr},
        {"on, a name with an AAAA address", true, L"v6.example", L"v6.example", L"v6.example", L"AAAA v6.example"},
        {"on, a name with an A address only", true, L"check.example", fallback, fallback, L"AAAA check.example"},
        {"on, a page as for Check IP", true, L"v6.example/ip6", L"v6.example/ip6", L"v6.example/ip6", L"AAAA v6.example"},
        {"on, a page with a query", true, L"v6.example/ip?x=1", fallback, fallback, L"AAAA v6.example"},
    };
    for (const Row& r : rows) {
        SetUp();
        FakeResolver().answers6 = {{L"v6.example", L"2001:db8::10"}};
        if (r.stored != absent) MemoryRegistry().values[{RegistryKeyPath, L"DomainCheckIP6"}] = r.stored;
        MemoryRegistry().values[{RegistryKeyPath, L"LASTIP6"}] = L"2001:db8::7";
        SettingsRecord.UseIPv6Flag = r.on;
        LoadSettings(true);
        EXPECT_EQ(std::wstring(SettingsRecord.DomainCheckIP6), r.field) << r.behaviour;
        const std::wstring* stored = StoredValue(RegistryKeyPath, L"DomainCheckIP6");
        EXPECT_EQ(stored ? *stored : absent, r.after) << r.behaviour;
        std::vector<std::wstring> aaaa;
        for (const std::wstring& name : FakeResolver().lookups)
            if (name.compare(0, 5, L"AAAA ") == 0) aaaa.push_back(name);
        EXPECT_EQ(aaaa, r.lookup ? std::vector<std::wstring>{r.lookup} : std::vector<std::wstring>{}) << r.behaviour;
        EXPECT_EQ(std::wstring(SettingsRecord.LASTIP6), L"2001:db8::7") << r.behaviour;
        EXPECT_EQ(MemoryRegistry().writes, r.on ? SETTINGS_COUNT + 1 : SETTINGS_COUNT) << r.behaviour;
    }
}

TEST_F(SettingsTest, HostListTakesOneNameALine) {
    struct Row { const char* behaviour; const wchar_t* domain; std::vector<std::wstring> hosts; } rows[] = {
        {"CR LF", L"a.example\r\nb.example", {L"a.example", L"b.example"}}, {"LF only", L"a\nb", {L"a", L"b"}},
        {"CR at the very end dropped", L"a\r\nb\r", {L"a", L"b"}}, {"empty lines", L"\r\na\n\nb\r\n", {L"a", L"b"}},
        {"line with a lone CR left out", L"a\rb\nc", {L"c"}},
        {"lines with a space, tab or DEL left out", L"a b\r\nc\td\ne\x7F\nf", {L"f"}},
        {"blanks around a name trimmed", L" a.example\t\r\n \t\r\nb ", {L"a.example", L"b"}},
        {"a parameter, a fragment, commas, a query, letters outside ASCII left out; the xn-- form kept",
         L"x&myip=1.2.3.4\nh?%#\n,,,,,,,,,,,,,,,,,,,,,\nb\u00FCcher\nx\uFF06y\nxn--bcher-kva", {L"xn--bcher-kva"}},
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
        {"name with a high byte", L"d\u00E9mo", L"secret", AuthOutcome::NameRefused, kept},
        {"password with a high byte", L"alice", L"pass\u00FF", AuthOutcome::PasswordRefused, kept},
        {"45 joined bytes stored whole", a22, b22, AuthOutcome::Encoded,
         L"YWFhYWFhYWFhYWFhYWFhYWFhYWFhYTpiYmJiYmJiYmJiYmJiYmJiYmJiYmJi"},
        {"46 joined bytes", a22, b23, AuthOutcome::TooLong, kept},
        {"name with a colon", L"al:ice", L"secret", AuthOutcome::NameHasColon, kept},
        {"255 characters, last not ASCII", std::wstring(254, L'a') + L"\u00E9", L"x", AuthOutcome::NameRefused, kept},
        {"password the same", L"x", std::wstring(254, L'p') + L"\u00FF", AuthOutcome::PasswordRefused, kept},
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

// Save takes what was typed, not what the store holds, and the eight edits show it again with the account masked; the
// first key a write fails under is kept.
TEST_F(SettingsTest, SaveFormTextsAndFailedWrites) {
    auto save = [](const wchar_t* const typed[FORM_FIELD_COUNT]) {  // what Save does before it fills the edits
        std::wstring refusals = TakeFormTexts(typed);
        LoadSettings(false);
        return refusals;
    };
    MemoryRegistry().values[{RegistryKeyPath, L"TOUT"}] = L"9000";
    const wchar_t* texts[FORM_FIELD_COUNT] = {L"127.0.0.9", L"127.0.0.3", L"45",     L"5000",
                                              L"true",      L"alice",     L"secret", L"a.example\r\nb.example"};
    EXPECT_EQ(save(texts), L"");
    std::wstring shown;
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) shown += FormFieldText(i) + std::wstring(L"|");
    EXPECT_EQ(shown, L"127.0.0.9|127.0.0.3|45|5000|true|********|********|a.example\r\nb.example|");
    EXPECT_EQ(Stored(), L"127.0.0.9|127.0.0.3|5000|45|true|YWxpY2U6c2VjcmV0|a.example\r\nb.example|NULL|NULL|");
    EXPECT_EQ(SettingsRecord.HostList, (std::vector<std::wstring>{L"a.example", L"b.example"}));
    EXPECT_EQ(FailedStoreKey, nullptr) << "good writes named a key";

    // One refused host line keeps DOMAIN; one box names it with the account's refusal.
    const wchar_t* refused[FORM_FIELD_COUNT] = {L"127.0.0.9", L"127.0.0.3", L"50",     L"5000",
                                                L"true",      L"a:b",       L"secret", L"c.example\r\nx&myip=1.2.3.4"};
    std::wstring box = save(refused);
    EXPECT_EQ(Stored(), L"127.0.0.9|127.0.0.3|5000|50|true|YWxpY2U6c2VjcmV0|a.example\r\nb.example|NULL|NULL|");
    EXPECT_EQ(box.find(AuthOutcomeMessage(AuthOutcome::NameHasColon)), 0u) << box;
    EXPECT_NE(box.find(L"\nx&myip=1.2.3.4\n"), std::wstring::npos) << box;

    MemoryRegistry().failWrites = true;
    save(texts);
    EXPECT_STREQ(FailedStoreKey ? FailedStoreKey : L"(none)", RegistryKeyPath);
    EXPECT_FALSE(StoreValue(RunKeyPath, RunValueName, L"x"));
    EXPECT_STREQ(FailedStoreKey, RegistryKeyPath) << "a later failure replaced the first key";
}

// The mark shows the Run key as this version writes it: at start an earlier version's unquoted value is
// rewritten quoted, or shows off and is told; after a change, what the change left. A refusal is told.
TEST_F(SettingsTest, AutostartMarkFollowsTheRunKey) {
    const std::wstring path = L"C:\\Program Files\\V\\v.exe", quoted = L"\"" + path + L"\" -min -auto",
                       unquoted = path + L" -min -auto", other = L"C:\\Program -min -auto", absent = L"(absent)";
    enum Act { AtStart, On, Off };
    struct Row { const char* behaviour; std::wstring before; Act act; bool refused, shown; std::wstring after; bool told;
    } rows[] = {
        {"start, quoted", quoted, AtStart, true, true, quoted, false},
        {"start, unquoted: rewritten", unquoted, AtStart, false, true, quoted, false},
        {"start, unquoted, refused", unquoted, AtStart, true, false, unquoted, true},
        {"start, another program's", other, AtStart, false, false, other, false},
        {"start, none", absent, AtStart, false, false, absent, false},
        {"on", other, On, false, true, quoted, false},
        {"on, refused", other, On, true, false, other, true},
        {"off", quoted, Off, false, false, absent, false},
        {"off, unquoted, refused", unquoted, Off, true, false, unquoted, true},
    };
    for (const Row& r : rows) {
        SetUp();
        AutostartLeftUnquoted = false;
        if (r.before != absent) MemoryRegistry().values[{RunKeyPath, RunValueName}] = r.before;
        MemoryRegistry().failWrites = r.refused;
        bool shown = r.act == AtStart ? QuoteAutostart(path.c_str()) : SetAutostart(r.act == On, path.c_str());
        EXPECT_EQ(shown, r.shown) << r.behaviour;
        EXPECT_EQ(AutostartIsOn(path.c_str()), r.shown) << r.behaviour;
        const std::wstring* after = StoredValue(RunKeyPath, RunValueName);
        EXPECT_EQ(after ? *after : absent, r.after) << r.behaviour;
        EXPECT_STREQ(FailedStoreKey ? FailedStoreKey : L"(none)", r.told ? RunKeyPath : L"(none)") << r.behaviour;
        bool why = StoreFailureText(RunKeyPath).find(L"without quotes") != std::wstring::npos;
        EXPECT_EQ(why, r.act == AtStart && r.told) << r.behaviour << ": the box says why the mark is off";
    }
    EXPECT_NE(StoreFailureText(RunKeyPath).find(L"choose Start with Windows in the installer"), std::wstring::npos);
    EXPECT_NE(StoreFailureText(RegistryKeyPath).find(L"\n\nReinstall the program"), std::wstring::npos);
}

}  // namespace
