// The built-in locale table: Windows default values of the locales the system is used in
// (numbers, currency, date and time pictures, day and month names). Long-date, year-month and
// short-time pictures are the Windows 7-era defaults.
#include "platform/locale_table.h"

#include <cctype>

namespace {

constexpr std::array<const char16_t*, 7> kEnglishDays = {
    u"Monday", u"Tuesday", u"Wednesday", u"Thursday", u"Friday", u"Saturday", u"Sunday"};
constexpr std::array<const char16_t*, 7> kEnglishAbbreviatedDays = {u"Mon", u"Tue", u"Wed", u"Thu",
                                                                    u"Fri", u"Sat", u"Sun"};
constexpr std::array<const char16_t*, 12> kEnglishMonths = {
    u"January", u"February", u"March",     u"April",   u"May",      u"June",
    u"July",    u"August",   u"September", u"October", u"November", u"December"};
constexpr std::array<const char16_t*, 12> kEnglishAbbreviatedMonths = {
    u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun", u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

constexpr std::array<const char16_t*, 7> kPortugueseDays = {
    u"segunda-feira", u"ter\u00e7a-feira", u"quarta-feira", u"quinta-feira",
    u"sexta-feira",   u"s\u00e1bado",      u"domingo"};
constexpr std::array<const char16_t*, 7> kPortugueseAbbreviatedDays = {
    u"seg", u"ter", u"qua", u"qui", u"sex", u"s\u00e1b", u"dom"};
constexpr std::array<const char16_t*, 12> kPortugueseMonths = {
    u"janeiro", u"fevereiro", u"mar\u00e7o", u"abril",   u"maio",     u"junho",
    u"julho",   u"agosto",    u"setembro",   u"outubro", u"novembro", u"dezembro"};
constexpr std::array<const char16_t*, 12> kPortugueseAbbreviatedMonths = {
    u"jan", u"fev", u"mar", u"abr", u"mai", u"jun", u"jul", u"ago", u"set", u"out", u"nov", u"dez"};

// pt-BR currency: the Windows 7 data (ICURRENCY 2 "R$ 1", INEGCURR 9 "-R$ 1"); the Windows 10
// dump differs and is unverified.
const LocaleData kLocales[] = {
    {0x0409,         "en-US",
     u".",           u",",
     u"3;0",         u"2",
     u"1",           u"1",
     u"$",           u"2",
     u"0",           u"0",
     u"M/d/yyyy",    u"dddd, MMMM d, yyyy",
     u"MMMM yyyy",   u"h:mm:ss tt",
     u"h:mm tt",     u"AM",
     u"PM",          u"A.D.",
     kEnglishDays,   kEnglishAbbreviatedDays,
     kEnglishMonths, kEnglishAbbreviatedMonths},
    {0x1409,         "en-NZ",
     u".",           u",",
     u"3;0",         u"2",
     u"1",           u"1",
     u"$",           u"2",
     u"0",           u"1",
     u"d/MM/yyyy",   u"dddd, d MMMM yyyy",
     u"MMMM yyyy",   u"h:mm:ss tt",
     u"h:mm tt",     u"a.m.",
     u"p.m.",        u"A.D.",
     kEnglishDays,   kEnglishAbbreviatedDays,
     kEnglishMonths, kEnglishAbbreviatedMonths},
    {0x0809,         "en-GB",
     u".",           u",",
     u"3;0",         u"2",
     u"1",           u"1",
     u"\u00a3",      u"2",
     u"0",           u"1",
     u"dd/MM/yyyy",  u"dd MMMM yyyy",
     u"MMMM yyyy",   u"HH:mm:ss",
     u"HH:mm",       u"AM",
     u"PM",          u"A.D.",
     kEnglishDays,   kEnglishAbbreviatedDays,
     kEnglishMonths, kEnglishAbbreviatedMonths},
    {0x0C09,         "en-AU",
     u".",           u",",
     u"3;0",         u"2",
     u"1",           u"1",
     u"$",           u"2",
     u"0",           u"1",
     u"d/MM/yyyy",   u"dddd, d MMMM yyyy",
     u"MMMM yyyy",   u"h:mm:ss tt",
     u"h:mm tt",     u"AM",
     u"PM",          u"A.D.",
     kEnglishDays,   kEnglishAbbreviatedDays,
     kEnglishMonths, kEnglishAbbreviatedMonths},
    {0x0416,
     "pt-BR",
     u",",
     u".",
     u"3;0",
     u"2",
     u"1",
     u"1",
     u"R$",
     u"2",
     u"2",
     u"9",
     u"dd/MM/yyyy",
     u"dddd, d' de 'MMMM' de 'yyyy",
     u"MMMM' de 'yyyy",
     u"HH:mm:ss",
     u"HH:mm",
     u"",
     u"",
     u"d.C.",
     kPortugueseDays,
     kPortugueseAbbreviatedDays,
     kPortugueseMonths,
     kPortugueseAbbreviatedMonths},
    {0x007F,         "",
     u".",           u",",
     u"3;0",         u"2",
     u"1",           u"1",
     u"\u00a4",      u"2",
     u"0",           u"0",
     u"MM/dd/yyyy",  u"dddd, dd MMMM yyyy",
     u"yyyy MMMM",   u"HH:mm:ss",
     u"HH:mm",       u"AM",
     u"PM",          u"A.D.",
     kEnglishDays,   kEnglishAbbreviatedDays,
     kEnglishMonths, kEnglishAbbreviatedMonths},
};

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

}  // namespace

const LocaleData* FindLocaleData(DWORD lcid) {
    for (const LocaleData& locale : kLocales) {
        if (locale.lcid == (lcid & 0xFFFF)) {
            return &locale;
        }
    }
    return nullptr;
}

const LocaleData* FindLocaleDataByPosixName(std::string_view posixName) {
    const std::size_t end = posixName.find_first_of(".@");
    std::string_view name = posixName.substr(0, end);
    const std::size_t separator = name.find_first_of("_-");
    if (separator == std::string_view::npos) {
        return nullptr;  // a language alone ("en", "C", "POSIX") names no table entry
    }
    const std::string_view language = name.substr(0, separator);
    const std::string_view territory = name.substr(separator + 1);
    for (const LocaleData& locale : kLocales) {
        const std::string_view tableName = locale.name;
        const std::size_t dash = tableName.find('-');
        if (dash != std::string_view::npos &&
            EqualsAsciiNoCase(tableName.substr(0, dash), language) &&
            EqualsAsciiNoCase(tableName.substr(dash + 1), territory)) {
            return &locale;
        }
    }
    return nullptr;
}
