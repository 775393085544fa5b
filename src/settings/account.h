// The account credential AUTH, built from the name and password typed into
// the Account page, and the taking of the form texts into the record.
#pragma once

#include <cstddef>
#include <string>

// What both account fields show instead of the name and password.
extern const wchar_t ACCOUNT_MASK[];  // "********"

const int FORM_FIELD_COUNT = 8;   // the edits in id order: Config page, then Account page
const int FORM_NAME_INDEX = 5;
const int FORM_PASS_INDEX = 6;
const int FORM_DOMAIN_INDEX = 7;
const std::size_t FORM_TEXT_CAPACITY = 256;  // what a field read gives, terminator included

// Longest AUTH that is stored: AnsiToWide into 63 characters.
const std::size_t AUTH_TEXT_CAPACITY = 63;
// Longest "name:password" whose Base64 form fits AUTH whole.
const std::size_t ACCOUNT_JOIN_LIMIT = (AUTH_TEXT_CAPACITY - 1) / 4 * 3;

enum class AuthOutcome {
    Encoded,          // AUTH holds the Base64 form of "name:password"
    NameMasked,       // the name begins with '*': AUTH kept as it was
    NameRefused,      // the name has a character that cannot be sent as it is: AUTH kept
    NameHasColon,     // the name has a ':', where the service would end it: AUTH kept
    PasswordRefused,  // the password has such a character: AUTH kept
    TooLong,          // "name:password" is longer than AUTH can hold: AUTH kept
    NoMemory,         // the encoder could not allocate: AUTH kept
};

// Builds the credential from the account fields into auth (AUTH_TEXT_CAPACITY
// characters or more). Leaves auth untouched for every outcome but Encoded.
// A character that cannot be sent is found in texts of any length and is
// told before the length.
AuthOutcome BuildAuth(const wchar_t* name, const wchar_t* password, wchar_t* auth);

// What the user is told when AUTH could not be built; null for Encoded and
// NameMasked, which need no word.
const wchar_t* AuthOutcomeMessage(AuthOutcome outcome);

// Takes the texts of the eight fields (in id order) into SettingsRecord:
// the five Config texts cut to their fields, AUTH from the name and
// password, DOMAIN cut to its field unless a line of it is no host name
// (DOMAIN is then kept). Returns what was refused, for one box: the
// account's message and the refused host lines; empty when nothing was.
// Stores nothing; LoadSettings checks and stores the record.
std::wstring TakeFormTexts(const wchar_t* const texts[FORM_FIELD_COUNT]);

// The text field `index` (0-7, id order) shows after a fill: the record's
// field, or the mask for name and password.
const wchar_t* FormFieldText(int index);
