#pragma once
// A profile (INI) file codec on raw bytes (GBK in the programs' files): read values, change
// them, and produce the bytes of the whole file again with everything else kept as it was.
//
// Format: "[section]" header lines, "key=value" lines, comment lines starting with ';' or '#'
// (after leading blanks); lines end in CR LF or LF. Section names and keys are matched without
// regard to ASCII case. Keys and values are trimmed of blanks (space, TAB) around them; the
// value is otherwise returned as the bytes that follow the first '='. Lines before the first
// section header and lines that are none of these are kept but belong to no entry.
//
// Reading a file goes through readIniFile (regular files only); writing goes through
// tessera::writeFileAtomically with the bytes of bytes().

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessera {

class IniFile {
public:
    IniFile() = default;
    // Parses a whole file. Never fails: anything that is not a header or an entry is kept as
    // an opaque line.
    static IniFile parse(std::string_view bytes);

    // The value of `key` in the first section named `section` that has the key (the first such
    // key line wins), cut to at most `maxBytes` bytes; nullopt when there is none.
    std::optional<std::string> value(std::string_view section, std::string_view key,
                                     size_t maxBytes = std::string::npos) const;

    // Every entry of the sections named `section`, in file order, as (key, value); repeated
    // keys are listed each time (callers decide which one wins).
    std::vector<std::pair<std::string, std::string>> entries(std::string_view section) const;

    // The section names in file order, as written (repeats included).
    std::vector<std::string> sectionNames() const;

    // Sets `key` in the first section named `section`: the first line of that key gets the new
    // value (its key keeps its spelling); a missing key is added after the section's last
    // entry; a missing section is added at the end of the file. Other lines stay untouched. A
    // value is cut at its first line break (it would otherwise start a line of its own).
    void setValue(std::string_view section, std::string_view key, std::string_view value);

    // Removes every line of `key` in the sections named `section`; true when one was removed.
    bool removeKey(std::string_view section, std::string_view key);

    // The whole file. New lines end like the file's first line (CR LF for a new file).
    std::string bytes() const;

private:
    enum class Kind : unsigned char { Other, Section, Entry };
    enum class End : unsigned char { None, Lf, CrLf };
    // One line; a section's or key's name and an entry's value are ranges of `text`, so that
    // a file of a million lines costs one string per line and every lookup one pass.
    struct Line {
        std::string text;                    // the line as read or as made, without its line end
        size_t nameBegin = 0, nameEnd = 0;   // Section: its name; Entry: its key (both trimmed)
        size_t valueBegin = 0, valueEnd = 0; // Entry: the value
        Kind kind = Kind::Other;
        End end = End::None; // the last line may have none

        std::string_view name() const {
            return std::string_view(text).substr(nameBegin, nameEnd - nameBegin);
        }
        std::string_view value() const {
            return std::string_view(text).substr(valueBegin, valueEnd - valueBegin);
        }
    };
    static Line parseLine(std::string text, End end);
    static std::string_view endText(End end);
    static bool isHeaderOf(const Line& line, std::string_view section);
    static bool isEntryOf(const Line& line, std::string_view key);

    std::vector<Line> lines_;
    End newline_ = End::CrLf;
};

// Reads and parses the INI file at `path` (readRegularFile: regular files only, out of memory
// reported). False with the reason in `error` when it cannot be read.
bool readIniFile(const std::string& path, IniFile& ini, std::string* error = nullptr);

// ASCII case-insensitive equality, the comparison of section names and keys.
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace tessera
