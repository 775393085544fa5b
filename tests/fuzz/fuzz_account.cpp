// AUTH from any typed account is written whole or not at all, never past its field, and says what was typed.
#include <algorithm>
#include <cwchar>
#include "fuzz_input.h"
#include "settings/account.h"
#include "settings/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::vector<std::wstring> texts = WidePieces(data, size, FORM_FIELD_COUNT);
    const wchar_t kCanary = 0x2A5A;  // auth lies between two guards of eight
    wchar_t buffer[8 + AUTH_TEXT_CAPACITY + 8], *auth = buffer + 8, *after = auth + AUTH_TEXT_CAPACITY;
    std::fill(std::begin(buffer), std::end(buffer), kCanary);
    AuthOutcome outcome = BuildAuth(texts[FORM_NAME_INDEX].c_str(), texts[FORM_PASS_INDEX].c_str(), auth);
    CHECK(std::count(buffer, auth, kCanary) == 8 && std::count(after, std::end(buffer), kCanary) == 8);
    CHECK(outcome == AuthOutcome::Encoded || std::count(auth, after, kCanary) == AUTH_TEXT_CAPACITY);
    if (outcome == AuthOutcome::Encoded) {  // only for whole 7-bit text, which WideToAnsi keeps as it is
        CHECK(std::wmemchr(auth, L'\0', AUTH_TEXT_CAPACITY) != nullptr && std::wcslen(auth) <= 62);
        std::string decoded = DecodeBase64(std::string(auth, auth + std::wcslen(auth)));
        CHECK(std::wstring(decoded.begin(), decoded.end()) == texts[FORM_NAME_INDEX] + L":" + texts[FORM_PASS_INDEX]);
    }
    auto field = [](int i) { return SettingAt(SettingsRecord, i); };  // unterminated, so only a copy ends one
    for (int i = 0; i < SETTINGS_COUNT; ++i) std::wmemset(field(i).text, L'#', field(i).capacity);
    const wchar_t* form[FORM_FIELD_COUNT];
    for (int i = 0; i < FORM_FIELD_COUNT; ++i) form[i] = texts[i].c_str();
    TakeFormTexts(form);
    for (int i = 0; i < 7; ++i)  // the five Config fields, and AUTH and DOMAIN unless kept (no '#' is taken)
        CHECK((i >= 5 && field(i).text[0] == L'#') || std::wmemchr(field(i).text, L'\0', field(i).capacity) != nullptr);
    return 0;
}
