#pragma once

#include <QImage>
#include <cstdint>
#include <string>

// A picture file decoded for a preview box: the kind follows the extension ("bmp", "ico", "wmf",
// "emf", "jpg", "jpeg", any letter case), and the picture is scaled to fit `box` x `box` with its
// proportions kept. Raises "Unknown picture file extension (.%s)", "Cannot open file "%s". %s",
// or the decoder's own message for a damaged picture.
QImage loadPreviewPicture(const std::string& path, int box);

// Whether a Windows bitmap file of `fileSize` bytes, whose first bytes are `head` (at least the
// two headers, 54 bytes), holds all the pixels its headers promise. A bitmap cut short reads
// without complaint otherwise, with the missing rows blank. Compressed bitmaps, whose size the
// headers do not fix, and headers that cannot be read count as complete: the decoder judges them.
bool bitmapComplete(const std::string& head, int64_t fileSize);

// A Windows bitmap of 24 or 32 bits a pixel without compression, decoded as Qt's reader decodes
// it (the fourth byte of a 32-bit pixel does not count); a null image for any other bitmap,
// which Qt's reader then decodes (it loads its image plugins on its first use, which takes
// longer than a start of the program should).
QImage decodePlainBitmap(const std::string& bytes);

// Opens the picture file for reading as its decoder will: raises "Cannot open file "%s". %s"
// when it cannot be opened and, for a Windows bitmap, "Bitmap image is not valid" when the file
// is shorter than its headers say.
void checkPictureFile(const std::string& path, bool bitmap);

// The extension of a path's file name as written, without the dot (empty when it has none).
std::string extensionOf(const std::string& path);
