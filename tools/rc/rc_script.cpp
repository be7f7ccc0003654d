// Reading a resource script: a small preprocessor (comments, #define, #include of headers for
// their #defines), a tokenizer, and one parser per resource statement.
#include "tools/rc/rc_script.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>
#include <tuple>

#include "platform/bmp_reader.h"
#include "tools/rc/rc_binary.h"
#include "tools/rc/rc_input.h"

namespace rc {

namespace {

namespace fs = std::filesystem;

// The names a resource script may use without defining them, with their Windows values.
const std::map<std::string, std::uint32_t>& PredefinedSymbols() {
    static const std::map<std::string, std::uint32_t> symbols = {
        {"WS_OVERLAPPED", 0x00000000},
        {"WS_POPUP", 0x80000000},
        {"WS_CHILD", 0x40000000},
        {"WS_MINIMIZE", 0x20000000},
        {"WS_VISIBLE", 0x10000000},
        {"WS_DISABLED", 0x08000000},
        {"WS_CLIPSIBLINGS", 0x04000000},
        {"WS_CLIPCHILDREN", 0x02000000},
        {"WS_MAXIMIZE", 0x01000000},
        {"WS_CAPTION", 0x00C00000},
        {"WS_BORDER", 0x00800000},
        {"WS_DLGFRAME", 0x00400000},
        {"WS_VSCROLL", 0x00200000},
        {"WS_HSCROLL", 0x00100000},
        {"WS_SYSMENU", 0x00080000},
        {"WS_THICKFRAME", 0x00040000},
        {"WS_GROUP", 0x00020000},
        {"WS_TABSTOP", 0x00010000},
        {"WS_MINIMIZEBOX", 0x00020000},
        {"WS_MAXIMIZEBOX", 0x00010000},
        {"WS_EX_DLGMODALFRAME", 0x1},
        {"WS_EX_TOPMOST", 0x8},
        {"WS_EX_TRANSPARENT", 0x20},
        {"WS_EX_TOOLWINDOW", 0x80},
        {"WS_EX_WINDOWEDGE", 0x100},
        {"WS_EX_CLIENTEDGE", 0x200},
        {"WS_EX_CONTROLPARENT", 0x10000},
        {"WS_EX_STATICEDGE", 0x20000},
        {"DS_ABSALIGN", 0x1},
        {"DS_SYSMODAL", 0x2},
        {"DS_LOCALEDIT", 0x20},
        {"DS_SETFONT", 0x40},
        {"DS_MODALFRAME", 0x80},
        {"DS_NOIDLEMSG", 0x100},
        {"DS_SETFOREGROUND", 0x200},
        {"DS_3DLOOK", 0x4},
        {"DS_FIXEDSYS", 0x8},
        {"DS_NOFAILCREATE", 0x10},
        {"DS_CONTROL", 0x400},
        {"DS_CENTER", 0x800},
        {"DS_CENTERMOUSE", 0x1000},
        {"DS_CONTEXTHELP", 0x2000},
        {"DS_SHELLFONT", 0x48},
        {"SS_LEFT", 0x0},
        {"SS_CENTER", 0x1},
        {"SS_RIGHT", 0x2},
        {"SS_ICON", 0x3},
        {"SS_BLACKRECT", 0x4},
        {"SS_GRAYRECT", 0x5},
        {"SS_WHITERECT", 0x6},
        {"SS_BLACKFRAME", 0x7},
        {"SS_SIMPLE", 0xB},
        {"SS_LEFTNOWORDWRAP", 0xC},
        {"SS_OWNERDRAW", 0xD},
        {"SS_BITMAP", 0xE},
        {"SS_ETCHEDHORZ", 0x10},
        {"SS_NOPREFIX", 0x80},
        {"SS_NOTIFY", 0x100},
        {"SS_CENTERIMAGE", 0x200},
        {"SS_SUNKEN", 0x1000},
        {"BS_PUSHBUTTON", 0x0},
        {"BS_DEFPUSHBUTTON", 0x1},
        {"BS_CHECKBOX", 0x2},
        {"BS_AUTOCHECKBOX", 0x3},
        {"BS_RADIOBUTTON", 0x4},
        {"BS_3STATE", 0x5},
        {"BS_AUTO3STATE", 0x6},
        {"BS_GROUPBOX", 0x7},
        {"BS_AUTORADIOBUTTON", 0x9},
        {"BS_OWNERDRAW", 0xB},
        {"BS_BITMAP", 0x80},
        {"BS_FLAT", 0x8000},
        {"BS_MULTILINE", 0x2000},
        {"BS_NOTIFY", 0x4000},
        {"ES_LEFT", 0x0},
        {"ES_CENTER", 0x1},
        {"ES_RIGHT", 0x2},
        {"ES_MULTILINE", 0x4},
        {"ES_UPPERCASE", 0x8},
        {"ES_PASSWORD", 0x20},
        {"ES_AUTOVSCROLL", 0x40},
        {"ES_AUTOHSCROLL", 0x80},
        {"ES_READONLY", 0x800},
        {"ES_NUMBER", 0x2000},
        {"LBS_NOTIFY", 0x1},
        {"LBS_SORT", 0x2},
        {"LBS_NOREDRAW", 0x4},
        {"LBS_MULTIPLESEL", 0x8},
        {"LBS_OWNERDRAWFIXED", 0x10},
        {"LBS_OWNERDRAWVARIABLE", 0x20},
        {"LBS_HASSTRINGS", 0x40},
        {"LBS_USETABSTOPS", 0x80},
        {"LBS_NOINTEGRALHEIGHT", 0x100},
        {"LBS_WANTKEYBOARDINPUT", 0x400},
        {"LBS_DISABLENOSCROLL", 0x1000},
        {"LBS_NOSEL", 0x4000},
        {"CBS_SIMPLE", 0x1},
        {"CBS_DROPDOWN", 0x2},
        {"CBS_DROPDOWNLIST", 0x3},
        {"CBS_AUTOHSCROLL", 0x40},
        {"CBS_SORT", 0x100},
        {"CBS_HASSTRINGS", 0x200},
        {"IDOK", 1},
        {"IDCANCEL", 2},
        {"IDC_STATIC", 0xFFFFFFFF},
        {"VS_VERSION_INFO", 1},
        {"VS_FF_DEBUG", 0x1},
        {"VS_FF_PRERELEASE", 0x2},
        {"VS_FF_PATCHED", 0x4},
        {"VS_FFI_FILEFLAGSMASK", 0x3F},
        {"VOS_UNKNOWN", 0x0},
        {"VOS__WINDOWS32", 0x4},
        {"VOS_NT", 0x40000},
        {"VOS_NT_WINDOWS32", 0x40004},
        {"VFT_UNKNOWN", 0x0},
        {"VFT_APP", 0x1},
        {"VFT_DLL", 0x2},
        {"VFT_DRV", 0x3},
        {"VFT_FONT", 0x4},
        {"VFT_STATIC_LIB", 0x7},
        {"VFT2_UNKNOWN", 0x0},
        {"FW_NORMAL", 400},
        {"FW_BOLD", 700},
        {"LANG_NEUTRAL", 0x00},
        {"LANG_ENGLISH", 0x09},
        {"LANG_PORTUGUESE", 0x16},
        {"LANG_SPANISH", 0x0A},
        {"LANG_GERMAN", 0x07},
        {"LANG_FRENCH", 0x0C},
        {"SUBLANG_NEUTRAL", 0x00},
        {"SUBLANG_DEFAULT", 0x01},
        {"SUBLANG_ENGLISH_US", 0x01},
        {"SUBLANG_ENGLISH_UK", 0x02},
        {"SUBLANG_ENGLISH_AUS", 0x03},
        {"SUBLANG_ENGLISH_NZ", 0x05},
        {"SUBLANG_PORTUGUESE", 0x02},
        {"SUBLANG_PORTUGUESE_BRAZILIAN", 0x01},
    };
    return symbols;
}

enum class TokenKind { Number, Name, String, Punct, End };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // name, punctuation, or the string's UTF-8 content
    std::uint32_t number = 0;
    int line = 0;
};

// How deeply ~, - and parentheses may nest in an expression, and BLOCKs in version
// information. The resource format has no such limit; this one keeps a hostile script from
// exhausting the stack, far beyond what a real script writes.
constexpr int kMaxNesting = 256;
// How deeply headers may include headers (C compilers bound it alike).
constexpr std::size_t kMaxIncludeDepth = 200;

// A value as the script most likely wrote it: -1 rather than 4294967295.
std::string ValueText(std::uint32_t v) {
    return v > 0x7FFFFFFF ? std::to_string(static_cast<std::int32_t>(v)) : std::to_string(v);
}

// How messages name a resource type, a resource name and a language.
std::string TypeName(std::uint16_t type) {
    switch (type) {
        case 2:
            return "BITMAP";
        case 3:
            return "icon image";
        case 5:
            return "DIALOG";
        case 6:
            return "string block";
        case 10:
            return "RCDATA";
        case 14:
            return "ICON";
        case 16:
            return "VERSIONINFO";
        default:
            return "resource type " + std::to_string(type);
    }
}
std::string NameText(const ResourceKey& name) {
    return name.text.empty() ? std::to_string(name.id) : Utf16ToUtf8(name.text);
}
std::string LanguageText(std::uint16_t language) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%04X", language);
    return text;
}

