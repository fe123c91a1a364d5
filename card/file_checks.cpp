#include "file_checks.h"

#include <filesystem>

#include "file_io.h"
#include "messages.h"

namespace {

// What stands at a path where a file was expected; only a missing file is "not found".
std::string NotAFileEnding(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::directory:
      return " é uma pasta, não um arquivo!";
    case std::filesystem::file_type::fifo:
      return " é um FIFO (pipe nomeado), não um arquivo!";
    case std::filesystem::file_type::character:
    case std::filesystem::file_type::block:
      return " é um dispositivo, não um arquivo!";
    case std::filesystem::file_type::socket:
      return " é um socket, não um arquivo!";
    default:
      return " não encontrado!";
  }
}

}  // namespace

bool RequireExistingFile(const std::string& path) {
  std::error_code reason;
  const std::filesystem::file_status status = std::filesystem::status(PathFromText(path), reason);
  if (std::filesystem::is_regular_file(status)) return true;
  // A file the user may not reach is not missing: the system's reason tells what is wrong.
  if (reason && status.type() != std::filesystem::file_type::not_found) {
    throw FileError(path, reason);
  }
  ShowFileRefusal("Arquivo ", path, NotAFileEnding(status.type()));
  return false;
}

void ShowFileRefusal(const std::string& text, const std::string& path, const std::string& ending) {
  ShowMessage(text + path + ending, "Erro");
}
