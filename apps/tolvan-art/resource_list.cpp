// Reading of the resource script's BITMAP and ICON lines.
#include "apps/tolvan-art/resource_list.h"

#include <sstream>

namespace art {

std::vector<PictureResource> ReadPictureResources(std::string_view script,
                                                  const std::string& fileName, std::string& error) {
    std::vector<PictureResource> pictures;
    std::istringstream lines{std::string(script)};
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        std::istringstream words(line);
        std::string id, type, quoted, rest;
        words >> id >> type >> quoted >> rest;
        if (type != "BITMAP" && type != "ICON") {
            continue;
        }
        const bool bitmap = type == "BITMAP";
        const std::string extension = bitmap ? ".bmp" : ".ico";
        const bool idOk = !id.empty() && id.size() <= 5 &&
                          id.find_first_not_of("0123456789") == std::string::npos;
        const bool nameOk =
            quoted.size() > extension.size() + 2 && quoted.front() == '"' && quoted.back() == '"' &&
            quoted.compare(quoted.size() - 1 - extension.size(), extension.size(), extension) ==
                0 &&
            quoted.find('/') == std::string::npos;
        if (!idOk || !nameOk || !rest.empty()) {
            error = fileName + ":" + std::to_string(number) + ": expected \"<id> " + type +
                    " \"<name>" + extension + "\"\", not \"" + line + "\"";
            return pictures;
        }
        PictureResource p;
        p.kind = bitmap ? PictureResource::Kind::Bitmap : PictureResource::Kind::Icon;
        p.id = std::stoi(id);
        p.file = quoted.substr(1, quoted.size() - 2);
        p.stem = p.file.substr(0, p.file.size() - extension.size());
        pictures.push_back(p);
    }
    return pictures;
}

}  // namespace art
