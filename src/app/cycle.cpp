// The sync cycle's decisions. The countdown is one deadline; the seconds
// and minutes it shows are derived from it, so the program needs no timer
// at all between attempts while its window is hidden.
#include "app/cycle.h"

#include <cwchar>

#include "app/resource_ids.h"
#include "app/service.h"
#include "net/report.h"
#include "shell/tray.h"
#include "sync/protocol.h"
#include "sync/status.h"
#include "util/text.h"

namespace {

const unsigned kSecond = 1000;
// A one-second timer that drifted this far from the countdown's seconds is
// lined up again; closer than that, it is left alone.
const unsigned kSlackMs = 100;

void Add(Steps& out, Step::Act act, int value = 0) {
    out.push_back(Step{act, value});
}

void Show(Steps& out, Field field, const std::wstring& text) {
    out.push_back(Step{Step::Text, static_cast<int>(field), text});
}

void Show(Steps& out, Field field, Status status) {
    Show(out, field, StatusWord(status));
}

void Arm(Steps& out, unsigned id, unsigned ms) {
    Step s{Step::ArmTimer, static_cast<int>(id)};
    s.ms = ms;
    out.push_back(s);
}

// The pause in seconds; a pause under a minute counts one, as the tick
// always reached its first minute.
int PauseTicks(const SettingsData& s) {
    int minutes = DecimalValue(s.CLOOP);
    return 60 * (minutes > 0 ? minutes : 1);
}

// Whole seconds to the deadline. A tick takes the nearest, as a timer
// fires a little early or late of its second; a window shown between ticks
// takes the second under way, as the last tick would have shown it.
const unsigned kNearest = kSecond / 2;
const unsigned kUnderWay = kSecond - 1;
int TicksLeft(const Cycle& c, std::uint64_t now, unsigned lead) {
    if (now >= c.deadline) return 0;
    return static_cast<int>((c.deadline - now + lead) / kSecond);
}

// The minutes figure counts the minute under way, as the tick did.
int MinutesShown(int ticks) {
    return (ticks + 59) / 60;
}

// The texts the one-second tick showed with `ticks` seconds left: the
// seconds each time, the minutes when they change.
void ShowCountdown(Steps& out, Cycle& c, int ticks) {
    if (ticks == c.shownTicks) return;
    Show(out, Field::Seconds, DecimalText(ticks % 60));
    if (MinutesShown(ticks) != MinutesShown(c.shownTicks)) Show(out, Field::Minutes, DecimalText(MinutesShown(ticks)));
    c.shownTicks = ticks;
}

void ResetCountdown(Steps& out, Cycle& c, const SettingsData& s, const Moment& now) {
    c.shownTicks = PauseTicks(s);
    c.deadline = now.steadyMs + static_cast<std::uint64_t>(c.shownTicks) * kSecond;
    Show(out, Field::Seconds, L"0");
    Show(out, Field::Minutes, s.CLOOP);
}

// The countdown's timer. Shown: every second, lined up with the deadline
// while it counts (and plain seconds while an attempt is out, which only
// switch Stop off). Hidden: one timer for the deadline, and none while an
// attempt is out, whose end report wakes the program anyway. A countdown
// reset starts the timer anew (fresh): a timer of the same period keeps
// its old phase, and the first second would come 0 to 1000 ms after.
void PlanTimer(Steps& out, Cycle& c, const Moment& now, bool fresh = false) {
    unsigned want = 0;
    if (c.running && c.shown) {
        want = kSecond;
        // The next tick comes when the figure shown is one second too high.
        std::uint64_t next = static_cast<std::uint64_t>(c.shownTicks > 0 ? c.shownTicks - 1 : 0) * kSecond;
        if (c.idle && c.deadline > now.steadyMs + next) want = static_cast<unsigned>(c.deadline - now.steadyMs - next);
    } else if (c.running && c.idle && !c.face) {
        // A face has nothing to begin: the service's next state wakes it.
        want = c.deadline > now.steadyMs ? static_cast<unsigned>(c.deadline - now.steadyMs) : 1;
    }
    if (want == 0) {
        if (c.armedMs != 0) Add(out, Step::DisarmTimer, IDT_COUNTDOWN);
        c.armedMs = 0;
        return;
    }
    if (!fresh && c.armedMs != 0 && want <= c.armedMs + kSlackMs && c.armedMs <= want + kSlackMs) return;
    Arm(out, IDT_COUNTDOWN, want);
    c.armedMs = want;
}

// The tray side of Start and Stop: icon, tip, and a balloon with a beep
// only when balloons are on.
void Announce(Steps& out, bool running, const SettingsData& s) {
    Step tray{Step::Tray, running ? 1 : 0};
    tray.tip = running ? L" \u25CF RUNNING" : L" \u25CF IDLE";
    tray.kind = "custom";
    tray.balloon = BalloonsOn(s);
    if (tray.balloon) tray.text = running ? L"Client is running." : L"Client is stopped.";
    out.push_back(tray);
    if (tray.balloon) Add(out, Step::Beep, 0);
}

// Begins an attempt unless a worker is still out: that attempt's end
// report restarts the countdown as usual. Stamps the Sync page, then the
// gate lets the check-IP worker go or refuses with STOP SPAM and ends the
// attempt at once. Either is the last step: the end report, or a worker
// that cannot start, brings the next event's steps before this list is
// done, so nothing decided here may follow them.
void BeginAttempt(Steps& out, Cycle& c, const SettingsData& s, const Moment& now) {
    if (c.workerOut) return;
    c.idle = false;
    PlanTimer(out, c, now);
    Show(out, Field::Date, now.localTime);
    Show(out, Field::Address, Status::Waiting);
    if (s.UseIPv6Flag) Show(out, Field::Address6, Status::Waiting);
    Show(out, Field::Status, Status::Waiting);
    if (SyncGateAllows(now.unixSeconds, DecimalValue(s.CLOOP), DecimalValue(s.TIMESTAMP))) {
        Add(out, Step::StartJob, static_cast<int>(Job::CheckIp));
        c.workerOut = true;
        return;
    }
    Show(out, Field::Status, Status::StopSpam);
    Add(out, Step::EndReport);
}

// The attempt is over. A Start that waited for it begins its own attempt
// now, and the countdown runs from that one's end.
void EndAttempt(Steps& out, Cycle& c, const SettingsData& s, const Moment& now) {
    if (c.startWaiting) {
        c.startWaiting = false;
        BeginAttempt(out, c, s, now);
        return;
    }
    c.idle = true;
    ResetCountdown(out, c, s, now);
    PlanTimer(out, c, now, true);
}

void Guard(Steps& out, const SettingsData& s) {
    Add(out, Step::SetControls, static_cast<int>(Controls::AllOff));
    Arm(out, IDT_GUARD, static_cast<unsigned>(DecimalValue(s.TOUT)));
}

struct NoticeText {
    int notice;
    const wchar_t* text;
};

const NoticeText kNotices[] = {
    {NOTICE_SOCKET_FAILED, L"Error!\nCould not create socket."},
    {NOTICE_CONNECT_FAILED, L"Error!\nCould not connect to IP."},
    {NOTICE_CERT_REFUSED, L"Error!\nServer certificate not trusted."},
};

}  // namespace

