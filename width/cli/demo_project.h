#pragma once
// The sample project of `fallowmere-cli demo`: records as a crack width meter writes them
// (GBK texts; Chinese groups, modes and remarks; names such as "L1-01"; widths such as "0.12";
// times such as "2026-05-01 10:22:13") and the photograph each one gets. Everything comes from
// one seeded generator, so the same count gives the same project on every run.

#include "width/project/record.h"

#include <cstdint>
#include <string>
#include <vector>

namespace fallowmere::demo {

// A small deterministic generator (splitmix64): the same sequence on every platform, unlike
// the standard library's distributions.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next();
    // A whole number in [low, high].
    int between(int low, int high);
    // A real number in [0, 1).
    double unit();

private:
    uint64_t state_;
};

enum class PhotoFormat { Jpeg, Bmp, None };

struct DemoRecord {
    CRecordStru record; // GBK texts
    PhotoFormat photo = PhotoFormat::Jpeg;
    std::string photoFile; // the photograph's file name in the picture folder; empty for none
    double widthMm = 0;    // the crack width the photograph shows
    uint64_t seed = 0;     // of the photograph's drawing
};

// `count` records, five to a group. Most photographs are JPEG (one in seven with the
// extension in capitals, as some meters write it), one in five is BMP, and the last record has
// none when there are at least two.
std::vector<DemoRecord> demoRecords(int count);

} // namespace fallowmere::demo
