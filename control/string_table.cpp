// The two string tables and the choice between them.
#include "control/string_table.h"

#include "control/tolvan_ids.h"

namespace tolvan {

namespace {

constexpr StringResource kEnglish[] = {
    {IDS_TOLVAN, "Tolvan Control"},
    {IDS_TOLVAN_PPG, "Tolvan Property Page"},
    {IDS_TOLVAN_PPG_CAPTION, "General"},
};

constexpr StringResource kPortuguese[] = {
    {IDS_TOLVAN, "Tolvan Control"},
    {IDS_TOLVAN_PPG, "Tolvan Property Page"},
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
    for (const StringResource& entry : StringTableFor(GetUserDefaultLCID())) {
        if (entry.id == id) {
            return entry.text;
        }
    }
    return nullptr;
}

}  // namespace tolvan
