#include "tools/quorix-ball/ball_cli.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "render/ball_maps.h"
#include "render/compositing.h"
#include "render/default_look.h"
#include "render/shade_ball.h"
#include "render/shade_params.h"
#include "render/sprite_buffer.h"
#include "tools/common/png_write.h"

namespace {

// Sizes above this are refused; every size up to it renders.
constexpr int32_t kMaxSpriteSide = 4096;
constexpr int64_t kMaxPictureSide = 32768;

struct BadInput {
    std::string message;
};

// A 32-bit word: decimal or 0x-hex, optionally negative, from -2^31 to 2^32 - 1.
std::optional<int32_t> ParseWord(const std::string& text) {
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos >= text.size()) return std::nullopt;
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char ch = text[pos];
        int digit;
        if (ch >= '0' && ch <= '9')
            digit = ch - '0';
        else if (base == 16 && ch >= 'a' && ch <= 'f')
            digit = ch - 'a' + 10;
        else if (base == 16 && ch >= 'A' && ch <= 'F')
            digit = ch - 'A' + 10;
        else
            return std::nullopt;
        value = value * uint64_t(base) + uint64_t(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;
    }
    if (negative) {
        if (value > 0x80000000ull) return std::nullopt;
        return int32_t(uint32_t(0u - uint32_t(value)));
    }
    return int32_t(uint32_t(value));
}

// count comma-separated words.
std::vector<int32_t> ParseList(const std::string& what, const std::string& text, size_t count) {
    std::vector<int32_t> words;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        const std::string part =
            text.substr(start, comma == std::string::npos ? comma : comma - start);
        const std::optional<int32_t> word = ParseWord(part);
        if (!word) throw BadInput{what + ": '" + part + "' is not a number"};
        words.push_back(*word);
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    if (words.size() != count)
        throw BadInput{what + " takes " + std::to_string(count) +
                       " comma-separated numbers, not '" + text + "'"};
    return words;
}

void SetMember(ShadeParams& look, const std::string& name, const std::string& value) {
    struct Colour {
        const char* name;
        ShadeColour ShadeParams::*member;
    };
    static const Colour kColours[] = {{"topColour", &ShadeParams::topColour},
                                      {"rimColour", &ShadeParams::rimColour},
                                      {"diffuseColour", &ShadeParams::diffuseColour},
                                      {"specularColour", &ShadeParams::specularColour}};
    struct Word {
        const char* name;
        int32_t ShadeParams::*member;
    };
    static const Word kWords[] = {{"shadingFlags", &ShadeParams::shadingFlags},
                                  {"opacityControl", &ShadeParams::opacityControl},
                                  {"spriteWidth", &ShadeParams::spriteWidth},
                                  {"spriteHeight", &ShadeParams::spriteHeight},
                                  {"normalRadius", &ShadeParams::normalRadius},
                                  {"ellipseWidth", &ShadeParams::ellipseWidth},
                                  {"ellipseHeight", &ShadeParams::ellipseHeight},
                                  {"lightDirection", &ShadeParams::lightDirection},
                                  {"backLight", &ShadeParams::backLight},
                                  {"specularIndex", &ShadeParams::specularIndex},
                                  {"secondLight", &ShadeParams::secondLight},
                                  {"secondSpecularIndex", &ShadeParams::secondSpecularIndex},
                                  {"sharpenShift", &ShadeParams::sharpenShift},
                                  {"slopeRamp", &ShadeParams::slopeRamp}};
    for (const Colour& c : kColours) {
        if (name == c.name) {
            const std::vector<int32_t> rgb = ParseList(name, value, 3);
            look.*c.member = {rgb[0], rgb[1], rgb[2]};
            return;
        }
    }
    for (const Word& w : kWords) {
        if (name == w.name) {
            look.*w.member = ParseList(name, value, 1)[0];
            return;
        }
    }
    throw BadInput{"unknown name '" + name + "'"};
}

struct Options {
    ShadeParams look = DefaultLook();
    std::optional<std::vector<int32_t>> shift;
    std::optional<int32_t> flatten;
    std::optional<std::vector<int32_t>> blend;
    std::optional<std::string> png;
    int32_t zoom = 1;
};

