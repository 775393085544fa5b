// The control state sets: which of the seventeen controls each word
// enables, in which order they are written, and that other words do nothing.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/control_state.h"
#include "app/ui_handles.h"
#include "recording_window.h"
#include "shell_recorder.h"

namespace {

// Distinct fake handles for the seventeen controls.
void AssignHandles() {
    std::uintptr_t n = 0x1000;
    for (WindowHandle* h : {&ManualButton, &StartButton, &StopButton}) *h = FakeWindow(n += 0x10);
    for (WindowHandle& h : SettingEdits) h = FakeWindow(n += 0x10);
    for (int page = 0; page < 2; ++page) {
        EditButtons[page] = FakeWindow(n += 0x10);
        SaveButtons[page] = FakeWindow(n += 0x10);
        ReloadButtons[page] = FakeWindow(n += 0x10);
    }
}

std::vector<WindowHandle> WriteOrder() {
    std::vector<WindowHandle> order = {ManualButton, StartButton, StopButton};
    for (WindowHandle h : SettingEdits) order.push_back(h);
    for (int page = 0; page < 2; ++page) {
        order.push_back(EditButtons[page]);
        order.push_back(SaveButtons[page]);
        order.push_back(ReloadButtons[page]);
    }
    return order;
}

std::set<WindowHandle> EnabledAfter(const wchar_t* word) {
    ResetShell();
    SetControlState(word);
    std::set<WindowHandle> on;
    for (const EnableCall& c : Shell().enables)
        if (c.on) on.insert(c.control);
    return on;
}

}  // namespace

TEST(SetControlState, EachWordEnablesItsSet) {
    AssignHandles();
    struct Row {
        const wchar_t* word;
        std::set<WindowHandle> on;
    };
    std::set<WindowHandle> editSet(std::begin(SettingEdits), std::end(SettingEdits));
    editSet.insert(SaveButtons[0]);
    editSet.insert(SaveButtons[1]);
    const Row rows[] = {
        {L"default",
         {ManualButton, StartButton, EditButtons[0], EditButtons[1], ReloadButtons[0], ReloadButtons[1]}},
        {L"alloff", {}},
        {L"start", {StopButton}},
        {L"edit", editSet},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(EnabledAfter(row.word), row.on) << std::wstring(row.word).size();
        std::vector<WindowHandle> written;
        for (const EnableCall& c : Shell().enables) written.push_back(c.control);
        EXPECT_EQ(written, WriteOrder()) << "all seventeen, in order";
    }
}

TEST(SetControlState, OtherWordsChangeNothing) {
    AssignHandles();
    for (const wchar_t* word : {L"Default", L"EDIT", L"", L"start ", L"defaults", L"off"}) {
        ResetShell();
        SetControlState(word);
        EXPECT_TRUE(Shell().enables.empty()) << std::wstring(word).size();
    }
    ResetShell();
    SetControlState(nullptr);
    EXPECT_TRUE(Shell().enables.empty());
}

