#pragma once
// The text of a finished PDF as the characters that were printed. Qt's PDF writer names each
// glyph of a font subset by the lowest code point the font maps to it, and CJK fonts draw the
// Kangxi radicals (U+2F00–U+2FD5), many CJK radical supplements (U+2E80–U+2EF3) and CJK strokes
// with the glyph of the ideograph they stand for: a report that prints 工程名称 copies and
// searches as "⼯程名称"; fonts also share glyphs between ideographs (the Simplified Chinese
// fonts draw 户 and 戶 alike, so 户 reads as 戶). fixPdfTextMaps rewrites every ToUnicode map
// of the file (with qpdf) knowing which characters were printed: a glyph that Qt named by a
// code point that was not printed names the printed character that the face's font (the
// first of its stand-ins with a glyph for it) draws with that glyph. A glyph still named by a
// radical or stroke names the ideograph it stands for (equivalent_ideographs.h; for the
// Kangxi radicals these are their NFKC forms). It also drops the stray bytes Qt writes into
// long maps. The new maps are appended as an incremental update: the rest of the file stays
// byte for byte what Qt wrote, so the fix costs a copy, not a rewrite.

#include "common/page.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tessera {

// The characters a document printed, by the face asked for (PageFont::face).
using PrintedText = std::map<std::string, std::set<char32_t>>;
// Adds the characters of the text operations of `ops` to `printed`.
void collectPrintedText(const std::vector<PageOp>& ops, PrintedText& printed);

// Copies the PDF read from `in` (a seekable file) to `out` with its text maps fixed for the
// characters `printed`; a file that needs no change is copied as it is. False with the reason
// when the PDF cannot be read or the copy cannot be written.
bool fixPdfTextMaps(std::FILE* in, std::FILE* out, const PrintedText& printed,
                    QString* error = nullptr);
// The same in memory; empty with the reason on failure.
QByteArray fixPdfTextMaps(const QByteArray& pdf, const PrintedText& printed,
                          QString* error = nullptr);

} // namespace tessera
