// Any update reply maps to a word the status field knows; only an uncontradicted success is recorded.
#include <cwchar>
#include "fuzz_input.h"
#include "sync/protocol.h"

const wchar_t* const kWords[] = {L"SYNC ERROR", L"UNKNOWN", L"AUTH ERROR", L"NOT FREE", L"BAD HOSTNAME",
                                 L"WRONG HOST", L"TOO MANY HOSTS", L"ABUSE", L"BAD AGENT", L"127.0.0.1",
                                 L"DNS ERROR", L"DYNDNS ERROR", L"GOOD", L"NO CHANGE"};
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    Status status = UpdateReplyStatus(reply);
    bool record = StatusRecordsSync(status);
    const wchar_t* word = StatusWord(status);
    int row = -1;
    for (int i = 0; i < 14 && word != nullptr; ++i)
        if (std::wcscmp(word, kWords[i]) == 0) row = i;
    CHECK(row >= 0 && record == (row >= 12) && reply.empty() == (row == 0));
    bool success = reply.find("\r\ngood") != reply.npos || reply.find("\r\nnochg") != reply.npos;
    CHECK(success ? row != 1 : row < 12);  // UNKNOWN is no success; GOOD and NO CHANGE need one
    return 0;
}
