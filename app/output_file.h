#pragma once

#include "storage/data_file_store.h"

#include <string>
#include <string_view>

// Every file the program writes besides the data file itself (the chart's picture, the
// exports) goes through here, so that no output can land on the user's data.
namespace app {

// Whether two paths name the same file: the same device and inode when both exist (links
// followed), otherwise the same absolute path once links and "..", "." are resolved.
bool IsSameFile(const std::string& first, const std::string& second);

// Writes the bytes to `path` through a temporary file in the same folder that is renamed
// over it once complete, so a failed write never leaves a half-written file. Refuses a
// path that is the data file, its lock or a copy of it the program keeps, and anything
// there that is not a regular file (a device, a folder). On failure the reason is in
// words for the user; nothing is left behind.
FileOutcome WriteOutputFile(const std::string& path, std::string_view bytes, const std::string& dataFilePath);

} // namespace app
