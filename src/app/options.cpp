#include "app/options.h"

#include "app/resource_ids.h"
#include "settings/registry.h"

namespace {

const std::vector<MenuOption> kOptions = {
    {IDM_RUN_WITH_OS, nullptr, nullptr},
    {IDM_CHECK_LAST_IP, L"CheckLastIP", &SettingsData::CheckLastIPFlag},
    {IDM_SECURE_CONNECT, L"CheckUseSSL", &SettingsData::UseSSLFlag},
    {IDM_SECURE_CHECK_IP, L"SecureCheckIP", &SettingsData::SecureCheckIPFlag},
    {IDM_UPDATE_IPV6, L"UseIPv6", &SettingsData::UseIPv6Flag},
};

}  // namespace

const std::vector<MenuOption>& MenuOptions() {
    return kOptions;
}

void ReadStoredOptions(SettingsData& s) {
    for (const MenuOption& o : kOptions)
        if (o.value != nullptr) s.*o.flag = RegReadString(RegistryKeyPath, o.value) == L"true";
}
