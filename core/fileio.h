#pragma once

#include <string>

// The whole content of a file as one 8-bit string; the bytes are not converted.
// Raises "Cannot open file "%s". %s" when the file cannot be opened. A symbolic link is not
// followed ("... The file is a symbolic link, which is not followed."): what a bot's files hold
// is shown, spoken and published, and a link could bring in any file of the computer. The
// program's own pictures may be links (`followLinks`).
std::string ReadFileText(const std::string& FileName, bool followLinks = false);

// Makes the file hold exactly the bytes of Text, creating it when missing.
// Raises "Cannot create file "%s". %s" when it cannot be created or emptied. A write that cannot
// store every byte (a full disk) raises "Cannot write file "%s". %s" and leaves a regular file
// that existed before as it was. Nothing is written through a symbolic link or into another name
// of the file: a link or a file with several names is replaced by the new file, and what it
// pointed to stays as it was. A device or a pipe is written as such.
void WriteFileText(const std::string& FileName, const std::string& Text);

// Clears the way for a new file at `path` that another writer creates (the speech engine, the
// encoder, the viseme log): removes what stands there when it is a symbolic link or a file with
// several names, so that nothing is written through it. A folder, a device or a pipe stays.
void clearForNewFile(const std::string& path);

// A name for a backup beside `file` that no entry has yet: file.bak, file.bak.2, file.bak.3 ...
std::string freeBackupName(const std::string& file);

// The file presence test: true when the path names an existing entry that is not a folder and
// whose last-modification time, as local time, can be held in a DOS date (years 1980 to 2107).
bool filePresent(const std::string& path);
