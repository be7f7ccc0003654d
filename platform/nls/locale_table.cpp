// The built-in locale table: Windows default values of the locales the system is used in
// (numbers, currency, date and time pictures, day and month names). Long-date, year-month and
// short-time pictures, and the German and Spanish abbreviated names, are the Windows 7-era
// defaults.
#include "platform/nls/locale_table.h"

#include "platform/ascii_case.h"

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

constexpr std::array<const char16_t*, 7> kGermanDays = {
    u"Montag", u"Dienstag", u"Mittwoch", u"Donnerstag", u"Freitag", u"Samstag", u"Sonntag"};
constexpr std::array<const char16_t*, 7> kGermanAbbreviatedDays = {u"Mo", u"Di", u"Mi", u"Do",
                                                                   u"Fr", u"Sa", u"So"};
constexpr std::array<const char16_t*, 12> kGermanMonths = {
    u"Januar", u"Februar", u"M\u00e4rz", u"April",   u"Mai",      u"Juni",
    u"Juli",   u"August",  u"September", u"Oktober", u"November", u"Dezember"};
constexpr std::array<const char16_t*, 12> kGermanAbbreviatedMonths = {
    u"Jan", u"Feb", u"Mrz", u"Apr", u"Mai", u"Jun", u"Jul", u"Aug", u"Sep", u"Okt", u"Nov", u"Dez"};

constexpr std::array<const char16_t*, 7> kSpanishDays = {
    u"lunes", u"martes", u"mi\u00e9rcoles", u"jueves", u"viernes", u"s\u00e1bado", u"domingo"};
constexpr std::array<const char16_t*, 7> kSpanishAbbreviatedDays = {
    u"lun", u"mar", u"mi\u00e9", u"jue", u"vie", u"s\u00e1b", u"dom"};
constexpr std::array<const char16_t*, 12> kSpanishMonths = {
    u"enero", u"febrero", u"marzo",      u"abril",   u"mayo",      u"junio",
    u"julio", u"agosto",  u"septiembre", u"octubre", u"noviembre", u"diciembre"};
constexpr std::array<const char16_t*, 12> kSpanishAbbreviatedMonths = {
    u"ene", u"feb", u"mar", u"abr", u"may", u"jun", u"jul", u"ago", u"sep", u"oct", u"nov", u"dic"};

