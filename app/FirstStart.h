// The first start of a user. On Windows the installer lays down the data
// folder's files; here the data folder belongs to the user and is created at
// the first start, so that start lays them down instead: five default
// profiles and their table, an empty macro table, the installation's
// language and zeroed usage counters. Later starts find them and behave as always (a file missing
// then is reported).
#pragma once

#include <filesystem>

namespace qx {

// True when the data folder holds none of the utility's files yet.
bool IsFirstStart(const std::filesystem::path& dataFolder);

// Writes the files of a fresh data folder (files 0600, Profile/ 0700); the
// language is 1 when the installation is Chinese, 2 otherwise. Done under the
// data folder's lock, and only when the folder is still empty then: two
// programs starting at once lay it down once. Files that cannot be written
// are left to the normal start-up, which reports them. False when nothing
// was laid down.
bool LayDownDataFolder(const std::filesystem::path& dataFolder, bool chineseInstallation);

// Removes what saves killed half-way left behind in the data folder and its
// Profile folder (their temporary files), under the data folder's lock.
void TidyDataFolder(const std::filesystem::path& dataFolder);

}  // namespace qx
