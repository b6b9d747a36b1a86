#include "tests/puppet/Placement.h"

#include "tovarin/puppet/Profiles.h"

namespace puppet_test {

void PlacePuppet(testing_world::World& w, int profile) {
  tovarin::TForm1& f = w.Form1();
  const puppet::Geometry* g = puppet::GeometryOf(profile);
  w.Desktop.SetWindowPos(f.PuppetWindow, platform::InsertBottom, 0, 0, f.TargetWidth,
                         f.TargetHeight, platform::SwpShowWindow);
  if (g->PlayLeft != 0)
    w.Desktop.SetWindowPos(f.PuppetWindow, platform::InsertBottom, g->PlayLeft, 0, f.TargetWidth,
                           f.TargetHeight, platform::SwpShowWindow);
  w.Desktop.GetWindowRect(f.PuppetWindow, f.PuppetRect);
}

}  // namespace puppet_test
