// The cycle's decisions as rows of (state, event) -> steps, the tray state
// machine over a shell recorded here, and the About texts.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/cycle.h"
#include "app/resource_ids.h"
#include "app/service.h"
#include "net/report.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "shell/about_text.h"
#include "shell/tray.h"
#include "support/fakes.h"
#include "util/product.h"
#include "util/text.h"

static std::vector<std::pair<unsigned, NotifyIconFields>> trayCalls;
static std::vector<unsigned> beeps;
int ShellNotifyIcon(unsigned message, const NotifyIconFields& data) {
    trayCalls.push_back({message, data});
    return 1;
}
void PlayBeep(unsigned type) { beeps.push_back(type); }

namespace {

// The steps in words: "<field>=<text>", "controls:start", "arm:260/1000", ...
std::wstring Describe(const Steps& steps) {
    static const wchar_t* const fields[] = {L"date", L"ip", L"status", L"min", L"sec", L"ip6"};
    static const wchar_t* const sets[] = {L"default", L"alloff", L"start", L"edit"};
    std::wostringstream o;
    for (const Step& s : steps) {
        if (o.tellp() > 0) o << L' ';
        switch (s.act) {
            case Step::Text: o << fields[s.value] << L'=' << s.text; break;
            case Step::SetControls: o << L"controls:" << sets[s.value]; break;
            case Step::EnableStop: o << L"stop:" << (s.value ? L"on" : L"off"); break;
            case Step::ArmTimer: o << L"arm:" << s.value << L'/' << s.ms; break;
            case Step::DisarmTimer: o << L"disarm:" << s.value; break;
            case Step::Tray:
                o << L"tray:" << (s.value ? L"running" : L"idle") << s.tip << L':' << s.kind << L':'
                  << (s.balloon ? s.text : L"-");
                break;
            case Step::Beep: o << L"beep:" << s.value; break;
            case Step::StatusBar: o << L"bar:" << s.text; break;
            case Step::WindowIcon: o << L"icon:" << (s.value ? L"running" : L"idle"); break;
            case Step::StartJob:
                o << L"job:" << (s.value == static_cast<int>(Job::CheckIp) ? L"check" : L"update");
                if (!s.text.empty()) o << L':' << s.text;
                if (!s.text6.empty()) o << L'/' << s.text6;
                break;
            case Step::EndReport: o << L"end"; break;
            case Step::Press: o << L"press:" << s.value; break;
            case Step::CloseConnection: o << L"close"; break;
            case Step::SaveLastSync: o << L"save:" << s.text << (s.text6.empty() ? L"" : L"/" + s.text6); break;
            case Step::Control: o << L"control:" << s.value; break;
        }
    }
    return o.str();
}

const std::uint64_t kT0 = 5000000;  // steady ms of every row's moment
const int kUnixNow = 1765000000;

Moment At(std::uint64_t ms) {
    return Moment{ms, kUnixNow, L"2026.12.06 09:05:07"};
}

SettingsData Settings(const wchar_t* debug = L"false", const wchar_t* timestamp = L"NULL") {
    SettingsData s = SettingsData();
    std::wcscpy(s.CLOOP, L"30");
    std::wcscpy(s.TOUT, L"3000");
    std::wcscpy(s.DEBUG, debug);
    std::wcscpy(s.TIMESTAMP, timestamp);
    std::wcscpy(s.LASTIP, L"192.0.2.7");
    return s;
}

// A started cycle that last restarted its countdown `ago` ms before kT0,
// shown or hidden, with its timer as that state arms it.
Cycle Counting(std::uint64_t ago, bool shown = true, unsigned armed = 1000) {
    Cycle c;
    c.running = true;
    c.shown = shown;
    c.deadline = kT0 - ago + 1800 * 1000;
    c.shownTicks = 1800 - static_cast<int>(ago / 1000);
    c.armedMs = armed;
    return c;
}

Cycle Hidden() {
    Cycle c;
    c.shown = false;
    return c;
}

Cycle Out(bool running = true) {  // an attempt out, its worker running
    Cycle c = Counting(0);
    c.running = running, c.idle = false, c.workerOut = true;
    return c;
}

// The tray calls and beeps: "<NIM> <balloon flags> <icon> <balloon text>;", "beep <type>;".
std::wstring Shell() {
    std::wostringstream o;
    for (const auto& [message, f] : trayCalls) {
        const wchar_t* icon = f.hIcon == IdleIcon ? L" idle " : f.hIcon == RunningIcon ? L" running " : L" other ";
        o << message << L' ' << f.dwInfoFlags << icon << f.szInfo << L';';
    }
    for (unsigned type : beeps) o << L"beep " << type << L';';
    return o.str();
}

SyncOutcome Found(const wchar_t* address, Status status = Status::CheckError) {
    SyncOutcome o;
    o.address = address, o.status = status;
    return o;
}

struct Row { const char* behaviour; Cycle before; std::function<Steps(Cycle&)> event; std::wstring steps;
             bool idleAfter = true, workerAfter = false; };

const wchar_t kBegin[] = L"date=2026.12.06 09:05:07 ip=wait sync... status=wait sync...";

TEST(Cycle, EventsDecideTheSteps) {
    const SettingsData quiet = Settings(), loud = Settings(L"true"), spam = Settings(L"false", L"1765000000");
    SettingsData checkLast = Settings();
    checkLast.CheckLastIPFlag = true;
    const std::wstring begin = kBegin;
    const std::wstring start = L"controls:start arm:260/1000 sec=0 min=30 ";
    const std::wstring reset = L"sec=0 min=30";
    const std::wstring rearmed = reset + L" arm:260/1000";  // shown: the one-second timer starts anew
    SettingsData on = Settings(), offLast = Settings();
    on.UseIPv6Flag = true;
    std::wcscpy(on.LASTIP6, L"2001:db8::7");
    SettingsData onLast = on;
    onLast.CheckLastIPFlag = true;
    offLast.CheckLastIPFlag = true;
    std::wcscpy(offLast.LASTIP6, L"2001:db8::8");  // a record of an earlier time with the option on
    auto ended = [&](const wchar_t* v4, const wchar_t* v6, const SettingsData& s) {
        return [&s, v4, v6](Cycle& c) {
            SyncOutcome found = Found(v4);
            found.withIPv6 = v6 != nullptr;  // null: the query over IPv6 was not made
            found.address6 = v6 != nullptr ? v6 : L"";
            return CheckIpEnded(c, found, s, At(kT0));
        };
    };
    auto updated = [&](Status status, const SettingsData& s) {
        return [&s, status](Cycle& c) {
            SyncOutcome o = Found(L"192.0.2.8", status);
            o.address6 = L"2001:db8::9";
            return UpdateEnded(c, &o, s, At(kT0));
        };
    };
    Row rows[] = {
        {"Start, balloons off: no balloon, no beep", Cycle(), [&](Cycle& c) { return StartCycle(c, quiet, At(kT0)); },
         start + L"tray:running \u25CF RUNNING:custom:- bar:Client running! icon:running " + begin + L" job:check",
         false, true},
        {"Start, balloons on", Cycle(), [&](Cycle& c) { return StartCycle(c, loud, At(kT0)); },
         start + L"tray:running \u25CF RUNNING:custom:Client is running. beep:0 bar:Client running! icon:running " +
          begin + L" job:check", false, true},
        {"the gate refuses: STOP SPAM, and the end at once", Cycle(),
         [&](Cycle& c) { return ManualSync(c, spam, At(kT0)); },
         L"controls:alloff arm:263/3000 " + begin + L" status=STOP SPAM end", false},
        {"hidden, refused by the gate: the end report is the last step", Hidden(),
         [&](Cycle& c) { return StartCycle(c, spam, At(kT0)); },
         L"controls:start arm:260/1800000 " + reset + L" tray:running \u25CF RUNNING:custom:- bar:Client running! "
         L"icon:running disarm:260 " + begin + L" status=STOP SPAM end", false},
        {"Manual while a worker is out starts nothing", Out(), [&](Cycle& c) { return ManualSync(c, quiet, At(kT0)); },
         L"controls:alloff arm:263/3000", false, true},
        {"Stop with an attempt out: its connection goes, its end report still comes", Out(),
         [&](Cycle& c) { return StopCycle(c, quiet, At(kT0)); },
         L"disarm:260 controls:alloff arm:263/3000 " + reset +
          L" tray:idle \u25CF IDLE:custom:- bar:Client ready! icon:idle close", false, true},
        {"Start while the stopped attempt's worker is still out: no attempt yet", Out(), [&](Cycle& c) {
             StopCycle(c, quiet, At(kT0));
             return StartCycle(c, quiet, At(kT0 + 3500));
         }, start + L"tray:running \u25CF RUNNING:custom:- bar:Client running! icon:running", false, true},
        {"then that attempt's end: Start's own attempt begins", Out(), [&](Cycle& c) {
             StopCycle(c, quiet, At(kT0));
             StartCycle(c, quiet, At(kT0 + 3500));
             return UpdateEnded(c, nullptr, quiet, At(kT0 + 9000));
         }, begin + L" job:check", false, true},
        {"then that attempt's check finds an address: its update goes first", Out(), [&](Cycle& c) {
             StopCycle(c, quiet, At(kT0));
             StartCycle(c, quiet, At(kT0 + 3500));
             return CheckIpEnded(c, Found(L"192.0.2.8"), quiet, At(kT0 + 9000));
         }, L"ip=192.0.2.8 job:update:192.0.2.8", false, true},
        {"Stop again before that attempt's end: the end only resets the count", Out(), [&](Cycle& c) {
             StopCycle(c, quiet, At(kT0));
             StartCycle(c, quiet, At(kT0 + 3500));
             StopCycle(c, quiet, At(kT0 + 5000));
             return UpdateEnded(c, nullptr, quiet, At(kT0 + 9000));
         }, reset},
        {"a tick while the attempt is out only turns Stop off", Out(),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 1000)); }, L"stop:off", false, true},
        {"a tick after Stop does nothing", Out(false),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0)); }, L"", false, true},
        {"first second", Counting(0), [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 1003)); },
         L"stop:on sec=59"},
        {"a minute gone", Counting(59000),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 990)); }, L"stop:on sec=0 min=29"},
        {"a late tick is lined up again", Counting(0),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 2350)); },
         L"stop:on sec=58 arm:260/650"},
        {"the countdown's end begins the attempt", Counting(1799000),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 1000)); },
         L"stop:on sec=0 min=0 " + begin + L" job:check", false, true},
        {"hidden: one timer, for the attempt", Counting(200), [&](Cycle& c) { return WindowShown(c, false, At(kT0)); },
         L"arm:260/1799800"},
        {"hidden, the attempt's moment", Counting(0, false, 1800000),
         [&](Cycle& c) { return TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0 + 1800000)); },
         L"stop:on sec=0 min=0 disarm:260 " + begin + L" job:check", false, true},
        {"shown again: the texts and Stop of this moment, a second lined up", Counting(0, false, 1800000),
         [&](Cycle& c) { return WindowShown(c, true, At(kT0 + 61700)); }, L"stop:on sec=59 min=29 arm:260/300"},
        {"hidden with the attempt out: no timer at all", Out(),
         [&](Cycle& c) { return WindowShown(c, false, At(kT0)); }, L"disarm:260", false, true},
        {"no address found ends the attempt", Out(),
         [&](Cycle& c) { return CheckIpEnded(c, Found(L""), quiet, At(kT0)); }, L"ip=CHECK ERROR " + rearmed},
        {"check-IP server's certificate refused: CERT ERROR, nothing sent", Out(),
         [&](Cycle& c) { return CheckIpEnded(c, Found(L"", Status::CertError), quiet, At(kT0)); },
         L"ip=CHECK ERROR status=CERT ERROR " + rearmed},
        {"same address, Check Last IP: recorded here, nothing sent", Out(),
         [&](Cycle& c) { return CheckIpEnded(c, Found(L"192.0.2.7"), checkLast, At(kT0)); },
         L"ip=192.0.2.7 save:192.0.2.7 status=ALREADY SYNCED end", false},
        {"same address without Check Last IP: the update takes it", Out(),
         [&](Cycle& c) { return CheckIpEnded(c, Found(L"192.0.2.7"), quiet, At(kT0)); },
         L"ip=192.0.2.7 job:update:192.0.2.7", false, true},
        {"new address with Check Last IP", Out(),
         [&](Cycle& c) { return CheckIpEnded(c, Found(L"192.0.2.8"), checkLast, At(kT0)); },
         L"ip=192.0.2.8 job:update:192.0.2.8", false, true},
        {"no check-IP thread", Out(), [&](Cycle& c) { return JobNotStarted(c, Job::CheckIp, quiet, At(kT0)); },
         L"ip=CHECK ERROR " + rearmed},
        {"no update thread", Out(), [&](Cycle& c) { return JobNotStarted(c, Job::Update, quiet, At(kT0)); },
         L"status=SYNC ERROR " + rearmed},
        {"the update's end, GOOD: the address it sent is recorded here", Out(), [&](Cycle& c) {
             SyncOutcome o = Found(L"192.0.2.8", Status::Good);
             return UpdateEnded(c, &o, quiet, At(kT0));
         }, L"save:192.0.2.8 status=GOOD " + rearmed},
        {"the update's end, NO CHANGE: recorded", Out(), [&](Cycle& c) {
             SyncOutcome o = Found(L"192.0.2.8", Status::NoChange);
             return UpdateEnded(c, &o, quiet, At(kT0));
         }, L"save:192.0.2.8 status=NO CHANGE " + rearmed},
        {"the update's end, an error: nothing recorded", Out(), [&](Cycle& c) {
             SyncOutcome o = Found(L"192.0.2.8", Status::CertError);
             return UpdateEnded(c, &o, quiet, At(kT0));
         }, L"status=CERT ERROR " + rearmed},
        {"an end without an update (gate, already synced)", Out(),
         [&](Cycle& c) { return UpdateEnded(c, nullptr, quiet, At(kT0)); }, rearmed},
        {"a saved pause while counting", Counting(5300),
         [&](Cycle& c) { return RestartCountdown(c, quiet, At(kT0)); }, rearmed},
        {"the guard's end", Cycle(), [&](Cycle& c) { return TimerFired(c, IDT_GUARD, quiet, At(kT0)); },
         L"disarm:263 controls:default"},
        {"autostart presses Start", Cycle(), [&](Cycle& c) { return TimerFired(c, IDT_AUTOSTART, quiet, At(kT0)); },
         L"disarm:261 press:240"},
        // With "Update IPv6" on, an update goes out only with both addresses, and Check Last IP skips it only
        // when both are unchanged.
        {"the attempt stamps the IPv6 line too", Cycle(), [&](Cycle& c) { return ManualSync(c, on, At(kT0)); },
         L"controls:alloff arm:263/3000 date=2026.12.06 09:05:07 ip=wait sync... ip6=wait sync... "
         L"status=wait sync... job:check", false, true},
        {"no IPv6 address: nothing sent", Out(), ended(L"192.0.2.8", L"", on), L"ip=192.0.2.8 ip6=CHECK ERROR " + rearmed},
        {"no IPv4 address: nothing sent", Out(), ended(L"", L"2001:db8::9", on),
         L"ip=CHECK ERROR ip6=2001:db8::9 " + rearmed},
        {"both found: both sent", Out(), ended(L"192.0.2.7", L"2001:db8::7", on),
         L"ip=192.0.2.7 ip6=2001:db8::7 job:update:192.0.2.7/2001:db8::7", false, true},
        {"Check Last IP, both unchanged: LASTIP6 not rewritten", Out(), ended(L"192.0.2.7", L"2001:db8::7", onLast),
         L"ip=192.0.2.7 ip6=2001:db8::7 save:192.0.2.7 status=ALREADY SYNCED end", false},
        {"Check Last IP, only IPv6 changed", Out(), ended(L"192.0.2.7", L"2001:db8::9", onLast),
         L"ip=192.0.2.7 ip6=2001:db8::9 job:update:192.0.2.7/2001:db8::9", false, true},
        {"Check Last IP, only IPv4 changed", Out(), ended(L"192.0.2.8", L"2001:db8::7", onLast),
         L"ip=192.0.2.8 ip6=2001:db8::7 job:update:192.0.2.8/2001:db8::7", false, true},
        {"Check Last IP, IPv6 unchanged but IPv4 gone", Out(), ended(L"", L"2001:db8::7", onLast),
         L"ip=CHECK ERROR ip6=2001:db8::7 " + rearmed},
        {"off: LASTIP6 left from earlier plays no part", Out(), ended(L"192.0.2.7", nullptr, offLast),
         L"ip=192.0.2.7 save:192.0.2.7 status=ALREADY SYNCED end", false},
        {"GOOD records both", Out(), updated(Status::Good, on), L"save:192.0.2.8/2001:db8::9 status=GOOD " + rearmed},
        {"NO CHANGE records both", Out(), updated(Status::NoChange, on),
         L"save:192.0.2.8/2001:db8::9 status=NO CHANGE " + rearmed},
        {"an error records nothing", Out(), updated(Status::AuthError, on), L"status=AUTH ERROR " + rearmed},
        {"turned off meanwhile: LASTIP6 is not written", Out(), updated(Status::Good, offLast),
         L"save:192.0.2.8 status=GOOD " + rearmed},
        {"the IPv6 query's server refused: CERT ERROR, nothing sent", Out(), [&](Cycle& c) {
             SyncOutcome found = Found(L"192.0.2.8", Status::CertError);
             found.withIPv6 = true;
             return CheckIpEnded(c, found, on, At(kT0));
         }, L"ip=192.0.2.8 ip6=CHECK ERROR status=CERT ERROR " + rearmed},
        {"no check-IP thread: both lines say so", Out(),
         [&](Cycle& c) { return JobNotStarted(c, Job::CheckIp, on, At(kT0)); },
         L"ip=CHECK ERROR ip6=CHECK ERROR " + rearmed},
    };
    for (Row& r : rows) {
        Cycle c = r.before;
        EXPECT_EQ(Describe(r.event(c)), r.steps) << r.behaviour;
        EXPECT_EQ(c.idle, r.idleAfter) << r.behaviour;
        EXPECT_EQ(c.workerOut, r.workerAfter) << r.behaviour;
    }
}

