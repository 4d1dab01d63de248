#include "album/FileNameRules.h"

#include <cstring>

namespace {
const size_t kListedExtensionLength = 4;  // "." and three letters

// Calls visit(position, byte) for each single-byte character of text;
// two-byte characters are skipped whole.
template <typename Visit>
void ForEachSingleByte(const std::string& text, LeadBytePredicate isLead, Visit visit)
{
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (isLead != nullptr && isLead(c) && i + 1 < text.size()) {
            ++i;
            continue;
        }
        visit(i, c);
    }
}

size_t FileNameStart(const std::string& path, LeadBytePredicate isLead)
{
    size_t start = 0;
    ForEachSingleByte(path, isLead, [&](size_t i, unsigned char c) {
        if (c == '\\' || c == '/')
            start = i + 1;
    });
    return start;
}
}  // namespace

int SaveChoiceOrFirst(int filterIndex)
{
    return filterIndex >= 1 && filterIndex <= SAVE_CHOICE_COUNT ? filterIndex : 1;
}

std::string SavePathWithExtension(const std::string& path, const std::string& extension, LeadBytePredicate isLead)
{
    const size_t start = FileNameStart(path, isLead);
    size_t dot = std::string::npos;
    ForEachSingleByte(path, isLead, [&](size_t i, unsigned char c) {
        if (c == '.' && i >= start && dot == std::string::npos)
            dot = i;
    });
    return path.substr(0, dot) + extension;
}

std::string ListedExtension(const std::string& name)
{
    return name.size() >= kListedExtensionLength ? name.substr(name.size() - kListedExtensionLength) : name;
}

std::string ListedStem(const std::string& name)
{
    return name.size() >= kListedExtensionLength ? name.substr(0, name.size() - kListedExtensionLength)
                                                 : std::string();
}

bool IsPlainFileName(const std::string& name, LeadBytePredicate isLead)
{
    bool plain = true;
    ForEachSingleByte(name, isLead, [&](size_t, unsigned char c) {
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c) != nullptr)
            plain = false;
    });
    return plain;
}

std::string FolderOf(const std::string& path, LeadBytePredicate isLead)
{
    return path.substr(0, FileNameStart(path, isLead));
}

std::string DeleteQuestion(const std::string& name)
{
    // "确信要删除" and "?" as the code page 936 bytes the message box shows.
    return "\xC8\xB7\xD0\xC5\xD2\xAA\xC9\xBE\xB3\xFD" + name + "?";
}
