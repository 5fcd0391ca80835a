// The record list's text comparison follows the Chinese collation whatever the system locale.

#include "common/gbk.h"
#include "width/list/qt/zh_collator.h"
#include "width/list/record_rows.h"

#include <QLocale>
#include <QTest>

using namespace fallowmere;

namespace {

std::string gbk(const char* utf8) {
    return *tessera::utf8ToGbk(utf8);
}

std::vector<std::string> sortedNames(const std::vector<std::string>& names,
                                     const TextCollator& collator, bool ascending = true) {
    RecordRows rows;
    for (const std::string& n : names) {
        CRecordStru r;
        r.strName = n;
        rows.append(r);
    }
    rows.SortByColumn(1, ascending, collator);
    std::vector<std::string> out;
    for (size_t i = 0; i < rows.size(); ++i)
        out.push_back(rows.record(i).strName);
    return out;
}

} // namespace

class ZhCollatorTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // Whatever the system says, the comparison is the Chinese one.
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    }

    void latinLettersSortAlphabeticallyNotByBytes() {
        ZhCollator zh;
        const std::vector<std::string> expected = {"apple", "Banana", "cherry"};
        QVERIFY(sortedNames({"cherry", "Banana", "apple"}, zh) == expected);
        QVERIFY(sortedNames({"cherry", "apple", "Banana"}, ByteOrderCollator()) != expected);
        QVERIFY(zh.compare("a", "A") != 0);         // case-sensitive
        QVERIFY(zh.compare("item10", "item9") < 0); // digits are characters
    }

    void chineseSortsByPinyin() {
        ZhCollator zh;
        // 阿 (a), 亍 (chu), 中 (zhong): GBK puts 亍 last, as a less common character.
        const std::vector<std::string> expected = {gbk("阿"), gbk("亍"), gbk("中")};
        QVERIFY(sortedNames({gbk("中"), gbk("亍"), gbk("阿")}, zh) == expected);
        QVERIFY(sortedNames({gbk("中"), gbk("亍"), gbk("阿")}, ByteOrderCollator()) != expected);
        const std::vector<std::string> descending = {gbk("中"), gbk("亍"), gbk("阿")};
        QVERIFY(sortedNames({gbk("亍"), gbk("阿"), gbk("中")}, zh, false) == descending);
    }

    // As on a Chinese system: digits and punctuation, then Latin (lower case first), then
    // Chinese by pinyin.
    void scriptsSortDigitsLatinThenChinese() {
        ZhCollator zh;
        const std::vector<std::string> expected = {"-x", "1a",      "a",       "A",      "b",
                                                   "Z",  gbk("阿"), gbk("张"), gbk("中")};
        std::vector<std::string> shuffled = {gbk("中"), "Z",       "A", gbk("阿"), "b",
                                             "1a",      gbk("张"), "a", "-x"};
        QVERIFY(sortedNames(shuffled, zh) == expected);
        std::vector<std::string_view> views(shuffled.begin(), shuffled.end());
        const std::vector<uint32_t> rank = zh.rankTexts(views);
        for (size_t i = 0; i + 1 < expected.size(); ++i) {
            QVERIFY(zh.compare(expected[i], expected[i + 1]) < 0);
            QVERIFY(zh.compare(expected[i + 1], expected[i]) > 0);
        }
        QVERIFY(rank[3] < rank[0]); // "A" before 中 by key as well
    }

    void ranksAgreeWithCompare() {
        ZhCollator zh;
        const std::vector<std::string> texts = {gbk("裂缝"), "abc",      "Abc", gbk("裂缝"), "",
                                                gbk("宽度"), "\xFF\x81", "abc", "b"};
        std::vector<std::string_view> views(texts.begin(), texts.end());
        const std::vector<uint32_t> rank = zh.rankTexts(views);
        for (size_t i = 0; i < texts.size(); ++i)
            for (size_t j = 0; j < texts.size(); ++j) {
                const int c = zh.compare(texts[i], texts[j]);
                QCOMPARE(rank[i] < rank[j], c < 0);
                QCOMPARE(rank[i] == rank[j], c == 0);
            }
    }
};

QTEST_GUILESS_MAIN(ZhCollatorTest)
#include "zh_collator_test.moc"
