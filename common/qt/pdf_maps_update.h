#pragma once
// The ToUnicode maps of a finished PDF replaced with qpdf, as an incremental update: the new
// maps, a cross-reference section for them and a trailer pointing back to the file's own are
// appended, and everything else stays byte for byte what the writer wrote, so a report of
// hundreds of photographs is copied, not rewritten. No Qt types in the interface, and the
// implementation builds as C++17 (qpdf 11.3's JSON.hh does not build as C++20 with clang).

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace tessera {

// A map's new text, or nullopt to keep it.
using TextMapRewrite = std::function<std::optional<std::string>(std::string_view map)>;

struct PdfMapsResult {
    bool ok = false;
    int errnum = 0;      // on failure: the system's error number when reading or writing failed
    std::string message; // on failure otherwise: what qpdf said about the PDF
};

// Copies the PDF read from `in` (a seekable file) to `out` and appends the update of the maps
// that `rewrite` changes (nothing when none changes).
PdfMapsResult copyWithTextMaps(std::FILE* in, std::FILE* out, const TextMapRewrite& rewrite);
// The same for a PDF in memory, to which the update is appended.
PdfMapsResult appendTextMaps(std::string& pdf, const TextMapRewrite& rewrite);

} // namespace tessera
