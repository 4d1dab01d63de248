// folder_writer.exe FOLDER: another program beside the browser that writes,
// renames and removes files in FOLDER on the test's word, as a recorder and
// its disk housekeeping do. One command a line on standard input, fields
// separated by tabs; each is answered "ok" or "fail" on a line of its own:
//
//   copy SOURCE NAME                  SOURCE copied in as NAME
//   part SOURCE NAME BYTES            its first BYTES only, as a file still
//                                     being written is
//   remove NAME
//   rename OLD NEW
//   burst SOURCE PREFIX COUNT GAP_MS  COUNT copies named PREFIX0000.EXT on,
//                                     EXT as SOURCE's, GAP_MS apart
//   quit
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos)
            return fields;
        start = tab + 1;
    }
}

bool Burst(const std::string& folder, const std::vector<std::string>& f)
{
    const std::string& source = f[1];
    const size_t dot = source.find_last_of('.');
    const std::string extension = dot == std::string::npos ? "" : source.substr(dot);
    const int count = std::atoi(f[3].c_str());
    const DWORD gap = static_cast<DWORD>(std::atoi(f[4].c_str()));
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "%04d", i);
        if (!CopyFileA(source.c_str(), (folder + "\\" + f[2] + name + extension).c_str(), FALSE))
            return false;
        if (gap != 0)
            Sleep(gap);
    }
    return true;
}

bool WritePart(const std::string& source, const std::string& target, size_t bytes)
{
    FILE* in = std::fopen(source.c_str(), "rb");
    if (in == nullptr)
        return false;
    std::vector<char> data(bytes);
    const size_t read = std::fread(data.data(), 1, bytes, in);
    std::fclose(in);
    FILE* out = std::fopen(target.c_str(), "wb");
    if (out == nullptr)
        return false;
    const bool written = std::fwrite(data.data(), 1, read, out) == read;
    return std::fclose(out) == 0 && written;
}

bool Do(const std::string& folder, const std::vector<std::string>& f)
{
    const std::string& verb = f[0];
    if (verb == "copy" && f.size() == 3)
        return CopyFileA(f[1].c_str(), (folder + "\\" + f[2]).c_str(), FALSE) != FALSE;
    if (verb == "part" && f.size() == 4)
        return WritePart(f[1], folder + "\\" + f[2], std::strtoul(f[3].c_str(), nullptr, 10));
    if (verb == "remove" && f.size() == 2)
        return DeleteFileA((folder + "\\" + f[1]).c_str()) != FALSE;
    if (verb == "rename" && f.size() == 3)
        return MoveFileA((folder + "\\" + f[1]).c_str(), (folder + "\\" + f[2]).c_str()) != FALSE;
    if (verb == "burst" && f.size() == 5)
        return Burst(folder, f);
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const std::string folder = argv[1];
    char line[4096];
    while (std::fgets(line, sizeof line, stdin) != nullptr) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        if (text == "quit")
            break;
        std::puts(Do(folder, Fields(text)) ? "ok" : "fail");
        std::fflush(stdout);
    }
    return 0;
}
