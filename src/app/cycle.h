// The sync cycle as decisions: each event (a command, a timer, a worker's
// end, the window shown or hidden) takes the cycle's state and returns the
// steps the window is to take, in order. Nothing here touches a window;
// app/edge_win.cpp carries the steps out.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings.h"
#include "sync/sync.h"

// The control sets of the main window (app/control_state.cpp).
enum class Controls { Default, AllOff, Start, Edit };
// The texts an attempt and the countdown write.
enum class Field { Date, Address, Status, Minutes, Seconds, Address6 };
enum class Job { CheckIp, Update };

struct Step {
    enum Act {
        Text,             // value: Field
        SetControls,      // value: Controls
        EnableStop,       // value: on
        ArmTimer,         // value: timer id; ms
        DisarmTimer,      // value: timer id
        Tray,             // value: running icon; tip: after the name; kind; balloon; text
        Beep,             // value: beep type
        StatusBar,        // text
        WindowIcon,       // value: running
        StartJob,         // value: Job; text: the update's address; the edge reports JobNotStarted when it cannot
        EndReport,        // an end report without an update, sent to the window as a worker sends its own
        Press,            // value: command id, sent to the window
        CloseConnection,  // the attempt out loses its connection; Winsock stops
        SaveLastSync,     // text: the address to record
        Control,          // value: the service's control code (the tray window as the service's face)
    };
    Step(Act act, int value = 0, std::wstring text = std::wstring())
        : act(act), value(value), text(std::move(text)) {}
    Act act;
    int value = 0;
    std::wstring text;
    std::wstring text6;  // StartJob (update), SaveLastSync: the IPv6 address, empty for none
    unsigned ms = 0;
    const wchar_t* tip = nullptr;
    const char* kind = nullptr;
    bool balloon = false;  // a balloon goes with the tray change, and its close report is awaited
};
using Steps = std::vector<Step>;

struct Cycle {
    bool running = false;         // between Start and Stop
    bool idle = true;             // no attempt out
    bool workerOut = false;       // a worker thread is out
    bool startWaiting = false;    // Start came while a stopped attempt's worker was out: it begins when that ends
    bool shown = true;            // the main window is visible
    std::uint64_t deadline = 0;   // steady ms at which the countdown ends, while running and idle
    int shownTicks = 0;           // the seconds left that the countdown's texts show
    unsigned armedMs = 0;         // the countdown timer's period, 0 when not armed
    bool face = false;            // the service runs the attempts; this cycle only shows them
};

// What the cycle reads besides its state.
struct Moment {
    std::uint64_t steadyMs;
    int unixSeconds;
    std::wstring localTime;  // "2026.12.06 09:05:07"
};

Steps StartCycle(Cycle& c, const SettingsData& s, const Moment& now);
Steps StopCycle(Cycle& c, const SettingsData& s, const Moment& now);
Steps ManualSync(Cycle& c, const SettingsData& s, const Moment& now);
// WM_TIMER of the countdown, autostart and guard timers.
Steps TimerFired(Cycle& c, unsigned id, const SettingsData& s, const Moment& now);
// A worker's end report with what it found. The update's is null for an
// attempt that ended without one (refused by the gate, already synced).
// With the query over IPv6 both addresses must be found, or no update goes
// out: a passing IPv6 failure never drops the AAAA record (nor is the A
// record updated meanwhile); Check Last IP skips only when both are unchanged.
Steps CheckIpEnded(Cycle& c, const SyncOutcome& found, const SettingsData& s, const Moment& now);
Steps UpdateEnded(Cycle& c, const SyncOutcome* outcome, const SettingsData& s, const Moment& now);
// The thread for a StartJob step could not be started.
Steps JobNotStarted(Cycle& c, Job job, const SettingsData& s, const Moment& now);
// The pause was saved or reloaded: the countdown starts again from it.
Steps RestartCountdown(Cycle& c, const SettingsData& s, const Moment& now);
Steps WindowShown(Cycle& c, bool shown, const Moment& now);

// A failed connection's notice: a balloon when balloons are on, and for a
// failed socket the Stop command.
Steps ConnectionNotice(int notice, bool balloons);
