// The quorix-ball command line:
//   quorix-ball [NAME=VALUE ...] [--shift FX,FY] [--flatten COLORREF] [--blend PIXEL,BOOST]
//               [--png FILE [--zoom N]]
// NAME is a ShadeParams member (colours take R,G,B). The sprite is built and shaded, then
// shifted, flattened and blended in that order, and printed as text or written as a PNG.
#pragma once

#include <ostream>

// Runs the tool. Returns the exit status: 0 done, 2 bad input (one line on err), 1 when
// the picture cannot be written.
int RunQuorixBall(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
