// Program entry.
#include <windows.h>

#include "settings/settings.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    LoadSettings(true);
    return 0;
}
