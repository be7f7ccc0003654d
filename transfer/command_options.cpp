// Keyword matching and switch implications of Brenkar's command line.
#include "transfer/command_options.h"

#include "transfer/version_only.h"

namespace {

char FoldAsciiCase(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The Windows build used the multibyte-aware case-insensitive compare of the process code
// page. Every keyword is plain ASCII, so folding A-Z alone accepts the same spellings of the
// keywords and never takes a byte of a multibyte character for a letter.
bool IsKeyword(const char* argument, const char* keyword) {
    for (; *keyword != '\0'; ++argument, ++keyword) {
        if (FoldAsciiCase(*argument) != *keyword) {
            return false;
        }
    }
    return *argument == '\0';
}

void ApplyArgument(CommandOptions& options, const char* argument) {
    if (IsKeyword(argument, "IMPORT")) {
        options.mode = TransferMode::kImport;
    } else if (IsKeyword(argument, "EXPORT")) {
        options.mode = TransferMode::kExport;
    } else if (IsKeyword(argument, "VERSION")) {
        options.mode = TransferMode::kExport;
        VersionOnly = true;
    } else if (IsKeyword(argument, "CHECK")) {
        options.mode = TransferMode::kCheck;
    } else if (IsKeyword(argument, "VERIFY")) {
        options.mode = TransferMode::kVerify;
    } else if (IsKeyword(argument, "/GSC")) {
        options.gsc = true;
    } else if (IsKeyword(argument, "/PAM")) {
        options.pam = true;
        options.company = false;
    } else if (IsKeyword(argument, "/COMPANY")) {
        options.company = true;
        options.pam = false;
    } else if (IsKeyword(argument, "/IPT")) {
        options.ipt = true;
    } else if (options.iniFile.Length() == 0) {
        options.iniFile.Assign(argument);
    } else {
        options.serverName.Assign(argument);
    }
}

void ApplyImplications(CommandOptions& options) {
    if (options.ipt) {
        options.gsc = true;
    }
    if (options.gsc) {
        options.pam = true;
        options.company = false;
    }
    if (options.pam) {
        options.company = false;
    }
}

}  // namespace

CommandOptions ParseCommandLine(int count, char* const* args) {
    CommandOptions options;
    for (int i = 0; i < count; ++i) {
        ApplyArgument(options, args[i]);
    }
    ApplyImplications(options);
    return options;
}
