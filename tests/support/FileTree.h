// Files and folders for the Windows test programs: temporary folders that
// go with everything in them, whole-file reads and writes, listings.
#pragma once

#include <string>
#include <vector>

// Names in folder matching the pattern, without "." and "..", sorted.
std::vector<std::string> ListFolder(const std::string& folder, const char* pattern = "*");
// The files of a folder (no folders), sorted by name.
std::vector<std::string> FilesIn(const std::string& folder);
bool FolderPresent(const std::string& path);
// A file or folder of that name exists.
bool FileExists(const std::string& path);
// Removes the folder and everything in it, read-only entries too; true
// when it is gone.
bool RemoveTree(const std::string& path);
// The whole file, or empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Sets the file's last write time to now plus the given seconds, as
// another program's later write would; true when it was set.
bool MoveWriteTimeOn(const std::string& path, unsigned seconds);

// A new folder under the temporary folder (or under parent), named by the
// prefix and a number, removed with everything in it when the object goes.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "tst", const std::string& parent = "");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string PathOf(const std::string& name) const { return m_path + "\\" + name; }
    // An empty file; returns its path.
    std::string Touch(const std::string& name) const;
    std::string MakeFolder(const std::string& name) const;
    // Names of the files and folders in it, sorted.
    std::vector<std::string> Names() const { return ListFolder(m_path); }

private:
    std::string m_path;
};
