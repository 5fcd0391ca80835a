#pragma once
// The text of a finished PDF as the characters that were printed. Qt's PDF writer names each
// glyph of a font subset by the lowest code point the font maps to it, and CJK fonts draw the
// Kangxi radicals (U+2F00–U+2FD5), many CJK radical supplements (U+2E80–U+2EF3) and CJK strokes
// with the glyph of the ideograph they stand for: a report that prints 工程名称 copies and
// searches as "⼯程名称". fixPdfTextMaps rewrites every ToUnicode map of the file (with qpdf)
// so that those code points name the ideographs instead: the ideograph that the installed CJK
// fonts draw with the same glyph (⺕ U+2E95 with 彐), else the one the Unicode Character
// Database lists as equivalent (equivalent_ideographs.h; for the Kangxi radicals these are
// their NFKC forms). It also drops the stray bytes Qt writes into long maps. Two ideographs
// that share one glyph (户 and 戶 in the Simplified Chinese fonts) still come out as the lower
// one: which of them was printed is not known here.

#include <QByteArray>
#include <QString>

#include <cstdio>

namespace tessera {

// Copies the PDF read from `in` (a seekable file) to `out` with its text maps fixed; a file
// that needs no change is copied as it is. False with the reason when the PDF cannot be read
// or the copy cannot be written.
bool fixPdfTextMaps(std::FILE* in, std::FILE* out, QString* error = nullptr);
// The same in memory; empty with the reason on failure.
QByteArray fixPdfTextMaps(const QByteArray& pdf, QString* error = nullptr);

} // namespace tessera
