#pragma once
// CArchive: a byte archive in the framework's little-endian layout, either
// storing into a byte string or loading from a byte view.

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// Thrown when a loading archive runs out of bytes (a short read).
class CArchiveEndOfFile : public std::runtime_error {
  public:
    CArchiveEndOfFile() : std::runtime_error("archive ends before the data it announces") {}
};

class CArchive {
  public:
    // A storing archive appending to `out` (which must outlive the archive).
    explicit CArchive(std::string& out) : out_(&out) {}
    // A loading archive reading `in` from its start.
    explicit CArchive(std::string_view in) : in_(in) {}

    bool IsStoring() const { return out_ != nullptr; }
    bool IsLoading() const { return out_ == nullptr; }

    void WriteInt32(std::int32_t value);
    void WriteUInt16(std::uint16_t value);
    void WriteUInt32(std::uint32_t value);
    // Element count: a 16-bit value below 0xFFFF, otherwise 0xFFFF followed
    // by the 32-bit count.
    void WriteCount(std::uint32_t count);

    // Each read throws CArchiveEndOfFile when too few bytes remain.
    std::int32_t ReadInt32();
    std::uint16_t ReadUInt16();
    std::uint32_t ReadUInt32();
    std::uint32_t ReadCount();

    // Bytes not yet read (loading archives).
    std::size_t Remaining() const { return in_.size() - offset_; }
    // Bytes read so far (loading archives).
    std::size_t Offset() const { return offset_; }

  private:
    std::uint32_t ReadLittleEndian(std::size_t bytes);
    void WriteLittleEndian(std::uint32_t value, std::size_t bytes);

    std::string* out_ = nullptr;
    std::string_view in_;
    std::size_t offset_ = 0;
};
