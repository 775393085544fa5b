// The settings forms under Wine: real edit controls with the program's ids,
// the real registry, the real control states.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/control_state.h"
#include "app/ui_handles.h"
#include "forms_window_win.h"
#include "settings/forms.h"
#include "settings/registry.h"
#include "settings/settings.h"

namespace {

const wchar_t kKeptAuth[] = L"a2VwdDprZXB0";

class FormsWin : public ::testing::Test {
protected:
    void SetUp() override {
        // Dotted loopback hosts only: nothing here may ask a name server.
        const std::pair<const wchar_t*, const wchar_t*> seed[] = {
            {L"DomainCheckIP", L"127.0.0.2"}, {L"DomainDynDNS", L"127.0.0.3"}, {L"TOUT", L"5000"},
            {L"CLOOP", L"90"}, {L"DEBUG", L"true"}, {L"AUTH", kKeptAuth}, {L"DOMAIN", L"one.example"},
            {L"LASTIP", L"NULL"}, {L"TIMESTAMP", L"NULL"}};
        for (const auto& v : seed) RegWriteString(RegistryKeyPath, v.first, v.second);
        SettingsRecord = SettingsData();
        LoadSettings(true);
        CreateFormsWindow(false);
        FillSettingsForms(true);
        SetControlState(L"edit");
    }
    void TearDown() override { DestroyFormsWindow(); }

    void Type(int field, const std::wstring& text) { SetWindowTextW(SettingEdits[field], text.c_str()); }
    std::wstring Field(int field) { return TextOf(SettingEdits[field]); }
    std::wstring Stored(const wchar_t* name) { return RegReadString(RegistryKeyPath, name); }
};

TEST_F(FormsWin, SaveStoresTheNewCredentialAndShowsTheMaskAgain) {
    Type(5, L"alice");
    Type(6, L"secret");
    SaveSettingsForms();
    EXPECT_EQ(Stored(L"AUTH"), L"YWxpY2U6c2VjcmV0");
    EXPECT_STREQ(SettingsRecord.AUTH, L"YWxpY2U6c2VjcmV0");
    EXPECT_EQ(Field(5), L"********");
    EXPECT_EQ(Field(6), L"********");
}

TEST_F(FormsWin, SaveWithTheNameStillMaskedKeepsTheCredential) {
    Type(6, L"changed");
    SaveSettingsForms();
    EXPECT_EQ(Stored(L"AUTH"), kKeptAuth);
    EXPECT_EQ(Field(6), L"********");
}

TEST_F(FormsWin, SaveReturnsTheFormsToTheirRestingState) {
    SaveSettingsForms();
    for (int i = 0; i < 8; ++i) EXPECT_FALSE(IsWindowEnabled(SettingEdits[i])) << "field " << i;
    for (int page = 0; page < 2; ++page) {
        EXPECT_TRUE(IsWindowEnabled(EditButtons[page])) << page;
        EXPECT_FALSE(IsWindowEnabled(SaveButtons[page])) << page;
        EXPECT_TRUE(IsWindowEnabled(ReloadButtons[page])) << page;
    }
    EXPECT_TRUE(IsWindowEnabled(StartButton));
    EXPECT_TRUE(IsWindowEnabled(ManualButton));
}

TEST_F(FormsWin, InvalidValuesComeBackCorrected) {
    struct Row {
        int field;
        const wchar_t* name;
        std::wstring typed, shown;
    } rows[] = {
        {0, L"DomainCheckIP", L"300.1.1.1", DEFAULT_CHECKIP_HOST},  // digit first: no lookup
        {1, L"DomainDynDNS", L"", DEFAULT_DYNDNS_HOST},
        {2, L"CLOOP", L"abc", L"60"},
        {2, L"CLOOP", L"45 minutes", L"45 minu"},
        {3, L"TOUT", L"999", L"3000"},
        {4, L"DEBUG", L"true ", L"false"},
        {7, L"DOMAIN", L"", L"NULL"},
    };
    for (const Row& r : rows) {
        TearDown();
        SetUp();
        Type(r.field, r.typed);
        SaveSettingsForms();
        EXPECT_EQ(Field(r.field), r.shown) << r.name << " typed \"" << r.typed << "\"";
        EXPECT_EQ(Stored(r.name), r.shown) << r.name;
    }
}

TEST_F(FormsWin, SaveRestartsTheCountdownFromTheNewPause) {
    Type(2, L"120");
    SaveSettingsForms();
    EXPECT_EQ(TextOf(MinutesStatic), L"120");
    EXPECT_EQ(TextOf(SecondsStatic), L"0");
    EXPECT_EQ(CountdownMinutes, 120);
    EXPECT_EQ(CountdownSeconds, 60);
}

TEST_F(FormsWin, ReloadDiscardsUnsavedText) {
    Type(2, L"120");
    Type(5, L"alice");
    Type(7, L"other.example");
    FillSettingsForms(true);
    EXPECT_EQ(Field(2), L"90");
    EXPECT_EQ(Field(5), L"********");
    EXPECT_EQ(Field(7), L"one.example");
    EXPECT_EQ(Stored(L"CLOOP"), L"90");
    EXPECT_EQ(Stored(L"AUTH"), kKeptAuth);
}

TEST_F(FormsWin, TwoHostNamesOnTwoLinesBecomeTwoHosts) {
    Type(7, L"one.example\r\ntwo.example");
    SaveSettingsForms();
    EXPECT_EQ(SettingsRecord.HostList, (std::vector<std::wstring>{L"one.example", L"two.example"}));
    EXPECT_EQ(Stored(L"DOMAIN"), L"one.example\r\ntwo.example");
    EXPECT_EQ(Field(7), L"one.example\r\ntwo.example");
}

TEST_F(FormsWin, AccountTextTheEncoderRefusesIsReportedAndKept) {
    Type(2, L"120");
    Type(5, L"j\u00E9r\u00F4me");
    Type(6, L"secret");
    MessageBoxCatcher box(10000);
    SaveSettingsForms();
    std::wstring told = box.Text();
    EXPECT_NE(told.find(L"account name"), std::wstring::npos) << "box said: " << std::string(told.begin(), told.end());
    EXPECT_EQ(Stored(L"AUTH"), kKeptAuth);
    EXPECT_EQ(Stored(L"CLOOP"), L"120") << "the rest is saved all the same";
    EXPECT_EQ(Field(5), L"********");
}

}  // namespace
