// Holds the resources one script compiles to under forecourt-rc against those windres writes
// for it: the same (type, name, language) keys and byte-equal data, except the differences a
// reviewed list names with their reasons.
#pragma once

#include <string>
#include <vector>

#include "tests/rc_windres/res_file.h"

namespace rc_windres {

enum class DifferenceKind { OnlyWindres, OnlyForecourtRc, Bytes };

// One line of the list: "SCRIPT | KEY | only-windres|only-forecourt-rc|bytes | REASON".
struct KnownDifference {
    std::string script;  // the script's file name, as "tolvan.rc"
    std::string key;     // as KeyText writes it
    DifferenceKind kind = DifferenceKind::Bytes;
    std::string reason;
};

// Reads the list; '#' starts a comment line. False with `error` (naming the line) when a line
// is malformed.
bool ParseKnownDifferences(const std::string& text, std::vector<KnownDifference>* list,
                           std::string* error);

struct ComparisonResult {
    std::string report;  // one line per difference, then the totals
    int unexpected = 0;  // differences not listed, listed ones that are gone, duplicate keys
};

ComparisonResult CompareResources(const std::string& script,
                                  const std::vector<ResourceEntry>& windres,
                                  const std::vector<ResourceEntry>& forecourtRc,
                                  const std::vector<KnownDifference>& known);

}  // namespace rc_windres
