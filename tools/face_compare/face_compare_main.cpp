// face-compare: holds a pump face captured elsewhere (a control hosted under Wine) against the
// picture tolvan-face draws for the same state.
//
//   face-compare EXPECTED.png ACTUAL.png [--at X,Y] [--ink AREA=#RRGGBB]... [--tolerance N]
//                [--diff OUT.png]
//
// Exit status 0 when the faces match, 1 when they differ (with a report), 2 for bad input.
#include <iostream>
#include <string>
#include <vector>

#include "common/number_word.h"
#include "platform/gdi.h"
#include "tools/face_compare/face_comparison.h"
#include "tools/face_compare/png_reading.h"

namespace {

constexpr int kMatch = 0;
constexpr int kDiffer = 1;
constexpr int kBadInput = 2;

int Usage(const std::string& problem) {
    std::cerr << "face-compare: " << problem << "\n"
              << "usage: face-compare EXPECTED.png ACTUAL.png [--at X,Y] [--ink AREA=#RRGGBB]...\n"
                 "                    [--tolerance N] [--diff OUT.png]\n"
                 "  --at X,Y          the 80 by 80 face's top-left in ACTUAL (0,0)\n"
                 "  --ink AREA=#RRGGBB  the text colour of an area (number, volume, value, "
                 "price, grade)\n"
                 "                    instead of the one read from EXPECTED\n"
                 "  --tolerance N     how far a blended text pixel may be off (8)\n"
                 "  --diff OUT.png    a picture of both faces and the failing pixels\n"
                 "Pixels are named in the face's coordinates. Exit status: 0 the faces match, "
                 "1 they differ, 2 bad input.\n";
    return kBadInput;
}

bool ReadPosition(const std::string& value, face_compare::CompareOptions* options,
                  std::string* error) {
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) {
        *error = "--at needs X,Y, not " + value;
        return false;
    }
    return ReadNumberWord("--at", value.substr(0, comma), 0, 16384, options->atX, *error) &&
           ReadNumberWord("--at", value.substr(comma + 1), 0, 16384, options->atY, *error);
}

bool ReadInk(const std::string& value, face_compare::CompareOptions* options, std::string* error) {
    const std::size_t equals = value.find('=');
    const std::string key = value.substr(0, equals);
    for (std::size_t i = 0; i < face_compare::kAreaKeys.size(); ++i) {
        if (equals != std::string::npos && key == face_compare::kAreaKeys[i]) {
            options->inks[i] = face_compare::ParseColour(value.substr(equals + 1));
            if (!options->inks[i]) {
                *error = "--ink " + value + ": the colour must be #RRGGBB";
                return false;
            }
            return true;
        }
    }
    *error =
        "--ink needs AREA=#RRGGBB with AREA number, volume, value, price or grade, not " + value;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::vector<std::string> files;
    std::string diffPath;
    face_compare::CompareOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        if (option.rfind("--", 0) != 0) {
            files.push_back(option);
            continue;
        }
        if (i + 1 == args.size()) {
            return Usage(option + " needs a value or is unknown");
        }
        const std::string& value = args[++i];
        std::string error;
        bool ok = true;
        if (option == "--at") {
            ok = ReadPosition(value, &options, &error);
        } else if (option == "--ink") {
            ok = ReadInk(value, &options, &error);
        } else if (option == "--tolerance") {
            ok = ReadNumberWord(option, value, 0, 255, options.tolerance, error);
        } else if (option == "--diff") {
            diffPath = value;
        } else {
            return Usage("unknown option " + option);
        }
        if (!ok) {
            return Usage(error);
        }
    }
    if (files.size() != 2) {
        return Usage("give the expected and the captured picture");
    }

    platform::PixelSurface expected;
    platform::PixelSurface captured;
    std::string failure;
    if (!face_compare::ReadPng(files[0], &expected, &failure) ||
        !face_compare::ReadPng(files[1], &captured, &failure)) {
        std::cerr << "face-compare: " << failure << "\n";
        return kBadInput;
    }
    const std::string problem = face_compare::InputProblem(expected, captured, options);
    if (!problem.empty()) {
        std::cerr << "face-compare: " << problem << "\n";
        return kBadInput;
    }
    const face_compare::Comparison comparison =
        face_compare::CompareFaces(expected, captured, options);
    if (!diffPath.empty() &&
        !WritePng(face_compare::DiffPicture(expected, captured, options, comparison),
                  diffPath.c_str(), &failure)) {
        std::cerr << "face-compare: " << diffPath << ": " << failure << "\n";
        return kBadInput;
    }
    const std::string report = face_compare::Report(comparison);
    if (comparison.Match()) {
        std::cout << report;
        return kMatch;
    }
    std::cout << "the faces differ\n" << report;
    return kDiffer;
}
