#include "width/cli/demo_project.h"

#include "common/gbk.h"

#include <chrono>
#include <cstdio>

namespace fallowmere::demo {

uint64_t Random::next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Random::between(int low, int high) {
    const uint64_t span = static_cast<uint64_t>(high - low) + 1;
    return low + static_cast<int>(next() % span);
}

double Random::unit() {
    return static_cast<double>(next() >> 11) * 0x1.0p-53;
}

namespace {

// Texts in UTF-8 here, written in GBK.
const char* const kGroups[] = {"1号梁", "2号梁", "1号墩", "2号墩", "桥面板", "挡土墙", "隧道衬砌"};
const char* const kModes[] = {"自动判读", "自动判读", "人工判读"};
const char* const kRemarks[] = {"横向裂缝", "竖向裂缝", "斜向裂缝", "",
                                "网状裂缝", "表面析白", "",         "沿钢筋方向"};

std::string gbk(const char* utf8) {
    return tessera::utf8ToGbk(utf8).value_or(utf8);
}

// "YYYY-MM-DD hh:mm:ss" for `seconds` after 2026-05-01 09:00:00.
std::string meterTime(long long seconds) {
    using namespace std::chrono;
    const sys_seconds at =
        sys_days{year{2026} / May / 1} + hours{9} + std::chrono::seconds{seconds};
    const sys_days day = floor<days>(at);
    const year_month_day ymd{day};
    const hh_mm_ss<std::chrono::seconds> clock{at - day};
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                  static_cast<int>(clock.hours().count()),
                  static_cast<int>(clock.minutes().count()),
                  static_cast<int>(clock.seconds().count()));
    return text;
}

} // namespace

std::vector<DemoRecord> demoRecords(int count) {
    Random random(20260501);
    std::vector<DemoRecord> records;
    records.reserve(static_cast<size_t>(count > 0 ? count : 0));
    long long seconds = 0;
    for (int i = 0; i < count; ++i) {
        DemoRecord d;
        const int group = i / 5;
        char name[32];
        std::snprintf(name, sizeof name, "L%d-%02d", group + 1, i % 5 + 1);
        const int hundredths = random.between(4, 48);
        char width[16];
        std::snprintf(width, sizeof width, "0.%02d", hundredths);
        seconds += random.between(45, 240);
        d.widthMm = hundredths / 100.0;
        d.record.strGroup = gbk(kGroups[group % std::size(kGroups)]);
        d.record.strName = name;
        d.record.strWidth = width;
        d.record.strMode = gbk(kModes[random.between(0, std::size(kModes) - 1)]);
        d.record.strRemark = gbk(kRemarks[random.between(0, std::size(kRemarks) - 1)]);
        d.record.strTime = meterTime(seconds);
        d.seed = random.next();
        if (count >= 2 && i == count - 1) {
            d.photo = PhotoFormat::None;
        } else if (i % 5 == 3) {
            d.photo = PhotoFormat::Bmp;
            d.photoFile = std::string(name) + ".bmp";
        } else {
            d.photo = PhotoFormat::Jpeg;
            d.photoFile = std::string(name) + (i % 7 == 6 ? ".JPG" : ".jpg");
        }
        records.push_back(std::move(d));
    }
    return records;
}

} // namespace fallowmere::demo
