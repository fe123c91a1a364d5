#pragma once

#include <string>
#include <system_error>

class FileError;

// The reason of a system failure in Portuguese, as the window and the command line show it (UTF-8).
// Common codes get words; the rest keep their number, never the system's English text.
std::string ErrorReasonText(std::error_code reason);

// The reason of a failed file operation, with a warning when the file was left partly rewritten.
std::string FileFailureReason(const FileError& failure);
