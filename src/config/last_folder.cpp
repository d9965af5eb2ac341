#include "config/last_folder.h"

#include <filesystem>
#include <system_error>

#include "core/paths.h"

namespace tw {

FileRequest LastFolderChooser::StartingWhereLast(const FileRequest& request) const {
  FileRequest starting = request;
  std::error_code ec;
  if (!lastFolder_.empty() && std::filesystem::is_directory(PathFromUtf8(lastFolder_), ec)) {
    starting.folder = lastFolder_;
  }
  return starting;
}

void LastFolderChooser::Remember(const std::string& path) {
  if (path.empty()) return;  // cancelled: the last folder stays
  const std::filesystem::path folder = PathFromUtf8(path).parent_path();
  if (!folder.empty()) lastFolder_ = PathToUtf8(folder);
}

std::string LastFolderChooser::ChooseFileToOpen(const FileRequest& request) {
  std::string path = desktop_.ChooseFileToOpen(StartingWhereLast(request));
  Remember(path);
  return path;
}

std::string LastFolderChooser::ChooseFileToSave(const FileRequest& request) {
  std::string path = desktop_.ChooseFileToSave(StartingWhereLast(request));
  Remember(path);
  return path;
}

}  // namespace tw
