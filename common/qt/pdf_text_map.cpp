#include "common/qt/pdf_text_map.h"

#include "common/equivalent_ideographs.h"
#include "common/error_text.h"
#include "common/pdf_cmap.h"
#include "common/qt/page_painter.h"

#include <QFont>
#include <QHash>
#include <QRawFont>

// Only qpdf's current interface (std::shared_ptr, no PointerHolder).
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>
#include <qpdf/QPDFWriter.hh>

#include <cerrno>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <set>

namespace tessera {
namespace {

constexpr char32_t kFirstIdeograph = 0x4E00;
constexpr char32_t kLastIdeograph = 0x9FFF;

bool isRadicalOrStroke(char32_t c) {
    return (c >= 0x2E80 && c <= 0x2EFF) || (c >= 0x2F00 && c <= 0x2FDF) ||
           (c >= 0x31C0 && c <= 0x31EF);
}

// For each radical and stroke that an installed CJK font draws with the glyph of a unified
// ideograph, that ideograph (the fonts that stand in for 宋体 asked first). Computed once.
const QHash<char32_t, char32_t>& sharedGlyphIdeographs() {
    static QHash<char32_t, char32_t> table;
    static std::once_flag once;
    std::call_once(once, [] {
        QString ideographs;
        for (char32_t c = kFirstIdeograph; c <= kLastIdeograph; ++c)
            ideographs += QChar(static_cast<char16_t>(c));
        QString radicals;
        for (char32_t c = 0x2E80; c <= 0x31EF; ++c)
            if (isRadicalOrStroke(c))
                radicals += QChar(static_cast<char16_t>(c));
        for (const QString& family : fontFamiliesFor(QStringLiteral("宋体"))) {
            QFont font;
            font.setFamily(family);
            const QRawFont raw = QRawFont::fromFont(font);
            if (!raw.isValid())
                continue;
            const QList<quint32> ideographGlyphs = raw.glyphIndexesForString(ideographs);
            const QList<quint32> radicalGlyphs = raw.glyphIndexesForString(radicals);
            if (ideographGlyphs.size() != ideographs.size() ||
                radicalGlyphs.size() != radicals.size())
                continue;
            QHash<quint32, char32_t> byGlyph;
            for (qsizetype i = 0; i < ideographGlyphs.size(); ++i)
                if (ideographGlyphs[i] != 0 && !byGlyph.contains(ideographGlyphs[i]))
                    byGlyph.insert(ideographGlyphs[i], kFirstIdeograph + char32_t(i));
            for (qsizetype i = 0; i < radicalGlyphs.size(); ++i) {
                const char32_t radical = radicals[i].unicode();
                if (radicalGlyphs[i] != 0 && byGlyph.contains(radicalGlyphs[i]) &&
                    !table.contains(radical))
                    table.insert(radical, byGlyph.value(radicalGlyphs[i]));
            }
        }
    });
    return table;
}

// The character a glyph that Qt named `c` was printed as: for a radical or stroke, the
// ideograph the fonts draw with the same glyph, else the one it stands for.
char32_t printedCharacter(char32_t c) {
    if (!isRadicalOrStroke(c))
        return c;
    return sharedGlyphIdeographs().value(c, equivalentUnifiedIdeograph(c));
}

void setError(QString* error, const QString& text) {
    if (error)
        *error = text;
}

QString pdfError(const std::exception& e) {
    return QStringLiteral("无法整理 PDF 文件的文字：%1").arg(QString::fromUtf8(e.what()));
}

// Rewrites every ToUnicode map of `pdf`; true when one of them changed.
bool remapTextMaps(QPDF& pdf) {
    bool changed = false;
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
        if (auto fixed = remapToUnicodeCMap(text, printedCharacter)) {
            map.replaceStreamData(*fixed, QPDFObjectHandle::newNull(), QPDFObjectHandle::newNull());
            changed = true;
        }
    }
    return changed;
}

// Streams are copied as they are (images are not decoded again); only the rewritten maps are
// compressed anew.
void setUpWriter(QPDFWriter& writer) {
    writer.setDecodeLevel(qpdf_dl_none);
    writer.setCompressStreams(true);
}

bool copyFile(std::FILE* in, std::FILE* out) {
    if (std::fseek(in, 0, SEEK_SET) != 0)
        return false;
    char buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, in)) > 0)
        if (std::fwrite(buffer, 1, n, out) != n)
            return false;
    return !std::ferror(in);
}

} // namespace

bool fixPdfTextMaps(std::FILE* in, std::FILE* out, QString* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile("PDF", in, false);
        if (!remapTextMaps(pdf)) {
            if (!copyFile(in, out) || std::fflush(out) != 0) {
                setError(error, QString::fromStdString(errorText(errno)));
                return false;
            }
            return true;
        }
        QPDFWriter writer(pdf);
        writer.setOutputFile("PDF", out, false);
        setUpWriter(writer);
        writer.write();
        if (std::fflush(out) != 0 || std::ferror(out)) {
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

QByteArray fixPdfTextMaps(const QByteArray& bytes, QString* error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("PDF", bytes.constData(), static_cast<size_t>(bytes.size()));
        if (!remapTextMaps(pdf))
            return bytes;
        QPDFWriter writer(pdf);
        writer.setOutputMemory();
        setUpWriter(writer);
        writer.write();
        const std::shared_ptr<Buffer> out = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(out->getBuffer()),
                          static_cast<qsizetype>(out->getSize()));
    } catch (const std::exception& e) {
        setError(error, pdfError(e));
        return {};
    }
}

} // namespace tessera
