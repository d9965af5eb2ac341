// Whole-file reads and writes for configuration files: a read never takes
// more than a limit, and a write never leaves half a file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw {

// Reads the whole of `path` into `text`. False, with `why` for the operator,
// when it is missing, not a plain file, larger than `limit` bytes or
// unreadable.
bool ReadWholeFile(const std::filesystem::path& path, size_t limit, std::string& text,
                   std::string& why);

// Writes `text` as the new content of `path`: into a temporary file in the
// same folder first, flushed to the disk, which then takes the place of the
// old file in one step. False, with `why`, when any step failed; the old
// file is then as it was and no temporary file is left.
bool ReplaceFile(const std::filesystem::path& path, const std::string& text, std::string& why);

}  // namespace tw
