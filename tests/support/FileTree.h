// Folder helpers shared by the Windows test programs.
#pragma once

#include <string>
#include <vector>

// Names in folder matching the pattern, without "." and "..", sorted.
std::vector<std::string> ListFolder(const std::string& folder, const char* pattern = "*");
bool FolderPresent(const std::string& path);
// Removes the folder and everything in it, read-only entries too; true
// when it is gone.
bool RemoveTree(const std::string& path);
