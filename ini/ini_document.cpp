// IniDocument: finding sections and keys by scanning lines of the open file, reading values,
// and writing keys sequentially or in place.
#include "ini/ini_document.h"

#include <algorithm>
#include <cstring>
#include <unordered_set>
#include <vector>

#include "platform/file_stream.h"

namespace {

bool IsBlankOrLineEnd(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

// What ends a key's name on its line.
bool EndsKey(char c) {
    return c == '\0' || c == '=' || IsBlankOrLineEnd(c);
}

}  // namespace

IniDocument::IniDocument(const char* fileName, bool keepOpen)
    : fileName_(fileName), keepOpen_(keepOpen) {
    currentSection_.Assign("");
    lastSection_.Assign("");
}

IniDocument::IniDocument(const char* fileName, ReadOnlyCopy) : IniDocument(fileName, true) {
    readOnlyCopy_ = true;
}

IniDocument::IniDocument(std::string contents, ReadOnlyCopy)
    : IniDocument(static_cast<const char*>(nullptr), true) {
    readOnlyCopy_ = true;
    copy_ = std::move(contents);
}

IniDocument::IniDocument(std::FILE* file, ReadOnlyStream)
    : IniDocument(static_cast<const char*>(nullptr), true) {
    adopted_ = file;
}

IniDocument::~IniDocument() {
    Close();
    if (adopted_ != nullptr) {
        std::fclose(adopted_);
    }
}

void IniDocument::SelectSection(const char* name) {
    currentSection_.Assign(name);
}

void IniDocument::Open() {
    Close();
    if (readOnlyCopy_ && copy_) {
        OpenCopy("");
        return;
    }
    if (adopted_ != nullptr) {
        file_ = adopted_;
    } else {
        if (fileName_.Chars() == nullptr) {
            return;
        }
        const std::string path = ini_line::ValueText(fileName_);
        if (readOnlyCopy_) {
            OpenCopy(path);
            return;
        }
        using file_stream::OpenMode;
        file_ = file_stream::Open(path.c_str(), keepOpen_ ? OpenMode::kUpdate : OpenMode::kRead);
        if (file_ == nullptr && keepOpen_) {
            if (std::FILE* created = file_stream::Open(path.c_str(), OpenMode::kAppendNew)) {
                std::fclose(created);
            }
            file_ = file_stream::Open(path.c_str(), OpenMode::kUpdate);
        }
    }
    if (file_ == nullptr) {
        return;
    }
    if (index_.IsBuilt() && !index_.Describes(file_)) {
        index_.Clear();  // changed since the index was built: no position is known any more
        sectionBodyKnown_ = false;
    }
    LearnLineEnd();
}

// The file's first line up to an LF tells; without one that line is the whole file.
void IniDocument::LearnLineEnd() {
    Seek(0);
    if (copyOpen_) {
        lineEnd_ = ini_line::LineEndOf(*copy_);
        return;
    }
    if (index_.IsBuilt()) {
        return;  // the unchanged file the line end was learnt from
    }
    std::string first;
    if (ini_line::ReadLine(file_, first) == 0) {
        NoteReadError(ini_line::ReadError(file_));
    }
    lineEnd_ = ini_line::LineEndOf(first);
    Seek(0);
}

void IniDocument::NoteReadError(int error) {
    if (readError_ == 0) {
        readError_ = error;
    }
}

void IniDocument::OpenCopy(const std::string& path) {
    if (!copy_) {
        std::FILE* file = file_stream::Open(path.c_str(), file_stream::OpenMode::kRead);
        if (file == nullptr) {
            return;
        }
        copy_.emplace();
        NoteReadError(ini_line::ReadToEnd(file, *copy_));
        std::fclose(file);
    }
    copyOpen_ = true;
    copyPosition_ = 0;
    lastIo_ = LastIo::None;
    LearnLineEnd();
}

void IniDocument::Close() {
    copyOpen_ = false;
    if (file_ != nullptr && file_ != adopted_) {
        std::fclose(file_);
    }
    file_ = nullptr;
}

// Originally this reopened the file on every call and, for every section other than the
// last one found, read the file from the top up to the first matching header: reading a
// whole file that way is quadratic in its number of sections. Now:
// - The file stays open while it is open. Reopening an unchanged file changes nothing that
//   is read; the document drops its positions whenever it writes, and checks them against
//   the file's identity whenever it opens the file again. While it holds the file open it
//   takes the file to be unchanged by others, as the remembered section position always did.
// - The first lookup reads the file once and records every header's position in a
//   SectionIndex, keyed by the header's text up to its first "]", the first header of a name
//   kept. For a name without "]", a line beginning with "[" name "]" is exactly a line whose
//   text up to its first "]" is that name, so the lookup finds the same first header, at the
//   same position, as the scan from the top. Names containing "]" still use that scan.
bool IniDocument::FindSection(const CounterString& name) {
    if (name.Length() == 0) {
        lastSection_.Assign("");
        sectionBodyKnown_ = false;
        return false;
    }
    if (!IsOpen()) {
        Open();
    }
    if (!IsOpen()) {
        lastSection_.Assign("");
        sectionBodyKnown_ = false;
        return false;
    }
    if (sectionBodyKnown_ && name.EqualsNoCase(lastSection_)) {
        Seek(sectionBodyPos_);
        return true;
    }
    const std::optional<std::int64_t> body = LocateHeader(ini_line::ValueText(name));
    if (!body) {
        lastSection_.Assign("");
        sectionBodyKnown_ = false;
        Seek(0, SEEK_END);
        return false;
    }
    lastSection_.Assign(name);
    sectionBodyPos_ = *body;
    sectionBodyKnown_ = true;
    Seek(sectionBodyPos_);
    return true;
}

std::optional<std::int64_t> IniDocument::LocateHeader(const std::string& name) {
    if (name.find(']') == std::string::npos) {
        if (!index_.IsBuilt()) {
            if (copyOpen_) {
                index_.Build(*copy_, lineEnd_);
            } else {
                NoteReadError(index_.Build(file_, lineEnd_));
            }
            lastIo_ = LastIo::Read;
        }
        return index_.Find(name);
    }
    // Scan from the top: no fixed-size header buffer, so a name of any length is safe.
    const std::string header = "[" + name + "]";
    Seek(0);
    SwitchTo(LastIo::Read);
    std::int64_t position = 0;
    while (const std::size_t length = NextLine(line_)) {
        const char* text = ini_line::WithoutByteOrderMark(line_, position);
        position += static_cast<std::int64_t>(length);
        if (ini_line::StartsWithNoCase(ini_line::SkipBlanks(text), header)) {
            return position;
        }
    }
    return std::nullopt;
}

bool IniDocument::FindKey(const char* key) {
    return SearchKey(key) == KeySearch::Found;
}

// keyLinePos_ ends at the start of the key's line when found; otherwise after the last line
// that was neither empty nor a header, so that a run of empty lines before the next header (or
// the end) is left behind it.
IniDocument::KeySearch IniDocument::SearchKey(const char* key) {
    if (key == nullptr || *key == '\0' || !IsOpen()) {
        return KeySearch::EndOfFile;
    }
    SwitchTo(LastIo::Read);
    const std::string_view name(key);
    std::int64_t position = Tell();
    keyLinePos_ = position;
    for (;;) {
        if (copyOpen_ && PassOverKeyLine(name)) {
            position = static_cast<std::int64_t>(copyPosition_);
            keyLinePos_ = position;
            continue;
        }
        const std::int64_t lineStart = position;
        const std::size_t length = NextLine(line_);
        if (length == 0) {
            return KeySearch::EndOfFile;
        }
        position += static_cast<std::int64_t>(length);
        const char* text = ini_line::SkipBlanks(ini_line::WithoutByteOrderMark(line_, lineStart));
        if (*text == '\r' || *text == '\n') {
            continue;
        }
        if (*text == '[') {
            return KeySearch::NextSection;
        }
        if (ini_line::StartsWithNoCase(text, name) &&
            (text[name.size()] == '\0' || text[name.size()] == '=' ||
             IsBlankOrLineEnd(text[name.size()]))) {
            keyLinePos_ = lineStart;
            keyLineEnd_ = position;
            cursor_ = ValueOfKeyLine(text, name.size());
            return KeySearch::Found;
        }
        keyLinePos_ = position;
    }
}

const char* IniDocument::ValueOfKeyLine(const char* text, std::size_t keyLength) {
    // The line is 0-terminated text from here on, as the value is read.
    std::size_t end = std::strlen(line_.c_str());
    while (end > 0 && IsBlankOrLineEnd(line_[end - 1])) {
        --end;
    }
    const std::size_t valueOffset = static_cast<std::size_t>(text - line_.c_str());
    line_.resize(end);
    const char* value =
        ini_line::SkipBlanks(line_.c_str() + std::min(valueOffset + keyLength, end));
    if (*value == '=') {
        value = ini_line::SkipBlanks(value + 1);
    }
    return value;
}

std::string_view IniDocument::ValueRead(const char* value) {
    std::string_view text(value);
    text = text.substr(0, CounterString::kMaxLength);  // as CounterString keeps it
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        text = text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view();
    }
    return text;
}

