// The program folder: the folder of the running executable (with a trailing "/"), where the
// viewer's "data" folder, readme.txt and DunmereGL.ini live. Tests point it elsewhere.
#pragma once

#include <string>

const std::string& ProgramFolder();
void SetProgramFolder(const std::string& folder); // a trailing "/" is added when missing
