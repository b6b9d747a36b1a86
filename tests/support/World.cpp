#include "tests/support/World.h"

namespace testing_world {

std::filesystem::path SourceDir() { return TOVARIN_SOURCE_DIR; }

void AddPictures(const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder / "bmp");
  for (const char* name : {"PlimGoBan.bmp", "PlimGoStone.bmp", "MyTovarin.bmp", "sswaku.bmp"})
    std::filesystem::copy_file(SourceDir() / "bmp" / name, folder / "bmp" / name,
                               std::filesystem::copy_options::overwrite_existing);
}

World::World(int screenWidth, int screenHeight, bool createForms)
    : Desktop(Clock, screenWidth, screenHeight),
      App(Clock, &Desktop),
      Libraries(),
      Sys{Desktop, Clock, Loader, Files} {
  AddPictures(Folder.Path());
  if (createForms) CreateForms();
}

World::~World() = default;

}  // namespace testing_world
