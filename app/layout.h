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
// Bold at a character height of 13 pixels (the bot bar, the status line).
QFont boldFont13();

enum LabelStyle : unsigned {
    Plain = 0,
    Bold = 1,      // bold, window font size
    Large = 2,     // bold, character height 13 pixels
    Navy = 4,      // navy text
    WordWrap = 8,  // wraps inside its width
    Centred = 16,  // centred in its box
    Red = 32,      // red text
    Fixed = 64,    // keeps its box whatever its text
    Heading = Large | Navy | WordWrap,
};

// A label at `place`; a place with zero width and height sizes the label to its text.
QLabel* label(QWidget* parent, const char* name, const char* text, QRect place,
              unsigned style = Plain);
QPushButton* button(QWidget* parent, const char* name, const char* text, QRect place);

// Makes Tab visit the controls in the order given.
void tabOrder(std::initializer_list<QWidget*> controls);

}  // namespace layout
