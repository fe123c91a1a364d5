#include "file_checks.h"

#include "file_io.h"
#include "messages.h"

bool RequireExistingFile(const std::string& path) {
  if (RegularFileExists(path)) return true;
  ShowFileRefusal("Arquivo ", path, " não encontrado!");
  return false;
}

void ShowFileRefusal(const std::string& text, const std::string& path, const std::string& ending) {
  ShowMessage(text + path + ending, "Erro");
}
