#include "hands/archive.h"

void CArchive::WriteLittleEndian(std::uint32_t value, std::size_t bytes) {
    for (std::size_t i = 0; i < bytes; ++i) {
        out_->push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
}

std::uint32_t CArchive::ReadLittleEndian(std::size_t bytes) {
    if (Remaining() < bytes) throw CArchiveEndOfFile();
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in_[offset_ + i]))
                 << (8 * i);
    }
    offset_ += bytes;
    return value;
}

void CArchive::WriteInt32(std::int32_t value) {
    WriteLittleEndian(static_cast<std::uint32_t>(value), 4);
}
void CArchive::WriteUInt16(std::uint16_t value) { WriteLittleEndian(value, 2); }
void CArchive::WriteUInt32(std::uint32_t value) { WriteLittleEndian(value, 4); }

void CArchive::WriteCount(std::uint32_t count) {
    if (count < 0xFFFF) {
        WriteUInt16(static_cast<std::uint16_t>(count));
    } else {
        WriteUInt16(0xFFFF);
        WriteUInt32(count);
    }
}

std::int32_t CArchive::ReadInt32() { return static_cast<std::int32_t>(ReadLittleEndian(4)); }
std::uint16_t CArchive::ReadUInt16() { return static_cast<std::uint16_t>(ReadLittleEndian(2)); }
std::uint32_t CArchive::ReadUInt32() { return ReadLittleEndian(4); }

std::uint32_t CArchive::ReadCount() {
    std::uint16_t small = ReadUInt16();
    if (small != 0xFFFF) return small;
    return ReadUInt32();
}
