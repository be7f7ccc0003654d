// forecourt's command line and the strip's words.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "apps/forecourt/event_text.h"
#include "apps/forecourt/forecourt_options.h"

namespace {

using forecourt::Language;

bool Parse(std::vector<std::string> args, forecourt::Options* options, std::string* error) {
    args.insert(args.begin(), "forecourt");
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    return forecourt::ParseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

TEST(ForecourtOptions, TakesBothFormsAndKeepsDefaults) {
    forecourt::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--popup-mode=2", "--beep", "off", "--columns", "8", "--zoom=3",
                       "--headless", "--screenshot", "x.png", "--after", "1.5"},
                      &options, &error))
        << error;
    EXPECT_EQ(options.popupMode, 2);
    EXPECT_FALSE(options.beep);
    EXPECT_EQ(options.columns, 8);
    EXPECT_EQ(options.zoom, 3);
    EXPECT_TRUE(options.headless);
    EXPECT_EQ(options.screenshot, "x.png");
    EXPECT_DOUBLE_EQ(options.after, 1.5);
    EXPECT_EQ(options.server, "127.0.0.1");
    EXPECT_EQ(options.callPort, 5123);
    EXPECT_EQ(options.eventsPort, 5124);
}

TEST(ForecourtOptions, RefusesBadValuesWithTheirName) {
    const std::vector<std::vector<std::string>> bad = {
        {"--popup-mode", "4"},    {"--popup-mode", "0"}, {"--beep", "yes"},   {"--columns", "0"},
        {"--zoom", "9"},          {"--zoom", "2x"},      {"--seconds", "-1"}, {"--seconds", "nan"},
        {"--call-port", "70000"}, {"--server="},         {"--columns"},       {"--frobnicate"}};
    for (const auto& args : bad) {
        forecourt::Options options;
        std::string error;
        EXPECT_FALSE(Parse(args, &options, &error)) << args[0];
        EXPECT_NE(error.find(args[0].substr(0, args[0].find('='))), std::string::npos) << error;
    }
}

TEST(ForecourtOptions, NumberMessagesNameTheOptionTheRangeAndTheWord) {
    const struct {
        std::vector<std::string> args;
        const char* error;
    } rows[] = {
        {{"--zoom", "2x"}, "--zoom needs a whole number from 1 to 8, not '2x'"},
        {{"--columns=033"}, "--columns needs a whole number from 1 to 32, not '033'"},
        {{"--popup-mode", "0x2"}, "--popup-mode needs a whole number from 1 to 3, not '0x2'"},
        {{"--call-port", "+5123"}, "--call-port needs a port number from 1 to 65535, not '+5123'"},
        {{"--events-port", "0"}, "--events-port needs a port number from 1 to 65535, not '0'"},
        {{"--seconds", "1e9"}, "--seconds needs seconds from 0 to 86400, not '1e9'"},
        {{"--after", " 1"}, "--after needs seconds from 0 to 86400, not ' 1'"},
        {{"--after", "inf"}, "--after needs seconds from 0 to 86400, not 'inf'"},
        {{"--beep", "1"}, "bad value \"1\" for --beep"},
    };
    for (const auto& row : rows) {
        forecourt::Options options;
        std::string error;
        EXPECT_FALSE(Parse(row.args, &options, &error)) << row.args[0];
        EXPECT_EQ(error, row.error);
    }
    forecourt::Options options;
    std::string error;
    ASSERT_TRUE(Parse({"--columns", "08", "--seconds", "2.5"}, &options, &error)) << error;
    EXPECT_EQ(options.columns, 8);
    EXPECT_DOUBLE_EQ(options.seconds, 2.5);
}

