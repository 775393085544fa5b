// Which running processes count as copies of the program.
#include "util/process.h"

#include <cwchar>

namespace {

const wchar_t* FileNamePart(const wchar_t* path) {
    const wchar_t* slash = std::wcsrchr(path, L'\\');
    return slash != nullptr ? slash + 1 : path;
}

}  // namespace

// The image name is a device path; only its file name is compared.
bool CountsAsCopy(const wchar_t* image, unsigned long id, const wchar_t* programPath, unsigned long serviceProcess) {
    if (serviceProcess != 0 && id == serviceProcess) return false;
    return std::wcscmp(FileNamePart(image), FileNamePart(programPath)) == 0;
}
