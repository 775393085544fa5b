// The control state table, walked in one loop.
#include "app/control_state.h"

#include <cwchar>

#include "app/ui_state.h"
#include "app/forms.h"

namespace {

enum Column { DEFAULT, ALLOFF, START, EDIT, STATE_COUNT };

const wchar_t* const kWords[STATE_COUNT] = {L"default", L"alloff", L"start", L"edit"};

struct ControlRow {
    WindowHandle* control;
    bool on[STATE_COUNT];
};

// Rows in the order the controls are written: Manual, Start, Stop, the
// eight setting edits, then Edit/Save/Reload of each page.
const ControlRow kRows[] = {
    {&ManualButton, {true, false, false, false}},
    {&StartButton, {true, false, false, false}},
    {&StopButton, {false, false, true, false}},
    {&SettingEdits[0], {false, false, false, true}},
    {&SettingEdits[1], {false, false, false, true}},
    {&SettingEdits[2], {false, false, false, true}},
    {&SettingEdits[3], {false, false, false, true}},
    {&SettingEdits[4], {false, false, false, true}},
    {&SettingEdits[5], {false, false, false, true}},
    {&SettingEdits[6], {false, false, false, true}},
    {&SettingEdits[7], {false, false, false, true}},
    {&EditButtons[0], {true, false, false, false}},
    {&SaveButtons[0], {false, false, false, true}},
    {&ReloadButtons[0], {true, false, false, false}},
    {&EditButtons[1], {true, false, false, false}},
    {&SaveButtons[1], {false, false, false, true}},
    {&ReloadButtons[1], {true, false, false, false}},
};

}  // namespace

void SetControlState(const wchar_t* word) {
    if (word == nullptr) return;
    for (int column = 0; column < STATE_COUNT; ++column) {
        if (std::wcscmp(word, kWords[column]) != 0) continue;
        for (const ControlRow& row : kRows) EnableControl(*row.control, row.on[column]);
        return;
    }
}
