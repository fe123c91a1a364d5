#pragma once

#include <string>

// Refusals shared by the image and single-save files.

// True when a regular file is at path; otherwise shows "Arquivo <path> não encontrado!". Throws
// FileError when the system cannot tell (a folder on the way may not be entered).
bool RequireExistingFile(const std::string& path);

// Shows text + path + ending with the caption "Erro".
void ShowFileRefusal(const std::string& text, const std::string& path, const std::string& ending);
