#include "depth/download/download_parser.h"

#include <utility>

namespace marrowby {

std::string groupLabel(int groupsDone) {
    return "正在传送 第" + std::to_string(groupsDone) + "组数据";
}

std::string keptGroupsMessage(int groups, size_t rows) {
    return "数据传输未完成，保留了完整接收的 " + std::to_string(groups) + " 组数据（共 " +
           std::to_string(rows) + " 行）。";
}

ByteOutcome DownloadParser::onByte(uint8_t c) {
    // The tests are made in this order and only the first that applies acts.
    if (c == 'D') {
        receiving_ = true;
        inGroupNumber_ = false;
        inRecordCount_ = false;
        byteCount_ = 0;
        return {};
    }
    if (!receiving_) {
        ByteOutcome out;
        out.endOfTransfer = c == 'A';
        if (out.endOfTransfer)
            out.groupsDone = groupsDone_;
        return out;
    }
    if (c == 'E') {
        inGroupNumber_ = true;
        digitIndex_ = 0;
        return {};
    }
    if (inGroupNumber_) {
        if (takeDigit(c)) {
            groupNumber_ = fieldValue();
            inGroupNumber_ = false;
            inRecordCount_ = true;
            digitIndex_ = 0;
        }
        return {};
    }
    if (inRecordCount_) {
        if (takeDigit(c)) {
            recordCount_ = fieldValue();
            inRecordCount_ = false;
            digitIndex_ = 0;
        }
        return {};
    }
    if (c == 'B')
        return closeGroup();

    // A data byte; a full buffer drops it (the largest group needs 8991 bytes).
    if (byteCount_ < kBufferSize)
        buffer_[byteCount_++] = c;
    ByteOutcome out;
    if (c == 'A') {
        receiving_ = false;
        out.endOfTransfer = true;
        out.groupsDone = groupsDone_;
    }
    return out;
}

bool DownloadParser::takeDigit(uint8_t c) {
    digits_[digitIndex_++] = c - 0x30;
    return digitIndex_ == 3;
}

int DownloadParser::fieldValue() const {
    return 100 * digits_[0] + 10 * digits_[1] + digits_[2];
}

ByteOutcome DownloadParser::closeGroup() {
    ByteOutcome out;
    out.groupClosed = true;
    out.countMismatch = byteCount_ != kRecordBytes * recordCount_;
    out.progressMax = recordCount_;
    const uint8_t* p = buffer_.data();
    for (int run = 0; run + kRecordBytes <= byteCount_; run += kRecordBytes, p += kRecordBytes) {
        DepthRecord record;
        record.componentNo = groupNumber_;
        record.crackNo = threeDigitValue(p[0], p[1], p[2]);
        record.pointNo = threeDigitValue(p[3], p[4], p[5]);
        record.depthValue = threeDigitValue(p[6], p[7], p[8]);
        records_.push_back(std::move(record));
        ++out.recordsAdded;
    }
    byteCount_ = 0;
    out.groupsDone = ++groupsDone_;
    return out;
}

} // namespace marrowby
