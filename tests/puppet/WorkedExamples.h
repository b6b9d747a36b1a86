#pragma once
// Screen points of the board corners of every profile, worked out by hand for a
// window at its play position with its target size. Tovarin's profile table and the
// reference puppets are each checked against these numbers, so that the two are
// never only checked against each other.
#include <array>
#include <ostream>

#include "platform/Geometry.h"
#include "tovarin/puppet/Profiles.h"

namespace platform {
// Readable points in test messages.
inline void PrintTo(const Point& p, std::ostream* os) { *os << "(" << p.X << ", " << p.Y << ")"; }
}  // namespace platform

namespace puppet_test {

struct Corners {
  int Profile;
  platform::Point TopLeft;      // (1, 1)
  platform::Point BottomRight;  // (19, 19)
};

inline constexpr std::array<Corners, puppet::ProfileCount> BoardCorners{{
    {1, {139, 68}, {427, 356}},
    {2, {78, 60}, {366, 348}},
    {3, {34, 73}, {322, 379}},
    {4, {194, 73}, {536, 415}},
    {5, {33, 135}, {375, 477}},
    {6, {39, 70}, {345, 376}},
    {7, {32, 60}, {320, 366}},
    {8, {32, 60}, {320, 366}},
    {9, {48, 83}, {408, 443}},
    {10, {16, 54}, {196, 234}},
    {11, {206, 81}, {566, 441}},
    {12, {202, 73}, {472, 343}},
    {13, {198, 84}, {468, 354}},
    {14, {28, 68}, {478, 518}},
    {15, {198, 74}, {468, 344}},
    {16, {40, 71}, {346, 377}},
    {17, {36, 75}, {612, 651}},
    {18, {149, 70}, {509, 430}},
}};

}  // namespace puppet_test
