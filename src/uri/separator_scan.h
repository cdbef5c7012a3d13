// The parser's searches for separators, each one pass over the text: the query and
// fragment marks of the whole text, the end of the scheme, and the separators of the part
// after "//". With SSE2 they look at 16 bytes a step; the scalar versions are the
// reference and serve elsewhere.
#ifndef TESSERA_URI_SEPARATOR_SCAN_H
#define TESSERA_URI_SEPARATOR_SCAN_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "unicode/sse2_support.h"

namespace tessera::uri {

/// Where the query and the fragment of a URI text begin: `hash` is the last '#' (the text's
/// size if none) and `question` the first '?' before it (`hash` if none).
struct QueryAndFragmentMarks {
    std::size_t question;
    std::size_t hash;
};

/// The separators of the part after "//" in [from, end): `slash` is the first '/' (end if
/// none); before it, `at` is the first '@', and `firstColon` and `secondColon` the first two
/// ':' after that '@' (or from the start without one); each is `end` if absent. `upper`
/// tells whether an 'A'-'Z' comes before `slash`.
struct HostPartSeparators {
    std::size_t slash;
    std::size_t at;
    std::size_t firstColon;
    std::size_t secondColon;
    bool upper;
};

/// Where the scheme of a URI text ends: `colon` is the first ':' if no '/' comes before it
/// (npos otherwise). Of the bytes before the first ':' or '/', `upper` tells whether one is
/// 'A'-'Z', and `letters` whether all are ASCII letters.
struct SchemeEnd {
    std::size_t colon;
    bool upper;
    bool letters;
};

/// The marks of a whole URI text: its query and fragment, the end of the scheme in the text
/// before them, and whether that text may hold a '\\' (false only when it surely does not).
struct TextMarks {
    QueryAndFragmentMarks queryAndFragment;
    SchemeEnd scheme;
    bool mayHoldBackslash;
};

inline SchemeEnd FindSchemeEndReference(const char* d, std::size_t n) {
    SchemeEnd found{static_cast<std::size_t>(-1), false, true};
    for (std::size_t i = 0; i < n && d[i] != '/'; ++i) {
        if (d[i] == ':') {
            found.colon = i;
            break;
        }
        found.upper = found.upper || static_cast<unsigned char>(d[i] - 'A') < 26u;
        found.letters = found.letters && static_cast<unsigned char>((d[i] | 0x20) - 'a') < 26u;
    }
    return found;
}

inline QueryAndFragmentMarks FindQueryAndFragmentReference(const char* d, std::size_t n) {
    QueryAndFragmentMarks marks{n, n};
    for (std::size_t i = 0; i < n; ++i) {
        if (d[i] == '#') marks.hash = i;
        if (d[i] == '?' && marks.question == n) marks.question = i;
    }
    if (marks.question > marks.hash) marks.question = marks.hash;
    return marks;
}

inline HostPartSeparators ScanHostPartReference(const char* d, std::size_t from, std::size_t end) {
    HostPartSeparators found{end, end, end, end, false};
    for (std::size_t i = from; i < end; ++i) {
        const char c = d[i];
        if (c == '/') {
            found.slash = i;
            break;
        }
        found.upper = found.upper || static_cast<unsigned char>(c - 'A') < 26u;
        if (c == '@' && found.at == end) {
            found.at = i;
            found.firstColon = found.secondColon = end;
        } else if (c == ':') {
            if (found.firstColon == end) {
                found.firstColon = i;
            } else if (found.secondColon == end) {
                found.secondColon = i;
            }
        }
    }
    return found;
}

#if TESSERA_SSE2

namespace detail {

// Positions of the lowest and the highest set bit of a mask that is not 0.
#if defined(__GNUC__)
inline unsigned LowestBit(unsigned mask) { return static_cast<unsigned>(__builtin_ctz(mask)); }
inline unsigned HighestBit(unsigned mask) { return 31u - static_cast<unsigned>(__builtin_clz(mask)); }
#else
inline unsigned LowestBit(unsigned mask) {
    unsigned bit = 0;
    while ((mask & 1u) == 0) mask >>= 1, ++bit;
    return bit;
}
inline unsigned HighestBit(unsigned mask) {
    unsigned bit = 0;
    while (mask >>= 1) ++bit;
    return bit;
}
#endif

// The block of 16 bytes that holds byte i of the n bytes at d (n at least 16), and a mask
// of its bytes from i on. Near the end the block is the last 16 bytes, and `i` moves back
// to its start: nothing is read past the text, nor copied to be read again.
inline __m128i LoadBlock(const char* d, std::size_t& i, std::size_t n, unsigned& valid) {
    if (n - i >= 16) {
        valid = 0xFFFF;
    } else {
        const std::size_t start = n - 16;
        valid = 0xFFFFu & ~((1u << (i - start)) - 1);
        i = start;
    }
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
}

// The block of 16 bytes that ends where `size` bytes at `end - size` end, and a mask of
// those bytes (the last size of the block, size at most 16). The caller knows the 16 bytes
// before `end` are readable (they lie in one buffer).
inline __m128i LoadEndingBlock(const char* end, std::size_t size, unsigned& valid) {
    valid = 0xFFFFu & ~((1u << (16 - size)) - 1);
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(end - 16));
}

inline unsigned BytesEqual(__m128i block, char c) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, _mm_set1_epi8(c))));
}

