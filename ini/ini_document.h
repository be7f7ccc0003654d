// IniDocument: Brenkar's access to an INI file on disk. It reads and writes the open file line
// by line with buffered C file calls and keeps no copy of it in memory, only the positions of
// the section headers (built on first use, dropped whenever the document writes). A document
// made only for reading can instead hold the whole file in memory (ReadOnlyCopy): the same
// line syntax, read from the copy without a system call per read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

#include "common/counter_string.h"
#include "common/fixed_amount.h"
#include "ini/ini_line.h"
#include "ini/section_index.h"

// Line syntax as the reader sees it: a line is everything up to and including LF, whatever its
// length; a CR before the LF stays in the line, and so does a CR alone. Only a file without any
// LF has its lines ended by CR alone (as some old editors save), and is written so. A UTF-8
// byte-order mark at the very start of the file is skipped. Leading spaces are skipped. "[" name
// "]" starts a section (text after "]" ignored); the first header of a name wins. In a section, a
// line empty after its blanks is skipped, a line starting with "[" ends the section, any other line
// is a key line: key, blanks, an optional "=", blanks, value; trailing CR, LF and blanks are not
// part of the value. Section and key names compare without regard to case (A-Z only); the first
// line of a key wins. There is no comment syntax. Text is bytes; 8-bit and 16-bit text convert as
// CounterString does, so a value longer than CounterString::kMaxLength characters reads cut to that
// length. Values are written with CR, LF and NUL as blanks: one value is always one line.
class IniDocument {
  public:
    // Stores the file name and the mode; touches no file. keepOpen: the file is opened for
    // update, created empty when missing, and left open after reads. A null file name never
    // opens.
    IniDocument(const char* fileName, bool keepOpen);
    // Reads the file ("rb") whole at the first open and serves every read from that copy, as
    // a document kept open would read the file: the file is read once, as it was then. Close
    // and Open keep the copy. Writes fail (WriteKey and SetValue return -1) and touch no file.
    struct ReadOnlyCopy {};
    IniDocument(const char* fileName, ReadOnlyCopy);
    // The same, the copy being `contents`, a file's bytes already read: no file is opened.
    IniDocument(std::string contents, ReadOnlyCopy);
    // Reads from `file`, a stream open for reading that the document owns and closes: Open
    // positions it at its start instead of opening a file by name, so that what is read is
    // always the file that was opened and checked. Writes fail as for a ReadOnlyCopy.
    struct ReadOnlyStream {};
    IniDocument(std::FILE* file, ReadOnlyStream);
    // Close: buffered output reaches the file.
    ~IniDocument();
    IniDocument(const IniDocument&) = delete;
    IniDocument& operator=(const IniDocument&) = delete;

    // The section that the following reads and writes address. No file access.
    void SelectSection(const char* name);

    // Closes the file if open and opens it again at its start: "r+b" with keepOpen (when that
    // fails the file is created with "a+", closed and opened "r+b" once more), else "rb"; the
    // handle is not inherited by child processes. Failure leaves the document closed.
    void Open();
    void Close();
    bool IsOpen() const { return file_ != nullptr || copyOpen_; }
    // 0 while every read of the file has succeeded; else the errno of the first that failed.
    // A failed read ends the lines as the end of the file would, so whatever was read after
    // it (a missing section or key, a shorter value) must not be taken for the file's content.
    int ReadError() const { return readError_; }

    // Positions the file at the first line after the section's header (opening the file when
    // closed). False for an empty name, a file that cannot be opened or a missing section; in
    // the last case the file stays open, positioned at its end.
    bool FindSection(const CounterString& name);

    // Searches the current section from the file position for `key`; on success the value (as
    // GetString reads it, before quotes are removed) is CurrentValue(). False for a null or
    // empty key, a closed file, or when the section ends first.
    bool FindKey(const char* key);
    // The value the last successful FindKey found; valid until the next read.
    const char* CurrentValue() const { return cursor_; }

    // Reads `key` of the selected section into `out` and returns its length. One pair of
    // enclosing double quotes is removed ('"X"' gives X, a lone '"' gives the empty text). A
    // missing section or key gives the empty text and 0; a missing section also closes the
    // file. Without keepOpen the file is closed after every read.
    int GetString(const char* key, CounterString& out);
    // Told, in file order, of what a whole reading of the document finds (ReadInOrder).
    class Visitor {
      public:
        virtual ~Visitor() = default;
        // The first header of a name that FindSection finds; the keys that follow are its own.
        virtual void Section(std::string_view name) = 0;
        // The key line that GetString reads for `key` in that section (its first line of
        // that key), with the bytes of the value GetString gives.
        virtual void Key(std::string_view key, std::string_view value) = 0;
    };
    // Reads the whole document once from the top, as GetString would read every key of every
    // section it can find, without a search per key. Opens the file when closed; false when
    // it cannot be opened or a read fails (ReadError). The file stays open.
    bool ReadInOrder(Visitor& visitor);

