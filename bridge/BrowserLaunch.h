// Starts the browser's user-interface thread.
#pragma once

// Returns a non-zero token for the started thread, or 0 when it could not
// be started (then nothing is posted to the host).
int StartBrowserThread();
