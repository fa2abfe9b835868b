// Built with AVX-512 F, BW and VBMI on x86-64 (platform/CMakeLists.txt);
// called only where HaveAvx512Kernels().
//
// 8-bit rows of a colour cube or a grey ramp, 64 pixels at a time. A 256-byte
// table is held in four registers and looked up with two-table byte permutes,
// so a pixel costs a fraction of an instruction: each pixel's index (cube
// index or luminance) is worked out in its 32-bit lane with multiply-adds,
// the indexes are packed into bytes, and the bytes are turned into pixels by
// one lookup.
#include "platform/x11/pixel_kernels.h"

#if defined(__AVX512F__) && defined(__AVX512BW__) && defined(__AVX512VBMI__)

#include "platform/avx512_intrinsics.h"

namespace {

struct Table256 {
    __m512i part[4];
    // Bytes past `size` read as zero; nothing past it is read.
    Table256(const uint8_t* bytes, int size) {
        for (int c = 0; c < 4; ++c) {
            const int left = size - 64 * c;
            const __mmask64 keep = left >= 64  ? ~__mmask64{0}
                                   : left <= 0 ? __mmask64{0}
                                               : (__mmask64{1} << left) - 1;
            part[c] = _mm512_maskz_loadu_epi8(keep, bytes + 64 * c);
        }
    }
    // Each byte of x replaced by the table's byte at that index.
    __m512i operator()(__m512i x) const {
        const __m512i low = _mm512_permutex2var_epi8(part[0], x, part[1]);
        const __m512i high = _mm512_permutex2var_epi8(part[2], x, part[3]);
        return _mm512_mask_blend_epi8(_mm512_movepi8_mask(x), low, high);
    }
};

// The cube index of 16 pixels: each channel byte becomes its level by a
// lookup, and blue, green and red levels weigh 1, n and n * n (the pad byte
// nothing).
struct CubeIndex {
    Table256 levels;
    __m512i weights, ones = _mm512_set1_epi16(1);
    explicit CubeIndex(const RowKernel& k)
        : levels(k.cubeLevelBytes, 256),
          weights(_mm512_set1_epi32(k.levels * k.levels << 16 | k.levels << 8 | 1)) {}
    __m512i operator()(__m512i p) const {
        return _mm512_madd_epi16(_mm512_maddubs_epi16(levels(p), weights), ones);
    }
};

// The luminance of 16 pixels, (77 r + 150 g + 29 b) >> 8. The byte
// multiply-add takes signed weights up to 127, so green's 150 is 75 taken
// twice.
struct GrayIndex {
    __m512i redBlue = _mm512_set1_epi32(77 << 16 | 29), green = _mm512_set1_epi32(75 << 8);
    __m512i ones = _mm512_set1_epi16(1), twos = _mm512_set1_epi16(2);
    explicit GrayIndex(const RowKernel&) {}
    __m512i operator()(__m512i p) const {
        const __m512i rb = _mm512_madd_epi16(_mm512_maddubs_epi16(p, redBlue), ones);
        const __m512i g = _mm512_madd_epi16(_mm512_maddubs_epi16(p, green), twos);
        return _mm512_srli_epi32(_mm512_add_epi32(rb, g), 8);
    }
};

template <class Index>
int TableRows(const RowKernel& k, const uint32_t* src, int count, uint8_t* dst) {
    const Index index(k);
    const Table256 pixels(k.table, k.tableSize);
    // The packs below leave the four vectors' indexes interleaved by 128-bit
    // lane, four at a time: this puts them back in pixel order.
    const __m512i order = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    auto group = [&](__m512i a, __m512i b, __m512i c, __m512i d) {
        const __m512i packed = _mm512_packus_epi16(_mm512_packus_epi32(index(a), index(b)),
                                                   _mm512_packus_epi32(index(c), index(d)));
        return pixels(_mm512_permutexvar_epi32(order, packed));
    };
    // Whole groups with plain loads: masked loads keep the processor from
    // streaming the row in ahead and make a row from memory twice as slow.
    int i = 0;
    for (; i + 64 <= count; i += 64) {
        const uint32_t* p = src + i;
        _mm512_storeu_si512(dst + i, group(_mm512_loadu_si512(p), _mm512_loadu_si512(p + 16),
                                           _mm512_loadu_si512(p + 32), _mm512_loadu_si512(p + 48)));
    }
    if (i < count) {
        // The last pixels through masks: nothing past the row is read or written.
        const int left = count - i;
        auto part = [&](int start) {
            const int m = left - start;
            const __mmask16 keep = m >= 16  ? __mmask16(0xFFFF)
                                   : m <= 0 ? __mmask16(0)
                                            : __mmask16((1u << m) - 1);
            return _mm512_maskz_loadu_epi32(keep, src + i + start);
        };
        _mm512_mask_storeu_epi8(dst + i, (__mmask64{1} << left) - 1,
                                group(part(0), part(16), part(32), part(48)));
    }
    return count;
}

}  // namespace

int ConvertRowAvx512(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst) {
    // Tables of up to 256 pixels; cubes whose weights fit signed bytes.
    if (kernel.tableSize > 256) return ConvertRowAvx2(kernel, src, count, dst);
    if (kernel.kind == RowKernel::Gray8) return TableRows<GrayIndex>(kernel, src, count, dst);
    if (kernel.kind == RowKernel::Cube8 && kernel.cubeLevelBytes != nullptr && kernel.levels >= 1 &&
        kernel.levels * kernel.levels <= 127)
        return TableRows<CubeIndex>(kernel, src, count, dst);
    return ConvertRowAvx2(kernel, src, count, dst);
}

bool HaveAvx512Kernels() {
    return HaveAvx2Kernels() && __builtin_cpu_supports("avx512f") != 0 &&
           __builtin_cpu_supports("avx512bw") != 0 && __builtin_cpu_supports("avx512vbmi") != 0;
}

#else

int ConvertRowAvx512(const RowKernel& kernel, const uint32_t* src, int count, uint8_t* dst) {
    return ConvertRowAvx2(kernel, src, count, dst);
}

bool HaveAvx512Kernels() {
    return false;
}

#endif
