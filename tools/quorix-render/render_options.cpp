#include "render_options.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number in [low, high]; no sign for unsigned ranges, no spaces.
bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value) {
    if (text.empty() || text.size() > 20) return false;
    size_t i = text[0] == '-' || text[0] == '+' ? 1 : 0;
    if (i == text.size()) return false;
    for (size_t k = i; k < text.size(); ++k) {
        if (text[k] < '0' || text[k] > '9') return false;
    }
    errno = 0;
    char* end = nullptr;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high) return false;
    *value = v;
    return true;
}

bool ParseSize(const std::string& text, int32_t* width, int32_t* height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    int64_t w = 0;
    int64_t h = 0;
    const std::string ws = text.substr(0, x);
    const std::string hs = text.substr(x + 1);
    if (ws.empty() || hs.empty() || ws[0] == '-' || ws[0] == '+' || hs[0] == '-' || hs[0] == '+')
        return false;
    if (!ParseNumber(ws, 1, kMaxRenderWidth, &w) || !ParseNumber(hs, 1, kMaxRenderHeight, &h))
        return false;
    *width = static_cast<int32_t>(w);
    *height = static_cast<int32_t>(h);
    return true;
}

}  // namespace

bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions* o,
                        std::string* error) {
    bool haveSize = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--help" || name == "-h") {
            o->help = true;
            return true;
        }
        if (name.rfind("--", 0) != 0) {
            *error = "unexpected argument '" + name + "'";
            return false;
        }
        if (i + 1 >= args.size()) {
            *error = "option " + name + " needs a value";
            return false;
        }
        const std::string& value = args[++i];
        int64_t n = 0;
        auto bad = [&](const char* what) {
            *error = "invalid value '" + value + "' for " + name + " (" + what + ")";
            return false;
        };
        if (name == "--size") {
            if (!ParseSize(value, &o->width, &o->height)) {
                return bad("expected WxH, 1x1 to 7680x4320");
            }
            haveSize = true;
        } else if (name == "--style") {
            if (!ParseNumber(value, INT32_MIN, INT32_MAX, &n)) return bad("a 32-bit integer");
            o->style = static_cast<int32_t>(n);
        } else if (name == "--balls") {
            if (!ParseNumber(value, INT32_MIN, INT32_MAX, &n)) return bad("a 32-bit integer");
            o->balls = static_cast<int32_t>(n);
        } else if (name == "--ball-size") {
            if (!ParseNumber(value, INT32_MIN, INT32_MAX, &n)) return bad("a 32-bit integer");
            o->ballSize = static_cast<int32_t>(n);
        } else if (name == "--seed") {
            if (!ParseNumber(value, 0, UINT32_MAX, &n)) return bad("0 to 4294967295");
            o->seed = static_cast<uint32_t>(n);
        } else if (name == "--frames") {
            if (!ParseNumber(value, 0, INT32_MAX, &n)) return bad("0 to 2147483647");
            o->frames = n;
        } else if (name == "--hash-every") {
            if (!ParseNumber(value, 1, INT32_MAX, &n)) return bad("1 to 2147483647");
            o->hashEvery = n;
        } else if (name == "--formation-allowed") {
            if (value != "0" && value != "1") return bad("0 or 1");
            o->formationAllowed = value == "1" ? 1 : 0;
        } else if (name == "--png") {
            if (value.empty()) return bad("a file name");
            o->pngPath = value;
        } else {
            *error = "unknown option " + name;
            return false;
        }
    }
    if (!haveSize) {
        *error = "missing --size WxH";
        return false;
    }
    return true;
}

uint32_t HashPixels(const uint32_t* pixels, size_t count) {
    uint32_t h = 0x811c9dc5u;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t p = pixels[i];
        for (int b = 0; b < 4; ++b) {
            h ^= (p >> (8 * b)) & 0xFFu;
            h *= 16777619u;
        }
    }
    return h;
}
