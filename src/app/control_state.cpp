// The control sets as one table.
#include "app/control_state.h"

#include "app/ui_state.h"

// Manual, Start, Stop, the eight setting edits, then Edit/Save/Reload of
// each page.
const ControlRow kControlRows[17] = {
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