// Splits preprocessed script text into tokens; `defines` maps names to replacement values.
class Tokenizer {
  public:
    Tokenizer(const std::string& text, const std::string& file) : text_(text), file_(file) {}

    std::vector<Token> Run() {
        std::vector<Token> tokens;
        while (true) {
            SkipSpaceAndComments();
            if (pos_ >= text_.size())
                break;
            const char c = text_[pos_];
            Token t;
            t.line = line_;
            if (c == '"') {
                t.kind = TokenKind::String;
                t.text = ReadString();
            } else if (std::isdigit(static_cast<unsigned char>(c))) {
                t.kind = TokenKind::Number;
                t.number = ReadNumber();
                while (pos_ < text_.size() && (text_[pos_] == 'L' || text_[pos_] == 'l' ||
                                               text_[pos_] == 'U' || text_[pos_] == 'u'))
                    ++pos_;
            } else if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
                t.kind = TokenKind::Name;
                while (
                    pos_ < text_.size() &&
                    (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_'))
                    t.text += text_[pos_++];
            } else if (c == '#') {
                t.kind = TokenKind::Punct;
                t.text = "#";
                ++pos_;
            } else {
                t.kind = TokenKind::Punct;
                t.text = std::string(1, c);
                ++pos_;
            }
            tokens.push_back(t);
        }
        Token end;
        end.line = line_;
        tokens.push_back(end);
        return tokens;
    }

  private:
    // A decimal, octal (leading 0) or hexadecimal (0x) number; a script's numbers are 32-bit.
    std::uint32_t ReadNumber() {
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        errno = 0;
        const unsigned long long value = std::strtoull(start, &end, 0);
        pos_ += static_cast<std::size_t>(end - start);
        if (errno == ERANGE || value > 0xFFFFFFFF) {
            throw ScriptError(Where() + "number does not fit in 32 bits");
        }
        return static_cast<std::uint32_t>(value);
    }

    void SkipSpaceAndComments() {
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '\n') {
                ++line_;
                ++pos_;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos_;
            } else if (text_.compare(pos_, 2, "//") == 0) {
                while (pos_ < text_.size() && text_[pos_] != '\n')
                    ++pos_;
            } else if (text_.compare(pos_, 2, "/*") == 0) {
                const std::size_t end = text_.find("*/", pos_ + 2);
                if (end == std::string::npos)
                    throw ScriptError(Where() + "unterminated comment");
                for (std::size_t i = pos_; i < end; ++i)
                    line_ += text_[i] == '\n';
                pos_ = end + 2;
            } else {
                return;
            }
        }
    }

    std::string ReadString() {
        std::string out;
        ++pos_;
        while (true) {
            if (pos_ >= text_.size() || text_[pos_] == '\n') {
                throw ScriptError(Where() + "unterminated string");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                if (pos_ < text_.size() && text_[pos_] == '"') {  // "" is a quote
                    out += '"';
                    ++pos_;
                    continue;
                }
                return out;
            }
            if (c == '\\' && pos_ < text_.size()) {
                const char e = text_[pos_++];
                switch (e) {
                    case 'n':
                        out += '\n';
                        break;
                    case 'r':
                        out += '\r';
                        break;
                    case 't':
                        out += '\t';
                        break;
                    case '\\':
                        out += '\\';
                        break;
                    case '"':
                        out += '"';
                        break;
                    case 'x':
                    case 'X':
                        if (pos_ < text_.size() &&
                            std::isxdigit(static_cast<unsigned char>(text_[pos_]))) {
                            out += static_cast<char>(EscapedByte(16, 2));
                            break;
                        }
                        out += '\\';
                        out += e;
                        break;
                    default:
                        if (e >= '0' && e <= '7') {
                            --pos_;
                            out += static_cast<char>(EscapedByte(8, 3));
                            break;
                        }
                        out += '\\';
                        out += e;
                        break;
                }
                continue;
            }
            out += c;
        }
    }

    // The byte of an octal (up to 3 digits, \101) or hexadecimal (up to 2, \x41) escape, whose
    // digits start at pos_; the bytes of a string are UTF-8, so \303\247 is one character.
    unsigned EscapedByte(int base, int maxDigits) {
        unsigned value = 0;
        for (int i = 0; i < maxDigits && pos_ < text_.size(); ++i) {
            const char d = text_[pos_];
            int digit = -1;
            if (d >= '0' && d <= '7')
                digit = d - '0';
            else if (base == 16 && std::isxdigit(static_cast<unsigned char>(d)))
                digit = std::isdigit(static_cast<unsigned char>(d))
                            ? d - '0'
                            : std::tolower(static_cast<unsigned char>(d)) - 'a' + 10;
            if (digit < 0)
                break;
            value = value * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
            ++pos_;
        }
        return value & 0xFF;
    }

    std::string Where() const { return file_ + ":" + std::to_string(line_) + ": "; }

    const std::string& text_;
    std::string file_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

