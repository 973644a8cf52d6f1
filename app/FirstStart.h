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

// Writes the files of a fresh data folder; the language is 1 when the
// installation is Chinese, 2 otherwise. Files that cannot be written are left
// to the normal start-up, which reports them.
void LayDownDataFolder(const std::filesystem::path& dataFolder, bool chineseInstallation);

}  // namespace qx
