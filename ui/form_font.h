#pragma once

class QFont;
class QWidget;

// The windows' text font: "MS Sans Serif" at 8 points (11 pixels at 96 dots per inch), or the
// nearest face this system has.
QFont FormFont();

// Places a fixed-size window in the middle of its screen's free area.
void CentreOnScreen(QWidget& window);