Options Parse(int argc, const char* const* argv) {
    Options o;
    bool zoomGiven = false;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        const auto value = [&](const char* option) -> std::string {
            if (k + 1 >= argc) throw BadInput{std::string(option) + " needs a value"};
            return argv[++k];
        };
        if (arg == "--shift") {
            o.shift = ParseList("--shift", value("--shift"), 2);
        } else if (arg == "--flatten") {
            o.flatten = ParseList("--flatten", value("--flatten"), 1)[0];
        } else if (arg == "--blend") {
            o.blend = ParseList("--blend", value("--blend"), 2);
        } else if (arg == "--png") {
            o.png = value("--png");
            if (o.png->empty()) throw BadInput{"--png needs a file name"};
        } else if (arg == "--zoom") {
            o.zoom = ParseList("--zoom", value("--zoom"), 1)[0];
            zoomGiven = true;
            if (o.zoom < 1 || o.zoom > 256) throw BadInput{"--zoom takes 1 to 256"};
        } else if (arg.size() > 2 && arg.compare(0, 2, "--") == 0) {
            throw BadInput{"unknown option '" + arg + "'"};
        } else {
            const size_t eq = arg.find('=');
            if (eq == std::string::npos || eq == 0)
                throw BadInput{"expected NAME=VALUE or an option, not '" + arg + "'"};
            SetMember(o.look, arg.substr(0, eq), arg.substr(eq + 1));
        }
    }
    if (zoomGiven && !o.png) throw BadInput{"--zoom needs --png FILE"};
    for (const int32_t side : {o.look.spriteWidth, o.look.spriteHeight})
        if (side < 0 || side > kMaxSpriteSide)
            throw BadInput{"sprite sizes take 0 to " + std::to_string(kMaxSpriteSide) + ", not " +
                           std::to_string(side)};
    return o;
}

// The result: a sprite buffer, or the blended plane.
struct Result {
    int32_t width = 0, height = 0;
    uint32_t kind = 0;
    const uint32_t* pixels = nullptr;
};

std::string Hex8(uint32_t word) {
    char text[9];
    std::snprintf(text, sizeof(text), "%08x", word);
    return text;
}

}  // namespace

int RunQuorixBall(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    Options o;
    try {
        o = Parse(argc, argv);
    } catch (const BadInput& bad) {
        err << "quorix-ball: " << bad.message << "\n";
        return 2;
    }

    SpriteBuffer buffers[5];
    BuildBallMaps(buffers, o.look);
    ShadeBall(buffers, o.look);
    SpriteBuffer* sprite = &buffers[0];
    if (o.shift) {
        ShiftSprite(buffers[0], buffers[1], (*o.shift)[0], (*o.shift)[1]);
        sprite = &buffers[1];
    }
    if (o.flatten)
        FlattenSprite(*sprite, sprite->pixels, 0, 0, sprite->Width(), sprite->Height(),
                      COLORREF(uint32_t(*o.flatten)));

    Result result{sprite->Width(), sprite->Height(), sprite->kind, sprite->pixels};
    std::vector<uint32_t> plane;
    if (o.blend) {
        plane.assign(size_t(result.width) * size_t(result.height), uint32_t((*o.blend)[0]));
        BlendSprite(*sprite, plane.data(), 0, 0, result.width, result.height, (*o.blend)[1]);
        result.kind = 0;
        result.pixels = plane.data();
    }

    if (o.png) {
        if (result.width == 0 || result.height == 0) {
            err << "quorix-ball: the result is empty (" << result.width << " x " << result.height
                << "), no picture written\n";
            return 2;
        }
        if (int64_t(result.width) * o.zoom > kMaxPictureSide ||
            int64_t(result.height) * o.zoom > kMaxPictureSide) {
            err << "quorix-ball: the picture would exceed " << kMaxPictureSide
                << " pixels a side; use a smaller --zoom\n";
            return 2;
        }
        // As the screen shows it: the top row first, alpha = 255 - transparency.
        std::vector<uint8_t> rgba(size_t(result.width) * size_t(result.height) * 4);
        for (int32_t y = 0; y < result.height; ++y) {
            const uint32_t* row = result.pixels + size_t(result.height - 1 - y) * result.width;
            for (int32_t x = 0; x < result.width; ++x) {
                uint8_t* p = &rgba[(size_t(y) * result.width + x) * 4];
                p[0] = uint8_t(row[x] >> 16);
                p[1] = uint8_t(row[x] >> 8);
                p[2] = uint8_t(row[x]);
                p[3] = uint8_t(255 - (row[x] >> 24));
            }
        }
        std::string error;
        const std::string zoomed =
            o.zoom > 1 ? ZoomRgba(rgba.data(), result.width, result.height, o.zoom) : std::string();
        const uint8_t* picture =
            o.zoom > 1 ? reinterpret_cast<const uint8_t*>(zoomed.data()) : rgba.data();
        if (!WritePngRgba(*o.png, result.width * o.zoom, result.height * o.zoom, picture, &error)) {
            err << "quorix-ball: " << error << "\n";
            return 1;
        }
        return 0;
    }

    std::string text = std::to_string(result.width) + " " + std::to_string(result.height) + " " +
                       std::to_string(result.kind) + "\n";
    for (int32_t y = 0; y < result.height; ++y) {
        for (int32_t x = 0; x < result.width; ++x) {
            if (x) text += ' ';
            text += Hex8(result.pixels[size_t(y) * result.width + x]);
        }
        text += '\n';
    }
    out << text;
    out.flush();
    return 0;
}
