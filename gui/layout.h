#pragma once

#include <QFont>
#include <QRect>
#include <initializer_list>

class QLabel;
class QPushButton;
class QWidget;

// Helpers that build the window's controls at their pixel places (96 dots per inch).
namespace layout {

// The window's font: a sans serif at a character height of 11 pixels.
QFont windowFont();
// Gives the application the window's font.
void applyApplicationLook();
// Bold at a character height of 13 pixels (the bot bar, the status line).
QFont boldFont13();

enum LabelStyle : unsigned {
    kPlain = 0,
    kBold = 1,      // bold, window font size
    kLarge = 2,     // bold, character height 13 pixels
    kNavy = 4,      // navy text
    kWordWrap = 8,  // wraps inside its width (and grows in height when its lines need it)
    kCentred = 16,  // centred in its box
    kRed = 32,      // red text
    kFixed = 64,    // keeps its box whatever its text
    kHeading = kLarge | kNavy | kWordWrap,
};

// A label at `place`; a place with zero width and height sizes the label to its text.
QLabel* label(QWidget* parent, const char* name, const char* text, QRect place,
              unsigned style = kPlain);
QPushButton* button(QWidget* parent, const char* name, const char* text, QRect place);

// Makes Tab visit the controls in the order given.
void tabOrder(std::initializer_list<QWidget*> controls);

}  // namespace layout