// The bytes of a block that are 'A'-'Z': those that, moved down by 'A' - 128, fall below
// 26 - 128.
inline unsigned UpperLetters(__m128i block) {
    const __m128i shifted = _mm_add_epi8(block, _mm_set1_epi8(static_cast<char>(128 - 'A')));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(shifted, _mm_set1_epi8(26 - 128))));
}

// The end of the scheme in a block, from the ':' (colons) and the ':' and '/' (stops) among
// its bytes `searched`: the first stop if it is a ':', and, of the searched bytes before the
// first stop (all of them when there is none), whether one is 'A'-'Z' and whether all are
// ASCII letters.
inline SchemeEnd SchemeEndInBlock(__m128i block, unsigned colons, unsigned stops, unsigned searched) {
    const unsigned firstStop = stops & (0u - stops);
    const unsigned before = stops == 0 ? searched : firstStop - 1;
    const unsigned letters = UpperLetters(_mm_and_si128(block, _mm_set1_epi8(static_cast<char>(0xDF))));
    return SchemeEnd{(colons & firstStop) != 0 ? LowestBit(stops) : static_cast<std::size_t>(-1),
                     (UpperLetters(block) & before) != 0, (letters & before) == before};
}

}  // namespace detail

/// The end of the scheme among the n bytes at d: a scheme is short, so the first 16 bytes
/// mostly hold it.
inline SchemeEnd FindSchemeEnd(const char* d, std::size_t n) {
    if (n < 16) return FindSchemeEndReference(d, n);
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const unsigned colons = detail::BytesEqual(block, ':'), stops = colons | detail::BytesEqual(block, '/');
    if (stops == 0) return FindSchemeEndReference(d, n);
    return detail::SchemeEndInBlock(block, colons, stops, 0xFFFF);
}

/// The query and fragment marks of the n bytes at d.
inline QueryAndFragmentMarks FindQueryAndFragment(const char* d, std::size_t n) {
    if (n < 16) return FindQueryAndFragmentReference(d, n);
    QueryAndFragmentMarks marks{n, n};
    for (std::size_t i = 0; i < n; i += 16) {
        unsigned valid;
        const __m128i block = detail::LoadBlock(d, i, n, valid);
        const unsigned hashes = detail::BytesEqual(block, '#') & valid;
        const unsigned questions = detail::BytesEqual(block, '?') & valid;
        if (hashes != 0) marks.hash = i + detail::HighestBit(hashes);
        if (questions != 0 && marks.question == n) marks.question = i + detail::LowestBit(questions);
    }
    if (marks.question > marks.hash) marks.question = marks.hash;
    return marks;
}

