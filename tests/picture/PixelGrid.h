// Test pictures: stored pixel rows (bottom row first, rows padded to 4
// bytes) with pixel access by column and row counted from the top. The
// stride uses the usual ((width * bits + 31) / 32) * 4 so that it checks,
// rather than repeats, the code under test.
#pragma once

#include "picture/NearestResample.h"

#include <cstddef>
#include <cstdint>
#include <random>
#include <vector>

class PixelGrid {
public:
    PixelGrid(int bitCount, int width, int height)
        : m_bits(bitCount), m_width(width), m_height(height),
          m_stride((static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4),
          m_bytes(m_stride * static_cast<std::size_t>(height))
    {
    }

    int Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    std::size_t Stride() const { return m_stride; }
    std::vector<std::uint8_t>& Bytes() { return m_bytes; }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

    std::uint8_t* StoredRow(int yFromTop) { return m_bytes.data() + (m_height - 1 - yFromTop) * m_stride; }
    const std::uint8_t* StoredRow(int yFromTop) const
    {
        return m_bytes.data() + (m_height - 1 - yFromTop) * m_stride;
    }

    std::uint32_t Get(int x, int yFromTop) const
    {
        const std::uint8_t* row = StoredRow(yFromTop);
        switch (m_bits) {
        case 1: return (row[x / 8] >> (7 - x % 8)) & 1u;
        case 4: return x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0Fu;
        default: {
            std::uint32_t value = 0;
            const int bytes = m_bits / 8;
            for (int k = 0; k < bytes; ++k)
                value |= static_cast<std::uint32_t>(row[x * bytes + k]) << (8 * k);
            return value;
        }
        }
    }

    void Set(int x, int yFromTop, std::uint32_t value)
    {
        std::uint8_t* row = StoredRow(yFromTop);
        switch (m_bits) {
        case 1: {
            const std::uint8_t mask = static_cast<std::uint8_t>(0x80 >> (x % 8));
            row[x / 8] = static_cast<std::uint8_t>((row[x / 8] & ~mask) | ((value & 1) ? mask : 0));
            break;
        }
        case 4: {
            const int shift = x % 2 == 0 ? 4 : 0;
            row[x / 2] = static_cast<std::uint8_t>((row[x / 2] & ~(0x0F << shift)) | ((value & 0x0F) << shift));
            break;
        }
        default: {
            const int bytes = m_bits / 8;
            for (int k = 0; k < bytes; ++k)
                row[x * bytes + k] = static_cast<std::uint8_t>(value >> (8 * k));
            break;
        }
        }
    }

    // A well-mixed value per position, so that taking a pixel from the
    // wrong row or column shows even at 1 bit per pixel on most pixels.
    std::uint32_t Mark(int x, int yFromTop) const
    {
        std::uint32_t h = static_cast<std::uint32_t>(x) * 0x9E3779B1u ^ static_cast<std::uint32_t>(yFromTop) * 0x85EBCA77u;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
        h *= 0x297A2D39u;
        h ^= h >> 15;
        return m_bits >= 32 ? h : h & ((1u << m_bits) - 1u);
    }

    void FillWithMarks()
    {
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                Set(x, y, Mark(x, y));
    }

    void FillRandom(std::mt19937& random)
    {
        for (auto& byte : m_bytes)
            byte = static_cast<std::uint8_t>(random());
    }

    std::size_t PaddingStart() const { return (static_cast<std::size_t>(m_width) * m_bits + 7) / 8; }

    dib::SourceRows AsSource() const { return {m_bytes.data(), m_stride, m_width, m_height}; }
    dib::TargetRows AsTarget() { return {m_bytes.data(), m_stride, m_width, m_height}; }

private:
    int m_bits;
    int m_width;
    int m_height;
    std::size_t m_stride;
    std::vector<std::uint8_t> m_bytes;
};