// Ticks a little early or late show what the one-second tick always showed,
// and the attempt comes with the last of them.
TEST(Cycle, TicksShowWhatTheOldTickShowed) {
    SettingsData s = Settings();
    std::wcscpy(s.CLOOP, L"2");
    Cycle c = Counting(0);
    RestartCountdown(c, s, At(kT0));
    std::wstring shown, old;
    int seconds = 60, minutes = 2;
    for (int k = 1; k <= 120; ++k) {
        for (const Step& step : TimerFired(c, IDT_COUNTDOWN, s, At(kT0 + 1000 * k + (k % 7) * 60 - 200))) {
            if (step.act == Step::Text && step.value >= static_cast<int>(Field::Minutes)) shown += step.text + L' ';
            if (step.act == Step::StartJob) shown += L"attempt ";
        }
        old += DecimalText(--seconds) + L' ';
        if (seconds > 0) continue;
        seconds = 60;
        old += DecimalText(--minutes) + L' ';
        if (minutes == 0) old += L"attempt ";
    }
    EXPECT_EQ(shown, old);
}

// The first second after a countdown reset is a whole one, whatever phase the one-second timer had: a model of the
// window's timer (arming starts the period anew, else it keeps firing on its old phase) follows it from a misaligned
// phase through each event that resets the countdown.
TEST(Cycle, FirstSecondAfterAResetIsWhole) {
    const SettingsData s = Settings();
    const std::function<Steps(Cycle&, const Moment&)> resets[] = {
        [&](Cycle& c, const Moment& m) { return UpdateEnded(c, nullptr, s, m); },
        [&](Cycle& c, const Moment& m) { return CheckIpEnded(c, Found(L""), s, m); },
        [&](Cycle& c, const Moment& m) {
            c.idle = true, c.workerOut = false;  // counting, when a saved pause restarts the count
            return RestartCountdown(c, s, m);
        },
    };
    for (unsigned phase : {0u, 1u, 250u, 437u, 999u}) {
        for (std::size_t event = 0; event < std::size(resets); ++event) {
            Cycle c = Out();
            std::uint64_t fired = kT0 - phase, period = c.armedMs;  // the timer last fired `phase` ms ago
            for (const Step& step : resets[event](c, At(kT0)))
                if (step.act == Step::ArmTimer && step.value == static_cast<int>(IDT_COUNTDOWN))
                    fired = kT0, period = step.ms;
            std::uint64_t next = fired + period;
            EXPECT_EQ(next - kT0, 1000u) << "event " << event << ", phase " << phase;
            EXPECT_EQ(Describe(TimerFired(c, IDT_COUNTDOWN, s, At(next))), L"stop:on sec=59")
                << "event " << event << ", phase " << phase;
        }
    }
}

