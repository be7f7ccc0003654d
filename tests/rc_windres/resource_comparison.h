// Holds the resources one script compiles to under forecourt-rc against those windres writes
// for it: the same (type, name, language) keys and byte-equal data, except the differences a
// reviewed list names with their reasons.
#pragma once

#include <string>
#include <vector>

#include "tests/rc_windres/res_file.h"

namespace rc_windres {

// A resource that only one compiler writes, or one whose data windres writes in another form
// of the same content: the data are equal once windres's is rewritten by the adjustments.
enum class DifferenceKind { OnlyWindres, OnlyForecourtRc, Adjusted };

// How windres's data of a resource are rewritten before they are compared.
enum class Adjustment {
    ExtendedForm,  // "extended-form": a DLGTEMPLATE as the DLGTEMPLATEEX forecourt-rc writes
    ClassAtoms,    // "class-atoms": a dialog's predefined class names as their atoms
};

// One line of the list: "SCRIPT | KEY | KIND | REASON", KIND only-windres, only-forecourt-rc,
// or adjustments joined by '+' ("extended-form+class-atoms"), applied in that order.
struct KnownDifference {
    std::string script;  // the script's file name, as "tolvan.rc"
    std::string key;     // as KeyText writes it
    DifferenceKind kind = DifferenceKind::Adjusted;
    std::vector<Adjustment> adjustments;
    std::string kindText;  // as the list writes it
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
