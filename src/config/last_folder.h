// File dialogs that open where the operator's last file was.
#pragma once

#include <string>

#include "core/ui.h"

namespace tw {

// A file chooser in front of the desktop's: each dialog starts in the
// folder of the last file chosen in any of them, while that folder exists
// (else where the dialog would start anyway), and a chosen file's folder
// is remembered in `lastFolder` (a choice saved with the others).
class LastFolderChooser : public FileChooser {
 public:
  LastFolderChooser(FileChooser& desktop, std::string& lastFolder)
      : desktop_(desktop), lastFolder_(lastFolder) {}

  std::string ChooseFileToOpen(const FileRequest& request) override;
  std::string ChooseFileToSave(const FileRequest& request) override;

 private:
  FileRequest StartingWhereLast(const FileRequest& request) const;
  void Remember(const std::string& path);

  FileChooser& desktop_;
  std::string& lastFolder_;
};

}  // namespace tw
