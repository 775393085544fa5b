// A stand-in for the main window with the real control ids, for driving
// the settings forms and the About window under Wine.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Creates MainWindow with the Manual/Start/Stop buttons, the countdown
// displays and the Config and Account pages holding the eight edits and
// the Edit/Save/Reload buttons, and sets every shared handle.
void CreateFormsWindow(bool shown);
void DestroyFormsWindow();

std::wstring TextOf(HWND window);

// Runs step once from inside whatever message loop is running, after
// delayMs, through a timer of the main window.
void RunInsideLoop(unsigned delayMs, std::function<void()> step);

// Waits on another thread for a message box of the program, reads its text
// and presses OK. Returns the text, empty when none came within timeoutMs.
class MessageBoxCatcher {
public:
    explicit MessageBoxCatcher(int timeoutMs);
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
    std::wstring Text();  // waits for the catcher to finish

    int timeoutMs;
    std::wstring text;

private:
    HANDLE thread_;
};
