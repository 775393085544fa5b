// Scripted stand-in for ResolveHost: answers from a table, never asks a
// name server.
#pragma once

#include <map>
#include <string>
#include <vector>

struct FakeResolverState {
    std::map<std::wstring, std::wstring> answers;  // name -> dotted address
    std::vector<std::wstring> lookups;             // names asked, in order
};

FakeResolverState& FakeResolver();