Steps StartCycle(Cycle& c, const SettingsData& s, const Moment& now) {
    Steps out;
    c.running = true;
    Add(out, Step::SetControls, static_cast<int>(Controls::Start));
    c.shownTicks = PauseTicks(s);
    c.deadline = now.steadyMs + static_cast<std::uint64_t>(c.shownTicks) * kSecond;
    PlanTimer(out, c, now);
    ResetCountdown(out, c, s, now);
    Announce(out, true, s);
    out.push_back(Step{Step::StatusBar, 0, L"Client running!"});
    Add(out, Step::WindowIcon, 1);
    // Stop cannot interrupt a name look-up or the certificate check, so the
    // stopped attempt's worker may still be out: Start's attempt waits for it.
    c.startWaiting = c.workerOut;
    BeginAttempt(out, c, s, now);
    return out;
}

Steps StopCycle(Cycle& c, const SettingsData& s, const Moment& now) {
    Steps out;
    c.running = false;
    c.startWaiting = false;
    Add(out, Step::DisarmTimer, IDT_COUNTDOWN);
    c.armedMs = 0;
    Guard(out, s);
    ResetCountdown(out, c, s, now);
    Announce(out, false, s);
    out.push_back(Step{Step::StatusBar, 0, L"Client ready!"});
    Add(out, Step::WindowIcon, 0);
    // The attempt under way loses its connection and still reports its end.
    Add(out, Step::CloseConnection);
    return out;
}

