#include "width/list/qt/zh_collator.h"

#include "common/text.h"

#include <QCollatorSortKey>
#include <QLocale>
#include <QString>

namespace fallowmere {
namespace {

QString decode(tessera::GbkDecoder& decoder, std::string_view gbk, std::u16string& buffer) {
    decoder.toUtf16(gbk, buffer);
    return QString(reinterpret_cast<const QChar*>(buffer.data()),
                   static_cast<qsizetype>(buffer.size()));
}

} // namespace

ZhCollator::ZhCollator() : collator_(QLocale(QLocale::Chinese, QLocale::China)) {
    collator_.setNumericMode(false);
    collator_.setCaseSensitivity(Qt::CaseSensitive);
    collator_.setIgnorePunctuation(false);
}

int ZhCollator::compare(std::string_view a, std::string_view b) const {
    tessera::GbkDecoder decoder;
    std::u16string buffer;
    const QString qa = decode(decoder, a, buffer);
    const QString qb = decode(decoder, b, buffer);
    int c = collator_.compare(qa, qb);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

std::vector<uint32_t> ZhCollator::rankTexts(const std::vector<std::string_view>& texts) const {
    std::vector<std::string_view> distinct;
    std::vector<uint32_t> which = groupDistinct(texts, distinct);
    tessera::GbkDecoder decoder;
    std::u16string buffer;
    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (std::string_view text : distinct)
        keys.push_back(collator_.sortKey(decode(decoder, text, buffer)));
    const std::vector<uint32_t> rank =
        rankItems(keys.size(), [&](uint32_t a, uint32_t b) { return keys[a].compare(keys[b]); });
    for (uint32_t& w : which)
        w = rank[w];
    return which;
}

} // namespace fallowmere
