// What must hold for any bytes as a resource script, checked by the resource compiler's fuzz
// target and replayed by its unit tests: the compiler either refuses the script with a
// ScriptError or gives resources that are unique by type, name and language, string blocks of
// exactly 16 counted strings, version resources whose first word is their length, and
// dialogs in the extended template form.
#pragma once

#include <cstdint>
#include <exception>
#include <set>
#include <span>
#include <string>
#include <tuple>

#include "tests/fuzz/scratch_file.h"
#include "tools/rc/rc_script.h"

namespace rc_fuzz {

inline std::uint16_t WordAt(const std::vector<unsigned char>& data, std::size_t at) {
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

// "" when the string block holds exactly 16 counted strings.
inline std::string CheckStringBlock(const std::vector<unsigned char>& data) {
    std::size_t at = 0;
    for (int i = 0; i < 16; ++i) {
        if (at + 2 > data.size())
            return "a string block ends inside its lengths";
        at += 2 + 2 * std::size_t{WordAt(data, at)};
    }
    return at == data.size() ? "" : "a string block's strings do not fill it exactly";
}

inline std::string CheckResourceScript(std::span<const std::uint8_t> bytes) {
    static const fuzz_input::ScratchFile script("script.rc");
    if (!script.Write({reinterpret_cast<const char*>(bytes.data()), bytes.size()})) {
        return "cannot write the scratch script";
    }
    rc::CompileResult compiled;
    try {
        compiled = rc::CompileScript(script.Path(), {});
    } catch (const rc::ScriptError&) {
        return "";
    } catch (const std::exception& e) {
        return std::string("an exception other than ScriptError: ") + e.what();
    }
    std::set<std::tuple<rc::ResourceKey, rc::ResourceKey, std::uint16_t>> seen;
    for (const rc::Resource& r : compiled.resources) {
        if (!seen.insert({r.type, r.name, r.language}).second) {
            return "a resource was written twice";
        }
        if (r.type.id == 6) {
            if (std::string problem = CheckStringBlock(r.data); !problem.empty())
                return problem;
        } else if (r.type.id == 16) {
            if (r.data.size() < 2 || WordAt(r.data, 0) != r.data.size()) {
                return "a version resource's length word is not its size";
            }
        } else if (r.type.id == 5) {
            if (r.data.size() < 26 || WordAt(r.data, 0) != 1 || WordAt(r.data, 2) != 0xFFFF) {
                return "a dialog is not an extended template";
            }
        }
    }
    return "";
}

}  // namespace rc_fuzz