TEST(Cycle, ConnectionNotices) {
    struct Row { const char* behaviour; int notice; bool balloons; const wchar_t* steps; } rows[] = {
        {"connect failure", NOTICE_CONNECT_FAILED, true, L"beep:16 tray:idle \u25CF ERROR:error:Error!\nCould not connect to IP."},
        {"socket failure", NOTICE_SOCKET_FAILED, true,
         L"beep:16 tray:idle \u25CF ERROR:error:Error!\nCould not create socket. press:241"},
        {"socket failure, balloons off", NOTICE_SOCKET_FAILED, false, L"press:241"},
        {"certificate refused", NOTICE_CERT_REFUSED, true,
         L"beep:16 tray:idle \u25CF ERROR:error:Error!\nServer certificate not trusted."},
        {"unknown notice: an empty balloon", 999, true, L"beep:16 tray:idle \u25CF ERROR:error:"},
    };
    for (const Row& r : rows) EXPECT_EQ(Describe(ConnectionNotice(r.notice, r.balloons)), r.steps) << r.behaviour;
}

ServiceState Published(bool running, bool idle, long long nextSync, const wchar_t* status = L"GOOD",
                       int notices = 0) {
    ServiceState s;
    s.texts = {{Field::Date, L"2026.12.06 09:00:00"}, {Field::Address, L"192.0.2.7"}, {Field::Status, status}};
    s.running = running, s.idle = idle, s.nextSync = nextSync, s.notice = NOTICE_CONNECT_FAILED;
    s.notices = notices;
    return s;
}

