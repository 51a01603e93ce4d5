#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Attribute bits of a directory entry, with the values of the workspace's original platform.
namespace attr {
inline constexpr uint32_t kReadOnly = 0x01;
inline constexpr uint32_t kHidden = 0x02;
inline constexpr uint32_t kSystem = 0x04;
inline constexpr uint32_t kVolumeLabel = 0x08;
inline constexpr uint32_t kDirectory = 0x10;
inline constexpr uint32_t kArchive = 0x20;
inline constexpr uint32_t kReparsePoint = 0x400;
}  // namespace attr

// Masks of the four catalogues: bots and characters take plain folders, backgrounds and music
// tracks take every entry whose attributes all lie within 0x3F.
inline constexpr uint32_t kFolderMask = 0x10;
inline constexpr uint32_t kFileMask = 0x3F;

// The attribute word of the entry `name` in `folder` (from lstat): directory 0x10, regular file
// 0x20, hidden 0x02 for a name beginning with ".", read-only 0x01 when the owner may not write,
// a symbolic link 0x400 with the bit of what it points to, any other kind 0x04.
uint32_t attributeWord(const std::string& folder, const std::string& name);

// Lists `folder` in the file system's order and returns the names whose attribute word ANDed
// with `mask` equals the attribute word, without "." and "..". A folder that cannot be listed
// gives an empty list; the listing stops at the first entry that cannot be read. An entry whose
// kind the listing tells and that the mask takes whatever its other bits are is not looked up
// on its own.
std::vector<std::string> listCatalogue(const std::string& folder, uint32_t mask);

// The index of the first entry that equals `name` as a whole, letter case ignored; -1 if none.
int catalogueIndexOf(const std::vector<std::string>& entries, const std::string& name);

// Whether `name` may become a bot folder directly inside flash/bots: not empty, no "/" or NUL,
// not "." or "..".
bool isSafeFolderName(const std::string& name);
