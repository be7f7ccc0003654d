// One script's resources as forecourt-rc compiled them into this program (its generated table,
// linked in) against the .res file windres wrote for the same script:
//   compare-with-windres SCRIPT_NAME WINDRES.res KNOWN_DIFFERENCES
// Exit status 0 when they agree but for the listed differences, 1 otherwise, 2 on bad input.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "platform/resources.h"
#include "platform/text_conversion.h"
#include "tests/rc_windres/resource_comparison.h"

namespace {

std::vector<rc_windres::ResourceEntry>& Compiled() {
    static std::vector<rc_windres::ResourceEntry> entries;
    return entries;
}

bool ReadFile(const char* path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

}  // namespace

// The generated table registers itself when the program starts; this program keeps its rows
// instead of serving them, in place of USER's registry of module resources.
namespace platform {

void RegisterModuleResources(HMODULE, const CompiledResource* table, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const CompiledResource& r = table[i];
        rc_windres::ResourceEntry e;
        e.key.type.id = r.typeName ? 0 : r.typeId;
        e.key.type.text = r.typeName ? r.typeName : u"";
        e.key.name.id = r.nameName ? 0 : r.nameId;
        e.key.name.text = r.nameName ? r.nameName : u"";
        e.key.language = r.language;
        e.data.assign(r.data, r.data + r.size);
        Compiled().push_back(std::move(e));
    }
}

void UnregisterModuleResources(HMODULE) {}

}  // namespace platform

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr,
                     "usage: compare-with-windres SCRIPT_NAME WINDRES.res KNOWN_DIFFERENCES\n");
        return 2;
    }
    std::string res, listText, error;
    if (!ReadFile(argv[2], &res) || !ReadFile(argv[3], &listText)) {
        std::fprintf(stderr, "compare-with-windres: cannot read %s or %s\n", argv[2], argv[3]);
        return 2;
    }
    std::vector<rc_windres::ResourceEntry> windres;
    if (!rc_windres::ReadResFile(std::vector<unsigned char>(res.begin(), res.end()), &windres,
                                 &error)) {
        std::fprintf(stderr, "compare-with-windres: %s: %s\n", argv[2], error.c_str());
        return 2;
    }
    std::vector<rc_windres::KnownDifference> known;
    if (!rc_windres::ParseKnownDifferences(listText, &known, &error)) {
        std::fprintf(stderr, "compare-with-windres: %s: %s\n", argv[3], error.c_str());
        return 2;
    }
    const rc_windres::ComparisonResult result =
        rc_windres::CompareResources(argv[1], windres, Compiled(), known);
    std::fputs(result.report.c_str(), stdout);
    return result.unexpected == 0 ? 0 : 1;
}