// The face shows the service's state as the cycle would have shown it, and
// never begins an attempt of its own.
TEST(Service, TheFaceFollowsThePublishedState) {
    const SettingsData quiet = Settings(), loud = Settings(L"true");
    const ServiceState counting = Published(true, true, kUnixNow + 1795), out = Published(true, false, 0, L"wait sync...");
    const std::wstring texts = L"date=2026.12.06 09:00:00 ip=192.0.2.7 status=GOOD ";
    Cycle face;
    face.face = true;
    Cycle hiddenFace = face;
    hiddenFace.shown = false;
    Cycle runningFace = Counting(0);
    runningFace.face = true;
    struct Row {
        const char* behaviour;
        Cycle before;
        ServiceState now;
        const ServiceState* seen;
        const SettingsData* s;
        std::wstring steps;
    } rows[] = {
        {"first look at a running service: its texts, Start's tray, the countdown", face, counting, nullptr, &quiet,
         texts + L"controls:start tray:running ● RUNNING:custom:- bar:Client running! icon:running sec=55 min=30 "
                 L"stop:on arm:260/1000"},
        {"balloons on: Start's balloon and beep", face, counting, nullptr, &loud,
         texts + L"controls:start tray:running ● RUNNING:custom:Client is running. beep:0 bar:Client running! "
                 L"icon:running sec=55 min=30 stop:on arm:260/1000"},
        {"hidden: no timer at all, the next state wakes it", hiddenFace, counting, nullptr, &quiet,
         texts + L"controls:start tray:running ● RUNNING:custom:- bar:Client running! icon:running sec=55 min=30"},
        {"a stopped service: only its texts", face, Published(false, true, 0), nullptr, &quiet,
         texts.substr(0, texts.size() - 1)},
        {"an attempt out: Stop off, the countdown stands", runningFace, out, &counting, &quiet,
         L"status=wait sync... stop:off"},
        {"only what changed is written", runningFace, counting, &counting, &quiet, L"sec=55 stop:on"},
        {"the service stopped: Stop's tray, the guard", runningFace, Published(false, true, 0), &counting, &quiet,
         L"controls:alloff arm:263/3000 tray:idle ● IDLE:custom:- bar:Client ready! icon:idle disarm:260"},
        {"a new connection notice: its balloon", runningFace, Published(true, true, kUnixNow + 1795, L"GOOD", 1),
         &counting, &loud,
         L"sec=55 stop:on beep:16 tray:idle ● ERROR:error:Error!\nCould not connect to IP."},
    };
    for (Row& r : rows) {
        Cycle c = r.before;
        EXPECT_EQ(Describe(FollowService(c, r.now, r.seen, *r.s, At(kT0))), r.steps) << r.behaviour;
    }
    // The countdown's end on the face shows 0 and begins nothing.
    Cycle c = runningFace;
    c.deadline = kT0;
    c.shownTicks = 1;
    EXPECT_EQ(Describe(TimerFired(c, IDT_COUNTDOWN, quiet, At(kT0))), L"stop:on sec=0 min=0") << "the face's last tick";
}

