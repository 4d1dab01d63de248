// Name rules of the file commands, as pure string logic: where save as
// cuts the typed name, which type choices exist, which new names rename
// accepts, and the delete question.
#pragma once

#include <string>

// True for the first byte of a two-byte character of the code page the
// names are in (the system's, on Windows). Null: every character is one
// byte. A second byte may equal a backslash or "|", so the scans below
// step over it instead of reading it as a separator.
using LeadBytePredicate = bool (*)(unsigned char);

// Number of file-type choices of the save-as dialog.
constexpr int SAVE_CHOICE_COUNT = 6;

// The dialog's type choice, or the first choice when the dialog reports
// one outside 1..SAVE_CHOICE_COUNT.
int SaveChoiceOrFirst(int filterIndex);

// path cut at the first "." of its file name (folders are never cut), with
// extension appended.
std::string SavePathWithExtension(const std::string& path, const std::string& extension,
                                  LeadBytePredicate isLead = nullptr);

// Listed names end in "." and three letters: the extension rename keeps
// and the stem the rename dialog offers.
std::string ListedExtension(const std::string& name);
std::string ListedStem(const std::string& name);

// False when the name could leave the folder or cannot name a file: a path
// separator, a drive colon, a wildcard, a quote, a redirection character or
// a control character.
bool IsPlainFileName(const std::string& name, LeadBytePredicate isLead = nullptr);

// The folder part of a full path, with its trailing backslash; empty for a
// bare name.
std::string FolderOf(const std::string& path, LeadBytePredicate isLead = nullptr);

// "Really delete <name>?" in code page 936, built to any length.
std::string DeleteQuestion(const std::string& name);
