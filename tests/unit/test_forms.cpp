// The account credential and the settings forms: AUTH from name and
// password, the form texts taken into the record, and the refill that
// follows every save and reload, against an in-memory registry, a scripted
// resolver and a recording window.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "../support/fake_resolver.h"
#include "../support/memory_registry.h"
#include "../support/recording_window.h"
#include "app/ui_handles.h"
#include "settings/account.h"
#include "settings/forms.h"
#include "settings/registry.h"
#include "settings/settings.h"

namespace {

const wchar_t kKeptAuth[] = L"a2VwdDprZXB0";  // what AUTH held before

struct AuthRow {
    const char* behaviour;
    std::wstring name, password;
    AuthOutcome outcome;
    std::wstring auth;  // AUTH afterwards
};

TEST(BuildAuth, FromNameAndPassword) {
    const std::wstring a22(22, L'a'), b22(22, L'b'), b23(23, L'b');
    const AuthRow rows[] = {
        {"name and password", L"alice", L"secret", AuthOutcome::Encoded, L"YWxpY2U6c2VjcmV0"},
        {"name still masked", ACCOUNT_MASK, L"secret", AuthOutcome::NameMasked, kKeptAuth},
        {"name begins with an asterisk", L"*alice", L"secret", AuthOutcome::NameMasked, kKeptAuth},
        {"password still masked", L"alice", ACCOUNT_MASK, AuthOutcome::Encoded, L"YWxpY2U6KioqKioqKio="},
        {"both empty: a lone colon", L"", L"", AuthOutcome::Encoded, L"Og=="},
        {"45 joined bytes stored whole", a22, b22, AuthOutcome::Encoded,
         L"YWFhYWFhYWFhYWFhYWFhYWFhYWFhYTpiYmJiYmJiYmJiYmJiYmJiYmJiYmJi"},
        {"46 joined bytes cut to 62", a22, b23, AuthOutcome::Encoded,
         L"YWFhYWFhYWFhYWFhYWFhYWFhYWFhYTpiYmJiYmJiYmJiYmJiYmJiYmJiYmJiYg"},
        {"joined text over 255 bytes", std::wstring(300, L'x'), std::wstring(300, L'y'), AuthOutcome::Encoded,
         L"eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eHh4eH"},
        {"accented name refused", L"j\u00E9r\u00F4me", L"secret", AuthOutcome::NameRefused, kKeptAuth},
        {"accented password refused", L"alice", L"s\u00E9cret", AuthOutcome::PasswordRefused, kKeptAuth},
        {"high byte as the last byte", L"alice", L"secret\u00FF", AuthOutcome::PasswordRefused, kKeptAuth},
        {"masked name wins over a refused password", ACCOUNT_MASK, L"s\u00E9cret", AuthOutcome::NameMasked,
         kKeptAuth},
        // The test build's code page is Latin-1: what it cannot show becomes '?'.
        {"character outside the code page", L"bob", L"\u0416", AuthOutcome::Encoded, L"Ym9iOj8="},
    };
    for (const AuthRow& r : rows) {
        wchar_t auth[64];
        std::wcscpy(auth, kKeptAuth);
        EXPECT_EQ(BuildAuth(r.name.c_str(), r.password.c_str(), auth), r.outcome) << r.behaviour;
        EXPECT_EQ(std::wstring(auth), r.auth) << r.behaviour;
    }
}

TEST(BuildAuth, OnlyRefusalsHaveAMessage) {
    struct Row {
        AuthOutcome outcome;
        const wchar_t* mentions;  // null: no message
    } rows[] = {
        {AuthOutcome::Encoded, nullptr},
        {AuthOutcome::NameMasked, nullptr},
        {AuthOutcome::NameRefused, L"account name"},
        {AuthOutcome::PasswordRefused, L"password"},
        {AuthOutcome::NoMemory, L"memory"},
    };
    for (const Row& r : rows) {
        const wchar_t* message = AuthOutcomeMessage(r.outcome);
        if (r.mentions == nullptr) {
            EXPECT_EQ(message, nullptr) << static_cast<int>(r.outcome);
        } else {
            ASSERT_NE(message, nullptr) << static_cast<int>(r.outcome);
            EXPECT_NE(std::wcsstr(message, r.mentions), nullptr) << static_cast<int>(r.outcome);
            EXPECT_NE(std::wcsstr(message, L"not changed"), nullptr) << static_cast<int>(r.outcome);
        }
    }
}

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetMemoryRegistry();
        ResetRecordedMessages();
        FakeResolver() = FakeResolverState();
        SettingsRecord = SettingsData();
        for (int i = 0; i < FORM_FIELD_COUNT; ++i) SettingEdits[i] = FakeWindow(0x100 + i);
        MinutesStatic = FakeWindow(0x200);
        SecondsStatic = FakeWindow(0x201);
        CountdownMinutes = CountdownSeconds = -1;
        Store(L"DomainCheckIP", L"127.0.0.2");
        Store(L"DomainDynDNS", L"127.0.0.3");
        Store(L"TOUT", L"5000");
        Store(L"CLOOP", L"90");
        Store(L"DEBUG", L"true");
        Store(L"AUTH", kKeptAuth);
        Store(L"DOMAIN", L"one.example");
    }
    void Store(const wchar_t* name, const std::wstring& text) {
        MemoryRegistry().values[{RegistryKeyPath, name}] = text;
    }
    std::wstring Stored(const wchar_t* name) {
        const std::wstring* v = StoredValue(RegistryKeyPath, name);
        return v ? *v : L"<absent>";
    }
    // The texts the fields and the two countdown displays were given, in order.
    std::vector<std::pair<WindowHandle, std::wstring>> Shown() {
        std::vector<std::pair<WindowHandle, std::wstring>> shown;
        for (const RecordedMessage& m : RecordedMessages())
            if (m.message == RECORDED_SETTEXT) shown.push_back({m.window, m.text});
        return shown;
    }
    // What the user sees in the form before touching it: the stored values.
    struct Form {
        std::wstring text[FORM_FIELD_COUNT] = {L"127.0.0.2", L"127.0.0.3", L"90", L"5000", L"true",
                                               ACCOUNT_MASK, ACCOUNT_MASK, L"one.example"};
        AuthOutcome Save() {
            const wchar_t* texts[FORM_FIELD_COUNT];
            for (int i = 0; i < FORM_FIELD_COUNT; ++i) texts[i] = text[i].c_str();
            return SaveFormTexts(texts);
        }
    };
};

