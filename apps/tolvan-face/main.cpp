// tolvan-face: shows the pump face of a real Tolvan control, created through COM by ProgID and
// fed by a scripted client object, as a PNG; or a gallery of faces; or the module's bitmaps.
//
//   tolvan-face [FACE OPTIONS] [--locale L] [--scale N] [--module PATH] -o FACE.png
//   tolvan-face --popup [FACE OPTIONS] [--locale L] [--scale N] [--module PATH] -o POPUP.png
//   tolvan-face --gallery FILE.png [--locale L] [--module PATH]
//   tolvan-face --sheet FILE.png [--module PATH]
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "apps/tolvan-face/face_case.h"
#include "apps/tolvan-face/face_host.h"
#include "apps/tolvan-face/gallery.h"
#include "apps/tolvan-face/resource_sheet.h"
#include "common/number_word.h"

namespace {

constexpr int kUsage = 2;
constexpr int kFailed = 1;

int Usage(const std::string& problem = {}) {
    if (!problem.empty())
        std::cerr << "tolvan-face: " << problem << "\n";
    std::cerr
        << "usage: tolvan-face [FACE OPTIONS] [--locale L] [--scale N] [--module PATH] -o "
           "FACE.png\n"
           "       tolvan-face --gallery FILE.png [--locale L] [--module PATH]\n"
           "       tolvan-face --sheet FILE.png [--module PATH]\n"
           "Face options (a real control through COM, fed by a scripted client object):\n"
           "  --state S             pump state (default 5)     --reserved R   reservation kind\n"
           "  --hose N              hose in use (0: none)      --number N     pump number (1)\n"
           "  --volume V --value V --price P   live amounts, with a full stop\n"
           "  --stack N             stacked deliveries (state 2)\n"
           "  --current-delivery plain|locked|overdue|negative\n"
           "                        a current delivery (state 1) with the amounts above\n"
           "  --grade NAME          short grade name (U91)     --current-pump  IsCurrentPump 1\n"
           "  --blink on|off        the state-6 phase (off: one second later)\n"
           "  --back-colour #RRGGBB|none  the site's ambient BackColor (the button face);\n"
           "                        none: no ambient properties, the control's default\n"
           "  --popup               the delivery popup instead (DoPopup): a current, an overdue,\n"
           "                        a locked and a drive-off delivery, 281 by 265\n"
           "  --stack-mode N        the pump's StackMode (2 or 3 enable Stack)  --name TEXT  its "
           "name\n"
           "  --formats P,V,V       the price, volume and value display format codes (1,9,10)\n"
           "  --locale L            the user's locale, e.g. pt_BR.UTF-8 (sets LC_ALL)\n"
           "  --scale N             enlarge the face PNG N times (1)\n"
           "  --module PATH         Tolvan.OCX to register when TOLVAN.TolvanCtrl.1 is not "
           "registered\n"
           "                        (default: the one that comes with this program)\n";
    return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    tolvan_face::FaceCase face;
    std::vector<std::string> rest;
    if (auto problem = tolvan_face::ParseFaceOptions(args, &face, &rest)) {
        return Usage(*problem);
    }
    std::string output;
    std::string gallery;
    std::string sheet;
    std::string module = tolvan_face::BuiltModulePath();
    int scale = 1;
    for (std::size_t i = 0; i < rest.size(); ++i) {
        const std::string& option = rest[i];
        const bool hasValue = i + 1 < rest.size();
        if (option == "-h" || option == "--help") {
            Usage();
            return 0;
        }
        if (!hasValue)
            return Usage(option + " needs a value or is unknown");
        const std::string& value = rest[++i];
        if (option == "-o") {
            output = value;
        } else if (option == "--gallery") {
            gallery = value;
        } else if (option == "--sheet") {
            sheet = value;
        } else if (option == "--module") {
            module = value;
        } else if (option == "--locale") {
            setenv("LC_ALL", value.c_str(), 1);
        } else if (option == "--scale") {
            std::string error;
            if (!ReadNumberWord(option, value, 1, 16, scale, error))
                return Usage(error);
        } else {
            return Usage("unknown option " + option);
        }
    }
    if (static_cast<int>(!output.empty()) + static_cast<int>(!gallery.empty()) +
            static_cast<int>(!sheet.empty()) !=
        1) {
        return Usage("give one of -o, --gallery and --sheet");
    }

    tolvan_face::FaceHost host;
    std::string error;
    if (!host.EnsureRegistered(module, &error)) {
        std::cerr << "tolvan-face: " << error << "\n";
        return kFailed;
    }
    bool ok = false;
    if (!gallery.empty()) {
        ok = tolvan_face::WriteGallery(host, tolvan_face::GalleryCases(), gallery, &error);
        if (ok)
            std::cout << "gallery=" << gallery << "\n";
    } else if (!sheet.empty()) {
        tolvan_face::FacePixels unused;
        // Creating one control loads the module whose bitmaps the sheet shows.
        ok = host.Render(face, &unused, &error) &&
             tolvan_face::WriteResourceSheet(host.Module(), sheet, &error);
        if (ok)
            std::cout << "sheet=" << sheet << "\n";
    } else {
        tolvan_face::FacePixels pixels;
        ok = host.Render(face, &pixels, &error) &&
             tolvan_face::WriteFacePng(pixels, scale, output, &error);
        if (ok)
            std::cout << (face.popup ? "popup=" : "face=") << output << "\n";
    }
    if (!ok) {
        std::cerr << "tolvan-face: " << error << "\n";
        return kFailed;
    }
    return 0;
}
