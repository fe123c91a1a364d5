#include "error_reason_text.h"

#include <array>

#include "file_io.h"

namespace {

struct ReasonText {
  std::error_condition code;
  const char* text;  // UTF-8
};

const std::array kReasonTexts = {
    ReasonText{std::errc::no_such_file_or_directory, "o arquivo ou a pasta não existe"},
    ReasonText{std::errc::permission_denied, "permissão negada"},
    ReasonText{std::errc::operation_not_permitted, "operação não permitida"},
    ReasonText{std::errc::no_space_on_device, "não há espaço livre no disco"},
    ReasonText{std::errc::read_only_file_system, "o disco está protegido contra gravação"},
    ReasonText{std::errc::is_a_directory, "o caminho indica uma pasta, não um arquivo"},
    ReasonText{std::errc::not_a_directory, "uma parte do caminho não é uma pasta"},
    ReasonText{std::errc::filename_too_long, "o nome do arquivo é longo demais"},
    ReasonText{std::errc::file_exists, "o arquivo já existe"},
    ReasonText{std::errc::io_error, "erro de leitura ou gravação no dispositivo"},
    ReasonText{std::errc::device_or_resource_busy, "o arquivo ou o dispositivo está em uso"},
    ReasonText{std::errc::text_file_busy, "o arquivo está em uso"},
    ReasonText{std::errc::too_many_files_open, "há arquivos abertos demais"},
    ReasonText{std::errc::too_many_files_open_in_system, "há arquivos abertos demais no sistema"},
    ReasonText{std::errc::invalid_argument, "nome de arquivo inválido"},
    ReasonText{std::errc::file_too_large, "o arquivo é grande demais"},
    ReasonText{std::errc::no_such_device, "o dispositivo não está disponível"},
    ReasonText{std::errc::no_such_device_or_address, "o dispositivo não está disponível"},
    ReasonText{std::errc::inappropriate_io_control_operation,
               "o dispositivo não aceita esta operação"},
    ReasonText{std::errc::not_enough_memory, "memória insuficiente"},
    ReasonText{std::errc::too_many_symbolic_link_levels, "o caminho tem ligações em ciclo"},
    ReasonText{std::errc::cross_device_link, "o arquivo não pode ser movido entre discos"},
    ReasonText{{static_cast<int>(FileRefusal::NotARegularFile), FileRefusalCategory()},
               "o caminho indica um dispositivo, FIFO ou socket, não um arquivo comum"},
};

}  // namespace

std::string ErrorReasonText(std::error_code reason) {
  for (const auto& known : kReasonTexts) {
    if (reason == known.code) return known.text;
  }
  return "erro do sistema " + std::to_string(reason.value());
}

std::string FileFailureReason(const FileError& failure) {
  std::string text = ErrorReasonText(failure.reason());
  if (failure.partly_written()) text += "; o arquivo pode ter ficado incompleto";
  return text;
}
