// The protocol's text: the gate's arithmetic, the check-IP and update
// requests, and the reading of the check-IP page and the update reply.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/run_exchange.h"
#include "sync/status.h"

// Whole seconds since 1970 from 100-ns ticks since 1601, cut to 32 bits.
int UnixSecondsFromTicks(std::uint64_t ticks);

// The gate lets an attempt go only when now is past the pause (less one
// minute) since the last recorded sync. Signed 32-bit arithmetic, wrapping.
bool SyncGateAllows(int now, int cloopMinutes, int lastSyncSeconds);

// The check-IP request for a Check IP field: "host" asks for /index.php,
// "host/path" for /path. The Host lines carry the host without a trailing
// dot (ServerNameOf); a field without a path goes out cut to one character
// less than the field holds, as it always has, one with a path whole.
std::string FormatCheckIpRequest(const wchar_t* field);

// The host-name parameter: at most the first 21 names, comma-separated.
const std::size_t MAX_UPDATE_HOSTS = 21;
std::wstring JoinHostNames(const std::vector<std::wstring>& hosts);

// The update request, cut to 1023 characters like the formatting buffer.
std::wstring FormatUpdateRequest(const std::wstring& hostNames, const wchar_t* currentIP,
                                 const wchar_t* updateHost, const wchar_t* auth);

// CurrentIP's capacity: an address of 30 characters at most.
const std::size_t CURRENT_IP_CAPACITY = 31;

// The address text between the last "Current IP Address: " and the last
// "</body>"; false when either marker is missing, or the text is longer than
// CurrentIP holds or no address (IsAddressText): the text goes into the
// update request. With bareBody (a reply over verified TLS) a body that is
// one address alone, perhaps with a final line break, is taken too: what
// HTTPS check-IP services answer.
bool FindCheckIpAddress(const std::string& reply, std::string& address, bool bareBody = false);

// A dotted quad (four decimal numbers 0-255 of one to three digits, no
// leading zero) or an IPv6 text (hex groups of one to four digits between
// colons, at most one "::", perhaps ending in a dotted quad).
bool IsAddressText(const std::string& text);

// The outcome of an update reply: the first matching row of the reply
// table; SYNC ERROR for no reply at all.
Status UpdateReplyStatus(const std::string& reply);

// The outcome of an update attempt: CERT ERROR when the server's
// certificate was refused (nothing was sent, nothing is recorded), else the
// reply's.
Status UpdateOutcomeStatus(ExchangeOutcome outcome, const std::string& reply);

// The notice a worker gives for an exchange's outcome, 0 for none.
int OutcomeNotice(ExchangeOutcome outcome);
