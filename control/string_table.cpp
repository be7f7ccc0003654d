// The two string tables (the source of control/res/tolvan.rc, which a test keeps equal) and
// the strings the module serves from its compiled resources.
#include "control/string_table.h"

#include <cstdint>
#include <mutex>
#include <set>
#include <string>

#include "control/tolvan_ids.h"
#include "platform/afx/afx_resources.h"
#include "platform/text_conversion.h"

namespace tolvan {

namespace {

constexpr StringResource kEnglish[] = {
    {IDS_TOLVAN, "Tolvan Control"},
    {IDS_TOLVAN_PPG, "Tolvan Property Page"},
    {IDS_VOLUME, "Volume"},
    {IDS_VALUE, "Value"},
    {IDS_STOP, "Stop"},
    {IDS_AUTHORIZE, "Authorize"},
    {IDS_STACKS, "Stacks"},
    {IDS_CANCEL, "Cancel"},
    {IDS_TOLVAN_PPG_CAPTION, "General"},
};

constexpr StringResource kPortuguese[] = {
    {IDS_TOLVAN, "Tolvan Control"},
    {IDS_TOLVAN_PPG, "Tolvan Property Page"},
    {IDS_VOLUME, "Volume"},
    {IDS_VALUE, "Valor"},
    {IDS_STOP, "Parar"},
    {IDS_AUTHORIZE, "Autorizar"},
    {IDS_STACKS, "Memória"},
    {IDS_CANCEL, "Cancelar"},
    {IDS_TOLVAN_PPG_CAPTION, "Geral"},
};

constexpr LCID kPrimaryLanguageMask = 0x3FF;
constexpr LCID kLangPortuguese = 0x16;

}  // namespace

std::span<const StringResource> StringTableFor(LCID lcid) {
    if ((lcid & kPrimaryLanguageMask) == kLangPortuguese) {
        return kPortuguese;
    }
    return kEnglish;
}

WORD StringTableLanguage(LCID lcid) {
    return static_cast<WORD>((lcid & kPrimaryLanguageMask) == kLangPortuguese
                                 ? kLcidPortugueseBrazil
                                 : kLcidEnglishNewZealand);
}

bool LoadModuleString(HMODULE module, UINT id, WideString* text) {
    if (module == nullptr) {
        return false;
    }
    // Strings live in blocks of 16: block id / 16 + 1, each string a count and its units.
    const LPCWSTR block = MAKEINTRESOURCEW((id >> 4) + 1);
    HRSRC found =
        FindResourceExW(module, RT_STRING, block, StringTableLanguage(GetUserDefaultLCID()));
    if (found == nullptr) {
        found = FindResourceW(module, block, RT_STRING);  // a module with other tables
    }
    const HGLOBAL data = found == nullptr ? nullptr : LoadResource(module, found);
    const auto* units = static_cast<const WCHAR*>(data == nullptr ? nullptr : LockResource(data));
    if (units == nullptr) {
        return false;
    }
    const std::size_t size = SizeofResource(module, found) / sizeof(WCHAR);
    std::size_t at = 0;
    for (UINT k = 0; at < size; ++k) {
        const std::size_t length = static_cast<std::uint16_t>(units[at]);
        if (at + 1 + length > size) {
            return false;  // a malformed block holds no further strings
        }
        if (k == (id & 15)) {
            if (length == 0) {
                return false;
            }
            text->assign(units + at + 1, length);
            return true;
        }
        at += 1 + length;
    }
    return false;
}

const char* LoadTolvanString(UINT id) {
    WideString text;
    if (!LoadModuleString(AfxFindResourceHandle(MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING), id,
                          &text)) {
        return nullptr;
    }
    // The framework wants UTF-8 that lives as long as the module: each text is converted once.
    static std::mutex lock;
    static std::set<std::string, std::less<>> texts;
    std::lock_guard guard(lock);
    return texts.insert(Utf16ToUtf8(text)).first->c_str();
}

}  // namespace tolvan
