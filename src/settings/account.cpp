// Building AUTH from the account fields, and taking the form texts into
// the settings record.
#include "settings/account.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "settings/settings.h"
#include "util/base64.h"
#include "util/text.h"

const wchar_t ACCOUNT_MASK[] = L"********";

namespace {

const std::size_t kAccountBytes = 255;  // each converted field, NUL included
const std::size_t kJoinBytes = 256;     // "name:password", NUL included

bool HasHighByte(const char* text, std::size_t length) {
    for (std::size_t i = 0; i < length && text[i] != '\0'; ++i)
        if (static_cast<unsigned char>(text[i]) > 0x7F) return true;
    return false;
}

// "%s:%s" into kJoinBytes, cut to fit. Only the first 46 bytes reach the
// stored 62 characters anyway, so the cut never changes AUTH.
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

    char joined[kJoinBytes];
    JoinAccount(joined, nameText, passwordText);
    char* encoded = Base64Encode(joined);
    if (encoded == nullptr) {
        // Tell apart which part the encoder refused, looking only at what
        // it was given; a refusal without a high byte was the allocation.
        std::size_t nameLength = std::strlen(nameText);
        if (HasHighByte(joined, nameLength)) return AuthOutcome::NameRefused;
        if (HasHighByte(joined, kJoinBytes)) return AuthOutcome::PasswordRefused;
        return AuthOutcome::NoMemory;
    }
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
    SettingsData& r = SettingsRecord;
    CopyText(r.DomainCheckIP, texts[0]);
    CopyText(r.DomainDynDNS, texts[1]);
    CopyText(r.CLOOP, texts[2]);
    CopyText(r.TOUT, texts[3]);
    CopyText(r.DEBUG, texts[4]);
    AuthOutcome outcome = BuildAuth(texts[FORM_NAME_INDEX], texts[FORM_PASS_INDEX], r.AUTH);
    CopyText(r.DOMAIN, texts[7]);
    // A cut between CR and LF would leave the CR at the end of the last
    // host name, where it would travel in the update request.
    std::size_t length = std::wcslen(r.DOMAIN);
    if (length == sizeof r.DOMAIN / sizeof r.DOMAIN[0] - 1 && r.DOMAIN[length - 1] == L'\r')
        r.DOMAIN[length - 1] = L'\0';
    return outcome;
}

const wchar_t* FormFieldText(int index) {
    SettingsData& r = SettingsRecord;
    switch (index) {
        case 0: return r.DomainCheckIP;
        case 1: return r.DomainDynDNS;
        case 2: return r.CLOOP;
        case 3: return r.TOUT;
        case 4: return r.DEBUG;
        case FORM_NAME_INDEX:
        case FORM_PASS_INDEX: return ACCOUNT_MASK;
        case 7: return r.DOMAIN;
    }
    return L"";
}
