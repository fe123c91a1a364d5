#include "cli/file_error_text.h"

#include <cerrno>

namespace {

// The common reasons in the program's language; any other keeps the system's own wording.
std::string ReasonText(std::error_code reason) {
  if (reason.category() == std::generic_category() || reason.category() == std::system_category()) {
    switch (reason.value()) {
      case ENOENT:
        return "arquivo ou pasta inexistente";
      case EACCES:
      case EPERM:
        return "permissão negada";
      case EISDIR:
        return "é uma pasta";
      case ENOTDIR:
        return "uma parte do caminho não é uma pasta";
      case ENOSPC:
        return "não há espaço no disco";
      case EROFS:
        return "o sistema de arquivos é somente leitura";
      case EIO:
        return "erro de entrada/saída";
      default:
        break;
    }
  }
  return reason.message();
}

}  // namespace

std::string FileErrorText(const FileError& error) {
  return "Não foi possível acessar o arquivo " + error.path() + ": " + ReasonText(error.reason()) +
         ".";
}
