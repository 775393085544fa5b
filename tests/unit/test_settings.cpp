// Loading, checking, correcting and storing the nine settings, and the
// host list, against an in-memory registry and a scripted resolver.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../support/fake_resolver.h"
#include "../support/memory_registry.h"
#include "settings/registry.h"
#include "settings/settings.h"

namespace {

const wchar_t* const kNames[] = {L"DomainCheckIP", L"DomainDynDNS", L"TOUT", L"CLOOP", L"DEBUG",
                                 L"AUTH", L"DOMAIN", L"LASTIP", L"TIMESTAMP"};

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMemoryRegistry();
        FakeResolver() = FakeResolverState();
        SettingsRecord = SettingsData();
    }
    void Store(const wchar_t* name, const std::wstring& text) {
        MemoryRegistry().values[{RegistryKeyPath, name}] = text;
    }
    std::wstring Stored(const wchar_t* name) {
        const std::wstring* v = StoredValue(RegistryKeyPath, name);
        return v ? *v : L"<absent>";
    }
    // Stores one value, loads, and returns what the field became.
    std::wstring LoadOne(int index, const std::wstring& text) {
        SetUp();
        Store(kNames[index], text);
        LoadSettings(true);
        return SettingField(SettingsRecord, index);
    }
};

}  // namespace

TEST_F(SettingsTest, EmptyStoreWritesAllNineDefaultsInOrder) {
    LoadSettings(true);
    const std::vector<RegistryWrite>& writes = MemoryRegistry().writes;
    ASSERT_EQ(writes.size(), 9u);
    const wchar_t* defaults[] = {DEFAULT_CHECKIP_HOST, DEFAULT_DYNDNS_HOST, L"3000", L"60", L"false",
                                 L"NULL", L"NULL", L"NULL", L"NULL"};
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(writes[i].subkey, RegistryKeyPath);
        EXPECT_EQ(writes[i].name, kNames[i]);
        EXPECT_EQ(writes[i].text, defaults[i]) << kNames[i];
    }
    EXPECT_EQ(SettingsRecord.HostList, std::vector<std::wstring>{L"NULL"});
    EXPECT_TRUE(FakeResolver().lookups.empty()) << "an empty host field is not looked up";
    EXPECT_EQ(StoredValue(RegistryKeyPath, L"CheckLastIP"), nullptr);
    EXPECT_FALSE(SettingsRecord.CheckLastIPFlag);
    EXPECT_FALSE(SettingsRecord.UseSSLFlag);
}

