#pragma once

// True for a build configured with VOLTARIS_PRERELEASE=ON: a development
// build, which says so in the main window's caption.
bool IsPrereleaseBuild();
