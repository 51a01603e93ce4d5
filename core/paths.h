#pragma once

#include <string>

// The program folder: the folder of the running executable, ending with "/". Worked out anew at
// every use.
std::string programFolder();

// Makes programFolder() answer `folder` (which must end with "/") instead of the executable's
// folder; an empty string restores the real one. Only the tests use this, to run the window on a
// temporary workspace.
void setProgramFolderForTests(const std::string& folder);

// The process's current folder, ending with "/".
std::string workingFolder();

// `name` made absolute against the working folder; an absolute name is returned as it is.
std::string absolutePath(const std::string& name);

// The folder part of a path up to and including its last "/" (empty when there is none).
std::string folderOf(const std::string& path);

// The file name part of a path after its last "/".
std::string fileNameOf(const std::string& path);

// The application title: the executable's file name without folder, cut at its first ".", its
// first letter in upper case and every letter after it in lower case ("parlomat": "Parlomat").
std::string applicationTitle(const std::string& executablePath);

// The full path of the running executable.
std::string executablePath();
