// The pure parts of a sync attempt: gate arithmetic, request texts, page
// and reply parsing, bounded receiving. No window, no registry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "net/socket_compat.h"

// Whole seconds since 1970 from 100-ns ticks since 1601, cut to 32 bits.
int UnixSecondsFromTicks(std::uint64_t ticks);

// The gate lets an attempt go only when now is past the pause (less one
// minute) since the last recorded sync. Signed 32-bit arithmetic, wrapping.
bool SyncGateAllows(int now, int cloopMinutes, int lastSyncSeconds);

std::string FormatCheckIpRequest(const char* host);

// The host-name parameter: at most the first 21 names, comma-separated.
const std::size_t MAX_UPDATE_HOSTS = 21;
std::wstring JoinHostNames(const std::vector<std::wstring>& hosts);

// The update request, cut to 1023 characters like the formatting buffer.
std::wstring FormatUpdateRequest(const std::wstring& hostNames, const wchar_t* currentIP,
                                 const wchar_t* updateHost, const wchar_t* auth);

// The address text between the last "Current IP Address: " and the last
// "</body>"; false when either marker is missing.
bool FindCheckIpAddress(const std::string& reply, std::string& address);

// The status word of an update reply (first matching row of the reply
// table); *record says whether the sync is to be recorded.
const wchar_t* UpdateReplyWord(const std::string& reply, bool* record);

// Appends what arrives on s to reply until the peer closes, an error or
// the receive time-out, or until reply holds RESPONSE_LIMIT bytes.
void ReceiveAll(SOCKET s, std::string& reply);

// Appends bytes to reply without letting it grow past RESPONSE_LIMIT.
// false once the limit is reached.
bool AppendBounded(std::string& reply, const char* bytes, std::size_t count);
