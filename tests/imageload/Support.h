// Helpers for the codec tests: each format's decode and encode on plain
// buffers, files in a scratch folder, and the independent tools that write
// and read the same formats. Test pictures are tests/support/TestPictures.h.
#pragma once

#include <ostream>
#include <string>

#include "imageload/core/Codecs.h"
#include "tests/support/TestPictures.h"

namespace il {
// Readable statuses in test failures.
void PrintTo(Status status, std::ostream* os);
}  // namespace il

namespace iltest {

il::Status DecodeAs(il::Format format, const Bytes& file, Bytes& dib);
il::Status EncodeAs(il::Format format, const Bytes& dib, Bytes& file, int quality = 95);
const char* ExtensionOf(il::Format format);
// Where a JPEG's first marker of the kind is (0 when there is none), and
// where its first scan's data begins.
size_t FindMarker(const Bytes& jpeg, uint8_t marker);
size_t FirstScanData(const Bytes& jpeg);

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Runs a shell command; true when it exited 0.
bool RunTool(const std::string& command);
// Runs a tool's command with IN and OUT replaced by the quoted paths.
bool RunTool(std::string command, const std::string& in, const std::string& out);

}  // namespace iltest
