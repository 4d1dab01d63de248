#include "album/export/Sha256.h"

namespace {

bool Succeeded(NTSTATUS status)
{
    return status >= 0;
}

}  // namespace

CSha256::CSha256()
{
    if (!Succeeded(BCryptOpenAlgorithmProvider(&m_algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0))) {
        m_algorithm = nullptr;
        return;
    }
    Start();
}

CSha256::~CSha256()
{
    Close();
    if (m_algorithm != nullptr)
        BCryptCloseAlgorithmProvider(m_algorithm, 0);
}

bool CSha256::Start()
{
    // The system keeps the hash object's memory itself (no buffer given).
    if (m_algorithm == nullptr || !Succeeded(BCryptCreateHash(m_algorithm, &m_hash, nullptr, 0, nullptr, 0, 0))) {
        m_hash = nullptr;
        return false;
    }
    return true;
}

void CSha256::Close()
{
    if (m_hash != nullptr)
        BCryptDestroyHash(m_hash);
    m_hash = nullptr;
}

bool CSha256::Update(const void* data, size_t size)
{
    const UCHAR* bytes = static_cast<const UCHAR*>(data);
    while (m_hash != nullptr && size > 0) {
        const ULONG piece = size > 0x40000000u ? 0x40000000u : static_cast<ULONG>(size);
        if (!Succeeded(BCryptHashData(m_hash, const_cast<UCHAR*>(bytes), piece, 0)))
            return false;
        bytes += piece;
        size -= piece;
    }
    return m_hash != nullptr;
}

std::string CSha256::FinishHex()
{
    UCHAR digest[32];
    const bool done = m_hash != nullptr && Succeeded(BCryptFinishHash(m_hash, digest, sizeof digest, 0));
    Close();
    Start();
    if (!done)
        return std::string();
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (UCHAR byte : digest) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 15];
    }
    return hex;
}