int IniDocument::GetString(const char* key, CounterString& out) {
    out.Assign("");
    if (!FindSection(currentSection_)) {
        Close();
        return 0;
    }
    out.Assign(FindKey(key) ? ValueRead(cursor_) : std::string_view());
    if (!keepOpen_) {
        Close();
    }
    return out.Length();
}

// The same line pieces as FindSection and SearchKey, in one pass: a line starting with "["
// ends the section before it and starts the next one if it is the first header of a name
// that FindSection can find (the one the index finds); in a section, a key line answers for the key
// made of its text up to the first blank, "=", CR, LF or NUL, and only the first line of each key
// is read.
bool IniDocument::ReadInOrder(Visitor& visitor) {
    if (!IsOpen()) {
        Open();
    }
    if (!IsOpen()) {
        return false;
    }
    Seek(0);
    SwitchTo(LastIo::Read);
    std::unordered_set<std::string> sections;  // folded names of the headers met
    // The keys read in the current section (its room reused from section to section): a
    // section of a million keys is read in linear time, and a key costs no allocation.
    ini_line::FoldedNameSet keys;
    bool inSection = false;
    std::int64_t position = 0;
    while (const std::size_t length = NextLine(line_)) {
        const std::int64_t lineStart = position;
        position += static_cast<std::int64_t>(length);
        const char* text = ini_line::SkipBlanks(ini_line::WithoutByteOrderMark(line_, lineStart));
        if (*text == '\r' || *text == '\n') {
            continue;
        }
        if (*text == '[') {
            const char* close = std::strchr(text + 1, ']');
            const std::string_view name(text + 1, close != nullptr ? close - text - 1 : 0);
            // A name is looked for with its CRs written as blanks: one holding a CR is never
            // found.
            inSection = !name.empty() && name.find('\r') == std::string_view::npos &&
                        sections.insert(ini_line::Folded(name)).second;
            if (inSection) {
                keys.Clear();
                visitor.Section(name);
            }
            continue;
        }
        std::size_t keyLength = 0;
        while (!EndsKey(text[keyLength])) {
            ++keyLength;
        }
        if (!inSection || keyLength == 0) {
            continue;
        }
        const std::string_view key(text, keyLength);
        if (!keys.Insert(key)) {
            continue;  // a second line of the key: never read
        }
        visitor.Key(key, ValueRead(ValueOfKeyLine(text, keyLength)));
    }
    return readError_ == 0;
}

