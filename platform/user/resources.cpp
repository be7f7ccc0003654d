// The per-module resource registry and the Win32 resource calls over it.
#include "platform/resources.h"

#include <sys/auxv.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "platform/bmp_reader.h"
#include "platform/last_error.h"
#include "platform/nls.h"

namespace {

struct ModuleResources {
    const CompiledResource* table;
    std::size_t count;
};

std::shared_mutex& RegistryLock() {
    static auto* lock = new std::shared_mutex();
    return *lock;
}

std::map<HMODULE, ModuleResources>& Registry() {
    static auto* registry = new std::map<HMODULE, ModuleResources>();
    return *registry;
}

constexpr DWORD ERROR_RESOURCE_DATA_NOT_FOUND = 1812;
constexpr DWORD ERROR_RESOURCE_TYPE_NOT_FOUND = 1813;
constexpr DWORD ERROR_RESOURCE_NAME_NOT_FOUND = 1814;
constexpr WORD kPrimaryLanguageMask = 0x3FF;
constexpr WORD kLangEnglish = 0x09;
constexpr WORD kLangPortuguese = 0x16;

bool SameKey(WORD id, const char16_t* name, LPCWSTR wanted) {
    if (IS_INTRESOURCE(wanted)) {
        return name == nullptr && id == static_cast<WORD>(reinterpret_cast<std::uintptr_t>(wanted));
    }
    if (name == nullptr) {
        return false;
    }
    // String names compare without regard to ASCII case, as Windows upper-cases them.
    std::size_t i = 0;
    for (; name[i] != 0 && wanted[i] != 0; ++i) {
        auto fold = [](char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 32) : c; };
        if (fold(name[i]) != fold(wanted[i]))
            return false;
    }
    return name[i] == wanted[i];
}

// A null module means the program: the module that holds the program's headers.
HMODULE ModuleOrProgram(HMODULE module) {
    if (module != nullptr) {
        return module;
    }
    static const HMODULE program =
        ModuleFromAddress(reinterpret_cast<const void*>(getauxval(AT_PHDR)));
    return program;
}

// The rank of a resource's language for this user: lower is better.
int LanguageRank(WORD language) {
    const WORD userPrimary = static_cast<WORD>(GetUserDefaultLCID()) & kPrimaryLanguageMask;
    const WORD preferred = userPrimary == kLangPortuguese ? kLangPortuguese : kLangEnglish;
    const WORD primary = language & kPrimaryLanguageMask;
    if (primary == preferred)
        return 0;
    if (primary == kLangEnglish)
        return 1;
    if (language == 0)
        return 2;  // LANG_NEUTRAL
    return 3;
}

const CompiledResource* Find(HMODULE module, LPCWSTR type, LPCWSTR name,
                             const WORD* exactLanguage) {
    std::shared_lock guard(RegistryLock());
    auto it = Registry().find(module);
    if (it == Registry().end()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const CompiledResource* best = nullptr;
    bool typeSeen = false;
    for (std::size_t i = 0; i < it->second.count; ++i) {
        const CompiledResource& r = it->second.table[i];
        if (!SameKey(r.typeId, r.typeName, type))
            continue;
        typeSeen = true;
        if (!SameKey(r.nameId, r.nameName, name))
            continue;
        if (exactLanguage != nullptr) {
            if (r.language == *exactLanguage)
                return &r;
            continue;
        }
        if (best == nullptr || LanguageRank(r.language) < LanguageRank(best->language))
            best = &r;
    }
    if (best == nullptr) {
        SetLastError(typeSeen ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_RESOURCE_TYPE_NOT_FOUND);
    }
    return best;
}

}  // namespace

namespace platform {

void RegisterModuleResources(HMODULE module, const CompiledResource* table, std::size_t count) {
    std::unique_lock guard(RegistryLock());
    Registry()[module] = ModuleResources{table, count};
}

void UnregisterModuleResources(HMODULE module) {
    std::unique_lock guard(RegistryLock());
    Registry().erase(module);
}

}  // namespace platform

namespace {

const CompiledResource* Checked(HMODULE module, HRSRC resource) {
    const auto* wanted = reinterpret_cast<const CompiledResource*>(resource);
    std::shared_lock guard(RegistryLock());
    auto it = Registry().find(ModuleOrProgram(module));
    if (it == Registry().end() || wanted < it->second.table ||
        wanted >= it->second.table + it->second.count) {
        return nullptr;
    }
    return wanted;
}

}  // namespace

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    if (name == nullptr || type == nullptr)
        return nullptr;
    const CompiledResource* found = Find(ModuleOrProgram(module), type, name, nullptr);
    return reinterpret_cast<HRSRC>(const_cast<CompiledResource*>(found));
}

HRSRC FindResourceExW(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language) {
    if (name == nullptr || type == nullptr)
        return nullptr;
    const CompiledResource* found = Find(ModuleOrProgram(module), type, name, &language);
    return reinterpret_cast<HRSRC>(const_cast<CompiledResource*>(found));
}

HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    const CompiledResource* r = Checked(module, resource);
    return r == nullptr ? nullptr : const_cast<unsigned char*>(r->data);
}

const void* LockResource(HGLOBAL data) {
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    const CompiledResource* r = Checked(module, resource);
    return r == nullptr ? 0 : r->size;
}

HBITMAP LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    HRSRC found = FindResourceW(instance, name, RT_BITMAP);
    if (found == nullptr)
        return nullptr;
    const CompiledResource* r = reinterpret_cast<const CompiledResource*>(found);
    platform::DibImage image;
    if (!platform::ReadPackedDib(r->data, r->size, &image, nullptr)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    HBITMAP bitmap = CreateCompatibleBitmap(nullptr, image.width, image.height);
    platform::PixelSurface* pixels = BitmapSurface(bitmap);
    if (pixels == nullptr)
        return nullptr;
    pixels->pixels = std::move(image.pixels);
    if (IS_INTRESOURCE(name)) {
        SetBitmapResourceId(bitmap, static_cast<UINT>(reinterpret_cast<std::uintptr_t>(name)));
    }
    return bitmap;
}

int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int bufferMax) {
    if (buffer == nullptr || bufferMax < 0)
        return 0;
    // Strings live in blocks of 16: block id / 16 + 1, each string a length and its units.
    HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING);
    const CompiledResource* r = reinterpret_cast<const CompiledResource*>(found);
    const char16_t* text = nullptr;
    std::size_t length = 0;
    if (r != nullptr) {
        std::size_t at = 0;  // in 16-bit units
        const std::size_t units = r->size / 2;
        auto unit = [&](std::size_t i) {
            return static_cast<char16_t>(r->data[2 * i] | (r->data[2 * i + 1] << 8));
        };
        for (UINT k = 0; k <= (id & 15) && at < units; ++k) {
            const std::size_t n = unit(at);
            if (at + 1 + n > units)
                break;  // a malformed block holds no further strings
            if (k == (id & 15)) {
                text = reinterpret_cast<const char16_t*>(r->data) + at + 1;
                length = n;
            }
            at += 1 + n;
        }
    }
    if (bufferMax == 0) {
        *reinterpret_cast<const char16_t**>(buffer) = text;
        return static_cast<int>(length);
    }
    const std::size_t copied = std::min(length, static_cast<std::size_t>(bufferMax - 1));
    for (std::size_t i = 0; i < copied; ++i)
        buffer[i] = text[i];
    buffer[copied] = 0;
    return static_cast<int>(copied);
}