TEST(ForecourtWords, MoneyAndVolumeFollowTheLanguage) {
    EXPECT_EQ(forecourt::MoneyText(1234.5, Language::English), "$1,234.50");
    EXPECT_EQ(forecourt::MoneyText(1234.5, Language::Portuguese), "R$ 1.234,50");
    EXPECT_EQ(forecourt::MoneyText(-5.9, Language::English), "-$5.90");
    EXPECT_EQ(forecourt::MoneyText(-0.001, Language::English), "$0.00");
    EXPECT_EQ(forecourt::MoneyText(999999.996, Language::English), "$1,000,000.00");
    EXPECT_EQ(forecourt::VolumeText(12.3456, Language::English), "12.346 L");
    EXPECT_EQ(forecourt::VolumeText(1234.5, Language::Portuguese), "1.234,500 L");
}

TEST(ForecourtWords, StatusLinesTellTheStateAndOnlyASalesAmounts) {
    forecourt::StatusFacts calling{6, 1, "Gasolina Comum", 0, 0};
    EXPECT_EQ(forecourt::StatusLine("Bomba 3", calling, Language::English),
              "Bomba 3: calling, hose 1 Gasolina Comum");
    EXPECT_EQ(forecourt::StatusLine("Bomba 3", calling, Language::Portuguese),
              "Bomba 3: chamando, bico 1 Gasolina Comum");
    forecourt::StatusFacts stopped{9, 2, "Diesel", 3.5, 20.65};
    EXPECT_EQ(forecourt::StatusLine("Bomba 1", stopped, Language::English),
              "Bomba 1: stopped for now, hose 2 Diesel, 3.500 L, $20.65");
    // An idle pump still reports the last sale's amounts; they are no news to the cashier.
    forecourt::StatusFacts idle{3, 1, "Diesel", 3.5, 20.65};
    EXPECT_EQ(forecourt::StatusLine("Bomba 1", idle, Language::English), "Bomba 1: idle");
    forecourt::StatusFacts error{16, 1, "Diesel", 0, 0};
    EXPECT_EQ(forecourt::StatusLine("Bomba 1", error, Language::English), "Bomba 1: error 16");
    EXPECT_EQ(forecourt::StateWords(42, Language::English), "state 42");
}

TEST(ForecourtWords, DeliveryLinesNameTheSaleItsStateAndType) {
    forecourt::DeliveryFacts stacked{1, 2, 1, "Gasolina Comum", 1, 5.9};
    EXPECT_EQ(forecourt::DeliveryLine("Bomba 3", forecourt::DeliveryKind::Changed, stacked,
                                      Language::English),
              "Bomba 3: sale 1 stacked, 1.000 L Gasolina Comum, $5.90");
    EXPECT_EQ(forecourt::DeliveryLine("Bomba 3", forecourt::DeliveryKind::Selected, stacked,
                                      Language::Portuguese),
              "Bomba 3: venda 1 escolhida para pagamento, 1,000 L Gasolina Comum, R$ 5,90");
    forecourt::DeliveryFacts driveOff{7, 1, 3, "", 2, 11.8};
    EXPECT_EQ(forecourt::DeliveryLine("Bomba 5", forecourt::DeliveryKind::Changed, driveOff,
                                      Language::English),
              "Bomba 5: sale 7 to be paid (drive-off), 2.000 L, $11.80");
}

TEST(ForecourtWords, TheLostControllerIsToldInBothLanguages) {
    EXPECT_EQ(forecourt::ControllerLostLine(Language::English), "Controller lost");
    EXPECT_EQ(forecourt::ControllerLostLine(Language::Portuguese), "Controlador perdido");
}

TEST(ForecourtWords, LanguageComesFromTheFirstLocaleVariableSet) {
    setenv("LC_ALL", "", 1);
    setenv("LC_MESSAGES", "pt_BR.UTF-8", 1);
    setenv("LANG", "en_US.UTF-8", 1);
    EXPECT_EQ(forecourt::LanguageFromEnvironment(), Language::Portuguese);
    setenv("LC_ALL", "C", 1);
    EXPECT_EQ(forecourt::LanguageFromEnvironment(), Language::English);
    unsetenv("LC_ALL");
    unsetenv("LC_MESSAGES");
    setenv("LANG", "pt_BR", 1);
    EXPECT_EQ(forecourt::LanguageFromEnvironment(), Language::Portuguese);
    setenv("LANG", "C", 1);
}

}  // namespace
