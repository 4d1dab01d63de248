// Album folders made for one test in the temporary folder, filled with
// snapshots copied from the sample archive, and removed again with all
// they hold, so that no test leaves a file or folder behind.
#pragma once

#include <string>
#include <vector>

#include "FileTree.h"

class AlbumFolder {
public:
    // Creates a new empty folder under the temporary folder (or under the
    // given parent) whose name starts with the prefix.
    explicit AlbumFolder(const std::string& prefix, const std::string& parent = "");
    ~AlbumFolder();
    AlbumFolder(const AlbumFolder&) = delete;
    AlbumFolder& operator=(const AlbumFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "\\" + name; }

    // Copies the first count snapshots of the sample archive's newest day
    // folder (all six formats); returns their names here.
    std::vector<std::string> CopySnapshots(int count);
    // Copies one file in under a new name.
    bool CopyIn(const std::string& source, const std::string& name);
    bool Write(const std::string& name, const std::string& bytes);
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;
    // Names of the files and folders in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string m_path;
};

// The sample archive's newest day folder of channel 01 on drive D:, or
// empty when there is none.
std::string NewestSampleDayFolder();
// Every file of a folder, sorted by name.
std::vector<std::string> FilesIn(const std::string& folder);
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
