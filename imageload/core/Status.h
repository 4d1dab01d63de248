// Outcome of a codec call. The numbers are the library's public error
// numbers (ImageLoad.h), so the DLL layer passes them through unchanged.
#pragma once

namespace il {

enum class Status {
    Ok = 0,
    File = 101,
    Unsupported = 102,
    Corrupt = 103,
    TooLarge = 104,
    NoMemory = 105,
    Write = 106,
    NoPicture = 107,
    Refused = 108,
    Stopped = 109,
};

// Thrown inside the hand-written codecs and caught at the codec entry points;
// it never leaves the core.
struct CodecError {
    Status status;
};

[[noreturn]] inline void Fail(Status status) { throw CodecError{status}; }

}  // namespace il
