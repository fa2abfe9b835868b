#include "platform/x11/pixel_rows.h"

#include <cstring>

#include "platform/x11/pixel_kernels.h"

namespace {

bool HostIsLittleEndian() {
    const uint16_t probe = 1;
    uint8_t first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

// The per-pixel mappings, each a small value type so that the row loops are
// compiled once per mapping.
struct CopyMap {
    uint32_t keep, alpha;
    uint32_t operator()(uint32_t p) const { return (p & keep) | alpha; }
};

struct ShiftMap {
    uint32_t r0, l0, m0, r1, l1, m1, r2, l2, m2, alpha;
    uint32_t operator()(uint32_t p) const {
        return (((p >> r0) << l0) & m0) | (((p >> r1) << l1) & m1) | (((p >> r2) << l2) & m2) |
               alpha;
    }
};

struct TableMap {
    const uint32_t* t;
    uint32_t alpha;
    uint32_t operator()(uint32_t p) const {
        return t[(p >> 16) & 0xFF] | t[256 + ((p >> 8) & 0xFF)] | t[512 + (p & 0xFF)] | alpha;
    }
};

struct CubeMap {
    const uint32_t* t;
    const uint32_t* pixels;
    uint32_t alpha;
    uint32_t operator()(uint32_t p) const {
        return pixels[t[(p >> 16) & 0xFF] + t[256 + ((p >> 8) & 0xFF)] + t[512 + (p & 0xFF)]] |
               alpha;
    }
};

struct GrayMap {
    const uint32_t* pixels;
    uint32_t alpha;
    uint32_t operator()(uint32_t p) const { return pixels[Luminance(p)] | alpha; }
};

struct ConstantMap {
    uint32_t value;
    uint32_t operator()(uint32_t) const { return value; }
};

}  // namespace

RowConverter::RowConverter(const PixelFormat& f, Kernels kernels) {
    const int bpp = f.bitsPerPixel;
    m_bytes = (bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32) ? bpp / 8 : 0;
    m_nativeOrder = f.msbFirst != HostIsLittleEndian();
    m_alpha = f.alphaMask;
    switch (f.kind) {
        case PixelFormat::Masks: {
            const uint32_t masks[3] = {f.redMask, f.greenMask, f.blueMask};
            bool narrow = true;
            for (uint32_t mask : masks)
                narrow = narrow && BitCount(mask) <= 8;
            if (!narrow) {
                m_path = Path::Tables;
                m_tables.resize(3 * 256);
                for (int c = 0; c < 3; ++c)
                    for (uint32_t v = 0; v < 256; ++v)
                        m_tables[c * 256 + v] = ChannelField(v, masks[c]);
                break;
            }
            // A field of b <= 8 bits at bit l takes the top b bits of the
            // channel: bits p + 8 - b .. p + 7 of the pixel move to bit l.
            bool still = true;
            m_shiftsDown = true;
            for (int c = 0; c < 3; ++c) {
                const uint32_t mask = masks[c];
                if (mask == 0) continue;
                const int bits = BitCount(mask);
                const int low = LowestBit(mask);
                const int from = 16 - 8 * c + 8 - bits;
                m_shift[c].right = static_cast<uint32_t>(from > low ? from - low : 0);
                m_shift[c].left = static_cast<uint32_t>(low > from ? low - from : 0);
                m_shift[c].mask = (((1u << bits) - 1u) << low) & mask;
                still = still && from == low;
                m_shiftsDown = m_shiftsDown && m_shift[c].left == 0;
                m_keep |= m_shift[c].mask;
            }
            m_path = still ? Path::Copy : Path::Shifts;
            break;
        }
        case PixelFormat::Cube:
            if (CubeIsComplete(f)) {
                const uint32_t n = static_cast<uint32_t>(f.cubeLevels);
                const uint32_t weight[3] = {n * n, n, 1};
                m_path = Path::Cube;
                m_levels = f.cubeLevels;
                m_tables.resize(3 * 256);
                for (int c = 0; c < 3; ++c)
                    for (uint32_t v = 0; v < 256; ++v)
                        m_tables[c * 256 + v] =
                            static_cast<uint32_t>(CubeLevel(v, f.cubeLevels)) * weight[c];
                m_pixels.assign(f.cubePixels.begin(), f.cubePixels.begin() + n * n * n);
            }
            break;
        case PixelFormat::Gray:
            if (f.grayPixels.size() == 256) {
                m_path = Path::Gray;
                m_pixels = f.grayPixels;
            }
            break;
    }
    if (m_bytes == 1) {
        for (uint32_t p : m_pixels)
            m_bytes8.push_back(static_cast<uint8_t>(p | m_alpha));
        m_bytes8.resize((m_bytes8.size() + 15) / 16 * 16);  // whole 16-byte parts
        if (m_path == Path::Cube)
            for (uint32_t v = 0; v < 256; ++v)
                m_levels8.push_back(static_cast<uint8_t>(CubeLevel(v, m_levels)));
    }
    ChooseKernel(kernels);
}

void RowConverter::ChooseKernel(Kernels kernels) {
    if (kernels == Kernels::Portable || !m_nativeOrder) return;
    const bool table8 = (m_path == Path::Cube || m_path == Path::Gray) && m_bytes == 1;
    if (kernels == Kernels::Best && table8 && HaveAvx512Kernels())
        m_kernel = ConvertRowAvx512;
    else if ((kernels == Kernels::Best || kernels == Kernels::Avx2) && HaveAvx2Kernels())
        m_kernel = ConvertRowAvx2;
    else if (HaveSse2Kernels())
        m_kernel = ConvertRowSse2;
    else
        return;
    RowKernel& k = m_params;
    k.alpha = m_alpha;
    switch (m_path) {
        case Path::Copy:
        case Path::Shifts: {
            // 16-bit pixels are packed with signed saturation: the values
            // must fit in 16 bits.
            const bool fits16 = (m_keep | m_alpha) <= 0xFFFF;
            const bool copy = m_path == Path::Copy;
            if (m_bytes == 4)
                k.kind = copy ? RowKernel::Copy32 : RowKernel::Shifts32;
            else if (m_bytes == 2 && fits16)
                k.kind = copy ? RowKernel::Copy16 : RowKernel::Shifts16;
            if (copy && m_bytes == 4 && m_keep == 0x00FFFFFF && m_alpha == 0)
                k.kind = RowKernel::NoKernel;  // a plain copy is faster still
            k.keep = m_keep;
            k.shiftsLeft = !m_shiftsDown;
            for (int c = 0; c < 3; ++c) {
                k.right[c] = m_shift[c].right;
                k.left[c] = m_shift[c].left;
                k.mask[c] = m_shift[c].mask;
            }
            break;
        }
        case Path::Cube:  // indexes must fit in 16-bit lanes
            if (m_bytes == 1 && m_levels <= 40) k.kind = RowKernel::Cube8;
            k.levels = m_levels;
            break;
        case Path::Gray:
            if (m_bytes == 1) k.kind = RowKernel::Gray8;
            break;
        default:
            break;
    }
    if (k.kind == RowKernel::NoKernel) m_kernel = nullptr;
}

uint32_t RowConverter::Pixel(uint32_t rgb) const {
    switch (m_path) {
        case Path::Copy:
            return CopyMap{m_keep, m_alpha}(rgb);
        case Path::Shifts: {
            uint32_t v = m_alpha;
            for (const Shift& s : m_shift)
                v |= ((rgb >> s.right) << s.left) & s.mask;
            return v;
        }
        case Path::Tables:
            return TableMap{m_tables.data(), m_alpha}(rgb);
        case Path::Cube:
            return CubeMap{m_tables.data(), m_pixels.data(), m_alpha}(rgb);
        case Path::Gray:
            return GrayMap{m_pixels.data(), m_alpha}(rgb);
        case Path::Zero:
            break;
    }
    return m_alpha;
}

template <typename Map>
void RowConverter::Write(const Map& mapping, const uint32_t* src, int count, uint8_t* dst) const {
    // A local copy: stores through dst could alias the caller's object, which
    // would make the compiler reload its fields for every pixel.
    const Map map = mapping;
    if (m_nativeOrder && m_bytes != 3) {
        if (m_bytes == 4) {
            for (int i = 0; i < count; ++i) {
                const uint32_t v = map(src[i]);
                std::memcpy(dst + 4 * i, &v, 4);
            }
        } else if (m_bytes == 2) {
            for (int i = 0; i < count; ++i) {
                const uint16_t v = static_cast<uint16_t>(map(src[i]));
                std::memcpy(dst + 2 * i, &v, 2);
            }
        } else {
            for (int i = 0; i < count; ++i)
                dst[i] = static_cast<uint8_t>(map(src[i]));
        }
        return;
    }
    // 24-bit pixels, or the other byte order: byte by byte.
    const int bytes = m_bytes;
    const bool lsbFirst = m_nativeOrder == HostIsLittleEndian();
    for (int i = 0; i < count; ++i, dst += bytes) {
        const uint32_t v = map(src[i]);
        for (int k = 0; k < bytes; ++k)
            dst[k] = static_cast<uint8_t>(v >> (lsbFirst ? 8 * k : 8 * (bytes - 1 - k)));
    }
}

void RowConverter::Convert(const uint32_t* src, int count, uint8_t* dst) const {
    if (count <= 0 || m_bytes == 0) return;
    int done = 0;
    if (m_kernel != nullptr) {
        // The table is looked up here: a copy of the converter has its own.
        RowKernel kernel = m_params;
        kernel.table = m_bytes8.data();
        kernel.tableSize = static_cast<int>(m_bytes8.size());
        kernel.cubeLevelBytes = m_levels8.empty() ? nullptr : m_levels8.data();
        done = m_kernel(kernel, src, count, dst);
    }
    ConvertPlain(src + done, count - done, dst + static_cast<size_t>(done) * m_bytes);
}

void RowConverter::ConvertPlain(const uint32_t* src, int count, uint8_t* dst) const {
    if (count <= 0) return;
    switch (m_path) {
        case Path::Copy:
            if (m_bytes == 4 && m_nativeOrder && m_keep == 0x00FFFFFF && m_alpha == 0) {
                // Our own layout: a straight copy (the top byte is padding).
                std::memcpy(dst, src, static_cast<size_t>(count) * 4);
                break;
            }
            Write(CopyMap{m_keep, m_alpha}, src, count, dst);
            break;
        case Path::Shifts: {
            const Shift* s = m_shift;
            Write(ShiftMap{s[0].right, s[0].left, s[0].mask, s[1].right, s[1].left, s[1].mask,
                           s[2].right, s[2].left, s[2].mask, m_alpha},
                  src, count, dst);
            break;
        }
        case Path::Tables:
            Write(TableMap{m_tables.data(), m_alpha}, src, count, dst);
            break;
        case Path::Cube:
            Write(CubeMap{m_tables.data(), m_pixels.data(), m_alpha}, src, count, dst);
            break;
        case Path::Gray:
            Write(GrayMap{m_pixels.data(), m_alpha}, src, count, dst);
            break;
        case Path::Zero:
            Write(ConstantMap{m_alpha}, src, count, dst);
            break;
    }
}
