// Finding the running puppet by its window title(s), and the profile's tag.
#include "tovarin/puppet/Profiles.h"
#include "tovarin/shell/Unit1.h"

namespace tovarin {

void TForm1::FillWindowTitles() {
  const std::array<const char*, puppet::TitleCount> titles = puppet::TitleTable();
  for (std::size_t i = 0; i < WindowTitles.size(); ++i) WindowTitles[i] = titles[i];
}

void TForm1::FindPuppet(int profile) {
  const puppet::Geometry* g = puppet::GeometryOf(profile);
  if (!g) return;
  platform::Desktop& d = Sys.Desktop;
  platform::WindowHandle found =
      d.FindWindowByTitle(WindowTitles[static_cast<std::size_t>(puppet::TitleIndex(profile))]);
  if (!found) return;
  if (puppet::IdentityOf(profile)->MainTitles[0]) {
    // The board window is the one driven; the program's main window only has to exist.
    if (!d.FindWindowByTitle(WindowTitles[puppet::Profile5MainTitle]) &&
        !d.FindWindowByTitle(WindowTitles[puppet::Profile5PlainTitle]))
      return;
  }
  PuppetWindow = found;
  ProfileNo = profile;
  TargetWidth = g->TargetWidth;
  TargetHeight = g->TargetHeight;
}

const char* TForm1::PuppetTag() const { return puppet::TagOf(ProfileNo); }

}  // namespace tovarin
