// Helpers for the tests that run on real Wine drives prepared by
// run-archive-drives.sh: a log of the archive's platform calls (which are
// passed on to the system), and folders made and removed on those drives.
#pragma once

#include <string>
#include <vector>

#include "tests/support/FileTree.h"

#include "archive/ArchiveDisks.h"

// While alive, every drive and folder call of the archive is recorded
// (drive roots and paths lower-cased as the archive passed them) and then
// made for real.
class DriveCallLog {
public:
    DriveCallLog();
    ~DriveCallLog();
    DriveCallLog(const DriveCallLog&) = delete;
    DriveCallLog& operator=(const DriveCallLog&) = delete;

    static std::vector<std::string> s_typeQueries;
    static std::vector<std::string> s_freeSpaceQueries;
    static std::vector<std::string> s_createAttempts;
    static std::vector<std::string> s_created;   // creations that succeeded
    static std::vector<std::string> s_removed;
    static void Clear();
};

// Creates every level of a path; false when the last level is missing after.
bool MakeFolders(const std::string& path);
// The variable's value, or the fallback when it is not set.
std::string EnvOr(const char* name, const char* fallback);
