#pragma once

#include <string>

// The whole content of a file as one 8-bit string; the bytes are not converted.
// Raises "Cannot open file "%s". %s" when the file cannot be opened.
std::string ReadFileText(const std::string& FileName);

// Makes the file hold exactly the bytes of Text, creating it when missing.
// Raises "Cannot create file "%s". %s" when it cannot be created or emptied. A write that cannot
// store every byte (a full disk) raises "Cannot write file "%s". %s" and leaves a regular file
// that existed before as it was.
void WriteFileText(const std::string& FileName, const std::string& Text);

// A name for a backup beside `file` that no entry has yet: file.bak, file.bak.2, file.bak.3 ...
std::string freeBackupName(const std::string& file);

// The file presence test: true when the path names an existing entry that is not a folder and
// whose last-modification time, as local time, can be held in a DOS date (years 1980 to 2107).
bool filePresent(const std::string& path);