class Parser {
  public:
    Parser(const fs::path& script, const CompileOptions& options, CompileResult& result)
        : script_(script), options_(options), result_(result) {}

    void Run() {
        Load();
        while (!AtEnd())
            Statement();
    }

  private:
    // A file being preprocessed: the script, or a header it includes, as messages name it.
    struct OpenFile {
        std::string name;
        FileIdentity identity;
    };

    // Preprocesses the script: #define lines become symbols, #include "x" reads x's defines (a
    // header's other content is ignored), other directives are ignored; the rest is tokenized.
    void Load() {
        file_ = script_.filename().string();
        const InputFile input = ReadRegularFile(script_.string());
        RecordInput(script_);
        includes_.push_back({file_, input.identity});
        std::string body;
        ForEachLine(input.bytes, [&](const std::string& line, int number) {
            if (const std::size_t at = DirectiveStart(line); at != std::string::npos) {
                Directive(script_, line.substr(at), number);
                body += '\n';
            } else {
                body += line + '\n';
            }
        });
        includes_.pop_back();
        tokens_ = Tokenizer(body, file_).Run();
    }

    template <typename PerLine>
    static void ForEachLine(const std::string& text, PerLine perLine) {
        std::istringstream lines(text);
        std::string line;
        for (int number = 1; std::getline(lines, line); ++number)
            perLine(line, number);
    }

    // Where the '#' of a directive line ends, or npos for a line of script text.
    static std::size_t DirectiveStart(const std::string& line) {
        const std::size_t first = line.find_first_not_of(" \t");
        return first != std::string::npos && line[first] == '#' ? first + 1 : std::string::npos;
    }

    void RecordInput(const fs::path& path) {
        std::error_code ignored;
        const fs::path absolute = fs::absolute(path, ignored);
        result_.inputs.insert((absolute.empty() ? path : absolute).lexically_normal().string());
    }

