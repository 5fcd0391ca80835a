#include "depth/download/download_parser.h"

#include <utility>

namespace marrowby {

std::string groupLabel(int groupsDone) {
    return "正在传送 第" + std::to_string(groupsDone) + "组数据";
}

ByteOutcome DownloadParser::onByte(uint8_t c) {
    // The tests are made in this order and only the first that applies acts.
    if (c == 'D') {
        m_bReceiving = true;
        m_bInGroupNumber = false;
        m_bInRecordCount = false;
        m_nByteCount = 0;
        return {};
    }
    if (!m_bReceiving) {
        ByteOutcome out;
        out.endOfTransfer = c == 'A';
        if (out.endOfTransfer)
            out.groupsDone = m_nGroupsDone;
        return out;
    }
    if (c == 'E') {
        m_bInGroupNumber = true;
        m_nDigitIndex = 0;
        return {};
    }
    if (m_bInGroupNumber) {
        if (takeDigit(c)) {
            m_nGroupNumber = fieldValue();
            m_bInGroupNumber = false;
            m_bInRecordCount = true;
            m_nDigitIndex = 0;
        }
        return {};
    }
    if (m_bInRecordCount) {
        if (takeDigit(c)) {
            m_nRecordCount = fieldValue();
            m_bInRecordCount = false;
            m_nDigitIndex = 0;
        }
        return {};
    }
    if (c == 'B')
        return closeGroup();

    // A data byte; a full buffer drops it (the largest group needs 8991 bytes).
    if (m_nByteCount < kBufferSize)
        m_buffer[m_nByteCount++] = c;
    ByteOutcome out;
    if (c == 'A') {
        m_bReceiving = false;
        out.endOfTransfer = true;
        out.groupsDone = m_nGroupsDone;
    }
    return out;
}

bool DownloadParser::takeDigit(uint8_t c) {
    m_digits[m_nDigitIndex++] = c - 0x30;
    return m_nDigitIndex == 3;
}

int DownloadParser::fieldValue() const {
    return 100 * m_digits[0] + 10 * m_digits[1] + m_digits[2];
}

ByteOutcome DownloadParser::closeGroup() {
    ByteOutcome out;
    out.groupClosed = true;
    out.countMismatch = m_nByteCount != kRecordBytes * m_nRecordCount;
    out.progressMax = m_nRecordCount;
    const uint8_t* p = m_buffer.data();
    for (int run = 0; run + kRecordBytes <= m_nByteCount; run += kRecordBytes, p += kRecordBytes) {
        DepthRecord record;
        record.componentNo = m_nGroupNumber;
        record.crackNo = threeDigitValue(p[0], p[1], p[2]);
        record.pointNo = threeDigitValue(p[3], p[4], p[5]);
        record.depthValue = threeDigitValue(p[6], p[7], p[8]);
        m_records.push_back(std::move(record));
        ++out.recordsAdded;
    }
    m_nByteCount = 0;
    out.groupsDone = ++m_nGroupsDone;
    return out;
}

} // namespace marrowby
