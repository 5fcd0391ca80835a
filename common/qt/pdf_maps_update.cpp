#include "common/qt/pdf_maps_update.h"

// Only qpdf's current interface (std::shared_ptr, no PointerHolder).
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFSystemError.hh>

#include <QByteArray>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <exception>
#include <memory>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tessera {
namespace {

constexpr long long kTailBytes = 1024;

using ChangedMaps = std::vector<std::pair<QPDFObjGen, std::string>>;

// The ToUnicode maps of `pdf` that `rewrite` changes, with their new text, by object number.
ChangedMaps changedMaps(QPDF& pdf, const TextMapRewrite& rewrite) {
    ChangedMaps changed;
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
        if (auto fixed = rewrite(text))
            changed.emplace_back(map.getObjGen(), std::move(*fixed));
    }
    std::sort(changed.begin(), changed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    return changed;
}

// The offset after the last "startxref" in the end of a PDF.
long long lastStartXref(std::string_view tail) {
    const size_t at = tail.rfind("startxref");
    if (at == std::string_view::npos)
        throw std::runtime_error("startxref not found");
    const std::string rest(tail.substr(at + 9, 32));
    char* end = nullptr;
    const long long offset = std::strtoll(rest.c_str(), &end, 10);
    if (end == rest.c_str() || offset < 0)
        throw std::runtime_error("startxref not readable");
    return offset;
}

// The update appended to a file of `size` bytes whose last cross-reference section is at
// `previous`: the new streams (compressed), their cross-reference section and a trailer.
std::string incrementalUpdate(QPDF& pdf, const ChangedMaps& changed, long long size,
                              long long previous) {
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

PdfMapsResult systemFailure(int errnum) {
    return {false, errnum, {}};
}

template <typename Work> PdfMapsResult guarded(Work work) {
    try {
        return work();
    } catch (const QPDFSystemError& e) {
        return systemFailure(e.getErrno());
    } catch (const std::exception& e) {
        return {false, 0, e.what()};
    }
}

} // namespace

PdfMapsResult copyWithTextMaps(std::FILE* in, std::FILE* out, const TextMapRewrite& rewrite) {
    return guarded([&]() -> PdfMapsResult {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile("PDF", in, false);
        const ChangedMaps changed = changedMaps(pdf, rewrite);
        std::string update;
        if (!changed.empty()) {
            if (std::fseek(in, 0, SEEK_END) != 0)
                return systemFailure(errno);
            const long long size = std::ftell(in);
            const long long tail = std::min(size, kTailBytes);
            std::string end(static_cast<size_t>(tail), '\0');
            if (std::fseek(in, size - tail, SEEK_SET) != 0 ||
                std::fread(end.data(), 1, end.size(), in) != end.size())
                return systemFailure(errno);
            update = incrementalUpdate(pdf, changed, size, lastStartXref(end));
        }
        if (!copyFile(in, out) ||
            std::fwrite(update.data(), 1, update.size(), out) != update.size() ||
            std::fflush(out) != 0)
            return systemFailure(errno);
        return {true, 0, {}};
    });
}

PdfMapsResult appendTextMaps(std::string& bytes, const TextMapRewrite& rewrite) {
    return guarded([&]() -> PdfMapsResult {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processMemoryFile("PDF", bytes.data(), bytes.size());
        const ChangedMaps changed = changedMaps(pdf, rewrite);
        if (!changed.empty()) {
            const std::string_view all(bytes);
            const size_t tail = std::min<size_t>(all.size(), size_t(kTailBytes));
            bytes += incrementalUpdate(pdf, changed, static_cast<long long>(bytes.size()),
                                       lastStartXref(all.substr(all.size() - tail)));
        }
        return {true, 0, {}};
    });
}

} // namespace tessera
