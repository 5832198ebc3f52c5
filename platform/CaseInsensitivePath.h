#pragma once
// File names of the program are matched without regard to letter case, as on the desktop
// the program was first written for: "skins/iTunes.skn" finds "skins/iTunes.SKN".

#include <QString>

namespace ostrel {

// Returns the path of an existing file or folder that `path` names when every component is
// compared without regard to case, or an empty string when there is none. An exact match
// always wins; among several case variants the first in name order is taken.
QString ResolvePathNoCase(const QString& path);

}  // namespace ostrel