/// The separators of the part after "//" in [from, end) of d (which may be read from d on).
inline HostPartSeparators ScanHostPart(const char* d, std::size_t from, std::size_t end) {
    if (end < 16) return ScanHostPartReference(d, from, end);
    HostPartSeparators found{end, end, end, end, false};
    for (std::size_t i = from; i < end; i += 16) {
        unsigned valid;
        const __m128i block = detail::LoadBlock(d, i, end, valid);
        const unsigned slashes = detail::BytesEqual(block, '/') & valid;
        if (slashes != 0) valid &= (slashes & (0u - slashes)) - 1;  // the bytes before the first '/'
        found.upper = found.upper || (detail::UpperLetters(block) & valid) != 0;
        unsigned colons = detail::BytesEqual(block, ':') & valid;
        const unsigned ats = detail::BytesEqual(block, '@') & valid;
        if (ats != 0 && found.at == end) {
            const unsigned first = detail::LowestBit(ats);
            found.at = i + first;
            found.firstColon = found.secondColon = end;
            colons &= ~((2u << first) - 1);  // only the ':' after the '@' count
        }
        for (; colons != 0 && found.secondColon == end; colons &= colons - 1) {
            (found.firstColon == end ? found.firstColon : found.secondColon) = i + detail::LowestBit(colons);
        }
        if (slashes != 0) {
            found.slash = i + detail::LowestBit(slashes);
            break;
        }
    }
    return found;
}

/// The marks of a text of n bytes (fewer than 16) at d, from which 16 bytes may be read: one
/// block for all of them, with the bytes past the text masked out.
inline TextMarks FindShortTextMarks(const char* d, std::size_t n) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const unsigned valid = (1u << n) - 1;
    const unsigned hashes = detail::BytesEqual(block, '#') & valid;
    const unsigned questions = detail::BytesEqual(block, '?') & valid;
    QueryAndFragmentMarks marks{n, n};
    if (hashes != 0) marks.hash = detail::HighestBit(hashes);
    if (questions != 0) marks.question = detail::LowestBit(questions);
    if (marks.question > marks.hash) marks.question = marks.hash;

    const unsigned rest = (1u << marks.question) - 1;  // the bytes before the query
    const unsigned colons = detail::BytesEqual(block, ':') & rest;
    const unsigned stops = colons | (detail::BytesEqual(block, '/') & rest);
    return TextMarks{marks, detail::SchemeEndInBlock(block, colons, stops, rest),
                     (detail::BytesEqual(block, '\\') & rest) != 0};
}

/// Whether `text`, which lies in a buffer beginning at `readableFrom`, holds byte c. A text
/// of up to 16 bytes with 16 bytes of the buffer before its end is one block, with no call.
inline bool ContainsByteIn(std::string_view text, const char* readableFrom, char c) {
    if (text.empty()) return false;
    const char* const end = text.data() + text.size();
    if (text.size() > 16 || end - readableFrom < 16) return std::memchr(text.data(), c, text.size()) != nullptr;
    unsigned valid;
    const __m128i block = detail::LoadEndingBlock(end, text.size(), valid);
    return (detail::BytesEqual(block, c) & valid) != 0;
}

#else

inline SchemeEnd FindSchemeEnd(const char* d, std::size_t n) { return FindSchemeEndReference(d, n); }

inline QueryAndFragmentMarks FindQueryAndFragment(const char* d, std::size_t n) {
    return FindQueryAndFragmentReference(d, n);
}

inline HostPartSeparators ScanHostPart(const char* d, std::size_t from, std::size_t end) {
    return ScanHostPartReference(d, from, end);
}

inline bool ContainsByteIn(std::string_view text, const char*, char c) {
    return !text.empty() && std::memchr(text.data(), c, text.size()) != nullptr;
}

#endif

/// The marks of the n bytes at d, of which `readable` (at least n) may be read: a short
/// text in a longer buffer is one block, which also tells whether a '\\' comes before the
/// query; a longer one is scanned for the query and the scheme alone.
inline TextMarks FindTextMarks(const char* d, std::size_t n, std::size_t readable) {
#if TESSERA_SSE2
    if (n < 16 && readable >= 16) return FindShortTextMarks(d, n);
#else
    static_cast<void>(readable);
#endif
    const QueryAndFragmentMarks marks = FindQueryAndFragment(d, n);
    return TextMarks{marks, FindSchemeEnd(d, marks.question), true};
}

}  // namespace tessera::uri

#endif  // TESSERA_URI_SEPARATOR_SCAN_H
