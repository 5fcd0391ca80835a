#pragma once
// The crack depth meter's transmission, as a stand-in meter sends it (model code, no Qt).
//
// Stream: "D", then per group "E" + 3-digit group number + 3-digit record count + 9 digits per
// record (crack number, point number, depth value; 3 digits each) + "B", then "A".

#include <string>
#include <vector>

namespace marrowby {

struct MeterRecord {
    int crackNo = 0;    // 0..999
    int pointNo = 0;    // 0..999
    int depthValue = 0; // 0..999
};

struct MeterGroup {
    int groupNo = 0;                  // 0..999
    std::vector<MeterRecord> records; // at most 999
};

inline constexpr int kMaxMeterGroups = 999;
inline constexpr int kMaxMeterRecords = 999;

// The deterministic content of the simulated meter: groups numbered 1..groups, each with
// `records` records; record r (from 0) of group g holds
//   crack = r % 999 + 1, point = (7 * g + r) % 1000, depth = (131 * g + 17 * r) % 1000.
// Counts outside 0..999 are clamped to that range.
std::vector<MeterGroup> generatedMeterGroups(int groups, int records);

// The bytes of a whole transmission of `groups`. Fields are taken modulo 1000 and written with
// three digits, and a group sends at most its first 999 records, so a stream is always well
// formed.
std::string encodeMeterStream(const std::vector<MeterGroup>& groups);

} // namespace marrowby