Steps ManualSync(Cycle& c, const SettingsData& s, const Moment& now) {
    Steps out;
    Guard(out, s);
    BeginAttempt(out, c, s, now);
    return out;
}

Steps TimerFired(Cycle& c, unsigned id, const SettingsData& s, const Moment& now) {
    Steps out;
    switch (id) {
        case IDT_COUNTDOWN: {
            if (!c.running) break;
            // The countdown stands still while an attempt is out.
            Add(out, Step::EnableStop, c.idle ? 1 : 0);
            if (!c.idle) break;
            int ticks = TicksLeft(c, now.steadyMs, kNearest);
            ShowCountdown(out, c, ticks);
            if (ticks == 0 && !c.face)
                BeginAttempt(out, c, s, now);
            else
                PlanTimer(out, c, now);
            break;
        }
        case IDT_AUTOSTART:
            Add(out, Step::DisarmTimer, IDT_AUTOSTART);
            Add(out, Step::Press, IDC_START);
            break;
        case IDT_GUARD:
            Add(out, Step::DisarmTimer, IDT_GUARD);
            Add(out, Step::SetControls, static_cast<int>(Controls::Default));
            break;
    }
    return out;
}

Steps CheckIpEnded(Cycle& c, const SyncOutcome& found, const SettingsData& s, const Moment& now) {
    Steps out;
    c.workerOut = false;
    // Each family's line says what its query found.
    if (found.address.empty())
        Show(out, Field::Address, Status::CheckError);
    else
        Show(out, Field::Address, found.address);
    if (found.withIPv6 && found.address6.empty()) Show(out, Field::Address6, Status::CheckError);
    if (found.withIPv6 && !found.address6.empty()) Show(out, Field::Address6, found.address6);
    if (found.address.empty() || (found.withIPv6 && found.address6.empty())) {
        // A refused server (either family's) has had no byte of its request.
        if (found.status == Status::CertError) Show(out, Field::Status, Status::CertError);
        EndAttempt(out, c, s, now);
        return out;
    }
    bool unchanged = found.address == s.LASTIP && (!found.withIPv6 || found.address6 == s.LASTIP6);
    if (s.CheckLastIPFlag && unchanged) {
        // LASTIP6 is written by a GOOD or NO CHANGE only; here it holds this address already.
        out.push_back(Step{Step::SaveLastSync, 0, found.address});
        Show(out, Field::Status, Status::AlreadySynced);
        Add(out, Step::EndReport);
    } else {
        Step update{Step::StartJob, static_cast<int>(Job::Update), found.address};
        update.text6 = found.address6;
        out.push_back(update);
        c.workerOut = true;
    }
    return out;
}

// The main thread records what the update's reply lets it record.
Steps UpdateEnded(Cycle& c, const SyncOutcome* outcome, const SettingsData& s, const Moment& now) {
    Steps out;
    c.workerOut = false;
    if (outcome != nullptr) {
        if (StatusRecordsSync(outcome->status)) {
            Step save{Step::SaveLastSync, 0, outcome->address};
            // LASTIP6 only while the option is on: off, the store holds what it always held.
            if (s.UseIPv6Flag) save.text6 = outcome->address6;
            out.push_back(save);
        }
        Show(out, Field::Status, outcome->status);
    }
    EndAttempt(out, c, s, now);
    return out;
}