TEST(Service, CommandsAreUserControlCodes) {
    const SettingsData s = Settings();
    struct Row { const char* behaviour; ServiceCommand command; unsigned code; const wchar_t* face; } rows[] = {
        {"Start", ServiceCommand::Start, 128, L"control:128"},
        {"Stop locks the buttons for the guard time", ServiceCommand::Stop, 129, L"control:129 controls:alloff arm:263/3000"},
        {"Manual, the same", ServiceCommand::Manual, 130, L"control:130 controls:alloff arm:263/3000"},
        {"Save, Reload and the options", ServiceCommand::Reload, 131, L"control:131"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ServiceCode(r.command), r.code) << r.behaviour;
        EXPECT_EQ(CommandOfCode(r.code), r.command) << r.behaviour;
        EXPECT_EQ(Describe(FaceCommand(r.command, s)), r.face) << r.behaviour;
    }
    for (unsigned code : {0u, 1u, 127u, 132u, 255u, 256u})
        EXPECT_EQ(CommandOfCode(code), ServiceCommand::None) << "code " << code << " names no command";
}

TEST(Service, PublishedStateRoundTripsAndWritesOnlyChanges) {
    MemoryRegistry() = {};
    EXPECT_EQ(ReadServiceState().running, false) << "nothing published yet";
    ServiceState first = Published(true, true, 1765001800, L"GOOD", 3);
    first.texts[Field::Address6] = L"2001:db8::7";
    ASSERT_TRUE(PublishServiceState(first, nullptr));
    EXPECT_EQ(MemoryRegistry().writes, 9) << "all at first: four texts, Running, Idle, NextSync, Notice, Notices";
    ServiceState b = ReadServiceState();
    EXPECT_TRUE(b.texts == first.texts && b.running && b.idle && b.nextSync == 1765001800 && b.notices == 3 &&
                b.notice == NOTICE_CONNECT_FAILED) << "read back as published";
    EXPECT_EQ(*StoredValue(ServiceStateKeyPath, L"Status"), L"GOOD");
    ServiceState next = first;
    next.texts[Field::Status] = L"AUTH ERROR";
    next.idle = false;
    MemoryRegistry().writes = 0;
    ASSERT_TRUE(PublishServiceState(next, &first));
    EXPECT_EQ(MemoryRegistry().writes, 2) << "the status word and Idle changed";
    EXPECT_EQ(ReadServiceState().texts[Field::Status], L"AUTH ERROR");
    MemoryRegistry().failWrites = true;
    EXPECT_FALSE(PublishServiceState(first, &next)) << "a refused write is told";
}

