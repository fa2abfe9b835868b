#include <iostream>

#include "tools/quorix-ball/ball_cli.h"

int main(int argc, char** argv) {
    return RunQuorixBall(argc, argv, std::cout, std::cerr);
}
