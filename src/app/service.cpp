// The service's control codes, its published state and its event log
// entries, as tables.
#include "app/service.h"

#include "app/resource_ids.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/protocol.h"
#include "sync/status.h"
#include "util/text.h"

const wchar_t ServiceStateKeyPath[] = L"SOFTWARE\\Orvenna\\Orvenna DynDNS Client Service";
const wchar_t ServiceStoppedValue[] = L"Stopped";

namespace {

struct CodeRow {
    ServiceCommand command;
    unsigned code;
};

// User-defined codes start at 128; Windows lets the service's access list
// decide who may send them.
const CodeRow kCodes[] = {
    {ServiceCommand::Start, 128},
    {ServiceCommand::Stop, 129},
    {ServiceCommand::Manual, 130},
    {ServiceCommand::Reload, 131},
};

const std::vector<PublishedField> kPublished = {
    {Field::Date, L"Date"},
    {Field::Address, L"Address"},
    {Field::Status, L"Status"},
    {Field::Address6, L"Address6"},
};

// The state's other values, as text.
struct FlagRow {
    const wchar_t* name;
    bool ServiceState::*flag;
};
const FlagRow kFlags[] = {{L"Running", &ServiceState::running}, {L"Idle", &ServiceState::idle}};
struct NumberRow {
    const wchar_t* name;
    long long ServiceState::*number;
};
// The notice and its count are ints; kept apart so each row has one type.
const NumberRow kNumbers[] = {{L"NextSync", &ServiceState::nextSync}};
struct CountRow {
    const wchar_t* name;
    int ServiceState::*count;
};
const CountRow kCounts[] = {{L"Notice", &ServiceState::notice}, {L"Notices", &ServiceState::notices}};

bool Write(const wchar_t* name, const std::wstring& text, const std::wstring* before) {
    if (before != nullptr && *before == text) return true;
    return RegWriteString(ServiceStateKeyPath, name, text.c_str());
}

std::wstring Read(const wchar_t* name) {
    return RegReadString(ServiceStateKeyPath, name);
}

std::wstring FlagText(bool on) {
    return on ? SWITCH_ON_WORD : SWITCH_OFF_WORD;
}

bool IsWord(const std::wstring& text, Status status) {
    return text == StatusWord(status);
}

// An outcome that is neither a success, nor the gate's refusal, nor an
// attempt still under way.
bool IsError(const std::wstring& word) {
    if (word.empty()) return false;
    for (Status s : {Status::Waiting, Status::StopSpam})
        if (IsWord(word, s)) return false;
    for (int s = 0; s < static_cast<int>(Status::Count); ++s)
        if (IsWord(word, static_cast<Status>(s)) && StatusRecordsSync(static_cast<Status>(s))) return false;
    return true;
}

// A stored text quoted in the log is cut: the log is no place for a page.
std::wstring Quoted(const std::wstring& text) {
    const std::size_t most = 80;
    return text.size() <= most ? text : text.substr(0, most) + L"...";
}

}  // namespace

unsigned ServiceCode(ServiceCommand command) {
    for (const CodeRow& r : kCodes)
        if (r.command == command) return r.code;
    return 0;
}

ServiceCommand CommandOfCode(unsigned code) {
    for (const CodeRow& r : kCodes)
        if (r.code == code) return r.command;
    return ServiceCommand::None;
}

const std::vector<PublishedField>& PublishedFields() {
    return kPublished;
}

ServiceState ReadServiceState() {
    ServiceState s;
    for (const PublishedField& f : kPublished) {
        std::wstring text = Read(f.name);
        if (!text.empty()) s.texts[f.field] = text;
    }
    for (const FlagRow& r : kFlags) {
        std::wstring text = Read(r.name);
        if (!text.empty()) s.*r.flag = text == SWITCH_ON_WORD;
    }
    for (const NumberRow& r : kNumbers) s.*r.number = std::wcstoll(Read(r.name).c_str(), nullptr, 10);
    for (const CountRow& r : kCounts) s.*r.count = DecimalValue(Read(r.name).c_str());
    return s;
}

bool PublishServiceState(const ServiceState& now, const ServiceState* before) {
    bool ok = true;
    for (const PublishedField& f : kPublished) {
        auto it = now.texts.find(f.field);
        if (it == now.texts.end()) continue;
        std::wstring old;
        bool had = false;
        if (before != nullptr) {
            auto b = before->texts.find(f.field);
            had = b != before->texts.end();
            if (had) old = b->second;
        }
        ok &= Write(f.name, it->second, had ? &old : nullptr);
    }
    for (const FlagRow& r : kFlags) {
        std::wstring old = before != nullptr ? FlagText(before->*r.flag) : L"";
        ok &= Write(r.name, FlagText(now.*r.flag), before != nullptr ? &old : nullptr);
    }
    for (const NumberRow& r : kNumbers) {
        std::wstring old = before != nullptr ? std::to_wstring(before->*r.number) : L"";
        ok &= Write(r.name, std::to_wstring(now.*r.number), before != nullptr ? &old : nullptr);
    }
    for (const CountRow& r : kCounts) {
        std::wstring old = before != nullptr ? DecimalText(before->*r.count) : L"";
        ok &= Write(r.name, DecimalText(now.*r.count), before != nullptr ? &old : nullptr);
    }
    return ok;
}

Steps FaceCommand(ServiceCommand command, const SettingsData& s) {
    Steps out;
    out.push_back(Step{Step::Control, static_cast<int>(ServiceCode(command))});
    // Stop and Manual lock the buttons for the guard time, as they always did.
    if (command == ServiceCommand::Stop || command == ServiceCommand::Manual) {
        out.push_back(Step{Step::SetControls, static_cast<int>(Controls::AllOff)});
        Step guard{Step::ArmTimer, IDT_GUARD};
        guard.ms = static_cast<unsigned>(DecimalValue(s.TOUT));
        out.push_back(guard);
    }
    return out;
}

std::vector<Event> AttemptEvents(const std::wstring& before, const std::wstring& outcome, const SettingsData& s) {
    std::vector<Event> out;
    if (IsWord(outcome, Status::Good)) {
        out.push_back({EVENT_ADDRESS_SENT, EventKind::Information,
                       {s.LASTIP, JoinHostNames(s.HostList), s.DomainDynDNS}});
    } else if (IsWord(outcome, Status::CertError)) {
        if (!IsWord(before, Status::CertError))
            out.push_back({EVENT_CERT_REFUSED, EventKind::Error, {s.DomainDynDNS}});
    } else if (IsError(outcome) && !IsError(before)) {
        out.push_back({EVENT_SYNC_FAILED, EventKind::Warning, {outcome, s.DomainDynDNS}});
    }
    return out;
}

std::vector<Event> RefusedSettingEvents(const std::vector<std::wstring>& stored, SettingsData& loaded) {
    std::vector<Event> out;
    for (int i = 0; i < SETTINGS_COUNT && i < static_cast<int>(stored.size()); ++i) {
        const wchar_t* now = SettingAt(loaded, i).text;
        if (stored[i].empty() || stored[i] == now) continue;
        out.push_back({EVENT_SETTING_REFUSED, EventKind::Warning, {SettingName(i), Quoted(stored[i]), now}});
    }
    return out;
}
