#pragma once

#include <QImage>
#include <string>

// A picture file decoded for a preview box: the kind follows the extension ("bmp", "ico", "wmf",
// "emf", "jpg", "jpeg", any letter case), and the picture is scaled to fit `box` x `box` with its
// proportions kept. Raises "Unknown picture file extension (.%s)", "Cannot open file "%s". %s",
// or the decoder's own message for a damaged picture.
QImage loadPreviewPicture(const std::string& path, int box);

// The extension of a path's file name as written, without the dot (empty when it has none).
std::string extensionOf(const std::string& path);
