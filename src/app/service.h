// The cycle run by the service, and the tray window as its face: the
// control codes between them, the state the service publishes under a key
// of its own, and what goes to the event log. Nothing here touches the
// system; app/service_win.cpp acts.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/cycle.h"

// The window's commands as the service's user-defined control codes, which
// a logged-on user may send and which carry no data.
enum class ServiceCommand { None, Start, Stop, Manual, Reload };
unsigned ServiceCode(ServiceCommand command);
ServiceCommand CommandOfCode(unsigned code);

// What the service publishes: the Sync page's texts, whether its cycle
// runs, whether an attempt is out, the moment of its next attempt, and its
// last connection notice with a count, so a face sees each one once.
struct ServiceState {
    std::map<Field, std::wstring> texts;
    bool running = false;
    bool idle = true;
    long long nextSync = 0;  // Unix seconds; 0 while stopped or out
    int notice = 0;
    int notices = 0;
};

// The key the service publishes under: only it (and administrators) may
// write there, every user may read.
extern const wchar_t ServiceStateKeyPath[];
// Under the same key: "true" once Stop was sent, until Start.
extern const wchar_t ServiceStoppedValue[];

// Reads what is published; absent values read as a service that has not
// published anything yet.
ServiceState ReadServiceState();
// Writes the values that differ from before (all when first); false when
// one could not be written.
bool PublishServiceState(const ServiceState& now, const ServiceState* before);

// The published texts: the Sync page's fields, one row each.
struct PublishedField {
    Field field;
    const wchar_t* name;
};
const std::vector<PublishedField>& PublishedFields();

// The face: the Sync page, the tray and the controls follow the published
// state, and the countdown counts to the service's next attempt. seen is
// what was last shown (null at first).
Steps FollowService(Cycle& c, const ServiceState& now, const ServiceState* seen, const SettingsData& s,
                    const Moment& moment);
// A command pressed on the face: the code to send and the controls it locks.
Steps FaceCommand(ServiceCommand command, const SettingsData& s);

// The event log's messages (resources/messages.mc): a new address sent, an
// error after a success, a refused certificate, a stored value refused.
enum EventMessage {
    EVENT_NONE = 0,
    EVENT_ADDRESS_SENT = 1,
    EVENT_SYNC_FAILED = 2,
    EVENT_CERT_REFUSED = 3,
    EVENT_SETTING_REFUSED = 4,
};
enum class EventKind { Information, Warning, Error };

struct Event {
    EventMessage message;
    EventKind kind;
    std::vector<std::wstring> strings;  // the message's insertions, %1 first
};

// The outcome of an attempt that just ended (its STATUS, or the IP field's
// CHECK ERROR) against the one before: what, if anything, goes on record.
std::vector<Event> AttemptEvents(const std::wstring& before, const std::wstring& outcome, const SettingsData& s);
// The stored texts the checks replaced: stored[i] is what setting i held
// before LoadSettings, empty when absent.
std::vector<Event> RefusedSettingEvents(const std::vector<std::wstring>& stored, SettingsData& loaded);
