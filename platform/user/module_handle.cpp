// GetModuleHandleW: the load address of a loaded module found by its file name.
#include <link.h>

#include <string>

#include "platform/ascii_case.h"
#include "platform/last_error.h"
#include "platform/user.h"

namespace {

std::string FoldedUtf8(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        // Module names here are ASCII file names; other units never match one.
        const char narrow = c < 0x80 ? static_cast<char>(c) : '\x7F';
        out += FoldAscii(narrow);
    }
    return out;
}

struct Search {
    std::string name;  // folded; empty for the program
    bool program;
    HMODULE found = nullptr;
};

int Visit(dl_phdr_info* info, std::size_t, void* data) {
    auto* search = static_cast<Search*>(data);
    std::string file = info->dlpi_name != nullptr ? info->dlpi_name : "";
    bool match;
    if (search->program) {
        match = file.empty();  // the program comes first, without a name
    } else {
        const std::size_t slash = file.rfind('/');
        const std::string base =
            FoldedAscii(slash == std::string::npos ? file : file.substr(slash + 1));
        match = !base.empty() && base == search->name;
    }
    if (!match) {
        return 0;
    }
    // The module's base is where its first loaded segment lies, as dladdr reports it.
    ElfW(Addr) lowest = ~ElfW(Addr){0};
    for (int i = 0; i < info->dlpi_phnum; ++i) {
        if (info->dlpi_phdr[i].p_type == PT_LOAD && info->dlpi_phdr[i].p_vaddr < lowest) {
            lowest = info->dlpi_phdr[i].p_vaddr;
        }
    }
    const ElfW(Addr) pageMask = ~static_cast<ElfW(Addr)>(0xFFF);
    search->found = reinterpret_cast<HMODULE>((info->dlpi_addr + lowest) & pageMask);
    return 1;
}

}  // namespace

HMODULE GetModuleHandleW(LPCWSTR moduleName) {
    Search search{moduleName != nullptr ? FoldedUtf8(moduleName) : std::string(),
                  moduleName == nullptr};
    dl_iterate_phdr(&Visit, &search);
    if (search.found == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
    }
    return search.found;
}