std::int32_t IniDocument::GetInt(const char* key) {
    CounterString value;
    GetString(key, value);
    return value.ToInt();
}

FixedAmount IniDocument::GetFixed(const char* key) {
    CounterString value;
    GetString(key, value);
    return FixedAmount::FromDouble(value.ToDouble());
}

int IniDocument::WriteKey(const char* key, const CounterString& value) {
    if (key == nullptr || ReadOnly()) {
        return -1;
    }
    if (!IsOpen()) {
        Open();
        lastSection_.Assign("");
    }
    if (!IsOpen()) {
        return -1;  // no stream to write to; the caller reports it
    }
    index_.Clear();
    sectionBodyKnown_ = false;
    std::string text;
    if (lastSection_.DiffersNoCase(currentSection_)) {
        text = SectionHeaderLines();
        lastSection_.Assign(currentSection_);
    }
    text += key;
    text += '=';
    text += ini_line::ValueText(value);
    text += ini_line::LineEndText(lineEnd_);
    return WriteText(text) ? value.Length() : -1;
}

// The reference kept the rest of the file in one CounterString, so a rest longer than 32,734
// bytes was cut off; here it is held in a std::string of any size. It also began the rest of a
// missing key at the next header, which dropped the empty lines before that header.
int IniDocument::SetValue(const char* key, const CounterString& value) {
    if (key == nullptr || *key == '\0') {
        return 0;
    }
    if (ReadOnly()) {
        return -1;
    }
    if (!IsOpen()) {
        Open();  // the line end the key is written with is the file's own
    }
    const std::string keyLine = std::string(key) + "=" + ini_line::ValueText(value) +
                                std::string(ini_line::LineEndText(lineEnd_));
    bool written = false;
    if (!FindSection(currentSection_)) {
        if (!IsOpen()) {
            return 0;
        }
        written = WriteText(SectionHeaderLines() + keyLine);  // at the end
    } else {
        const KeySearch search = SearchKey(key);
        if (search == KeySearch::EndOfFile) {
            // Appended to the last section; a last line without line end is ended first.
            const std::string separator =
                FileEndsWithLineEnd() ? "" : std::string(ini_line::LineEndText(lineEnd_));
            Seek(0, SEEK_END);
            written = WriteText(separator + keyLine);
        } else {
            // The rest starts after the found key's line, or, for a new key, at keyLinePos_: the
            // empty lines before the next header stay behind it.
            const std::int64_t restStart = search == KeySearch::Found ? keyLineEnd_ : keyLinePos_;
            Seek(restStart);
            std::string rest;
            const int readError = ini_line::ReadToEnd(file_, rest);
            NoteReadError(readError);
            const std::string text = keyLine + rest;
            Seek(keyLinePos_);
            // A rest that could not be read whole is not written in place of the file's.
            written =
                readError == 0 && WriteText(text) && std::fflush(file_) == 0 &&
                file_stream::Truncate(file_, keyLinePos_ + static_cast<std::int64_t>(text.size()));
        }
    }
    lastSection_.Assign("");
    sectionBodyKnown_ = false;
    index_.Clear();
    Close();
    return written ? value.Length() : -1;
}

