// Building AUTH from the account fields, and taking the form texts into
// the settings record.
#include "settings/account.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>

#include "settings/settings.h"
#include "util/base64.h"
#include "util/text.h"

const wchar_t ACCOUNT_MASK[] = L"********";

namespace {

const std::size_t kAccountBytes = 255;  // each converted field, NUL included
const std::size_t kJoinBytes = 256;     // "name:password", NUL included

// The setting each form field shows and fills, in id order; -1 for the
// account fields, which go through AUTH.
const int kFormSetting[FORM_FIELD_COUNT] = {SETTING_CHECKIP_HOST, SETTING_DYNDNS_HOST, SETTING_CLOOP, SETTING_TOUT,
                                           SETTING_DEBUG,        -1,                  -1,            SETTING_DOMAIN};

bool HasHighByte(const char* text) {
    for (; *text != '\0'; ++text)
        if (static_cast<unsigned char>(*text) > 0x7F) return true;
    return false;
}

// "%s:%s" into kJoinBytes, cut to fit.
void JoinAccount(char* joined, const char* name, const char* password) {
    std::size_t used = 0;
    for (const char* part : {name, ":", password})
        for (; *part != '\0' && used + 1 < kJoinBytes; ++part) joined[used++] = *part;
    joined[used] = '\0';
}

}  // namespace

AuthOutcome BuildAuth(const wchar_t* name, const wchar_t* password, wchar_t* auth) {
    char nameText[kAccountBytes];
    char passwordText[kAccountBytes];
    WideToAnsi(nameText, name, sizeof nameText);
    WideToAnsi(passwordText, password, sizeof passwordText);
    // The mask, or anything else that starts like it, means "name not typed".
    if (nameText[0] == '*') return AuthOutcome::NameMasked;
    // A character the code page lacks would travel as '?' or a look-alike.
    if (!FitsCodePage(name) || HasHighByte(nameText)) return AuthOutcome::NameRefused;
    if (!FitsCodePage(password) || HasHighByte(passwordText)) return AuthOutcome::PasswordRefused;

    char joined[kJoinBytes];
    JoinAccount(joined, nameText, passwordText);
    if (std::strlen(joined) > ACCOUNT_JOIN_LIMIT) return AuthOutcome::TooLong;
    char* encoded = Base64Encode(joined);
    if (encoded == nullptr) return AuthOutcome::NoMemory;
    AnsiToWide(auth, encoded, AUTH_TEXT_CAPACITY);
    std::free(encoded);
    return AuthOutcome::Encoded;
}

const wchar_t* AuthOutcomeMessage(AuthOutcome outcome) {
    switch (outcome) {
        case AuthOutcome::NameRefused:
            return L"The account name contains a character outside 7-bit ASCII.\n"
                   L"The saved account was not changed.";
        case AuthOutcome::PasswordRefused:
            return L"The password contains a character outside 7-bit ASCII.\n"
                   L"The saved account was not changed.";
        case AuthOutcome::TooLong:
            return L"The account name and password are too long: together they may have at most "
                   L"44 characters.\nThe saved account was not changed.";
        case AuthOutcome::NoMemory:
            return L"Not enough memory to encode the account.\n"
                   L"The saved account was not changed.";
        case AuthOutcome::Encoded:
        case AuthOutcome::NameMasked:
            break;
    }
    return nullptr;
}

AuthOutcome TakeFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]) {
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) {
        if (kFormSetting[i] < 0) continue;
        SettingField field = SettingAt(SettingsRecord, kFormSetting[i]);
        CopyText(field.text, texts[i], field.capacity);
    }
    AuthOutcome outcome = BuildAuth(texts[FORM_NAME_INDEX], texts[FORM_PASS_INDEX], SettingsRecord.AUTH);
    // A cut between CR and LF would leave the CR at the end of the last
    // host name, where it would travel in the update request.
    wchar_t* domain = SettingsRecord.DOMAIN;
    std::size_t length = std::wcslen(domain);
    if (length == sizeof SettingsRecord.DOMAIN / sizeof domain[0] - 1 && domain[length - 1] == L'\r')
        domain[length - 1] = L'\0';
    return outcome;
}

const wchar_t* FormFieldText(int index) {
    if (kFormSetting[index] < 0) return ACCOUNT_MASK;
    return SettingAt(SettingsRecord, kFormSetting[index]).text;
}
