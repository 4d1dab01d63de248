// Album folders made for one test in the temporary folder, filled with
// snapshots copied from the sample archive, and removed again with all
// they hold, so that no test leaves a file or folder behind.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/FileTree.h"

class AlbumFolder : public TempFolder {
public:
    // Creates a new empty folder under the temporary folder (or under the
    // given parent) whose name starts with the prefix.
    explicit AlbumFolder(const std::string& prefix, const std::string& parent = "") : TempFolder(prefix, parent) {}

    // Copies the first count snapshots of the sample archive's newest day
    // folder (all six formats); returns their names here.
    std::vector<std::string> CopySnapshots(int count);
    // Copies one file in under a new name.
    bool CopyIn(const std::string& source, const std::string& name);
    bool Write(const std::string& name, const std::string& bytes) { return WriteWholeFile(PathOf(name), bytes); }
    std::string Read(const std::string& name) const { return ReadWholeFile(PathOf(name)); }
    bool Exists(const std::string& name) const { return FileExists(PathOf(name)); }
};

// The sample archive's newest day folder of channel 01 on drive D:, or
// empty when there is none.
std::string NewestSampleDayFolder();
// The paths of that folder's snapshots whose names end in the extension
// (".jpg"), in name order.
std::vector<std::string> SampleSnapshots(const char* extension);

// The archive's folder of the day and the camera folder number on drive D:,
// made sure of: an archive written for an earlier day (by a run that has
// crossed midnight since) gets it, filled with the snapshots of that
// camera's newest earlier day under their names there.
std::string SampleDayFolder(const SYSTEMTIME& day, int folderNumber);
