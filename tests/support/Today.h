// "Today" as the browser and the host read it: the local date of the
// system clock (GetLocalTime), for the tests whose folders are named by it.
#pragma once

#include <windows.h>

#include <string>

// Today's date for a test that needs it during the next `seconds`: when
// midnight is nearer than that, waits until it has passed, so that the day
// does not change under the test (a test run may cross midnight).
SYSTEMTIME TodayForTheNext(DWORD seconds);
// The date the given number of days earlier.
SYSTEMTIME DaysBefore(const SYSTEMTIME& day, int days);
// "YYYY-MM-DD", the name of an archive's day folder.
std::string DayFolderName(const SYSTEMTIME& day);