TEST(Service, WhatGoesOnRecord) {
    SettingsData s = Settings();
    std::wcscpy(s.DomainDynDNS, L"members.example.net");
    s.HostList = {L"home.example", L"cam.example"};
    struct Row { const char* behaviour; const wchar_t *before, *outcome, *events; } rows[] = {
        {"a new address sent", L"NO CHANGE", L"GOOD", L"1/info 192.0.2.7|home.example,cam.example|members.example.net"},
        {"GOOD again is a new address again", L"GOOD", L"GOOD", L"1/info 192.0.2.7|home.example,cam.example|members.example.net"},
        {"an error word after a success", L"GOOD", L"AUTH ERROR", L"2/warning AUTH ERROR|members.example.net"},
        {"an error word at the first attempt", L"", L"BAD HOSTNAME", L"2/warning BAD HOSTNAME|members.example.net"},
        {"CHECK ERROR after ALREADY SYNCED", L"ALREADY SYNCED", L"CHECK ERROR", L"2/warning CHECK ERROR|members.example.net"},
        {"the same error again changes nothing", L"AUTH ERROR", L"AUTH ERROR", L""},
        {"another error after an error changes nothing", L"AUTH ERROR", L"SYNC ERROR", L""},
        {"a refused certificate", L"GOOD", L"CERT ERROR", L"3/error members.example.net"},
        {"a refused certificate after an error", L"SYNC ERROR", L"CERT ERROR", L"3/error members.example.net"},
        {"the same refusal again", L"CERT ERROR", L"CERT ERROR", L""},
        {"nothing changed", L"GOOD", L"NO CHANGE", L""},
        {"the gate refused", L"GOOD", L"STOP SPAM", L""},
        {"recovered: the next GOOD", L"AUTH ERROR", L"GOOD", L"1/info 192.0.2.7|home.example,cam.example|members.example.net"},
    };
    auto describe = [](const std::vector<Event>& events) {
        std::wstring o;
        for (const Event& e : events) {
            o += DecimalText(e.message) + (e.kind == EventKind::Information ? L"/info " : e.kind == EventKind::Warning ? L"/warning " : L"/error ");
            for (std::size_t i = 0; i < e.strings.size(); ++i) o += (i ? L"|" : L"") + e.strings[i];
        }
        return o;
    };
    for (const Row& r : rows) EXPECT_EQ(describe(AttemptEvents(r.before, r.outcome, s)), r.events) << r.behaviour;

    std::vector<std::wstring> stored(SETTINGS_COUNT);
    stored[SETTING_CLOOP] = L"5";
    stored[SETTING_DEBUG] = L"false";
    stored[SETTING_AUTH] = std::wstring(100, L'x');
    SettingsData loaded = Settings();
    std::wcscpy(loaded.AUTH, L"NULL");
    EXPECT_EQ(describe(RefusedSettingEvents(stored, loaded)),
              L"4/warning CLOOP|5|304/warning AUTH|" + std::wstring(80, L'x') + L"...|NULL")
        << "each replaced value once, a long one cut; an absent or kept one not at all";
}