TEST_F(FormsTest, FillShowsTheStoredValuesTheMaskAndRestartsTheCountdown) {
    FillSettingsForms(true);
    std::vector<std::pair<WindowHandle, std::wstring>> expected = {
        {SettingEdits[0], L"127.0.0.2"}, {SettingEdits[1], L"127.0.0.3"}, {SettingEdits[2], L"90"},
        {SettingEdits[3], L"5000"},      {SettingEdits[4], L"true"},      {SettingEdits[5], L"********"},
        {SettingEdits[6], L"********"},  {SettingEdits[7], L"one.example"}, {SecondsStatic, L"0"},
        {MinutesStatic, L"90"},
    };
    EXPECT_EQ(Shown(), expected);
    EXPECT_EQ(CountdownMinutes, 90);
    EXPECT_EQ(CountdownSeconds, 60);
    EXPECT_EQ(MemoryRegistry().writes.size(), 9u) << "every fill stores all nine values";
}

TEST_F(FormsTest, ReloadReadsTheStoreAgain) {
    FillSettingsForms(true);
    std::wcscpy(SettingsRecord.CLOOP, L"300");
    Store(L"CLOOP", L"45 min");
    ResetRecordedMessages();
    FillSettingsForms(true);
    EXPECT_STREQ(SettingsRecord.CLOOP, L"45 min");
    EXPECT_EQ(CountdownMinutes, 45);
    EXPECT_EQ(Shown().back(), std::make_pair(MinutesStatic, std::wstring(L"45 min")));
}

