// The outcomes an attempt shows in its IP and STATUS fields, and the words
// for them: one table for the workers and the program.
#pragma once

enum class Status {
    Waiting,        // an attempt has begun
    Good,
    NoChange,
    AlreadySynced,  // Check Last IP, address unchanged: nothing sent
    StopSpam,       // refused by the gate: nothing sent
    CheckError,
    SyncError,
    CertError,      // the update server's certificate was refused: nothing sent
    AuthError,
    NotFree,
    BadHostname,
    WrongHost,
    TooManyHosts,
    Abuse,
    BadAgent,
    Loopback,
    DnsError,
    DynDnsError,
    Unknown,
    Count
};

const wchar_t* StatusWord(Status status);
bool StatusRecordsSync(Status status);
