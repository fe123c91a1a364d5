#pragma once

#include <string>

#include "card/file_io.h"

// An input/output failure in Portuguese, with the path and the system's reason.
std::string FileErrorText(const FileError& error);
