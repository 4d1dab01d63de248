// SHA-256 by the system's cryptography (CNG), fed in pieces as a file is
// read.
#pragma once

#include <windows.h>
#include <bcrypt.h>

#include <string>

class CSha256 {
public:
    CSha256();
    ~CSha256();
    CSha256(const CSha256&) = delete;
    CSha256& operator=(const CSha256&) = delete;

    // False when the system has no SHA-256 to give.
    bool Ready() const { return m_hash != nullptr; }
    bool Update(const void* data, size_t size);
    // The digest in 64 lower-case hex digits, and a fresh start; empty on
    // a failure.
    std::string FinishHex();

private:
    bool Start();
    void Close();

    BCRYPT_ALG_HANDLE m_algorithm = nullptr;
    BCRYPT_HASH_HANDLE m_hash = nullptr;
};
