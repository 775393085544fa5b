// The client's resources as Windows reads them from the built program:
// menus with their exact texts and ids, both icons in three sizes, the
// manifest and the version block.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "app/resource_ids.h"

namespace {

HMODULE Client() {
    static HMODULE module = [] {
        wchar_t self[MAX_PATH];
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring path(self);
        path = path.substr(0, path.find_last_of(L'\\') + 1) + L"DynDNSVelloqClient.exe";
        return LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }();
    return module;
}

struct Item {
    std::wstring text;  // empty for a separator
    UINT id;            // 0 for a separator or a popup
};

std::vector<Item> Items(HMENU menu) {
    std::vector<Item> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(menu, i, TRUE, &info);
        bool plain = !(info.fType & MFT_SEPARATOR) && info.hSubMenu == nullptr;
        out.push_back({text, plain ? info.wID : 0});
    }
    return out;
}

bool operator==(const Item& a, const Item& b) {
    return a.text == b.text && a.id == b.id;
}

void PrintTo(const Item& item, std::ostream* os) {
    *os << std::string(item.text.begin(), item.text.end()) << "=" << item.id;
}

}  // namespace

TEST(Resources, MenusHoldTheirItems) {
    ASSERT_NE(Client(), nullptr);
    HMENU main = LoadMenuW(Client(), MAKEINTRESOURCEW(IDR_MAINMENU));
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(Items(main), (std::vector<Item>{{L"&File", 0}, {L"&Help", 0}}));
    EXPECT_EQ(Items(GetSubMenu(main, 0)), (std::vector<Item>{{L"&Run with OS", 300},
                                                             {L"&Check Last IP", 301},
                                                             {L"", 0},
                                                             {L"&Secure Connect", 302},
                                                             {L"", 0},
                                                             {L"&Exit", 303}}));
    EXPECT_EQ(Items(GetSubMenu(main, 1)), (std::vector<Item>{{L"&Command", 304}, {L"", 0}, {L"&About...", 305}}));
    DestroyMenu(main);

    struct TrayMenu {
        int id;
        const wchar_t* first;
    } trays[] = {{IDR_TRAY_RESTORE, L"&Restore"}, {IDR_TRAY_MINIMIZE, L"&Minimize"}};
    for (const TrayMenu& t : trays) {
        HMENU menu = LoadMenuW(Client(), MAKEINTRESOURCEW(t.id));
        ASSERT_NE(menu, nullptr) << t.id;
        EXPECT_EQ(GetMenuItemCount(menu), 1) << t.id;
        EXPECT_EQ(Items(GetSubMenu(menu, 0)), (std::vector<Item>{{t.first, 311}, {L"", 0}, {L"&Exit", 310}})) << t.id;
        DestroyMenu(menu);
    }
}

TEST(Resources, IconsComeInThreeSizes) {
    for (int id : {IDI_IDLE, IDI_RUNNING}) {
        HRSRC group = FindResourceW(Client(), MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
        ASSERT_NE(group, nullptr) << id;
        const BYTE* dir = static_cast<const BYTE*>(LockResource(LoadResource(Client(), group)));
        ASSERT_NE(dir, nullptr);
        // GRPICONDIR: reserved, type, count; then 14-byte entries.
        int count = dir[4] | (dir[5] << 8);
        std::vector<int> sizes;
        for (int i = 0; i < count; ++i) {
            const BYTE* entry = dir + 6 + 14 * i;
            sizes.push_back(entry[0] == 0 ? 256 : entry[0]);
            EXPECT_EQ(entry[6] | (entry[7] << 8), 32) << id << ": bits per pixel";
        }
        EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48})) << id;
    }
}

TEST(Resources, ManifestAsksForCommonControlsSix) {
    HRSRC found = FindResourceW(Client(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* text = static_cast<const char*>(LockResource(LoadResource(Client(), found)));
    std::string manifest(text, SizeofResource(Client(), found));
    EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(manifest.find("processorArchitecture=\"amd64\""), std::string::npos);
}

TEST(Resources, VersionBlockNamesProductAndVersion) {
    HRSRC found = FindResourceW(Client(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16));  // RT_VERSION
    ASSERT_NE(found, nullptr);
    const void* block = LockResource(LoadResource(Client(), found));
    std::vector<BYTE> copy(static_cast<const BYTE*>(block),
                           static_cast<const BYTE*>(block) + SizeofResource(Client(), found));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00020000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000002u);
    struct Row {
        const wchar_t* name;
        const wchar_t* value;
    } rows[] = {{L"ProductName", L"DynDNS Velloq Client"}, {L"ProductVersion", L"2.0.0.2"},
                {L"FileVersion", L"2.0.0.2"}};
    for (const Row& row : rows) {
        wchar_t* value = nullptr;
        std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + row.name;
        ASSERT_TRUE(VerQueryValueW(copy.data(), key.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_EQ(std::wstring(value), row.value);
    }
}
