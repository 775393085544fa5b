// What only real Windows calls can show, under Wine: the registry's storage
// form, and an OpenSSL that reads no configuration file, however one was planted.
#include <windows.h>

#include <gtest/gtest.h>
#include <openssl/crypto.h>

#include <cstdio>
#include <string>

#include "net/tls.h"
#include "settings/registry.h"

TEST(WinRegistry, TextIsStoredWithoutTerminatorAndReadBackCut) {
    const wchar_t* key = L"SOFTWARE\\Velloq Test";
    std::wstring longText(300, L'x');
    struct Row { std::wstring text, back; } rows[] = {{L"abc", L"abc"}, {L"", L""}, {longText, longText.substr(0, 256)}};
    for (const Row& r : rows) {
        ASSERT_TRUE(RegWriteString(key, L"Value", r.text.c_str()));
        HKEY k;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &k), ERROR_SUCCESS);
        DWORD type = 0, bytes = 0;
        RegQueryValueExW(k, L"Value", nullptr, &type, nullptr, &bytes);
        RegCloseKey(k);
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(bytes, r.text.size() * sizeof(wchar_t)) << "no terminator stored";
        EXPECT_EQ(RegReadString(key, L"Value"), r.back);
    }
    EXPECT_TRUE(RegRemoveString(key, L"Value"));
    EXPECT_EQ(RegReadString(key, L"Value"), L"");
}

// A configuration file in the folder the library was built with would cap every handshake at TLS 1.2 (it could as
// well load a module). It is planted before anything starts OpenSSL; the exchange tests' TLS rows then check that the
// stand-in still saw TLS 1.3.
class PlantedConfiguration : public ::testing::Environment {
public:
    static std::string File() {
        std::string dir = OpenSSL_version(OPENSSL_DIR);  // OPENSSLDIR: "C:/..."
        dir = dir.substr(dir.find('"') + 1);
        return dir.erase(dir.find('"')) + "/openssl.cnf";
    }
    void SetUp() override {
        std::string file = File();
        for (std::size_t at = 3; (at = file.find('/', at + 1)) != std::string::npos;)
            CreateDirectoryA(file.substr(0, at).c_str(), nullptr);
        if (FILE* f = std::fopen(file.c_str(), "w")) {
            std::fputs("openssl_conf = init\n[init]\nssl_conf = ssl\n[ssl]\nsystem_default = sys\n"
                       "[sys]\nMaxProtocol = TLSv1.2\n", f);
            std::fclose(f);
        }
        TlsStartup();
    }
};
const auto* const planted = ::testing::AddGlobalTestEnvironment(new PlantedConfiguration);

TEST(WinTls, ConfigurationFolderIsOnAFixedDriveAndHoldsThePlantedFile) {
    std::string file = PlantedConfiguration::File();
    EXPECT_EQ(file.substr(1, 2), ":/") << file;
    EXPECT_NE(GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES) << file;
}