// The state machine, and the callback events before the command (a balloon's close report ends state 2).
TEST(Tray, CommandWordsByState) {
    MainWindow = FakeWindow(1);
    IdleIcon = reinterpret_cast<IconHandle>(2), RunningIcon = reinterpret_cast<IconHandle>(3);
    struct Row { const char* behaviour; const char* command; int before; const wchar_t* calls; int after;
                 long event = 0; TrayAction action = TrayAction::None; const char* kind = "info"; } rows[] = {
        {"init adds and sets the version", "init", 0, L"0 0 running text;4 0 running text;", 1},
        {"init with an icon shown", "init", 1, L"", 1},            {"modify before init", "modify", 0, L"", 0},
        {"modify, info balloon", "modify", 1, L"1 1 running text;", 2},
        {"modify, a balloon pending, warning", "modify", 2, L"1 2 running text;", 2, 0, TrayAction::None, "warning"},
        {"seticon with an icon", "seticon", 1, L"1 0 running text;", 1},
        {"seticon with a balloon pending", "seticon", 2, L"", 2},
        {"seticon after the balloon hid", "seticon", 2, L"1 0 running text;", 1, 1027},
        {"seticon after the balloon was clicked", "seticon", 2, L"1 0 running text;", 1, 1029},
        {"double click toggles the window", "seticon", 2, L"", 2, 515, TrayAction::ToggleWindow},
        {"right button shows the menu", "seticon", 1, L"1 0 running text;", 1, 517, TrayAction::ShowMenu},
        {"remove with a balloon pending", "remove", 2, L"2 0 running text;", 0},
        {"remove without an icon", "remove", 0, L"", 0},           {"capitalised word", "Init", 0, L"", 0},
    };
    for (const Row& r : rows) {
        trayCalls.clear();
        TrayRequest = {MainWindow, RunningIcon, r.command, L"tip", r.kind, L"title", L"text"};
        TrayState = r.before;
        EXPECT_EQ(TrayCallbackEvent(r.event), r.action) << r.behaviour;
        EXPECT_EQ(TrayNotify(), r.calls[0] ? 1 : 0) << r.behaviour;
        EXPECT_EQ(Shell(), r.calls) << r.behaviour;
        EXPECT_EQ(TrayState, r.after) << r.behaviour;
        for (const auto& [message, f] : trayCalls) {
            std::wostringstream fixed;  // NOTIFYICONDATAW up to guidItem, NIF_MESSAGE|ICON|TIP|INFO, WM_APP + 100
            fixed << f.cbSize << L' ' << f.uID << L' ' << f.uFlags << L' ' << f.uCallbackMessage << L' ' << f.uVersion
                  << (f.hWnd == MainWindow ? L" main " : L" other ") << f.szTip << L'|' << f.szInfoTitle;
            std::wstring size = sizeof(void*) == 8 ? L"968" : L"952";
            EXPECT_EQ(fixed.str(), size + L" 100 23 32868 3 main tip|title") << r.behaviour;
        }
    }
}

}  // namespace

