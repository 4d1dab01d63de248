// Commands whose implementation is being written; each moves to its own
// file when done.
#include "AlbumView.h"

