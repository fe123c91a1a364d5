#include "file_checks.h"

#include <filesystem>

#include "file_io.h"
#include "messages.h"

bool RequireExistingFile(const std::string& path) {
  std::error_code reason;
  const std::filesystem::file_status status = std::filesystem::status(PathFromText(path), reason);
  if (std::filesystem::is_regular_file(status)) return true;
  // A file the user may not reach is not missing: the system's reason tells what is wrong.
  if (reason && status.type() != std::filesystem::file_type::not_found) {
    throw FileError(path, reason);
  }
  ShowFileRefusal("Arquivo ", path, " não encontrado!");
  return false;
}

void ShowFileRefusal(const std::string& text, const std::string& path, const std::string& ending) {
  ShowMessage(text + path + ending, "Erro");
}