// Every locale groups by three, has two digits and a leading zero, and writes negative
// numbers as "-1.1". pt-BR currency is the Windows 7 data (ICURRENCY 2 "R$ 1", INEGCURR 9 "-R$ 1");
// a Windows 10 dump differs and is unverified. es-ES and de-DE have no AM/PM designators, as on
// Windows 7.
const LocaleData kLocales[] = {
    {.lcid = 0x0409,
     .name = "en-US",
     .decimal = u".",
     .thousand = u",",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"$",
     .monetaryDecimal = u".",
     .monetaryThousand = u",",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"0",
     .negativeCurrency = u"0",
     .shortDate = u"M/d/yyyy",
     .longDate = u"dddd, MMMM d, yyyy",
     .yearMonth = u"MMMM yyyy",
     .timeFormat = u"h:mm:ss tt",
     .shortTime = u"h:mm tt",
     .am = u"AM",
     .pm = u"PM",
     .era = u"A.D.",
     .dayNames = kEnglishDays,
     .abbreviatedDayNames = kEnglishAbbreviatedDays,
     .monthNames = kEnglishMonths,
     .abbreviatedMonthNames = kEnglishAbbreviatedMonths},
    {.lcid = 0x1409,
     .name = "en-NZ",
     .decimal = u".",
     .thousand = u",",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"$",
     .monetaryDecimal = u".",
     .monetaryThousand = u",",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"0",
     .negativeCurrency = u"1",
     .shortDate = u"d/MM/yyyy",
     .longDate = u"dddd, d MMMM yyyy",
     .yearMonth = u"MMMM yyyy",
     .timeFormat = u"h:mm:ss tt",
     .shortTime = u"h:mm tt",
     .am = u"a.m.",
     .pm = u"p.m.",
     .era = u"A.D.",
     .dayNames = kEnglishDays,
     .abbreviatedDayNames = kEnglishAbbreviatedDays,
     .monthNames = kEnglishMonths,
     .abbreviatedMonthNames = kEnglishAbbreviatedMonths},
    {.lcid = 0x0809,
     .name = "en-GB",
     .decimal = u".",
     .thousand = u",",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"\u00a3",
     .monetaryDecimal = u".",
     .monetaryThousand = u",",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"0",
     .negativeCurrency = u"1",
     .shortDate = u"dd/MM/yyyy",
     .longDate = u"dd MMMM yyyy",
     .yearMonth = u"MMMM yyyy",
     .timeFormat = u"HH:mm:ss",
     .shortTime = u"HH:mm",
     .am = u"AM",
     .pm = u"PM",
     .era = u"A.D.",
     .dayNames = kEnglishDays,
     .abbreviatedDayNames = kEnglishAbbreviatedDays,
     .monthNames = kEnglishMonths,
     .abbreviatedMonthNames = kEnglishAbbreviatedMonths},
    {.lcid = 0x0C09,
     .name = "en-AU",
     .decimal = u".",
     .thousand = u",",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"$",
     .monetaryDecimal = u".",
     .monetaryThousand = u",",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"0",
     .negativeCurrency = u"1",
     .shortDate = u"d/MM/yyyy",
     .longDate = u"dddd, d MMMM yyyy",
     .yearMonth = u"MMMM yyyy",
     .timeFormat = u"h:mm:ss tt",
     .shortTime = u"h:mm tt",
     .am = u"AM",
     .pm = u"PM",
     .era = u"A.D.",
     .dayNames = kEnglishDays,
     .abbreviatedDayNames = kEnglishAbbreviatedDays,
     .monthNames = kEnglishMonths,
     .abbreviatedMonthNames = kEnglishAbbreviatedMonths},
    {.lcid = 0x0416,
     .name = "pt-BR",
     .decimal = u",",
     .thousand = u".",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"R$",
     .monetaryDecimal = u",",
     .monetaryThousand = u".",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"2",
     .negativeCurrency = u"9",
     .shortDate = u"dd/MM/yyyy",
     .longDate = u"dddd, d' de 'MMMM' de 'yyyy",
     .yearMonth = u"MMMM' de 'yyyy",
     .timeFormat = u"HH:mm:ss",
     .shortTime = u"HH:mm",
     .am = u"",
     .pm = u"",
     .era = u"d.C.",
     .dayNames = kPortugueseDays,
     .abbreviatedDayNames = kPortugueseAbbreviatedDays,
     .monthNames = kPortugueseMonths,
     .abbreviatedMonthNames = kPortugueseAbbreviatedMonths},
    {.lcid = 0x0C0A,
     .name = "es-ES",
     .decimal = u",",
     .thousand = u".",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"\u20ac",
     .monetaryDecimal = u",",
     .monetaryThousand = u".",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"3",
     .negativeCurrency = u"8",
     .shortDate = u"dd/MM/yyyy",
     .longDate = u"dddd, d' de 'MMMM' de 'yyyy",
     .yearMonth = u"MMMM' de 'yyyy",
     .timeFormat = u"H:mm:ss",
     .shortTime = u"H:mm",
     .am = u"",
     .pm = u"",
     .era = u"d.C.",
     .dayNames = kSpanishDays,
     .abbreviatedDayNames = kSpanishAbbreviatedDays,
     .monthNames = kSpanishMonths,
     .abbreviatedMonthNames = kSpanishAbbreviatedMonths},
    {.lcid = 0x0407,
     .name = "de-DE",
     .decimal = u",",
     .thousand = u".",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"\u20ac",
     .monetaryDecimal = u",",
     .monetaryThousand = u".",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"3",
     .negativeCurrency = u"8",
     .shortDate = u"dd.MM.yyyy",
     .longDate = u"dddd, d. MMMM yyyy",
     .yearMonth = u"MMMM yyyy",
     .timeFormat = u"HH:mm:ss",
     .shortTime = u"HH:mm",
     .am = u"",
     .pm = u"",
     .era = u"n. Chr.",
     .dayNames = kGermanDays,
     .abbreviatedDayNames = kGermanAbbreviatedDays,
     .monthNames = kGermanMonths,
     .abbreviatedMonthNames = kGermanAbbreviatedMonths},
    {.lcid = 0x007F,
     .name = "",
     .decimal = u".",
     .thousand = u",",
     .grouping = u"3;0",
     .digits = u"2",
     .leadingZero = u"1",
     .negativeNumber = u"1",
     .negativeSign = u"-",
     .currency = u"\u00a4",
     .monetaryDecimal = u".",
     .monetaryThousand = u",",
     .monetaryGrouping = u"3;0",
     .currencyDigits = u"2",
     .positiveCurrency = u"0",
     .negativeCurrency = u"0",
     .shortDate = u"MM/dd/yyyy",
     .longDate = u"dddd, dd MMMM yyyy",
     .yearMonth = u"yyyy MMMM",
     .timeFormat = u"HH:mm:ss",
     .shortTime = u"HH:mm",
     .am = u"AM",
     .pm = u"PM",
     .era = u"A.D.",
     .dayNames = kEnglishDays,
     .abbreviatedDayNames = kEnglishAbbreviatedDays,
     .monthNames = kEnglishMonths,
     .abbreviatedMonthNames = kEnglishAbbreviatedMonths},
};

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