    void Directive(const fs::path& from, const std::string& directive, int line) {
        std::istringstream in(directive);
        std::string word;
        in >> word;
        if (word == "define") {
            std::string name, value;
            in >> name;
            std::getline(in, value);
            const std::size_t start = value.find_first_not_of(" \t");
            value = start == std::string::npos ? "" : value.substr(start);
            if (const std::size_t comment = value.find("//"); comment != std::string::npos)
                value = value.substr(0, comment);
            try {
                const bool negative = value.starts_with('-');
                const unsigned long long number =
                    std::stoull(negative ? value.substr(1) : value, nullptr, 0);
                // A value wider than 32 bits is for C code; a script using it finds it unknown.
                // A negative one is taken modulo 2^32, as IDC_STATIC's -1.
                if (number <= 0xFFFFFFFF) {
                    const auto magnitude = static_cast<std::uint32_t>(number);
                    defines_[name] = negative ? 0u - magnitude : magnitude;
                }
            } catch (const std::exception&) {
                // Non-numeric definitions (guards, strings) name nothing a script needs.
            }
        } else if (word == "include") {
            std::string rest;
            std::getline(in, rest);
            const std::size_t open = rest.find_first_of("\"<");
            const std::size_t close = rest.find_last_of("\">");
            if (open == std::string::npos || close <= open)
                return;
            const std::string name = rest.substr(open + 1, close - open - 1);
            const fs::path local = (from.parent_path() / name).lexically_normal();
            // System headers (winres.h, afxres.h) are replaced by the predefined names.
            std::error_code ignored;
            if (fs::exists(local, ignored)) {
                LoadHeader(local, includes_.back().name + ":" + std::to_string(line) + ": ");
            }
        }
    }

    // Reads a header's directives; `where` is the location of the #include that names it.
    void LoadHeader(const fs::path& path, const std::string& where) {
        InputFile input;
        try {
            input = ReadRegularFile(path.string());
        } catch (const ScriptError& e) {
            throw ScriptError(where + e.what());
        }
        const fs::path relative = path.lexically_relative(script_.parent_path());
        const std::string name = relative.empty() ? path.string() : relative.string();
        for (const OpenFile& open : includes_) {
            if (open.identity == input.identity) {
                throw ScriptError(where + "recursive #include: " + IncludeChain(name));
            }
        }
        if (includes_.size() >= kMaxIncludeDepth) {
            throw ScriptError(where + "#include nested more than " +
                              std::to_string(kMaxIncludeDepth) + " deep: " + IncludeChain(name));
        }
        RecordInput(path);
        includes_.push_back({name, input.identity});
        ForEachLine(input.bytes, [&](const std::string& line, int number) {
            if (const std::size_t at = DirectiveStart(line); at != std::string::npos) {
                Directive(path, line.substr(at), number);
            }
        });
        includes_.pop_back();
    }

    // "a.rc -> b.h -> c.h -> next": the files being read and the one about to be.
    std::string IncludeChain(const std::string& next) const {
        std::string chain;
        for (const OpenFile& open : includes_)
            chain += open.name + " -> ";
        return chain + next;
    }

    [[noreturn]] void Fail(const std::string& what) const { FailAt(Peek().line, what); }
    [[noreturn]] void FailAt(int line, const std::string& what) const {
        throw ScriptError(file_ + ":" + std::to_string(line) + ": " + what);
    }

    // Holds one level of nesting while a nested part is parsed; fails past kMaxNesting.
    class Nested {
      public:
        Nested(Parser& parser, const char* what) : parser_(parser) {
            if (parser_.nesting_ >= kMaxNesting) {
                parser_.Fail(std::string(what) + " nested more than " +
                             std::to_string(kMaxNesting) + " levels deep");
            }
            ++parser_.nesting_;
        }
        ~Nested() { --parser_.nesting_; }
        Nested(const Nested&) = delete;
        Nested& operator=(const Nested&) = delete;

      private:
        Parser& parser_;
    };

    const Token& Peek(std::size_t ahead = 0) const {
        const std::size_t i = std::min(pos_ + ahead, tokens_.size() - 1);
        return tokens_[i];
    }
    Token Next() {
        Token t = Peek();
        if (pos_ < tokens_.size() - 1)
            ++pos_;
        return t;
    }
    bool AtEnd() const { return Peek().kind == TokenKind::End; }
    bool IsPunct(const char* p) const {
        return Peek().kind == TokenKind::Punct && Peek().text == p;
    }
    bool IsWord(const char* w) const { return Peek().kind == TokenKind::Name && Peek().text == w; }
    void Expect(const char* p) {
        if (!IsPunct(p))
            Fail(std::string("expected '") + p + "'");
        Next();
    }
    bool Accept(const char* p) {
        if (!IsPunct(p))
            return false;
        Next();
        return true;
    }
    void Begin() {
        if (IsWord("BEGIN") || IsPunct("{")) {
            Next();
            return;
        }
        Fail("expected BEGIN");
    }
    bool AtBlockEnd() const { return IsWord("END") || IsPunct("}"); }
    void End() {
        if (!AtBlockEnd())
            Fail("expected END");
        Next();
    }

    bool IsSymbol(const std::string& name) const {
        return defines_.count(name) != 0 || PredefinedSymbols().count(name) != 0;
    }
    // The value of the name token `t`; an unknown name is an error on its line.
    std::uint32_t SymbolValue(const Token& t) const {
        const std::string& name = t.text;
        if (auto it = defines_.find(name); it != defines_.end())
            return it->second;
        if (auto it = PredefinedSymbols().find(name); it != PredefinedSymbols().end())
            return it->second;
        FailAt(t.line, "unknown name " + name);
    }

