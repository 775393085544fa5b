// The protocol's text for one attempt: gate arithmetic, requests, page and reply.
#include "sync/protocol.h"

#include <cstring>

#include "net/report.h"
#include "net/transport.h"
#include "util/product.h"
#include "util/text.h"

int UnixSecondsFromTicks(std::uint64_t ticks) {
    const long long kEpochMicroseconds = 11644473600000000LL;
    long long microseconds = static_cast<long long>(ticks / 10) - kEpochMicroseconds;
    return static_cast<int>(static_cast<std::uint32_t>(microseconds / 1000000));
}

bool SyncGateAllows(int now, int cloopMinutes, int lastSyncSeconds) {
    // Unsigned arithmetic wraps like the 32-bit registers it models,
    // without the undefined behaviour of signed overflow.
    std::uint32_t limit = 60u * static_cast<std::uint32_t>(cloopMinutes) - 60u +
                          static_cast<std::uint32_t>(lastSyncSeconds);
    return now > static_cast<int>(limit);
}

std::string FormatCheckIpRequest(const wchar_t* field) {
    char narrow[HOST_TEXT_CAPACITY];
    WideToAnsi(narrow, field, sizeof narrow);
    if (std::strchr(narrow, '/') == nullptr) narrow[HOST_TEXT_CAPACITY - 2] = '\0';
    std::string name(narrow), path = "/index.php";
    std::size_t slash = name.find('/');
    if (slash != std::string::npos) {
        path = name.substr(slash);
        name.erase(slash);
    }
    if (!name.empty() && name.back() == '.') name.pop_back();  // as ServerNameOf
    return "GET " + path + " HTTP/1.0\r\nHost: " + name + "\r\n\r\n";
}

std::wstring JoinHostNames(const std::vector<std::wstring>& hosts) {
    std::wstring joined;
    for (std::size_t i = 0; i < hosts.size() && i < MAX_UPDATE_HOSTS; ++i) {
        if (i > 0) joined += L',';
        joined += hosts[i];
    }
    return joined;
}

std::wstring FormatUpdateRequest(const std::wstring& hostNames, const wchar_t* currentIP,
                                 const wchar_t* updateHost, const wchar_t* auth) {
    std::wstring r = L"GET /nic/update?system=dyndns&hostname=" + hostNames + L"&myip=" + currentIP +
                     L"&wildcard=NOCHG&mx=NOCHG&backmx=NOCHG&offline=NOCHG HTTP/1.0\r\nHost: " + ServerNameOf(updateHost) +
                     L"\r\nAuthorization: Basic " + auth + L"\r\nUser-Agent: " + ProductName + L"/" +
                     ProductVersion + L" " + ContactEmail + L"\r\n\r\n";
    const std::size_t kLimit = 1023;
    if (r.size() > kLimit) r.resize(kLimit);
    return r;
}

namespace {

// The body after the head, without one final line break.
std::string BareBody(const std::string& reply) {
    std::size_t head = reply.find("\r\n\r\n");
    if (head == std::string::npos) return "";
    std::string body = reply.substr(head + 4);
    if (!body.empty() && body.back() == '\n') body.pop_back();
    if (!body.empty() && body.back() == '\r') body.pop_back();
    return body;
}

}  // namespace

bool FindCheckIpAddress(const std::string& reply, std::string& address, bool bareBody) {
    static const char kMarker[] = "Current IP Address: ";
    const std::size_t kMarkerLength = sizeof kMarker - 1;
    std::size_t a = reply.rfind(kMarker);
    std::size_t b = reply.rfind("</body>");
    if (a != std::string::npos && b != std::string::npos && b > a + kMarkerLength)
        address = reply.substr(a + kMarkerLength, b - a - kMarkerLength);
    else if (bareBody)
        address = BareBody(reply);
    else
        return false;
    // Cut to fit CurrentIP, a longer text could read as another address: it is none.
    return address.size() < CURRENT_IP_CAPACITY && IsAddressText(address);
}

namespace {

// How many 16-bit groups a run of single-colon-separated hex groups holds
// (a dotted quad at its end, where allowed, counts two); -1 when it is none.
int IPv6Groups(const std::string& run, bool quadMayEnd) {
    int groups = 0;
    for (std::size_t start = 0; !run.empty(); ++groups) {
        std::size_t end = run.find(':', start);
        std::string group = run.substr(start, end == std::string::npos ? end : end - start);
        if (end == std::string::npos && quadMayEnd && IsDottedQuad(group)) return groups + 2;
        if (group.empty() || group.size() > 4 ||
            group.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
            return -1;
        if (end == std::string::npos) return groups + 1;
        start = end + 1;
    }
    return groups;
}

bool IsIPv6Text(const std::string& text) {
    std::size_t gap = text.find("::");
    if (gap == std::string::npos) return IPv6Groups(text, true) == 8;
    if (text.find("::", gap + 1) != std::string::npos) return false;
    int before = IPv6Groups(text.substr(0, gap), false), after = IPv6Groups(text.substr(gap + 2), true);
    return before >= 0 && after >= 0 && before + after <= 7;
}

}  // namespace

bool IsAddressText(const std::string& text) {
    return IsDottedQuad(text) || IsIPv6Text(text);
}

namespace {
struct ReplyRow {
    const char* code;
    Status status;
};

// Error rows first: a reply for several hosts with any error line is shown
// as that error and not recorded, even when other lines say good.
const ReplyRow kReplyRows[] = {
    {"\r\nbadauth", Status::AuthError},      {"\r\n!donator", Status::NotFree},
    {"\r\nnotfqdn", Status::BadHostname},    {"\r\nnohost", Status::WrongHost},
    {"\r\nnumhost", Status::TooManyHosts},   {"\r\nabuse", Status::Abuse},
    {"\r\nbadagent", Status::BadAgent},      {"\r\ngood 127.0.0.1", Status::Loopback},
    {"\r\ndnserr", Status::DnsError},        {"\r\n911", Status::DynDnsError},
    {"\r\ngood", Status::Good},              {"\r\nnochg", Status::NoChange},
};
}  // namespace

Status UpdateReplyStatus(const std::string& reply) {
    if (reply.empty()) return Status::SyncError;
    for (const ReplyRow& row : kReplyRows)
        if (reply.find(row.code) != std::string::npos) return row.status;
    return Status::Unknown;
}

Status UpdateOutcomeStatus(ExchangeOutcome outcome, const std::string& reply) {
    if (outcome == ExchangeOutcome::CertificateRefused) return Status::CertError;
    return UpdateReplyStatus(reply);
}

int OutcomeNotice(ExchangeOutcome outcome) {
    static const struct {
        ExchangeOutcome outcome;
        int notice;
    } kNotices[] = {
        {ExchangeOutcome::NoConnection, NOTICE_CONNECT_FAILED},
        {ExchangeOutcome::CertificateRefused, NOTICE_CERT_REFUSED},
    };
    for (const auto& n : kNotices)
        if (n.outcome == outcome) return n.notice;
    return 0;
}
