// The names the recording archive is built from: drive roots and the day
// folder of one channel and date. Pure text work, shared by the drive scan
// and its tests.
#pragma once

#include <cstddef>
#include <string>

// A drive root is a letter, a colon and a backslash; with its terminator it
// fills four characters, which is also the stride of the platform's list of
// drive roots.
constexpr size_t DRIVE_ROOT_CHARS = 4;

// Replaces 'A'..'Z' by their lower-case letters in place; every other byte,
// including those of 128 and above, stays as it is (no locale involved).
void LowerCaseAscii(char* text);

// Fills root (at least DRIVE_ROOT_CHARS bytes) with "<letter>:\".
void MakeDriveRoot(char* root, char letter);

// Writes "<root>DataPic\YYYY-MM-DD\NN" (or DataRec when forRecordings) into
// out, NN being channel + 1 in at least two digits. Returns what snprintf
// returns: the length the full path needs.
int FormatDayFolder(char* out, size_t size, const char* root, int year, int month, int day,
                    int channel, bool forRecordings);

// The day folder and camera of a file's path read back: "...\YYYY-MM-DD\NN\name"
// gives "YYYY-MM-DD" and NN (channel + 1, at least two digits). False for a
// path of no such folder.
bool ReadDayFolderOfFile(const std::string& path, std::string* day, int* folderNumber);