    // A number expression: terms joined by | + -, a term a number, a name, ~term, (expr).
    std::uint32_t Term() {
        const Nested level(*this, "expression");
        if (Accept("~"))
            return ~Term();
        if (Accept("-"))
            return static_cast<std::uint32_t>(-static_cast<std::int64_t>(Term()));
        if (Accept("(")) {
            const std::uint32_t v = Expression();
            Expect(")");
            return v;
        }
        const Token t = Next();
        if (t.kind == TokenKind::Number)
            return t.number;
        if (t.kind == TokenKind::Name)
            return SymbolValue(t);
        Fail("expected a number");
    }
    std::uint32_t Expression() {
        std::uint32_t v = Term();
        while (true) {
            if (Accept("|"))
                v |= Term();
            else if (Accept("+"))
                v += Term();
            else if (Accept("-"))
                v -= Term();
            else if (Accept("&"))
                v &= Term();
            else
                return v;
        }
    }
    // A style: `base` changed by "X | Y" (added) and "NOT X" (removed), as rc combines them.
    std::uint32_t Style(std::uint32_t base) {
        std::uint32_t v = base;
        bool first = true;
        while (true) {
            if (IsWord("NOT")) {
                Next();
                v &= ~Term();
            } else if (first || IsPunct("|")) {
                if (!first)
                    Next();
                if (IsWord("NOT"))
                    continue;
                v |= Term();
            } else {
                return v;
            }
            first = false;
        }
    }
    // An expression for a field of the binary form that holds 0..max (a 16-bit id or count, a
    // byte): a value outside is an error, never cut to the field's width.
    std::uint32_t Bounded(std::uint32_t max, const std::string& what) {
        const int line = Peek().line;
        const std::uint32_t v = Expression();
        if (v > max) {
            FailAt(line, what + " " + ValueText(v) + " is out of range 0.." + std::to_string(max));
        }
        return v;
    }
    // Dialog and control positions and sizes are signed 16-bit fields of the template.
    std::int16_t Coordinate(const std::string& what) {
        const int line = Peek().line;
        const auto v = static_cast<std::int32_t>(Expression());
        if (v < -32768 || v > 32767) {
            FailAt(line, what + " " + std::to_string(v) + " is out of range -32768..32767");
        }
        return static_cast<std::int16_t>(v);
    }
    std::string String() {
        if (Peek().kind != TokenKind::String)
            Fail("expected a string");
        std::string s = Next().text;
        while (Peek().kind == TokenKind::String)
            s += Next().text;  // adjacent strings join
        return s;
    }

    // A resource's name: a 16-bit ordinal, or a string (upper-cased, as rc stores it).
    ResourceKey NameOf(const Token& t) {
        ResourceKey key;
        if (t.kind == TokenKind::Number || (t.kind == TokenKind::Name && IsSymbol(t.text))) {
            const std::uint32_t id = t.kind == TokenKind::Number ? t.number : SymbolValue(t);
            if (id > 0xFFFF) {
                FailAt(t.line, "resource id " + ValueText(id) + " is out of range 0..65535");
            }
            key.id = static_cast<std::uint16_t>(id);
        } else if (t.kind == TokenKind::Name || t.kind == TokenKind::String) {
            for (char c : t.text)
                key.text += static_cast<char16_t>(std::toupper(static_cast<unsigned char>(c)));
        } else {
            Fail("expected a resource name");
        }
        return key;
    }

    fs::path FindFile(const std::string& name) const {
        std::error_code ignored;
        const fs::path own = script_.parent_path() / name;
        if (fs::exists(own, ignored))
            return own;
        for (const std::string& folder : options_.searchFolders) {
            const fs::path generated = fs::path(folder) / name;
            if (fs::exists(generated, ignored))
                return generated;
        }
        Fail("cannot find " + name + " beside the script or in the generated folders");
    }

    // Adds a resource of the current language, defined by the statement being parsed; the same
    // type, name and language twice is an error.
    void Add(std::uint16_t type, ResourceKey name, std::vector<unsigned char> data) {
        ResourceKey typeKey;
        typeKey.id = type;
        const auto [first, added] =
            definedAt_.try_emplace(std::make_tuple(typeKey, name, language_), statementLine_);
        if (!added) {
            FailAt(statementLine_, TypeName(type) + " " + NameText(name) + " of language " +
                                       LanguageText(language_) +
                                       " is defined twice (first at line " +
                                       std::to_string(first->second) + ")");
        }
        Resource r;
        r.type.id = type;
        r.name = std::move(name);
        r.language = language_;
        r.data = std::move(data);
        result_.resources.push_back(std::move(r));
    }

    void SkipOptionalMemoryFlags() {
        while (IsWord("PRELOAD") || IsWord("LOADONCALL") || IsWord("FIXED") || IsWord("MOVEABLE") ||
               IsWord("DISCARDABLE") || IsWord("PURE") || IsWord("IMPURE"))
            Next();
    }

    void Statement() {
        statementLine_ = Peek().line;
        if (IsWord("LANGUAGE")) {
            Next();
            // A language id is a 10-bit primary language and a 6-bit sublanguage.
            const std::uint32_t primary = Bounded(0x3FF, "primary language");
            Expect(",");
            const std::uint32_t sub = Bounded(0x3F, "sublanguage");
            language_ = static_cast<std::uint16_t>((sub << 10) | primary);
            return;
        }
        if (IsWord("STRINGTABLE")) {
            Next();
            StringTable();
            return;
        }
        const Token nameToken = Next();
        if (Peek().kind != TokenKind::Name)
            Fail("expected a resource type");
        const std::string type = Next().text;
        const ResourceKey name = NameOf(nameToken);
        SkipOptionalMemoryFlags();
        try {
            ResourceBody(type, name);
        } catch (const std::length_error& e) {  // a binary form's 16-bit length overflowed
            FailAt(statementLine_, e.what());
        }
    }

