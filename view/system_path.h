#pragma once

#include <QString>
#include <QUrl>
#include <string>

// File names pass through the program as the system's bytes. Where they are not valid UTF-8, each
// stray byte is carried in the text as a lone surrogate U+DC80..U+DCFF, so that the name comes
// back to the very same bytes; shown to the user, such a byte appears as a replacement mark.

QString TextFromSystemPath(const std::string& bytes);
std::string SystemPath(const QString& text);

// The absolute form of a file name, keeping its bytes (QFileInfo would not).
QString AbsoluteFilePath(const QString& text);

// The local file a file URL names, keeping the bytes that are not UTF-8 (QUrl::toLocalFile would
// not).
QString LocalFileOf(const QUrl& url);
