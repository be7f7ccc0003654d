// The two string tables (the source of control/res/tolvan.rc, which a test keeps equal) and
// the strings the module serves from its compiled resources.
#include "control/string_table.h"

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
    if (StringTableLanguage(lcid) == kLcidPortugueseBrazil) {
        return kPortuguese;
    }
    return kEnglish;
}

LCID StringTableLanguage(LCID lcid) {
    return (lcid & kPrimaryLanguageMask) == kLangPortuguese ? kLcidPortugueseBrazil
                                                            : kLcidEnglishNewZealand;
}

bool ModuleString(HMODULE module, UINT id, WideString* text) {
    if (module == nullptr)
        return false;
#ifdef _WIN32
    // The block of sixteen strings holding `id`, in the table's language exactly: each string
    // is its length and its units.
    const LANGID language = LANGIDFROMLCID(StringTableLanguage(GetUserDefaultLCID()));
    HRSRC found = FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW((id >> 4) + 1), language);
    if (found == nullptr)
        return false;
    const auto* units = static_cast<const WCHAR*>(LockResource(LoadResource(module, found)));
    if (units == nullptr)
        return false;
    const WCHAR* const end = units + SizeofResource(module, found) / sizeof(WCHAR);
    for (UINT i = 0; i < (id & 15) && units < end; ++i)
        units += 1 + *units;
    if (units >= end || *units == 0 || units + 1 + *units > end)
        return false;
    text->assign(units + 1, *units);
    return true;
#else
    const WCHAR* data = nullptr;
    const int length = LoadStringW(module, id, reinterpret_cast<LPWSTR>(&data), 0);
    if (length <= 0 || data == nullptr)
        return false;
    text->assign(data, static_cast<std::size_t>(length));
    return true;
#endif
}

const char* LoadTolvanString(UINT id) {
    WideString text;
    if (!ModuleString(AfxFindResourceHandle(MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING), id,
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
