// The real registry under Wine: the stored form of a value, reading back,
// cutting and removing. What the settings make of the values is checked
// natively, and the first start on an empty registry end to end.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "settings/registry.h"

namespace {

const wchar_t kTestKey[] = L"SOFTWARE\\Orvenna\\Velloq Test Key";

struct RawValue {
    bool present = false;
    DWORD type = 0;
    std::vector<BYTE> bytes;
};

RawValue ReadRaw(const wchar_t* subkey, const wchar_t* name) {
    RawValue v;
    HKEY key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    DWORD size = 0;
    if (RegQueryValueExW(key, name, nullptr, &v.type, nullptr, &size) == ERROR_SUCCESS) {
        v.bytes.resize(size);
        RegQueryValueExW(key, name, nullptr, &v.type, v.bytes.data(), &size);
        v.bytes.resize(size);
        v.present = true;
    }
    RegCloseKey(key);
    return v;
}

std::wstring AsText(const RawValue& v) {
    return std::wstring(reinterpret_cast<const wchar_t*>(v.bytes.data()), v.bytes.size() / sizeof(wchar_t));
}

void DeleteKey(const wchar_t* subkey) {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, subkey);
}

void ExpectStorageForm(const wchar_t* subkey, const wchar_t* name, const std::wstring& text) {
    RawValue v = ReadRaw(subkey, name);
    ASSERT_TRUE(v.present) << "missing value";
    EXPECT_EQ(v.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v.bytes.size(), 2 * text.size()) << "stored with a terminator or cut";
    EXPECT_EQ(AsText(v), text);
}

}  // namespace

TEST(Registry, WritesTextWithoutTerminatorAndReadsItBack) {
    DeleteKey(kTestKey);
    for (const std::wstring text : {L"true", L"", L"3000", L"a.example\r\nb.example"}) {
        ASSERT_TRUE(RegWriteString(kTestKey, L"Value", text.c_str()));
        ExpectStorageForm(kTestKey, L"Value", text);
        EXPECT_EQ(RegReadString(kTestKey, L"Value"), text);
    }
    DeleteKey(kTestKey);
}

TEST(Registry, MissingKeyOrValueReadsEmpty) {
    DeleteKey(kTestKey);
    EXPECT_EQ(RegReadString(kTestKey, L"Value"), L"");
    ASSERT_TRUE(RegWriteString(kTestKey, L"Other", L"x"));
    EXPECT_EQ(RegReadString(kTestKey, L"Value"), L"");
    DeleteKey(kTestKey);
}

TEST(Registry, LongValuesAreCutTo256Characters) {
    DeleteKey(kTestKey);
    std::wstring exact(256, L'x'), longer(300, L'y');
    ASSERT_TRUE(RegWriteString(kTestKey, L"Exact", exact.c_str()));
    ASSERT_TRUE(RegWriteString(kTestKey, L"Long", longer.c_str()));
    EXPECT_EQ(RegReadString(kTestKey, L"Exact"), exact);
    EXPECT_EQ(RegReadString(kTestKey, L"Long"), std::wstring(256, L'y'));
    DeleteKey(kTestKey);
}

TEST(Registry, RemoveDeletesOnlyThatValue) {
    DeleteKey(kTestKey);
    RegWriteString(kTestKey, L"A", L"1");
    RegWriteString(kTestKey, L"B", L"2");
    EXPECT_TRUE(RegRemoveString(kTestKey, L"A"));
    EXPECT_FALSE(RegRemoveString(kTestKey, L"A"));
    EXPECT_FALSE(ReadRaw(kTestKey, L"A").present);
    EXPECT_EQ(RegReadString(kTestKey, L"B"), L"2");
    EXPECT_FALSE(RegRemoveString(L"SOFTWARE\\Orvenna\\No Such Key", L"A"));
    DeleteKey(kTestKey);
}
