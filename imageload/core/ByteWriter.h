// Little-endian appends for the hand-written encoders.
#pragma once

#include <cstdint>
#include <vector>

namespace il {

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

    void U8(unsigned v) { out_.push_back(static_cast<uint8_t>(v)); }
    void U16(unsigned v)
    {
        U8(v & 0xff);
        U8((v >> 8) & 0xff);
    }
    void U32(uint32_t v)
    {
        U16(v & 0xffff);
        U16(v >> 16);
    }
    void Append(const uint8_t* p, size_t n) { out_.insert(out_.end(), p, p + n); }
    void Zeros(size_t n) { out_.insert(out_.end(), n, 0); }

private:
    std::vector<uint8_t>& out_;
};

}  // namespace il
