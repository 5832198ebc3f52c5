#pragma once
// Where the program's own files (skins, manual) are found: the folder of its executable.

#include <QString>

namespace ostrel {

// The folder of the running executable, without a trailing '/'.
QString ProgramFolder();

// Points ProgramFolder() at another folder, so that tests can run the program's windows
// against files of their own; an empty folder restores the executable's folder.
void SetProgramFolder(const QString& folder);

}  // namespace ostrel
