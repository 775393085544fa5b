// Registry locations shared by the real and the in-memory store.
#include "settings/registry.h"

const wchar_t RegistryKeyPath[] = L"SOFTWARE\\Orvenna\\Orvenna DynDNS Client";
const wchar_t RunKeyPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t RunValueName[] = L"DynDNS Client";
