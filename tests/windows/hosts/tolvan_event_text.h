// The text of the pump display control's events as the host programs print them: each event's
// name, then NAME=VALUE for each argument in the type library's order, every argument held
// against the type that _DTolvanEvents declares for it.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace host {

// The control's event interface, _DTolvanEvents.
inline constexpr IID kTolvanEventsIid = {
    0x1A23B247, 0xC9CF, 0x43F5, {0xA7, 0xAE, 0x6B, 0x1F, 0xF4, 0xBD, 0xB5, 0x2A}};

constexpr VARTYPE kNameRef = VT_BYREF | VT_BSTR;

struct Parameter {
    const char* name;
    VARTYPE vt;
};

// The parameters of the control's events, in the type library's order.
inline const std::vector<Parameter> kStatusParameters = {
    {"State", VT_I2},        {"ReservedFor", VT_I2},
    {"ReservedBy", VT_I4},   {"HoseID", VT_I4},
    {"HoseNumber", VT_I2},   {"GradeID", VT_I4},
    {"GradeName", kNameRef}, {"ShortGradeName", kNameRef},
    {"PriceLevel", VT_I2},   {"Price", VT_R8},
    {"Volume", VT_R8},       {"Value", VT_R8},
    {"StackSize", VT_I2}};

inline const std::vector<Parameter> kDeliveryParameters = {
    {"DeliveryID", VT_I4},    {"HoseID", VT_I4},        {"HoseNumber", VT_I2},
    {"GradeID", VT_I4},       {"GradeName", kNameRef},  {"ShortGradeName", kNameRef},
    {"PriceLevel", VT_I2},    {"Price", VT_R8},         {"Volume", VT_R8},
    {"Value", VT_R8},         {"DeliveryState", VT_I2}, {"DeliveryType", VT_I2},
    {"LockedBy", VT_I4},      {"ReservedBy", VT_I4},    {"Age", VT_I4},
    {"CompletedDT", VT_DATE}, {"AttendantID", VT_I4}};

inline std::vector<Parameter> WithTotals(std::vector<Parameter> parameters) {
    parameters.push_back({"VolumeETot", VT_R8});
    parameters.push_back({"Volume2ETot", VT_R8});
    parameters.push_back({"ValueETot", VT_R8});
    return parameters;
}

struct Event {
    DISPID dispid;
    const char* name;
    std::vector<Parameter> parameters;
};

inline const Event kEvents[] = {{1, "StatusEvent", kStatusParameters},
                                {2, "DeliveryEvent", kDeliveryParameters},
                                {3, "DeliverySelectedEvent", kDeliveryParameters},
                                {4, "DeliveryEventEx", WithTotals(kDeliveryParameters)}};

inline std::string Narrow(const wchar_t* text) {
    if (text == nullptr) {
        return "(null)";
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), size, nullptr, nullptr);
    return narrow;
}

inline std::string Number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// The argument as NAME=VALUE, or NAME=<vt X, declared Y> when its type is not the declared one.
inline std::string Argument(const Parameter& parameter, const VARIANT& arg) {
    std::string text = std::string(parameter.name) + "=";
    if (arg.vt != parameter.vt) {
        char mismatch[64];
        std::snprintf(mismatch, sizeof mismatch, "<vt 0x%X, declared 0x%X>", arg.vt, parameter.vt);
        return text + mismatch;
    }
    switch (arg.vt) {
        case VT_I2:
            return text + std::to_string(arg.iVal);
        case VT_I4:
            return text + std::to_string(arg.lVal);
        case VT_R8:
            return text + Number(arg.dblVal);
        case VT_DATE:
            return text + Number(arg.date);
        case kNameRef:
            return text + "\"" + (arg.pbstrVal == nullptr ? "(no string)" : Narrow(*arg.pbstrVal)) +
                   "\"";
        default:
            return text + "?";
    }
}

inline std::string EventText(DISPID dispid, const DISPPARAMS& params) {
    const Event* event = nullptr;
    for (const Event& known : kEvents) {
        if (known.dispid == dispid) {
            event = &known;
        }
    }
    if (event == nullptr) {
        char unknown[64];
        std::snprintf(unknown, sizeof unknown, "unknown event %ld with %u arguments", dispid,
                      params.cArgs);
        return unknown;
    }
    std::string line = event->name;
    if (params.cArgs != event->parameters.size()) {
        line += " with " + std::to_string(params.cArgs) + " arguments, declared " +
                std::to_string(event->parameters.size());
    } else {
        // The arguments come last first: the first one is rgvarg[cArgs - 1].
        for (UINT i = 0; i < params.cArgs; ++i) {
            line += " " + Argument(event->parameters[i], params.rgvarg[params.cArgs - 1 - i]);
        }
    }
    if (params.cNamedArgs != 0) {
        line += " (with named arguments)";
    }
    return line;
}

}  // namespace host
