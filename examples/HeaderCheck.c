/* Both public headers in one C translation unit, as a host includes them. */
#include <windows.h>

#include "ImageBrowse.h"
#include "ImageLoad.h"

int HeaderCheckUse(void);
int HeaderCheckUse(void)
{
    return (int)sizeof(BrowseSettings) + (int)sizeof(ChannelEntry) + IL_TYPE_TIF;
}
