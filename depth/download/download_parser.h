#pragma once
// The meter's download stream, decoded one byte at a time.
//
// The meter pushes ASCII bytes: "D" starts a transmission, "E" and six digits announce a group
// (group number, record count), nine digits per record follow, "B" ends the group and "A" ends
// the transmission. A group's data bytes wait in a fixed buffer until its "B" arrives; only
// then are they turned into records, which go straight to the tail of the caller's list.
//
// Every 3-digit field is 100*(b1-0x30) + 10*(b2-0x30) + (b3-0x30), computed without checking
// that the bytes are digits: the meter's own rule, kept so that odd streams decode the same
// way they always have.

#include "depth/document/depth_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marrowby {

// Texts the download shows (UTF-8).
inline constexpr std::string_view kCountMismatchMessage = "数据接收个数有误";
inline constexpr std::string_view kTransferCompleteMessage = "数据传输完毕！";
inline constexpr std::string_view kOpenFailedMessage = "打开端口失败！";
inline constexpr std::string_view kTransferCaption = "正在运行  请稍候...";
inline constexpr std::string_view kInitialGroupLabel = "正在传送 第00组数据...";

// "正在传送 第<n>组数据": the progress label after group n was completed.
std::string groupLabel(int groupsDone);

// What a transfer that ended before its end byte kept: "数据传输未完成，保留了完整接收的 <g> 组
// 数据（共 <r> 行）。"
std::string keptGroupsMessage(int groups, size_t rows);

// What the progress display has to do after one byte. Only a group end ("B") and the end
// byte ("A") produce anything; every other byte just moves the parser along.
struct ByteOutcome {
    bool groupClosed = false;   // a "B" closed a group; the fields below describe it
    bool countMismatch = false; // show kCountMismatchMessage before the group's progress
    int progressMax = 0;        // progress range 0..progressMax (the announced count)
    int recordsAdded = 0;       // records appended for this group: one progress step each
    int groupsDone = 0;         // groups completed so far, for groupLabel()
    bool endOfTransfer = false; // an "A" ended the transmission: close the port, end with OK
};

class DownloadParser {
public:
    static constexpr int kBufferSize = 10000; // covers the largest group: 999 * 9 bytes
    static constexpr int kRecordBytes = 9;

    // Records are appended to `records`, which must outlive the parser.
    explicit DownloadParser(std::vector<DepthRecord>& records) : records_(records) {}

    // Handles one received byte.
    ByteOutcome onByte(uint8_t c);

    // State, for the progress display and for tests.
    bool receiving() const { return receiving_; }
    bool inGroupNumber() const { return inGroupNumber_; }
    bool inRecordCount() const { return inRecordCount_; }
    int byteCount() const { return byteCount_; }
    int groupNumber() const { return groupNumber_; }
    int recordCount() const { return recordCount_; }
    int groupsDone() const { return groupsDone_; }

private:
    // Adds one digit to the field being collected; true once the third digit is in.
    bool takeDigit(uint8_t c);
    int fieldValue() const;
    ByteOutcome closeGroup();

    std::vector<DepthRecord>& records_;
    bool receiving_ = false;
    bool inGroupNumber_ = false;
    bool inRecordCount_ = false;
    std::array<uint8_t, kBufferSize> buffer_{};
    int byteCount_ = 0;
    std::array<int, 3> digits_{};
    int digitIndex_ = 0;
    int groupNumber_ = 0;
    int recordCount_ = 0;
    int groupsDone_ = 0;
};

// The 3-digit rule on three bytes, without checking that they are digits.
inline int threeDigitValue(uint8_t b1, uint8_t b2, uint8_t b3) {
    return 100 * (b1 - 0x30) + 10 * (b2 - 0x30) + (b3 - 0x30);
}

} // namespace marrowby
