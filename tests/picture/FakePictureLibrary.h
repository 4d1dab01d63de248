// A stand-in for the picture library: each test chooses what FileType
// answers, which block a loader hands over (a fresh movable global block,
// owned by the caller as with the real library), the error number, and
// what the savers return; every call is recorded.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace fakelib {

struct Call {
    std::string function;
    std::string path;
    HGLOBAL block;  // the savers' block argument
    int quality;    // SaveJPG's quality, else -1
};

void Reset();
void SetFileType(int type);
void SetLoaderBlock(const std::vector<std::uint8_t>& bytes);  // loaders succeed with a copy
void SetLoaderFailure(int errorNumber);                        // loaders return 0
void SetSaveResult(int result);
const std::vector<Call>& Calls();
HGLOBAL LastLoadedBlock();

}  // namespace fakelib
