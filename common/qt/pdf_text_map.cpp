#include "common/qt/pdf_text_map.h"

#include "common/equivalent_ideographs.h"
#include "common/error_text.h"
#include "common/pdf_cmap.h"
#include "common/qt/page_painter.h"

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QSet>

// Only qpdf's current interface (std::shared_ptr, no PointerHolder).
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>

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

QString pdfError(const std::exception& e) {
    return QStringLiteral("无法整理 PDF 文件的文字：%1").arg(QString::fromUtf8(e.what()));
}

// The ToUnicode maps of `pdf` that change, with their new text.
std::vector<std::pair<QPDFObjGen, std::string>> remapTextMaps(QPDF& pdf,
                                                              const PrintedText& printed) {
    const QHash<char32_t, char32_t> fixes = glyphNameFixes(printed);
    // A glyph named by a radical or stroke that no printed character explains still names
    // the ideograph it stands for.
    auto printedCharacter = [&fixes](char32_t c) {
        return fixes.value(c, isRadicalOrStroke(c) ? equivalentUnifiedIdeograph(c) : c);
    };
    std::vector<std::pair<QPDFObjGen, std::string>> changed;
    std::set<QPDFObjGen> seen;
    for (QPDFObjectHandle object : pdf.getAllObjects()) {
        if (!object.isDictionary() || !object.hasKey("/ToUnicode"))
            continue;
        QPDFObjectHandle map = object.getKey("/ToUnicode");
        if (!map.isStream() || !seen.insert(map.getObjGen()).second)
            continue;
        const std::shared_ptr<Buffer> data = map.getStreamData(qpdf_dl_generalized);
        const std::string_view text(reinterpret_cast<const char*>(data->getBuffer()),
                                    data->getSize());
        if (auto fixed = remapToUnicodeCMap(text, printedCharacter))
            changed.emplace_back(map.getObjGen(), std::move(*fixed));
    }
    std::sort(changed.begin(), changed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return changed;
}

// The offset after the last "startxref" in the end of a PDF.
std::optional<long long> lastStartXref(std::string_view tail) {
    const size_t at = tail.rfind("startxref");
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string rest(tail.substr(at + 9, 32));
    char* end = nullptr;
    const long long offset = std::strtoll(rest.c_str(), &end, 10);
    if (end == rest.c_str() || offset < 0)
        return std::nullopt;
    return offset;
}

// An incremental update (appended to the file of `size` bytes whose last cross-reference
// section is at `previous`) that replaces the maps `changed`: the new streams, compressed, a
// cross-reference section for them and a trailer pointing back to the previous one. The rest
// of the file stays byte for byte what Qt wrote, so a report of hundreds of photographs is
// copied, not rewritten.
std::string incrementalUpdate(QPDF& pdf,
                              const std::vector<std::pair<QPDFObjGen, std::string>>& changed,
                              long long size, long long previous) {
    std::string update = "\n";
    std::vector<long long> offsets;
    for (const auto& [objGen, text] : changed) {
        offsets.push_back(size + static_cast<long long>(update.size()));
        // qCompress puts the length in front of the zlib stream that /FlateDecode reads.
        const QByteArray zlib =
            qCompress(QByteArray::fromRawData(text.data(), qsizetype(text.size()))).mid(4);
        update += std::to_string(objGen.getObj()) + " " + std::to_string(objGen.getGen()) +
                  " obj\n<< /Length " + std::to_string(zlib.size()) +
                  " /Filter /FlateDecode >>\nstream\n" + zlib.toStdString() +
                  "\nendstream\nendobj\n";
    }
    const long long xref = size + static_cast<long long>(update.size());
    update += "xref\n";
    char entry[32];
    for (size_t i = 0; i < changed.size(); ++i) {
        update += std::to_string(changed[i].first.getObj()) + " 1\n";
        std::snprintf(entry, sizeof entry, "%010lld %05d n \n", offsets[i],
                      changed[i].first.getGen());
        update += entry;
    }
    QPDFObjectHandle trailer = pdf.getTrailer().shallowCopy();
    trailer.removeKey("/XRefStm");
    trailer.replaceKey("/Prev", QPDFObjectHandle::newInteger(previous));
    update +=
        "trailer\n" + trailer.unparse() + "\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return update;
}

constexpr long long kTailBytes = 1024;

bool copyFile(std::FILE* in, std::FILE* out) {
    if (std::fseek(in, 0, SEEK_SET) != 0)
        return false;
    std::vector<char> buffer(size_t(1) << 20);
    size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), in)) > 0)
        if (std::fwrite(buffer.data(), 1, n, out) != n)
            return false;
    return !std::ferror(in);
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
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile("PDF", in, false);
        const auto changed = remapTextMaps(pdf, printed);
        std::string update;
        if (!changed.empty()) {
            if (std::fseek(in, 0, SEEK_END) != 0)
                throw std::runtime_error("seek");
            const long long size = std::ftell(in);
            const long long tail = std::min(size, kTailBytes);
            std::string end(static_cast<size_t>(tail), '\0');
            if (std::fseek(in, size - tail, SEEK_SET) != 0 ||
                std::fread(end.data(), 1, end.size(), in) != end.size())
                throw std::runtime_error("read");
            const auto previous = lastStartXref(end);
            if (!previous)
                throw std::runtime_error("startxref");
            update = incrementalUpdate(pdf, changed, size, *previous);
        }
        if (!copyFile(in, out) ||
            std::fwrite(update.data(), 1, update.size(), out) != update.size() ||
            std::fflush(out) != 0) {
            setError(error, QString::fromStdString(errorText(errno)));
            return false;
        }
        return true;
    } catch (const QPDFSystemError& e) {
        setError(error, QString::fromStdString(errorText(e.getErrno())));
        return false;
    } catch (const std::exception& e) {
        setError(error, pdfError(e));
        return false;
    }
}

QByteArray fixPdfTextMaps(const QByteArray& bytes, const PrintedText& printed, QString* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("PDF", bytes.constData(), static_cast<size_t>(bytes.size()));
        const auto changed = remapTextMaps(pdf, printed);
        if (changed.empty())
            return bytes;
        const std::string_view all(bytes.constData(), static_cast<size_t>(bytes.size()));
        const auto previous =
            lastStartXref(all.substr(all.size() - std::min<size_t>(all.size(), kTailBytes)));
        if (!previous)
            throw std::runtime_error("startxref");
        const std::string update = incrementalUpdate(pdf, changed, bytes.size(), *previous);
        return bytes + QByteArray::fromStdString(update);
    } catch (const std::exception& e) {
        setError(error, pdfError(e));
        return {};
    }
}

} // namespace tessera