// Each value checked on its own: numbers in range, the balloon switch
// exactly "true" or "false", text fields merely non-empty.
TEST_F(SettingsTest, EachFieldKeepsAValidValueOrTakesTheDefault) {
    struct Row {
        int index;
        const wchar_t* stored;
        const wchar_t* expected;
    } rows[] = {
        {2, L"999", L"3000"},  {2, L"1000", L"1000"}, {2, L"15000", L"15000"}, {2, L"15001", L"3000"},
        {2, L"", L"3000"},     {2, L"abc", L"3000"},  {2, L"-5000", L"3000"},
        {3, L"29", L"60"},     {3, L"30", L"30"},     {3, L"1440", L"1440"},   {3, L"1441", L"60"},
        {3, L"45 min", L"45 min"}, {3, L" 90", L" 90"},
        {4, L"true", L"true"}, {4, L"false", L"false"}, {4, L"TRUE", L"false"}, {4, L"True", L"false"},
        {4, L"yes", L"false"}, {4, L"", L"false"},
        {5, L"", L"NULL"}, {6, L"", L"NULL"}, {7, L"", L"NULL"}, {8, L"", L"NULL"},
        {5, L"x", L"x"},   {6, L"x", L"x"},   {7, L"x", L"x"},   {8, L"x", L"x"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(LoadOne(r.index, r.stored), r.expected) << kNames[r.index] << " \"" << r.stored << "\"";
        EXPECT_EQ(Stored(kNames[r.index]), r.expected);
    }
}

TEST_F(SettingsTest, HostCheck) {
    struct Row {
        const wchar_t* stored;
        const wchar_t* expected;
        bool lookedUp;
    } rows[] = {
        {L"192.168.1.10", L"192.168.1.10", false},             // dotted: kept without a lookup
        {L"255.255.255.255", DEFAULT_CHECKIP_HOST, false},     // the broadcast address is no host
        {L"1example.org", DEFAULT_CHECKIP_HOST, false},        // digit first, not an address
        {L"check.example", L"check.example", true},            // resolves: the name is kept
        {L"missing.example", DEFAULT_CHECKIP_HOST, true},      // does not resolve
        {L"-host", DEFAULT_CHECKIP_HOST, false},
    };
    for (const Row& r : rows) {
        SetUp();
        FakeResolver().answers[L"check.example"] = L"192.0.2.10";
        Store(L"DomainCheckIP", r.stored);
        LoadSettings(true);
        EXPECT_STREQ(SettingsRecord.DomainCheckIP, r.expected) << r.stored;
        EXPECT_EQ(Stored(L"DomainCheckIP"), r.expected) << r.stored;
        bool lookedUp = !FakeResolver().lookups.empty() && FakeResolver().lookups[0] == r.stored;
        EXPECT_EQ(lookedUp, r.lookedUp) << r.stored;
    }
}

TEST_F(SettingsTest, OverlongValuesAreCutToTheirField) {
    Store(L"DOMAIN", std::wstring(300, L'd'));
    Store(L"AUTH", std::wstring(100, L'a'));
    Store(L"TOUT", L"1000000000");  // cut to 7 characters: 1000000, out of range
    LoadSettings(true);
    EXPECT_EQ(std::wstring(SettingsRecord.DOMAIN), std::wstring(255, L'd'));
    EXPECT_EQ(std::wstring(SettingsRecord.AUTH), std::wstring(63, L'a'));
    EXPECT_STREQ(SettingsRecord.TOUT, L"3000");
    EXPECT_EQ(Stored(L"DOMAIN"), std::wstring(255, L'd'));
}

TEST_F(SettingsTest, LoadWithoutReadingOverwritesTheStore) {
    Store(L"CLOOP", L"120");
    LoadSettings(true);
    Store(L"CLOOP", L"240");  // changed behind the program's back
    int readsBefore = MemoryRegistry().reads;
    std::wcscpy(SettingsRecord.CLOOP, L"90");
    LoadSettings(false);
    EXPECT_EQ(MemoryRegistry().reads, readsBefore);
    EXPECT_EQ(Stored(L"CLOOP"), L"90");
}

TEST_F(SettingsTest, FailedWritesKeepTheCheckedRecord) {
    MemoryRegistry().failWrites = true;
    Store(L"CLOOP", L"45");
    LoadSettings(true);
    EXPECT_STREQ(SettingsRecord.CLOOP, L"45");
    EXPECT_EQ(MemoryRegistry().writes.size(), 9u);
}

TEST_F(SettingsTest, HostListSplitsDomainAtLineBreaks) {
    struct Row {
        const wchar_t* domain;
        std::vector<std::wstring> expected;
    } rows[] = {
        {L"a.example\r\n\r\nc.example\r\n", {L"a.example", L"c.example"}},
        {L"one.example", {L"one.example"}},
        {L"a\nb\rc", {L"a\nb\rc"}},  // a lone CR or LF stays inside
        {L"\r\n\r\n", {}},
        {L" a \r\na", {L" a ", L"a"}},  // neither trimmed nor de-duplicated
        {L"a\r\na", {L"a", L"a"}},
    };
    for (const Row& r : rows) {
        std::wcscpy(SettingsRecord.DOMAIN, r.domain);
        RebuildHostList();
        EXPECT_EQ(SettingsRecord.HostList, r.expected);
    }
}
