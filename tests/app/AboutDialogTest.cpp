// The about box names the data folder in full.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/AboutDialog.h"
#include "support/program_fixture.h"

namespace tw::test {
namespace {

TEST(AboutDialog, ShowsTheDataRootAsAFullPath) {
  TempDir root;
  AboutDialog about(root.path() / "logs" / ".." / "Tidewire");
  EXPECT_EQ(about.dataRootText().toStdString(), (root.path() / "Tidewire").string());

  // A relative --home is shown from the folder the program started in.
  AboutDialog relative(std::filesystem::path("SeaTrial"));
  EXPECT_EQ(relative.dataRootText().toStdString(),
            (std::filesystem::current_path() / "SeaTrial").string());
  EXPECT_EQ(relative.versionLine(), "   Tidewire  - Version 3.07");
}

}  // namespace
}  // namespace tw::test
