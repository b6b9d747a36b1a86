#include "tests/support/World.h"

#include <unistd.h>

#include <atomic>
#include <stdexcept>

namespace testing_world {

std::filesystem::path SourceDir() { return TOVARIN_SOURCE_DIR; }

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  Previous_ = std::filesystem::current_path();
  Path_ = std::filesystem::temp_directory_path() /
          ("tovarin-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(Path_);
  std::filesystem::create_directories(Path_);
  std::filesystem::current_path(Path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::current_path(Previous_, ec);
  std::filesystem::remove_all(Path_, ec);
}

void TempFolder::AddPictures() {
  std::filesystem::create_directories(Path_ / "bmp");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    std::filesystem::copy_file(SourceDir() / "bmp" / name, Path_ / "bmp" / name,
                               std::filesystem::copy_options::overwrite_existing);
}

World::World(int screenWidth, int screenHeight, bool createForms)
    : Desktop(Clock, screenWidth, screenHeight),
      App(Clock, &Desktop),
      Libraries(),
      Sys{Desktop, Clock, Loader, Files} {
  Folder.AddPictures();
  if (createForms) CreateForms();
}

World::~World() = default;

}  // namespace testing_world
