// Whole-file reads and writes for configuration files: a read never takes
// more than a limit, and a write never leaves half a file.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>

namespace tw {

// Reads the whole of `path` into `text`. A link is followed to the file it
// names. False, with `why` for the operator, when it is missing, a link loop,
// not a plain file (checked on the open file, which never waits on a pipe),
// larger than `limit` bytes or unreadable.
bool ReadWholeFile(const std::filesystem::path& path, size_t limit, std::string& text,
                   std::string& why);

// Writes `text` as the new content of `path`: into a temporary file in the
// same folder first, flushed to the disk, which then takes the place of the
// old file in one step. False, with `why`, when any step failed; the old
// file is then as it was and no temporary file is left. A symbolic link
// under the name is replaced by the new file; what it led to is untouched.
// Access rights come from the old file only when it was a plain file.
bool ReplaceFile(const std::filesystem::path& path, const std::string& text, std::string& why);

}  // namespace tw
