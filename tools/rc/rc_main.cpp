// forecourt-rc: compiles a module's resource script into a C++ source that carries the
// resources and registers them with the module's instance handle when the module loads.
//
//   forecourt-rc SCRIPT.rc OUTPUT.cpp ANCHOR [--search FOLDER]... [--depfile FILE]
//
// Files the script names are looked up beside the script first, then in each --search folder
// (generated files). ANCHOR names a symbol defined by the output, which static libraries use
// to make every program that links them keep the resources. The depfile lists every input.
// Outputs are written as rc_output.h says: a regular file is replaced in one step, and only
// when its content changes; a pipe or device (/dev/stdout) is written straight through.
#include <cstdio>
#include <exception>
#include <sstream>
#include <string>

#include "tools/rc/printable_text.h"
#include "tools/rc/rc_output.h"
#include "tools/rc/rc_script.h"

namespace {

void WriteUtf16Literal(std::ostream& out, const std::u16string& text) {
    out << "u\"";
    char buffer[8];
    for (char16_t c : text) {
        std::snprintf(buffer, sizeof buffer, "\\x%04X", static_cast<unsigned>(c));
        out << buffer;
    }
    out << "\"";
}

std::string Source(const rc::CompileResult& compiled, const std::string& script,
                   const std::string& anchor) {
    std::ostringstream out;
    out << "// Resources of " << script << ", written by forecourt-rc; do not edit.\n"
        << "#include \"platform/resources.h\"\n\nnamespace {\n\n";
    std::size_t index = 0;
    for (const rc::Resource& r : compiled.resources) {
        // Aligned so that string resources can be read as 16-bit units in place.
        out << "alignas(4) const unsigned char kData" << index << "[] = {";
        for (std::size_t i = 0; i < r.data.size(); ++i) {
            out << (i % 20 == 0 ? "\n    " : " ") << static_cast<unsigned>(r.data[i]) << ",";
        }
        if (r.data.empty())
            out << "0";
        out << "\n};\n";
        ++index;
    }
    out << "\nconst CompiledResource kResources[] = {\n";
    index = 0;
    for (const rc::Resource& r : compiled.resources) {
        out << "    {" << r.type.id << ", ";
        if (r.type.text.empty())
            out << "nullptr";
        else
            WriteUtf16Literal(out, r.type.text);
        out << ", " << r.name.id << ", ";
        if (r.name.text.empty())
            out << "nullptr";
        else
            WriteUtf16Literal(out, r.name.text);
        out << ", " << r.language << ", kData" << index << ", " << r.data.size() << "},\n";
        ++index;
    }
    if (compiled.resources.empty())
        out << "    {0, nullptr, 0, nullptr, 0, nullptr, 0},\n";
    out << "};\n\n"
        << "// Registers the table under the instance handle of the module that holds it.\n"
        << "struct Registrar {\n"
        << "    Registrar() {\n"
        << "        platform::RegisterModuleResources(ModuleFromAddress(kResources), kResources, "
        << compiled.resources.size() << ");\n"
        << "    }\n"
        << "    ~Registrar() { platform::UnregisterModuleResources(ModuleFromAddress(kResources)); "
           "}\n"
        << "};\n"
        << "const Registrar registrar;\n\n"
        << "}  // namespace\n\n"
        << "extern \"C\" const int " << anchor << " = 1;\n";
    return out.str();
}

// Prints one error line; what it quotes from the script may be any bytes.
void Report(const std::string& message) {
    std::fprintf(stderr, "forecourt-rc: %s\n", rc::PrintableText(message).c_str());
}

bool Write(const std::string& path, const std::string& text) {
    const std::string failure = rc::WriteOutput(path, text);
    if (failure.empty())
        return true;
    Report("cannot write " + path + ": " + failure);
    return false;
}

std::string Escaped(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '$')
            out += '\\';
        out += c;
    }
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr,
                     "usage: forecourt-rc SCRIPT.rc OUTPUT.cpp ANCHOR [--search FOLDER]... "
                     "[--depfile FILE]\n");
        return 2;
    }
    const std::string script = argv[1];
    const std::string output = argv[2];
    const std::string anchor = argv[3];
    rc::CompileOptions options;
    std::string depfile;
    for (int i = 4; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--search" || arg == "--depfile") && i + 1 < argc) {
            (arg == "--search" ? options.searchFolders.emplace_back() : depfile) = argv[++i];
        } else {
            Report("unknown argument " + arg);
            return 2;
        }
    }
    try {
        const rc::CompileResult compiled = rc::CompileScript(script, options);
        if (!Write(output, Source(compiled, script, anchor)))
            return 1;
        if (!depfile.empty()) {
            std::string deps = Escaped(output) + ":";
            for (const std::string& input : compiled.inputs)
                deps += " \\\n  " + Escaped(input);
            deps += "\n";
            if (!Write(depfile, deps))
                return 1;
        }
    } catch (const std::exception& e) {  // ScriptError, and the system's (no memory)
        Report(e.what());
        return 1;
    }
    return 0;
}
