#pragma once

#include <QString>

// A hint is stored as one text: its short part, "|", then its long part. The tool-bar tooltip
// shows the short part and the status bar the long one; a hint without "|" is both.

inline QString HintShortPart(const QString& hint) {
  return hint.section(u'|', 0, 0);
}

inline QString HintLongPart(const QString& hint) {
  const qsizetype bar = hint.indexOf(u'|');
  return bar < 0 ? hint : hint.mid(bar + 1);
}
