#include "system_path.h"

#ifdef _WIN32
#include <QFileInfo>
#else
#include <filesystem>
#endif

namespace {
constexpr char16_t kFirstEscapedByte = 0xDC80;
constexpr char16_t kLastEscapedByte = 0xDCFF;
constexpr unsigned char kFirstNonAscii = 0x80;

// The length of the valid UTF-8 sequence at bytes[i], or 0 when there is none.
std::size_t ValidSequenceAt(const std::string& bytes, std::size_t i) {
  const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(bytes[at]); };
  const unsigned char lead = byte(i);
  std::size_t length = 0;
  char32_t minimum = 0;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, minimum = 0x80, code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, minimum = 0x800, code = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, minimum = 0x10000, code = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > bytes.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(i + k) & 0x3F);
  }
  // Overlong forms, surrogates and values past U+10FFFF are not valid UTF-8.
  if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}
}  // namespace

QString TextFromSystemPath(const std::string& bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (std::size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < kFirstNonAscii) {
      text += QChar(lead);
      ++i;
      continue;
    }
    const std::size_t length = ValidSequenceAt(bytes, i);
    if (length == 0) {
      text += QChar(static_cast<char16_t>(0xDC00 + lead));
      ++i;
    } else {
      text += QString::fromUtf8(bytes.data() + i, static_cast<qsizetype>(length));
      i += length;
    }
  }
  return text;
}

std::string SystemPath(const QString& text) {
  std::string bytes;
  bytes.reserve(static_cast<std::size_t>(text.size()));
  qsizetype run_start = 0;
  const auto flush = [&](qsizetype end) {
    bytes += text.mid(run_start, end - run_start).toStdString();
  };
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    if (unit < kFirstEscapedByte || unit > kLastEscapedByte) continue;
    // A low surrogate right after a high one is half of a real character.
    if (i > 0 && text[i - 1].isHighSurrogate()) continue;
    flush(i);
    bytes += static_cast<char>(unit - 0xDC00);
    run_start = i + 1;
  }
  flush(text.size());
  return bytes;
}

// Windows names are UTF-16 like the text itself, so there only Linux and its kin lose bytes.
#ifdef _WIN32
QString AbsoluteFilePath(const QString& text) {
  return QFileInfo(text).absoluteFilePath();
}

QString LocalFileOf(const QUrl& url) {
  return url.toLocalFile();
}
#else
QString AbsoluteFilePath(const QString& text) {
  std::error_code no_current_folder;
  const std::filesystem::path absolute =
      std::filesystem::absolute(SystemPath(text), no_current_folder);
  if (no_current_folder) return text;
  return TextFromSystemPath(absolute.lexically_normal().native());
}

QString LocalFileOf(const QUrl& url) {
  const QString decoded = url.toLocalFile();
  if (!decoded.contains(QChar::ReplacementCharacter)) return decoded;
  // The URL's percent-encoding still holds the bytes that decoding it as UTF-8 replaced.
  const QByteArray encoded = url.path(QUrl::FullyEncoded).toLatin1();
  return TextFromSystemPath(QByteArray::fromPercentEncoding(encoded).toStdString());
}
#endif
