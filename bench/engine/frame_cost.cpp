// Frame cost: the process CPU time of frames 1,000 to 3,000 of one scene, divided by
// the number of frames, so that the fade and full-present frames count as often as
// they occur. Prints "frame_ms <value>". bench/compare.sh builds this program against
// two revisions and runs them alternately.
//
//   quorix_frame_cost WIDTH HEIGHT [STYLE [BALLS [FIRST [LAST]]]]
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "frame_cost_scene.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s WIDTH HEIGHT [STYLE [BALLS [FIRST [LAST]]]]\n", argv[0]);
        return 2;
    }
    const auto arg = [&](int i, int fallback) { return argc > i ? std::atoi(argv[i]) : fallback; };
    const int width = arg(1, 0), height = arg(2, 0);
    const int first = arg(5, 1000), last = arg(6, 3000);
    if (width <= 0 || height <= 0 || first < 0 || last <= first) {
        std::fprintf(stderr, "%s: bad size or frame range\n", argv[0]);
        return 2;
    }
    FrameCostScene* scene = OpenScene(width, height, arg(3, 1), arg(4, 100));
    for (int i = 0; i < first; ++i)
        StepScene(scene);
    const std::clock_t start = std::clock();
    for (int i = first; i < last; ++i)
        StepScene(scene);
    const std::clock_t end = std::clock();
    CloseScene(scene);
    const double ms = 1000.0 * double(end - start) / CLOCKS_PER_SEC / double(last - first);
    std::printf("frame_ms %.4f\n", ms);
    return 0;
}
