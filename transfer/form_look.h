#pragma once

class QFont;
class QGroupBox;
class QWidget;

// The look every window of the program shares, whichever window is made first.

// The windows' text font: "MS Sans Serif" at 8 points (11 pixels at 96 dots per inch), or the
// nearest face this system has.
QFont FormFont();

// Draws a group box with its caption on the frame line, the top controls sitting under it as
// the fixed layouts place them.
void UseFormGroupBoxStyle(QGroupBox& box);

// Places a fixed-size window in the middle of its screen's free area.
void CentreOnScreen(QWidget& window);
