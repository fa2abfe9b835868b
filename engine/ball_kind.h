// What a ball is and where it is in its life. The values are the words the
// ball record holds (BallNode::kind and BallNode::state).
#pragma once

#include <cstdint>

enum class BallKind : int32_t {
    SettingUp = 0,  // while the spawner sets the ball up
    Ordinary = 2,   // grows, drifts, shrinks; the crowd and its group events
    // The special kinds, each made by a row of the special set-up.
    Glass = 3,          // plain shape, glassy or bright-rimmed look
    Swinger = 4,        // sways along one axis on a sine
    Oval = 5,           // one side stays below full size
    Bobber = 6,         // flattened to 5/8 and bobbing on a sine
    SeeSaw = 7,         // squashes one way, then the other
    Squasher = 8,       // a four-phase squash
    Looper = 9,         // flies loops; may start a wobble of the crowd
    Lopsided = 10,      // squashes with an off-centre body
    Coin = 11,          // flips like a coin about one axis
    Chaser = 12,        // follows the look ball, or wanders
    Dropper = 13,       // flies a circle and drops balls
    Launcher = 14,      // launches balls from two slots
    Hub = 15,           // grows, then sends out and pushes eight children
    Bouncer = 16,       // squashes as if bouncing, its light following
    Pulsar = 17,        // pulses in size and steers after the newest ball
    Stretcher = 18,     // stretches long and back
    ColourCycler = 19,  // cycles its colours or turns its lights
    Roller = 20,        // rolls in sub-pixel steps
};

enum class BallState : int32_t {
    Growing = 0,
    Shrinking = 1,
    Retiring = 2,  // drawn once more, then released at the end of this frame
};

constexpr int32_t kFirstSpecialKind = 3;
constexpr int32_t kLastKind = 20;
