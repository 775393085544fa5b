// The outcome table, in the order of Status.
#include "sync/status.h"

namespace {

struct StatusRow {
    Status status;
    const wchar_t* word;
    // Only a sync the service took (or had no need to) records the address
    // and time; after anything else the next attempt sends it again.
    bool records;
};

const StatusRow kStatuses[] = {
    {Status::Waiting, L"wait sync...", false},
    {Status::Good, L"GOOD", true},
    {Status::NoChange, L"NO CHANGE", true},
    {Status::AlreadySynced, L"ALREADY SYNCED", true},
    {Status::StopSpam, L"STOP SPAM", false},
    {Status::CheckError, L"CHECK ERROR", false},
    {Status::SyncError, L"SYNC ERROR", false},
    {Status::CertError, L"CERT ERROR", false},
    {Status::AuthError, L"AUTH ERROR", false},
    {Status::NotFree, L"NOT FREE", false},
    {Status::BadHostname, L"BAD HOSTNAME", false},
    {Status::WrongHost, L"WRONG HOST", false},
    {Status::TooManyHosts, L"TOO MANY HOSTS", false},
    {Status::Abuse, L"ABUSE", false},
    {Status::BadAgent, L"BAD AGENT", false},
    {Status::Loopback, L"127.0.0.1", false},
    {Status::DnsError, L"DNS ERROR", false},
    {Status::DynDnsError, L"DYNDNS ERROR", false},
    {Status::Unknown, L"UNKNOWN", false},
};
static_assert(sizeof kStatuses / sizeof kStatuses[0] == static_cast<int>(Status::Count), "a row for every status");

const StatusRow& Row(Status status) {
    return kStatuses[static_cast<int>(status) < static_cast<int>(Status::Count) ? static_cast<int>(status)
                                                                                  : static_cast<int>(Status::Unknown)];
}

}  // namespace

const wchar_t* StatusWord(Status status) {
    return Row(status).word;
}

bool StatusRecordsSync(Status status) {
    return Row(status).records;
}
