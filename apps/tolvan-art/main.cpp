// tolvan-art: builds Tolvan's pictures from their text pixel maps. For every BITMAP and ICON
// line of the resource script it reads the map(s) from the art folder and writes the .bmp or
// .ico file into the output folder; --sheet also writes a PNG contact sheet for review.
#include <iostream>
#include <string>
#include <vector>

#include "apps/tolvan-art/art_set.h"

namespace {

int Usage() {
    std::cerr
        << "usage: tolvan-art --rc SCRIPT --art FOLDER [--out FOLDER] [--sheet FILE.png]\n"
           "  Reads FOLDER/palette.txt and, for each '<id> BITMAP \"<name>.bmp\"' line of\n"
           "  SCRIPT, FOLDER/<name>.txt (for '<id> ICON \"<name>.ico\"', FOLDER/<name>_32.txt\n"
           "  and FOLDER/<name>_16.txt); writes the files into --out and a contact sheet\n"
           "  of every picture at 4x with mock faces into --sheet.\n"
           "  Exit status: 0 done, 1 a map or the script is malformed, 2 usage, 3 a file\n"
           "  could not be written.\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string script, artFolder, outFolder, sheet;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            return Usage();
        }
        const std::string value = argv[++i];
        if (option == "--rc") {
            script = value;
        } else if (option == "--art") {
            artFolder = value;
        } else if (option == "--out") {
            outFolder = value;
        } else if (option == "--sheet") {
            sheet = value;
        } else {
            return Usage();
        }
    }
    if (script.empty() || artFolder.empty() || (outFolder.empty() && sheet.empty())) {
        return Usage();
    }
    std::vector<std::string> errors;
    art::ArtSet set = art::LoadArtSet(script, artFolder, errors);
    if (!errors.empty()) {
        for (const std::string& error : errors) {
            std::cerr << "tolvan-art: " << error << "\n";
        }
        return 1;
    }
    std::string error;
    if (!outFolder.empty() && !art::WriteArtFiles(set, outFolder, error)) {
        std::cerr << "tolvan-art: " << error << "\n";
        return 3;
    }
    if (!sheet.empty() && !art::WriteContactSheet(art::ArtSheet(set), sheet, error)) {
        std::cerr << "tolvan-art: " << error << "\n";
        return 3;
    }
    return 0;
}
