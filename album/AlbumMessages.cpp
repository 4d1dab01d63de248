#include "album/AlbumMessages.h"

#include "framework/Module.h"

std::string MessageWith(UINT id, const std::string& text, int number)
{
    char pattern[512] = "";
    FwLoadString(id, pattern, sizeof pattern);
    std::string message = pattern;
    const size_t count = message.find("%d");
    if (count != std::string::npos)
        message.replace(count, 2, std::to_string(number));
    const size_t at = message.find("%s");
    if (at != std::string::npos)
        message.replace(at, 2, text);
    return message;
}