// The About window's texts: their layout, and cuts that never overrun.
TEST(AboutTexts, LayoutAndCuts) {
    std::wstring product = std::wstring(ProductName) + L" v" + ProductVersion + L"\n" + AuthorLine + L"\n\n";
    struct Row { const char* behaviour; std::wstring text, expected; } rows[] = {
        {"information in order", AboutInformation(L"SSL", L"HOST", L"user", L"Windows 10.0 build 19045", L"12"),
         product + L"SSL\n\nRun on:\tHOST (user)\nOS:\t\tWindows 10.0 build 19045\nMem Used:\t12 byte\n\n"},
        {"information cut", AboutInformation(L"", L"", std::wstring(600, L'u').c_str(), L"", L"").substr(500),
         std::wstring(12, L'u')},
        {"OpenSSL block", OpenSslBlock("OpenSSL A", "OpenSSL B"),
         L"Open SSL info:\nBuild with:\tOpenSSL A\nCurrent use:\tOpenSSL B"},
        {"OpenSSL block cut", std::to_wstring(OpenSslBlock("A", std::string(400, 'v').c_str()).size()), L"256"},
        {"OS line", OsVersionText(6, 1, 7601), L"Windows 6.1 build 7601"},
        {"donation", DonationLine(), std::wstring(L"Donate (WebMoney): ") + DonationAccount},
        {"mail link", AboutLinkAt(0).markup, std::wstring(L"<a href=\"mailto:") + ContactEmail + L"\">FEEDBACK</a>"},
        {"mail tip", AboutLinkAt(0).tooltip, std::wstring(L"Feedback:\n") + ContactEmail},
        {"account link tip", AboutLinkAt(2).tooltip, std::wstring(L"DynDNS Account:\n") + AccountPageUrl},
    };
    for (const Row& r : rows) EXPECT_EQ(r.text, r.expected) << r.behaviour;
}