TEST_F(FormsTest, SaveChecksCorrectsStoresAndShowsEachValue) {
    struct Row {
        const char* behaviour;
        int field;
        std::wstring typed, shown;
    } rows[] = {
        {"pause of letters", 2, L"abc", L"60"},
        {"pause kept as typed", 2, L"45 min", L"45 min"},
        {"pause cut to its 7 characters", 2, L"45 minutes", L"45 minu"},
        {"time-out cut to 7 characters, then out of range", 3, L"10000000", L"3000"},
        {"balloon word with a blank", 4, L"true ", L"false"},
        {"check-IP host dotted", 0, L"127.0.0.9", L"127.0.0.9"},
        {"check-IP host unresolved", 0, L"nowhere.invalid", DEFAULT_CHECKIP_HOST},
        {"update host empty", 1, L"", DEFAULT_DYNDNS_HOST},
        {"update host cut to 67 characters, then checked", 1, std::wstring(100, L'h'), std::wstring(67, L'h')},
        {"host names emptied", 7, L"", L"NULL"},
        {"host names cut to 255 characters", 7, std::wstring(300, L'h'), std::wstring(255, L'h')},
    };
    static const wchar_t* const kNames[] = {L"DomainCheckIP", L"DomainDynDNS", L"CLOOP", L"TOUT",
                                            L"DEBUG", nullptr, nullptr, L"DOMAIN"};
    for (const Row& r : rows) {
        SetUp();
        FakeResolver().answers[std::wstring(67, L'h')] = L"127.0.0.5";
        FillSettingsForms(true);
        ResetRecordedMessages();
        Form form;
        form.text[r.field] = r.typed;
        form.Save();
        EXPECT_EQ(Stored(kNames[r.field]), r.shown) << r.behaviour;
        auto shown = Shown();
        ASSERT_EQ(shown.size(), 10u) << r.behaviour;
        EXPECT_EQ(shown[r.field], std::make_pair(SettingEdits[r.field], r.shown)) << r.behaviour;
        EXPECT_EQ(shown[5].second, ACCOUNT_MASK) << r.behaviour;
        EXPECT_EQ(shown[6].second, ACCOUNT_MASK) << r.behaviour;
        EXPECT_EQ(Stored(L"AUTH"), kKeptAuth) << r.behaviour;
    }
}

TEST_F(FormsTest, SaveNeverReadsTheStore) {
    FillSettingsForms(true);
    Store(L"TOUT", L"9000");  // changed behind the program's back
    int reads = MemoryRegistry().reads;
    Form().Save();
    EXPECT_EQ(MemoryRegistry().reads, reads);
    EXPECT_EQ(Stored(L"TOUT"), L"5000");
}

TEST_F(FormsTest, SaveStoresTheNewCredentialAndMasksItAgain) {
    FillSettingsForms(true);
    ResetRecordedMessages();
    Form form;
    form.text[5] = L"alice";
    form.text[6] = L"secret";
    EXPECT_EQ(form.Save(), AuthOutcome::Encoded);
    EXPECT_EQ(Stored(L"AUTH"), L"YWxpY2U6c2VjcmV0");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 10u);
    EXPECT_EQ(shown[5].second, ACCOUNT_MASK);
    EXPECT_EQ(shown[6].second, ACCOUNT_MASK);
}

TEST_F(FormsTest, RefusedAccountKeepsAuthButStoresTheRest) {
    FillSettingsForms(true);
    Form form;
    form.text[2] = L"120";
    form.text[5] = L"j\u00E9r\u00F4me";
    form.text[6] = L"secret";
    EXPECT_EQ(form.Save(), AuthOutcome::NameRefused);
    EXPECT_EQ(Stored(L"AUTH"), kKeptAuth);
    EXPECT_EQ(Stored(L"CLOOP"), L"120");
    EXPECT_EQ(CountdownMinutes, 120);
}

TEST_F(FormsTest, HostLinesBecomeTheHostList) {
    struct Row {
        const char* behaviour;
        std::wstring typed;
        std::vector<std::wstring> hosts;
    } rows[] = {
        {"two lines", L"one.example\r\ntwo.example", {L"one.example", L"two.example"}},
        {"empty line and final break", L"one.example\r\n\r\ntwo.example\r\n", {L"one.example", L"two.example"}},
        // A cut that falls between CR and LF must not leave the CR on the last name.
        {"cut between CR and LF", std::wstring(254, L'h') + L"\r\nnext.example", {std::wstring(254, L'h')}},
    };
    for (const Row& r : rows) {
        SetUp();
        FillSettingsForms(true);
        Form form;
        form.text[7] = r.typed;
        form.Save();
        EXPECT_EQ(SettingsRecord.HostList, r.hosts) << r.behaviour;
    }
}

}  // namespace