std::int64_t IniDocument::Tell() {
    return copyOpen_ ? static_cast<std::int64_t>(copyPosition_) : file_stream::Tell(file_);
}

std::size_t IniDocument::NextLine(std::string& line) {
    if (copyOpen_) {
        return ini_line::ReadLine(*copy_, copyPosition_, line, lineEnd_);
    }
    const std::size_t length = ini_line::ReadLine(file_, line, lineEnd_);
    if (length == 0) {
        NoteReadError(ini_line::ReadError(file_));
    }
    return length;
}

// Most lines a key search meets are other keys. In the copy, a line that is certainly one is
// passed over where it lies, without being copied: after a byte-order mark at the start of
// the file and blanks, it begins with neither a line end, "[", NUL nor the first letter of
// `key` (case aside). Every other line is read as from the file.
bool IniDocument::PassOverKeyLine(std::string_view key) {
    const std::string& copy = *copy_;
    std::size_t at = copyPosition_;
    if (at == 0 && copy.starts_with(ini_line::kByteOrderMark)) {
        at = ini_line::kByteOrderMark.size();
    }
    while (at < copy.size() && copy[at] == ' ') {
        ++at;
    }
    if (at >= copy.size()) {
        return false;
    }
    const char first = copy[at];
    if (first == '\r' || first == '\n' || first == '[' || first == '\0' ||
        ini_line::Fold(first) == ini_line::Fold(key.front())) {
        return false;
    }
    const std::size_t lineFeed = copy.find(lineEnd_, at);
    copyPosition_ = lineFeed == std::string::npos ? copy.size() : lineFeed + 1;
    return true;
}

void IniDocument::Seek(std::int64_t position, int origin) {
    lastIo_ = LastIo::None;
    if (!copyOpen_) {
        file_stream::Seek(file_, position, origin);
        return;
    }
    const std::int64_t size = static_cast<std::int64_t>(copy_->size());
    const std::int64_t base = origin == SEEK_END ? size : origin == SEEK_CUR ? Tell() : 0;
    copyPosition_ = static_cast<std::size_t>(std::clamp<std::int64_t>(base + position, 0, size));
}

// The C library needs a positioning call between reading and writing an update stream; it is
// made only on a switch, so that sequential writes stay buffered.
void IniDocument::SwitchTo(LastIo next) {
    if (lastIo_ != LastIo::None && lastIo_ != next) {
        file_stream::Seek(file_, 0, SEEK_CUR);
    }
    lastIo_ = next;
}

bool IniDocument::WriteText(const std::string& text) {
    SwitchTo(LastIo::Write);
    return std::fwrite(text.data(), 1, text.size(), file_) == text.size();
}

bool IniDocument::FileEndsWithLineEnd() {
    Seek(0, SEEK_END);
    if (file_stream::Tell(file_) <= 0) {
        return true;  // an empty file needs no line end
    }
    Seek(-1, SEEK_END);
    lastIo_ = LastIo::Read;
    return file_stream::NextByte(file_) == lineEnd_;
}

std::string IniDocument::SectionHeaderLines() const {
    // Appended piece by piece: GCC 12 at -O3 reports a false -Wrestrict for "literal" + string.
    const std::string_view lineEnd = ini_line::LineEndText(lineEnd_);
    std::string lines(lineEnd);
    lines += '[';
    lines += ini_line::ValueText(currentSection_);
    lines += ']';
    lines += lineEnd;
    return lines;
}

std::string IniDocument::ValueBytes(const CounterString& value) {
    return ini_line::ValueText(value);
}

void IniDocument::AssignValueBytes(const CounterString& value, std::string& bytes) {
    ini_line::AssignValueText(value, bytes);
}

int IniDocument::ReadFileBytes(std::FILE* file, std::string& contents) {
    return ini_line::ReadToEnd(file, contents);
}
