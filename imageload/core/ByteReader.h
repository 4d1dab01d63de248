// Bounds-checked little-endian reads over untrusted bytes. Every read past
// the end fails the decode as corrupt or truncated data.
#pragma once

#include <cstddef>
#include <cstdint>

#include "imageload/core/Status.h"

namespace il {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    size_t Size() const { return size_; }
    size_t Position() const { return pos_; }
    size_t Remaining() const { return size_ - pos_; }
    bool AtEnd() const { return pos_ >= size_; }

    void Seek(size_t offset)
    {
        if (offset > size_) Fail(Status::Corrupt);
        pos_ = offset;
    }
    void Skip(size_t count) { Seek(Checked(count)); }

    uint8_t U8()
    {
        Require(1);
        return data_[pos_++];
    }
    uint16_t U16()
    {
        Require(2);
        uint16_t v = static_cast<uint16_t>(data_[pos_] | (data_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t U32()
    {
        Require(4);
        uint32_t v = static_cast<uint32_t>(data_[pos_]) | (static_cast<uint32_t>(data_[pos_ + 1]) << 8) |
                     (static_cast<uint32_t>(data_[pos_ + 2]) << 16) | (static_cast<uint32_t>(data_[pos_ + 3]) << 24);
        pos_ += 4;
        return v;
    }
    int32_t S32() { return static_cast<int32_t>(U32()); }

    // Hands out the next count bytes and moves past them.
    const uint8_t* Take(size_t count)
    {
        Require(count);
        const uint8_t* p = data_ + pos_;
        pos_ += count;
        return p;
    }

private:
    void Require(size_t count) const
    {
        if (count > size_ - pos_) Fail(Status::Corrupt);
    }
    size_t Checked(size_t count) const
    {
        Require(count);
        return pos_ + count;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace il
