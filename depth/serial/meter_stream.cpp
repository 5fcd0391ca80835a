#include "depth/serial/meter_stream.h"

#include <algorithm>

namespace marrowby {
namespace {

void appendField(std::string& out, int value) {
    value %= 1000;
    if (value < 0)
        value += 1000;
    out.push_back(static_cast<char>('0' + value / 100));
    out.push_back(static_cast<char>('0' + value / 10 % 10));
    out.push_back(static_cast<char>('0' + value % 10));
}

} // namespace

std::vector<MeterGroup> generatedMeterGroups(int groups, int records) {
    groups = std::clamp(groups, 0, kMaxMeterGroups);
    records = std::clamp(records, 0, kMaxMeterRecords);
    std::vector<MeterGroup> out(static_cast<size_t>(groups));
    for (int g = 1; g <= groups; ++g) {
        MeterGroup& group = out[static_cast<size_t>(g - 1)];
        group.groupNo = g;
        group.records.reserve(static_cast<size_t>(records));
        for (int r = 0; r < records; ++r)
            group.records.push_back({r % 999 + 1, (7 * g + r) % 1000, (131 * g + 17 * r) % 1000});
    }
    return out;
}

std::string encodeMeterStream(const std::vector<MeterGroup>& groups) {
    size_t size = 2;
    for (const auto& g : groups)
        size += 8 + 9 * std::min<size_t>(g.records.size(), kMaxMeterRecords);
    std::string out;
    out.reserve(size);
    out.push_back('D');
    for (const auto& g : groups) {
        out.push_back('E');
        appendField(out, g.groupNo);
        const size_t count = std::min<size_t>(g.records.size(), kMaxMeterRecords);
        appendField(out, static_cast<int>(count));
        for (size_t i = 0; i < count; ++i) {
            const MeterRecord& r = g.records[i];
            appendField(out, r.crackNo);
            appendField(out, r.pointNo);
            appendField(out, r.depthValue);
        }
        out.push_back('B');
    }
    out.push_back('A');
    return out;
}

} // namespace marrowby