    // The rest of a resource statement, after its name and type.
    void ResourceBody(const std::string& type, const ResourceKey& name) {
        if (type == "BITMAP") {
            Bitmap(name);
        } else if (type == "ICON") {
            Icon(name);
        } else if (type == "DIALOG" || type == "DIALOGEX") {
            Dialog(name, type == "DIALOGEX");
        } else if (type == "VERSIONINFO") {
            VersionInfo(name);
        } else if (type == "TYPELIB") {
            String();  // the module's type library is served from its tables
        } else if (type == "RCDATA") {
            RcData(name);
        } else {
            Fail("unsupported resource type " + type);
        }
    }

    std::vector<unsigned char> ReadInput(const std::string& name) {
        const fs::path path = FindFile(name);
        RecordInput(path);
        try {
            const std::string bytes = ReadRegularFile(path.string()).bytes;
            return std::vector<unsigned char>(bytes.begin(), bytes.end());
        } catch (const ScriptError& e) {
            FailAt(statementLine_, e.what());
        }
    }

    void Bitmap(const ResourceKey& name) {
        const std::string file = String();
        std::vector<unsigned char> bytes = ReadInput(file);
        platform::DibImage image;
        std::string error;
        if (!platform::ReadBmpFile(bytes.data(), bytes.size(), &image, &error)) {
            FailAt(statementLine_, file + ": " + error);
        }
        // A bitmap resource is the file without its 14-byte file header.
        Add(2, name, std::vector<unsigned char>(bytes.begin() + 14, bytes.end()));
    }

    void Icon(const ResourceKey& name) {
        const std::string file = String();
        const std::vector<unsigned char> bytes = ReadInput(file);
        auto u16 = [&](std::size_t at) {
            return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        };
        auto u32 = [&](std::size_t at) {
            return static_cast<std::uint32_t>(u16(at)) |
                   (static_cast<std::uint32_t>(u16(at + 2)) << 16);
        };
        if (bytes.size() < 6 || u16(0) != 0 || u16(2) != 1) {
            FailAt(statementLine_, file + ": not an icon file");
        }
        const std::uint16_t count = u16(4);
        if (count == 0 || bytes.size() < 6 + 16u * count) {
            FailAt(statementLine_, file + ": truncated icon directory");
        }
        BinaryWriter group;
        group.Word(0);
        group.Word(1);
        group.Word(count);
        for (std::uint16_t i = 0; i < count; ++i) {
            const std::size_t entry = 6 + 16u * i;
            const std::uint32_t size = u32(entry + 8);
            const std::uint32_t offset = u32(entry + 12);
            if (offset > bytes.size() || size > bytes.size() - offset) {
                FailAt(statementLine_, file + ": icon image beyond the file");
            }
            // Icon images are numbered across the script with 16-bit ids from 1.
            if (iconId_ == 0xFFFF) {
                FailAt(statementLine_, file + ": more than 65535 icon images in the script");
            }
            const std::uint16_t id = ++iconId_;
            ResourceKey imageName;
            imageName.id = id;
            Add(3, imageName,
                std::vector<unsigned char>(bytes.begin() + offset, bytes.begin() + offset + size));
            for (std::size_t k = 0; k < 12; ++k)
                group.Byte(bytes[entry + k]);  // w h colours reserved planes bits size
            group.Word(id);
        }
        Add(14, name, std::move(group.Bytes()));
    }

    void RcData(const ResourceKey& name) {
        if (Peek().kind == TokenKind::String) {
            Add(10, name, ReadInput(String()));
            return;
        }
        BinaryWriter w;
        Begin();
        while (!AtBlockEnd()) {
            if (Peek().kind == TokenKind::String) {
                for (char c : String())
                    w.Byte(static_cast<std::uint8_t>(c));
            } else {
                w.Word(static_cast<std::uint16_t>(Expression()));
            }
            Accept(",");
        }
        End();
        Add(10, name, std::move(w.Bytes()));
    }

    void StringTable() {
        SkipOptionalMemoryFlags();
        Begin();
        while (!AtBlockEnd()) {
            const int line = Peek().line;
            // String ids are 16-bit: block id / 16 + 1 holds string id % 16.
            const std::uint32_t id = Bounded(0xFFFF, "string id");
            Accept(",");
            const std::u16string text = Utf8ToUtf16(String());
            if (text.size() > 0xFFFF) {  // a string's length is a 16-bit word of its block
                FailAt(line, "string " + std::to_string(id) + " is longer than 65535 UTF-16 units");
            }
            auto& block = strings_[{language_, static_cast<std::uint16_t>(id >> 4)}];
            if (!block[id & 15].empty() || defined_.count({language_, id}) != 0) {
                FailAt(line, "string " + std::to_string(id) + " defined twice");
            }
            defined_.insert({language_, id});
            block[id & 15] = text;
        }
        End();
    }

