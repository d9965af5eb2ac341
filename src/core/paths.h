// Paths made from the program's texts, and texts made from paths.
//
// The program's texts are UTF-8: file names from the file dialogs, the
// command line, titles of files sent by nodes. A std::filesystem::path built
// from a plain std::string reads it in the system's narrow encoding, which on
// Windows is an ANSI code page rather than UTF-8, and path::string() may throw
// there for a name the code page cannot hold. So every path made from a text,
// and every text made from a path, goes through here.
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace tw {

// The path named by a UTF-8 text. Bytes that are not UTF-8 (a node may send
// a Latin-1 title) never fail: on Windows each stands for the Latin-1
// character of its value; elsewhere names are bytes and are kept as they are.
std::filesystem::path PathFromUtf8(std::string_view text);

// The path as UTF-8 text, for lines, messages and file dialogs. Never throws.
std::string PathToUtf8(const std::filesystem::path& path);

// std::fopen for any path, whatever characters its names hold.
std::FILE* OpenFile(const std::filesystem::path& path, const char* mode);

// The data root under its Windows name; every file name the program builds
// starts with it.
inline constexpr std::string_view WINDOWS_DATA_ROOT = "C:\\Tidewire\\";

// A Windows path under the data root moved under `root`, name by name:
// "C:\Tidewire\Logs\port1\NMEA-....CSV" -> <root>/Logs/port1/NMEA-....CSV.
// With root C:\Tidewire on Windows that is the path itself.
std::filesystem::path UnderDataRoot(const std::filesystem::path& root,
                                    std::string_view windowsPath);

// The data root when none is given on the command line: C:\Tidewire on
// Windows; elsewhere $TIDEWIRE_HOME when set, else ~/Tidewire.
std::filesystem::path DefaultDataRoot();

}  // namespace tw
