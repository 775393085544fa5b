// Building AUTH from the account fields, and taking the form texts into
// the settings record.
#include "settings/account.h"

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <vector>

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

bool IsAscii(const wchar_t* text) {
    for (; *text != L'\0'; ++text)
        if (static_cast<unsigned>(*text) > 0x7F) return false;
    return true;
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
    // The mask, or anything else that starts like it, means "name not typed".
    if (name[0] == L'*') return AuthOutcome::NameMasked;
    // A character outside ASCII would travel as a code-page byte, '?' or a
    // look-alike. Checked before the conversion cuts the texts.
    if (!IsAscii(name)) return AuthOutcome::NameRefused;
    // The service takes the credential's first colon as the end of the name.
    if (std::wcschr(name, L':') != nullptr) return AuthOutcome::NameHasColon;
    if (!IsAscii(password)) return AuthOutcome::PasswordRefused;
    char nameText[kAccountBytes];
    char passwordText[kAccountBytes];
    WideToAnsi(nameText, name, sizeof nameText);
    WideToAnsi(passwordText, password, sizeof passwordText);

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
        case AuthOutcome::NameHasColon:
            return L"The account name contains a ':', which the service would take as the end of the name.\n"
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

std::wstring TakeFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]) {
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) {
        if (kFormSetting[i] < 0 || i == FORM_DOMAIN_INDEX) continue;
        SettingField field = SettingAt(SettingsRecord, kFormSetting[i]);
        CopyText(field.text, texts[i], field.capacity);
    }
    const wchar_t* message = AuthOutcomeMessage(
        BuildAuth(texts[FORM_NAME_INDEX], texts[FORM_PASS_INDEX], SettingsRecord.AUTH));
    std::wstring refusals = message != nullptr ? message : L"";

    // The lines are checked as they would be stored: cut to the field. A cut
    // between CR and LF would leave the CR at the end of the last line.
    wchar_t domain[sizeof SettingsRecord.DOMAIN / sizeof SettingsRecord.DOMAIN[0]];
    CopyText(domain, texts[FORM_DOMAIN_INDEX]);
    std::size_t length = std::wcslen(domain);
    if (length == sizeof domain / sizeof domain[0] - 1 && domain[length - 1] == L'\r') domain[length - 1] = L'\0';
    std::vector<std::wstring> refused;
    HostNames(domain, &refused);
    if (refused.empty()) {
        CopyText(SettingsRecord.DOMAIN, domain);
        return refusals;
    }
    if (!refusals.empty()) refusals += L"\n\n";
    refusals += L"A host name holds only letters, digits, '-' and '.' (an internationalised name goes in its "
                L"xn-- form). These lines are not:";
    for (const std::wstring& line : refused) refusals += L"\n" + line;
    return refusals + L"\nThe saved host names were not changed.";
}

const wchar_t* FormFieldText(int index) {
    if (kFormSetting[index] < 0) return ACCOUNT_MASK;
    return SettingAt(SettingsRecord, kFormSetting[index]).text;
}