    void Dialog(const ResourceKey& name, bool extended) {
        DialogDefinition d;
        d.x = Coordinate("dialog x");
        Expect(",");
        d.y = Coordinate("dialog y");
        Expect(",");
        d.cx = Coordinate("dialog width");
        Expect(",");
        d.cy = Coordinate("dialog height");
        if (extended && Accept(","))
            d.helpId = Expression();
        d.style = 0x80000000 | 0x00800000 | 0x00080000;  // WS_POPUP | WS_BORDER | WS_SYSMENU
        bool hasCaption = false;
        while (!(IsWord("BEGIN") || IsPunct("{"))) {
            if (AtEnd())
                Fail("expected BEGIN");
            const Token optionToken = Next();
            const std::string& option = optionToken.text;
            if (option == "STYLE") {
                d.style = Style(0);
            } else if (option == "EXSTYLE") {
                d.exStyle = Style(0);
            } else if (option == "CAPTION") {
                d.caption = Utf8ToUtf16(String());
                hasCaption = true;
            } else if (option == "FONT") {
                d.hasFont = true;
                d.pointSize = static_cast<std::uint16_t>(Bounded(0xFFFF, "font size"));
                Expect(",");
                d.face = Utf8ToUtf16(String());
                if (extended && Accept(",")) {
                    d.weight = static_cast<std::uint16_t>(Bounded(0xFFFF, "font weight"));
                    if (Accept(","))
                        d.italic = static_cast<std::uint8_t>(Bounded(0xFF, "italic"));
                    if (Accept(",")) {
                        d.charset = static_cast<std::uint8_t>(Bounded(0xFF, "character set"));
                    }
                }
            } else if (option == "CLASS") {
                d.windowClass = Utf8ToUtf16(String());
            } else if (option == "MENU") {
                d.menu = Utf8ToUtf16(Next().text);
            } else {
                FailAt(optionToken.line, "unknown dialog option " + option);
            }
        }
        // A caption brings its title bar whatever STYLE says, as rc.exe writes it; a STYLE
        // after CAPTION does not take it away.
        if (hasCaption)
            d.style |= 0x00C00000;  // WS_CAPTION
        if (d.hasFont)
            d.style |= 0x40;  // DS_SETFONT
        Begin();
        while (!AtBlockEnd()) {
            // The template counts its controls in a 16-bit word.
            if (d.controls.size() == 0xFFFF)
                Fail("a dialog holds at most 65535 controls");
            d.controls.push_back(Control(extended));
        }
        End();
        Add(5, name, DialogTemplateEx(d));
    }

    DialogControl Control(bool extended) {
        constexpr std::uint32_t kChildVisible = 0x40000000 | 0x10000000;
        constexpr std::uint32_t kTabStop = 0x00010000, kGroup = 0x00020000, kBorder = 0x00800000;
        struct Kind {
            const char* word;
            std::uint16_t atom;
            std::uint32_t style;
            bool hasText;
        };
        static const Kind kinds[] = {
            {"LTEXT", 0x82, 0x0 | kGroup, true},
            {"CTEXT", 0x82, 0x1 | kGroup, true},
            {"RTEXT", 0x82, 0x2 | kGroup, true},
            {"PUSHBUTTON", 0x80, 0x0 | kTabStop, true},
            {"DEFPUSHBUTTON", 0x80, 0x1 | kTabStop, true},
            {"GROUPBOX", 0x80, 0x7, true},
            {"CHECKBOX", 0x80, 0x2 | kTabStop, true},
            {"AUTOCHECKBOX", 0x80, 0x3 | kTabStop, true},
            {"RADIOBUTTON", 0x80, 0x4, true},
            {"AUTORADIOBUTTON", 0x80, 0x9, true},
            {"EDITTEXT", 0x81, 0x0 | kBorder | kTabStop, false},
            {"LISTBOX", 0x83, 0x1 | kBorder, false},
            {"COMBOBOX", 0x85, 0x1 | kTabStop, false},
            {"ICON", 0x82, 0x3, true},
        };
        const Token word = Next();
        DialogControl c;
        if (word.kind == TokenKind::Name && word.text == "CONTROL") {
            ControlText(c);
            Expect(",");
            c.id = Expression();
            Expect(",");
            const std::string cls = Peek().kind == TokenKind::String ? String() : Next().text;
            static const std::map<std::string, std::uint16_t> atoms = {
                {"BUTTON", 0x80},  {"EDIT", 0x81},      {"STATIC", 0x82},
                {"LISTBOX", 0x83}, {"SCROLLBAR", 0x84}, {"COMBOBOX", 0x85}};
            std::string upper;
            for (char ch : cls)
                upper += static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
            if (auto it = atoms.find(upper); it != atoms.end())
                c.classAtom = it->second;
            else
                c.className = Utf8ToUtf16(cls);
            Expect(",");
            c.style = Style(kChildVisible);
            Expect(",");
            Position(c);
            if (Accept(","))
                c.exStyle = Style(0);
            if (extended && Accept(","))
                c.helpId = Expression();
            return c;
        }
        for (const Kind& k : kinds) {
            if (word.kind != TokenKind::Name || word.text != k.word)
                continue;
            c.classAtom = k.atom;
            if (k.hasText) {
                ControlText(c);
                Expect(",");
            }
            c.id = Expression();
            Expect(",");
            c.x = Coordinate("control x");
            Expect(",");
            c.y = Coordinate("control y");
            c.style = kChildVisible | k.style;
            if (Accept(",")) {
                c.cx = Coordinate("control width");
                Expect(",");
                c.cy = Coordinate("control height");
            }
            if (Accept(","))
                c.style = Style(c.style);
            if (Accept(","))
                c.exStyle = Style(0);
            if (extended && Accept(","))
                c.helpId = Expression();
            return c;
        }
        FailAt(word.line, "unknown control " + word.text);
    }

