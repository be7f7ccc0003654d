// Where a program finds the modules and programs that come with it, in the build tree or in an
// installed tree (bin/ and the private library folder lib/forecourt/), found from the
// program's own place so that an installed tree can be moved.
#pragma once

#include <string>

namespace forecourt {

// The folder of the running program (the target of /proc/self/exe), or "" when unknown.
std::string ProgramFolder();

// The first of these that exists, each relative to the program's folder: `buildRelative`
// (where the build tree puts the file, e.g. "../control/Tolvan.OCX"), then the installed
// module `name` in the private library folder. "" when neither exists.
std::string FindModule(const std::string& buildRelative, const std::string& name);

// The same for a program: `buildRelative`, then `name` beside this program (bin/).
std::string FindProgram(const std::string& buildRelative, const std::string& name);

}  // namespace forecourt
