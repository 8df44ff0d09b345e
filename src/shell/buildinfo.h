#pragma once

#include <QString>

// True for a build configured with VOLTARIS_PRERELEASE=ON: a development
// build, which says so in the main window's caption.
bool IsPrereleaseBuild();

// The directory the install rules put the program in. A program started
// from there belongs to the installation, even for a user who could write it.
QString InstalledProgramDirectory();