    void ControlText(DialogControl& c) {
        if (Peek().kind == TokenKind::String) {
            c.title = Utf8ToUtf16(String());
        } else {
            c.titleIsOrdinal = true;
            c.titleOrdinal = static_cast<std::uint16_t>(Bounded(0xFFFF, "control text ordinal"));
        }
    }

    void Position(DialogControl& c) {
        c.x = Coordinate("control x");
        Expect(",");
        c.y = Coordinate("control y");
        Expect(",");
        c.cx = Coordinate("control width");
        Expect(",");
        c.cy = Coordinate("control height");
    }

    static void PutDword(std::vector<unsigned char>& out, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }

    void VersionInfo(const ResourceKey& name) {
        std::uint32_t fixed[13] = {0xFEEF04BD, 0x00010000};
        auto version = [&](int slot) {
            std::uint32_t parts[4] = {0, 0, 0, 0};
            for (int i = 0; i < 4; ++i) {
                parts[i] = Bounded(0xFFFF, "version part");
                if (i < 3 && !Accept(","))
                    break;
            }
            fixed[slot] = (parts[0] << 16) | (parts[1] & 0xFFFF);
            fixed[slot + 1] = (parts[2] << 16) | (parts[3] & 0xFFFF);
        };
        while (!(IsWord("BEGIN") || IsPunct("{"))) {
            if (AtEnd())
                Fail("expected BEGIN");
            const std::string field = Next().text;
            if (field == "FILEVERSION")
                version(2);
            else if (field == "PRODUCTVERSION")
                version(4);
            else if (field == "FILEFLAGSMASK")
                fixed[6] = Expression();
            else if (field == "FILEFLAGS")
                fixed[7] = Expression();
            else if (field == "FILEOS")
                fixed[8] = Expression();
            else if (field == "FILETYPE")
                fixed[9] = Expression();
            else if (field == "FILESUBTYPE")
                fixed[10] = Expression();
            else
                Fail("unknown version field " + field);
        }
        VersionNode root;
        root.key = u"VS_VERSION_INFO";
        for (std::uint32_t v : fixed)
            PutDword(root.value, v);
        root.valueLength = static_cast<std::uint16_t>(root.value.size());
        root.children = VersionBlock();
        Add(16, name, VersionResource(root));
    }

    std::vector<VersionNode> VersionBlock() {
        std::vector<VersionNode> nodes;
        Begin();
        while (!AtBlockEnd()) {
            const std::string word = Next().text;
            VersionNode node;
            node.key = Utf8ToUtf16(String());
            if (word == "BLOCK") {
                const Nested level(*this, "BLOCK");
                node.textValue = true;
                node.children = VersionBlock();
            } else if (word == "VALUE") {
                Expect(",");
                if (Peek().kind == TokenKind::String) {
                    node.textValue = true;
                    const std::u16string text = Utf8ToUtf16(String());
                    for (char16_t ch : text) {
                        node.value.push_back(static_cast<unsigned char>(ch & 0xFF));
                        node.value.push_back(static_cast<unsigned char>(ch >> 8));
                    }
                    node.value.push_back(0);
                    node.value.push_back(0);
                    node.valueLength = static_cast<std::uint16_t>(text.size() + 1);
                } else {
                    do {  // binary words, as "Translation" carries them
                        const std::uint32_t v = Bounded(0xFFFF, "version word");
                        node.value.push_back(static_cast<unsigned char>(v & 0xFF));
                        node.value.push_back(static_cast<unsigned char>((v >> 8) & 0xFF));
                    } while (Accept(","));
                    node.valueLength = static_cast<std::uint16_t>(node.value.size());
                }
            } else {
                Fail("expected BLOCK or VALUE");
            }
            nodes.push_back(std::move(node));
        }
        End();
        return nodes;
    }

  public:
    void FlushStrings() {
        for (auto& [key, block] : strings_) {
            ResourceKey name;
            name.id = static_cast<std::uint16_t>(key.second + 1);
            Resource r;
            r.type.id = 6;
            r.name = name;
            r.language = key.first;
            r.data = StringBlock(block);
            result_.resources.push_back(std::move(r));
        }
    }

  private:
    fs::path script_;
    const CompileOptions& options_;
    CompileResult& result_;
    std::string file_;
    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::map<std::string, std::uint32_t> defines_;
    std::uint16_t language_ = 0x0409;  // English (United States) until a LANGUAGE statement
    std::uint16_t iconId_ = 0;
    int nesting_ = 0;                 // levels of Nested held now
    int statementLine_ = 0;           // where the statement being parsed starts
    std::vector<OpenFile> includes_;  // the script and the headers being preprocessed
    // Where each resource (type, name, language) was defined.
    std::map<std::tuple<ResourceKey, ResourceKey, std::uint16_t>, int> definedAt_;
    std::map<std::pair<std::uint16_t, std::uint16_t>, std::u16string[16]> strings_;
    std::set<std::pair<std::uint16_t, std::uint32_t>> defined_;
};

}  // namespace

CompileResult CompileScript(const std::string& path, const CompileOptions& options) {
    CompileResult result;
    Parser parser(path, options, result);
    parser.Run();
    try {
        parser.FlushStrings();
    } catch (const std::length_error& e) {
        throw ScriptError(path + ": " + e.what());
    }
    return result;
}

}  // namespace rc
