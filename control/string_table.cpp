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
    if ((lcid & kPrimaryLanguageMask) == kLangPortuguese) {
        return kPortuguese;
    }
    return kEnglish;
}

const char* LoadTolvanString(UINT id) {
    const WCHAR* text = nullptr;
    const int length =
        LoadStringW(AfxFindResourceHandle(MAKEINTRESOURCEW((id >> 4) + 1), RT_STRING), id,
                    reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0) {
        return nullptr;
    }
    // The framework wants UTF-8 that lives as long as the module: each text is converted once.
    static std::mutex lock;
    static std::set<std::string, std::less<>> texts;
    std::lock_guard guard(lock);
    return texts.insert(Utf16ToUtf8(WideStringView(text, static_cast<std::size_t>(length))))
        .first->c_str();
}

}  // namespace tolvan
