#pragma once

#include <QString>

// True for a build configured with VOLTARIS_PRERELEASE=ON: a development
// build, which says so in the main window's caption.
bool IsPrereleaseBuild();

// The directory the install rules put the program in. A program started
// from there belongs to the installation, even for a user who could write it.
QString InstalledProgramDirectory();

// The program's version, as the build was configured.
QString ProgramVersion();

// The date the library's legal state was checked ("11 grudnia 2026 r."), one
// date for all the content; empty when the build carries none.
QString LegalStateDate();
