#include "tests/imageload/Support.h"

#include <cstdlib>
#include <stdexcept>

namespace il {
void PrintTo(Status status, std::ostream* os)
{
    static const char* const kNames[] = {"File", "Unsupported", "Corrupt", "TooLarge", "NoMemory", "Write", "NoPicture"};
    int n = static_cast<int>(status);
    *os << (n == 0 ? "Ok" : n >= 101 && n <= 107 ? kNames[n - 101] : "?") << " (" << n << ")";
}
}  // namespace il

namespace iltest {

il::Status DecodeAs(il::Format format, const Bytes& file, Bytes& dib)
{
    il::VectorAllocator out;
    il::Status s = il::Decode(format, {file.data(), file.size()}, out);
    dib = s == il::Status::Ok ? std::move(out.block) : Bytes();
    return s;
}

il::Status EncodeAs(il::Format format, const Bytes& dib, Bytes& file, int quality)
{
    return il::Encode(format, {dib.data(), dib.size()}, quality, file);
}

const char* ExtensionOf(il::Format format)
{
    static const char* const kNames[] = {"", "bmp", "gif", "pcx", "tga", "jpg", "tif"};
    return kNames[static_cast<int>(format)];
}

size_t FindMarker(const Bytes& jpeg, uint8_t marker)
{
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == marker) return i;
    return 0;
}

size_t FirstScanData(const Bytes& jpeg)
{
    const size_t sos = FindMarker(jpeg, 0xda);
    return sos == 0 || sos + 3 >= jpeg.size() ? 0 : sos + 2 + (jpeg[sos + 2] << 8 | jpeg[sos + 3]);
}

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/imageload-test-XXXXXX";
    if (!mkdtemp(pattern)) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDir::~ScratchDir() { RunTool("rm -rf '" + path_ + "'"); }

bool RunTool(const std::string& command)
{
    // Only the tool's chatter on stderr is dropped: commands redirect their own output.
    return std::system(("{ " + command + "; } 2>/dev/null").c_str()) == 0;
}

bool RunTool(std::string command, const std::string& in, const std::string& out)
{
    command.replace(command.find("IN"), 2, "'" + in + "'");
    command.replace(command.find("OUT"), 3, "'" + out + "'");
    return RunTool(command);
}

}  // namespace iltest
