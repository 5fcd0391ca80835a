#include "common/qt/pdf_text_map.h"

#include "common/equivalent_ideographs.h"
#include "common/error_text.h"
#include "common/pdf_cmap.h"
#include "common/qt/page_painter.h"
#include "common/qt/pdf_maps_update.h"

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QSet>

#include <map>
#include <memory>
#include <mutex>

namespace tessera {
namespace {

bool isRadicalOrStroke(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2EFF) || (c >= 0x2F00 && c <= 0x2FDF) ||
           (c >= 0x31C0 && c <= 0x31EF);
}

// The glyph of every code point of the Basic Multilingual Plane in one font, and for each glyph
// the lowest code point that reaches it: the name Qt's PDF writer gives the glyph.
struct FontGlyphs {
    bool valid = false;
    QList<quint32> glyphs; // by code point; 0 for none (and for the surrogates)
    QHash<quint32, char32_t> lowest;
};

const FontGlyphs& glyphsOf(const QString& family) {
    static std::mutex mutex;
    static std::map<QString, FontGlyphs> cache;
    std::lock_guard lock(mutex);
    auto [it, added] = cache.try_emplace(family);
    if (!added)
        return it->second;
    FontGlyphs& f = it->second;
    QFont font;
    font.setFamily(family);
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid())
        return f;
    QString all;
    std::vector<char32_t> codes;
    for (char32_t c = 1; c <= 0xFFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        all += QChar(static_cast<char16_t>(c));
        codes.push_back(c);
    }
    const QList<quint32> found = raw.glyphIndexesForString(all);
    if (found.size() != all.size())
        return f;
    f.glyphs.fill(0, 0x10000);
    for (size_t i = 0; i < codes.size(); ++i) {
        f.glyphs[codes[i]] = found[qsizetype(i)];
        if (found[qsizetype(i)] != 0 && !f.lowest.contains(found[qsizetype(i)]))
            f.lowest.insert(found[qsizetype(i)], codes[i]);
    }
    f.valid = true;
    return f;
}

// For the glyphs of the printed characters that Qt names by another, lower code point that
// was not printed (工 by the radical ⼯, 户 by 戶): that code point with the character
// printed. A character is taken to be drawn by the first font of its face's stand-ins that has
// a glyph for it, as the painter's fonts fall back.
QHash<char32_t, char32_t> glyphNameFixes(const PrintedText& printed) {
    QSet<char32_t> all;
    for (const auto& [face, characters] : printed)
        for (char32_t c : characters)
            all.insert(c);
    QHash<char32_t, char32_t> fixes;
    for (const auto& [face, characters] : printed) {
        const QStringList families = fontFamiliesFor(QString::fromStdString(face));
        for (char32_t c : characters) {
            if (c > 0xFFFF)
                continue;
            for (const QString& family : families) {
                const FontGlyphs& f = glyphsOf(family);
                if (!f.valid || f.glyphs[c] == 0)
                    continue;
                const char32_t name = f.lowest.value(f.glyphs[c], c);
                if (name != c && !all.contains(name) && !fixes.contains(name))
                    fixes.insert(name, c);
                break;
            }
        }
    }
    return fixes;
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

// Each map rewritten so that its glyphs name the characters printed.
TextMapRewrite rewriteFor(const PrintedText& printed) {
    auto fixes = std::make_shared<QHash<char32_t, char32_t>>(glyphNameFixes(printed));
    return [fixes](std::string_view map) {
        // A glyph named by a radical or stroke that no printed character explains still names
        // the ideograph it stands for.
        return remapToUnicodeCMap(map, [&fixes](char32_t c) {
            return fixes->value(c, isRadicalOrStroke(c) ? equivalentUnifiedIdeograph(c) : c);
        });
    };
}

bool succeeded(const PdfMapsResult& result, QString* error) {
    if (result.ok)
        return true;
    setError(error, result.errnum != 0 ? QString::fromStdString(errorText(result.errnum))
                                       : QStringLiteral("无法整理 PDF 文件的文字：%1")
                                             .arg(QString::fromStdString(result.message)));
    return false;
}

} // namespace

void collectPrintedText(const std::vector<PageOp>& ops, PrintedText& printed) {
    for (const PageOp& op : ops) {
        if (op.kind != PageOpKind::Text || op.text.empty())
            continue;
        std::set<char32_t>& characters = printed[op.font.face];
        for (char32_t c : QString::fromStdString(op.text).toUcs4())
            characters.insert(c);
    }
}

bool fixPdfTextMaps(std::FILE* in, std::FILE* out, const PrintedText& printed, QString* error) {
    return succeeded(copyWithTextMaps(in, out, rewriteFor(printed)), error);
}

QByteArray fixPdfTextMaps(const QByteArray& bytes, const PrintedText& printed, QString* error) {
    std::string pdf = bytes.toStdString();
    if (!succeeded(appendTextMaps(pdf, rewriteFor(printed)), error))
        return {};
    return QByteArray::fromStdString(pdf);
}

} // namespace tessera
