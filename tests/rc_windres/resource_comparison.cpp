// Key-by-key comparison; a difference is reported with the first offset where the bytes part.
#include "tests/rc_windres/resource_comparison.h"

#include "tests/rc_windres/dialog_forms.h"

#include <cstdio>
#include <map>
#include <set>
#include <sstream>

namespace rc_windres {

namespace {

std::string Trim(const std::string& s) {
    const std::size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return "";
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

// Parses KIND into `d`; false when it names nothing known.
bool ParseKind(const std::string& text, KnownDifference* d) {
    d->kindText = text;
    if (text == "only-windres" || text == "only-forecourt-rc") {
        d->kind =
            text == "only-windres" ? DifferenceKind::OnlyWindres : DifferenceKind::OnlyForecourtRc;
        return true;
    }
    d->kind = DifferenceKind::Adjusted;
    std::size_t start = 0;
    while (true) {
        const std::size_t plus = text.find('+', start);
        const std::string word = text.substr(start, plus - start);
        if (word == "extended-form")
            d->adjustments.push_back(Adjustment::ExtendedForm);
        else if (word == "class-atoms")
            d->adjustments.push_back(Adjustment::ClassAtoms);
        else
            return false;
        if (plus == std::string::npos)
            return true;
        start = plus + 1;
    }
}

// windres's data rewritten by `adjustments`; false when the data are not of the form an
// adjustment reads.
bool Adjust(const std::vector<Adjustment>& adjustments, std::vector<unsigned char>* data) {
    for (Adjustment a : adjustments) {
        std::vector<unsigned char> out;
        const bool ok = a == Adjustment::ExtendedForm ? ClassicToExtended(*data, &out)
                                                      : ClassNamesToAtoms(*data, &out);
        if (!ok)
            return false;
        *data = std::move(out);
    }
    return true;
}

// Where two resources' data part: the first differing offset with both bytes, or where the
// shorter one ends. Empty when they are equal.
std::string FirstDifference(const std::vector<unsigned char>& w,
                            const std::vector<unsigned char>& f) {
    const std::size_t common = std::min(w.size(), f.size());
    std::ostringstream out;
    for (std::size_t i = 0; i < common; ++i) {
        if (w[i] != f[i]) {
            out << "offset " << i << ": windres " << Hex(w[i]) << ", forecourt-rc " << Hex(f[i]);
            break;
        }
    }
    if (out.str().empty()) {
        if (w.size() == f.size())
            return "";
        out << "offset " << common << ": " << (w.size() < f.size() ? "windres" : "forecourt-rc")
            << " ends, the other has " << Hex(w.size() < f.size() ? f[common] : w[common]);
    }
    out << " (sizes: windres " << w.size() << ", forecourt-rc " << f.size() << ")";
    return out.str();
}

}  // namespace

bool ParseKnownDifferences(const std::string& text, std::vector<KnownDifference>* list,
                           std::string* error) {
    std::istringstream in(text);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (Trim(line).empty() || Trim(line)[0] == '#')
            continue;
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (std::size_t bar; (bar = line.find('|', start)) != std::string::npos; start = bar + 1)
            fields.push_back(Trim(line.substr(start, bar - start)));
        fields.push_back(Trim(line.substr(start)));
        KnownDifference d;
        if (fields.size() != 4 || !ParseKind(fields[2], &d) || fields[0].empty() ||
            fields[1].empty() || fields[3].empty()) {
            *error = "line " + std::to_string(number) +
                     ": expected \"SCRIPT | KEY | only-windres, only-forecourt-rc or adjustments "
                     "(extended-form, class-atoms, joined by +) | REASON\"";
            return false;
        }
        d.script = fields[0];
        d.key = fields[1];
        d.reason = fields[3];
        list->push_back(std::move(d));
    }
    return true;
}

ComparisonResult CompareResources(const std::string& script,
                                  const std::vector<ResourceEntry>& windres,
                                  const std::vector<ResourceEntry>& forecourtRc,
                                  const std::vector<KnownDifference>& known) {
    ComparisonResult result;
    std::ostringstream out;
    auto index = [&](const std::vector<ResourceEntry>& entries, const char* who) {
        std::map<std::string, const ResourceEntry*> byKey;
        for (const ResourceEntry& e : entries) {
            if (!byKey.emplace(KeyText(e.key), &e).second) {
                out << script << ": " << KeyText(e.key) << ": twice in " << who << "'s output\n";
                ++result.unexpected;
            }
        }
        return byKey;
    };
    const auto fromWindres = index(windres, "windres");
    const auto fromForecourtRc = index(forecourtRc, "forecourt-rc");
    std::map<std::string, const KnownDifference*> listed;
    for (const KnownDifference& d : known) {
        if (d.script == script)
            listed[d.key] = &d;
    }
    std::set<std::string> keys;
    for (const auto& [key, entry] : fromWindres)
        keys.insert(key);
    for (const auto& [key, entry] : fromForecourtRc)
        keys.insert(key);

    int equal = 0, expected = 0;
    std::set<std::string> seenListed;
    for (const std::string& key : keys) {
        const auto w = fromWindres.find(key);
        const auto f = fromForecourtRc.find(key);
        DifferenceKind kind = DifferenceKind::Adjusted;
        std::string what;
        if (f == fromForecourtRc.end()) {
            kind = DifferenceKind::OnlyWindres;
            what =
                "only in windres's output (" + std::to_string(w->second->data.size()) + " bytes)";
        } else if (w == fromWindres.end()) {
            kind = DifferenceKind::OnlyForecourtRc;
            what = "only in forecourt-rc's output (" + std::to_string(f->second->data.size()) +
                   " bytes)";
        } else {
            what = FirstDifference(w->second->data, f->second->data);
        }
        if (what.empty()) {
            ++equal;
            continue;
        }
        const auto it = listed.find(key);
        if (it != listed.end() && it->second->kind == kind && kind == DifferenceKind::Adjusted) {
            // Equal once windres's form is rewritten: whatever else differs still shows.
            std::vector<unsigned char> adjusted = w->second->data;
            std::string after;
            if (!Adjust(it->second->adjustments, &adjusted))
                after = "windres's data cannot be read for " + it->second->kindText;
            else
                after = FirstDifference(adjusted, f->second->data);
            seenListed.insert(key);
            if (after.empty()) {
                ++expected;
                out << script << ": " << key << ": known (" << it->second->reason
                    << "), equal after " << it->second->kindText << "; before: " << what << "\n";
            } else {
                ++result.unexpected;
                out << script << ": " << key << ": DIFFERS after " << it->second->kindText << ": "
                    << after << "\n";
            }
        } else if (it != listed.end() && it->second->kind == kind) {
            seenListed.insert(key);
            ++expected;
            out << script << ": " << key << ": known (" << it->second->reason << "): " << what
                << "\n";
        } else {
            ++result.unexpected;
            out << script << ": " << key << ": DIFFERS: " << what << "\n";
        }
    }
    for (const auto& [key, d] : listed) {
        if (seenListed.count(key) == 0) {
            ++result.unexpected;
            out << script << ": " << key << ": listed as " << d->kindText << " (" << d->reason
                << ") but does not differ so\n";
        }
    }
    out << script << ": " << windres.size() << " resources from windres, " << forecourtRc.size()
        << " from forecourt-rc; " << equal << " equal, " << expected << " known difference"
        << (expected == 1 ? "" : "s") << ", " << result.unexpected << " unexpected\n";
    result.report = out.str();
    return result;
}

}  // namespace rc_windres