    // GetString, then CounterString::ToInt: 0 when missing.
    std::int32_t GetInt(const char* key);
    // GetString, then CounterString::ToDouble and FixedAmount::FromDouble: 0 when missing.
    FixedAmount GetFixed(const char* key);

    // Appends "key=value" CR LF at the file position (the start after opening: callers write a
    // new file from empty; nothing is truncated), preceded by CR LF "[section]" CR LF when the
    // selected section differs (case-insensitively) from the section of the last header
    // written. A value without characters is written as an empty value. Opens the file when
    // closed. Returns the value's length; -1 when the file cannot be opened or the write
    // fails (nothing is written through a missing stream), for a null key or a ReadOnlyCopy.
    int WriteKey(const char* key, const CounterString& value);

    // Reads `file` from its position to its end into `contents` (replacing them): 0, or the
    // errno of the read that failed.
    static int ReadFileBytes(std::FILE* file, std::string& contents);

    // The bytes WriteKey and SetValue write for `value`: the low byte of each unit, CR, LF and
    // NUL as a blank (one value is always one line).
    static std::string ValueBytes(const CounterString& value);
    // The same bytes put in `bytes` in place of what it held.
    static void AssignValueBytes(const CounterString& value, std::string& bytes);

    // Replaces the key's line in the selected section, or inserts "key=value" at the end of
    // the section (before the empty lines that precede the next header), or appends the
    // section with the key at the end of the file; every other byte of the file is kept and
    // the file is truncated after the rewritten rest. Closes the file afterwards. Returns the
    // value's length; 0 when the file cannot be opened or the key is null or empty; -1 when a
    // write fails (always for a ReadOnlyCopy).
    int SetValue(const char* key, const CounterString& value);

  private:
    enum class KeySearch { Found, NextSection, EndOfFile };
    enum class LastIo { None, Read, Write };

    KeySearch SearchKey(const char* key);
    std::optional<std::int64_t> LocateHeader(const std::string& name);
    void OpenCopy(const std::string& path);
    // Notes the line end of the file just opened (ini_line::LineEndOf its first line).
    void LearnLineEnd();
    void NoteReadError(int error);
    bool ReadOnly() const { return readOnlyCopy_ || adopted_ != nullptr; }
    // The reading position and the next line, of the file or of the copy.
    std::int64_t Tell();
    std::size_t NextLine(std::string& line);
    bool PassOverKeyLine(std::string_view key);
    // Where the value of the key line `line_` starts, the key (of `keyLength` bytes) being at
    // `text` within it; cuts the line's trailing CR, LF and blanks (and anything after a NUL).
    const char* ValueOfKeyLine(const char* text, std::size_t keyLength);
    // The bytes GetString gives for a key line whose value starts at `value`: at most
    // CounterString::kMaxLength of them, one pair of enclosing double quotes removed.
    static std::string_view ValueRead(const char* value);
    void Seek(std::int64_t position, int origin = SEEK_SET);
    void SwitchTo(LastIo next);
    bool WriteText(const std::string& text);
    bool FileEndsWithLineEnd();
    // CR LF "[section]" CR LF for the selected section: what precedes its first key written.
    std::string SectionHeaderLines() const;

    std::FILE* file_ = nullptr;
    std::string line_;
    const char* cursor_ = "";
    std::int64_t keyLinePos_ = 0;  // where the last key search stopped (see SearchKey)
    CounterString fileName_;
    CounterString currentSection_;
    std::int64_t sectionBodyPos_ = 0;
    CounterString lastSection_;  // reading: last section found; writing: last header written
    bool keepOpen_;

    bool sectionBodyKnown_ = false;  // lastSection_ and sectionBodyPos_ come from a search
    std::int64_t keyLineEnd_ = 0;    // after a found key's line
    LastIo lastIo_ = LastIo::None;
    SectionIndex index_;
    char lineEnd_ = ini_line::kLineFeed;
    int readError_ = 0;
    std::FILE* adopted_ = nullptr;  // ReadOnlyStream: the stream, owned, open or closed

    // ReadOnlyCopy: the file's bytes once read, whether the copy stands for an open file,
    // and the reading position in it.
    bool readOnlyCopy_ = false;
    std::optional<std::string> copy_;
    bool copyOpen_ = false;
    std::size_t copyPosition_ = 0;
};
