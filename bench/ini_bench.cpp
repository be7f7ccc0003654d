// ini-bench: times reading every key of every section of generated INI files of 4,000 and
// 40,000 sections (the size of the largest exports) through IniDocument, the way the import
// reads, and through a read-only copy, the way CHECK and VERIFY read. Linear reading gives a
// ratio of about 10 between the two sizes, quadratic about 100.
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "common/counter_string.h"
#include "ini/ini_document.h"

namespace {

constexpr int kKeysPerSection = 12;
constexpr int kRuns = 3;  // the best of three, to keep other load on the machine out

std::string SectionName(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "Pump%02d", i);
    return name;
}

std::string KeyName(int k) {
    return "Key" + std::to_string(k);
}

// Writes the file as the export does: one IniDocument, WriteKey for every key.
void Generate(const std::string& path, int sections) {
    std::filesystem::remove(path);
    IniDocument document(path.c_str(), true);
    CounterString value;
    for (int i = 1; i <= sections; ++i) {
        document.SelectSection(SectionName(i).c_str());
        for (int k = 1; k <= kKeysPerSection; ++k) {
            value.Format("%d", i * 100 + k);
            document.WriteKey(KeyName(k).c_str(), value);
        }
    }
}

// Reads every key back, from the file kept open or from a read-only copy; returns the seconds
// taken, or -1 when a value is wrong.
double ReadAll(const std::string& path, int sections, bool copy) {
    const auto start = std::chrono::steady_clock::now();
    std::optional<IniDocument> opened;
    if (copy) {
        opened.emplace(path.c_str(), IniDocument::ReadOnlyCopy{});
    } else {
        opened.emplace(path.c_str(), true);
    }
    IniDocument& document = *opened;
    for (int i = 1; i <= sections; ++i) {
        document.SelectSection(SectionName(i).c_str());
        for (int k = 1; k <= kKeysPerSection; ++k) {
            if (document.GetInt(KeyName(k).c_str()) != i * 100 + k) {
                return -1;
            }
        }
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double BestReadTime(const std::string& path, int sections, bool copy) {
    double best = -1;
    for (int run = 0; run < kRuns; ++run) {
        const double seconds = ReadAll(path, sections, copy);
        if (seconds < 0) {
            return -1;
        }
        best = best < 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

}  // namespace

int main() {
    std::string directory = std::filesystem::temp_directory_path() / "ini-bench-XXXXXX";
    if (mkdtemp(directory.data()) == nullptr) {
        std::perror("ini-bench: cannot make a scratch directory");
        return 1;
    }
    const int sizes[] = {4000, 40000};
    for (const bool copy : {false, true}) {
        double seconds[2] = {};
        for (int s = 0; s < 2; ++s) {
            const std::string path = directory + "/sections_" + std::to_string(sizes[s]) + ".ini";
            Generate(path, sizes[s]);
            seconds[s] = BestReadTime(path, sizes[s], copy);
            if (seconds[s] < 0) {
                std::fprintf(stderr, "ini-bench: a value read back from %s is wrong\n",
                             path.c_str());
                std::filesystem::remove_all(directory);
                return 1;
            }
            std::printf("%6d sections, %2d keys each, %5.1f MB: read all keys %s in %.3f s\n",
                        sizes[s], kKeysPerSection, std::filesystem::file_size(path) / 1e6,
                        copy ? "from a read-only copy" : "from the file", seconds[s]);
        }
        std::printf("ratio %.1f\n",
                    std::max(seconds[0], seconds[1]) / std::min(seconds[0], seconds[1]));
    }
    std::filesystem::remove_all(directory);
    return 0;
}