// Neither a worker nor its end report: end the attempt here, as a failed
// check or a failed update, so the countdown does not freeze.
Steps JobNotStarted(Cycle& c, Job job, const SettingsData& s, const Moment& now) {
    Steps out;
    c.workerOut = false;
    Show(out, job == Job::CheckIp ? Field::Address : Field::Status,
         job == Job::CheckIp ? Status::CheckError : Status::SyncError);
    if (job == Job::CheckIp && s.UseIPv6Flag) Show(out, Field::Address6, Status::CheckError);
    EndAttempt(out, c, s, now);
    return out;
}

Steps RestartCountdown(Cycle& c, const SettingsData& s, const Moment& now) {
    Steps out;
    ResetCountdown(out, c, s, now);
    PlanTimer(out, c, now, true);
    return out;
}

// Shown again, the window gets the texts and the Stop button the tick
// would have given it by now.
Steps WindowShown(Cycle& c, bool shown, const Moment& now) {
    Steps out;
    if (shown == c.shown) return out;
    c.shown = shown;
    if (shown && c.running) {
        Add(out, Step::EnableStop, c.idle ? 1 : 0);
        if (c.idle) ShowCountdown(out, c, TicksLeft(c, now.steadyMs, kUnderWay));
    }
    PlanTimer(out, c, now);
    return out;
}

namespace {

void NoticeBalloon(Steps& out, int notice, bool balloons) {
    if (balloons) {
        Add(out, Step::Beep, BEEP_ERROR);
        Step tray{Step::Tray, 0};
        tray.tip = L" \u25CF ERROR";
        tray.kind = "error";
        tray.balloon = true;
        // An unknown notice gets an empty text, so no balloon shows for it.
        for (const NoticeText& n : kNotices)
            if (n.notice == notice) tray.text = n.text;
        out.push_back(tray);
    }
}

}  // namespace

Steps ConnectionNotice(int notice, bool balloons) {
    Steps out;
    NoticeBalloon(out, notice, balloons);
    // Without a socket no attempt can succeed, so the automatic cycle stops.
    if (notice == NOTICE_SOCKET_FAILED) Add(out, Step::Press, IDC_STOP);
    return out;
}

// The face shows what the service publishes as the cycle would have shown
// it: the Sync page's texts, Start's and Stop's tray, status bar, icon and
// controls, the countdown to the service's next attempt, and a balloon for
// each new connection notice.
Steps FollowService(Cycle& c, const ServiceState& now, const ServiceState* seen, const SettingsData& s,
                    const Moment& moment) {
    Steps out;
    c.face = true;
    for (const PublishedField& f : PublishedFields()) {
        auto it = now.texts.find(f.field);
        if (it == now.texts.end()) continue;
        if (seen != nullptr) {
            auto was = seen->texts.find(f.field);
            if (was != seen->texts.end() && was->second == it->second) continue;
        }
        Show(out, f.field, it->second);
    }
    if (now.running != c.running) {
        c.running = now.running;
        if (now.running)
            Add(out, Step::SetControls, static_cast<int>(Controls::Start));
        else
            Guard(out, s);
        Announce(out, now.running, s);
        out.push_back(Step{Step::StatusBar, 0, now.running ? L"Client running!" : L"Client ready!"});
        Add(out, Step::WindowIcon, now.running ? 1 : 0);
    }
    c.idle = now.idle;
    if (c.running && c.idle && now.nextSync > 0) {
        long long left = now.nextSync - moment.unixSeconds;
        c.deadline = moment.steadyMs + static_cast<std::uint64_t>(left > 0 ? left : 0) * kSecond;
        ShowCountdown(out, c, TicksLeft(c, moment.steadyMs, kUnderWay));
    }
    if (c.running && c.shown) Add(out, Step::EnableStop, c.idle ? 1 : 0);
    if (seen != nullptr && now.notices != seen->notices) NoticeBalloon(out, now.notice, BalloonsOn(s));
    PlanTimer(out, c, moment);
    return out;
}
