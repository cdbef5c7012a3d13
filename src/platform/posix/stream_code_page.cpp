// Streaming conversion through iconv, with the bytes and characters iconv rejects
// replaced as Windows replaces them, asking iconv no more often than the text needs.
#include "platform/posix/stream_code_page.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "platform/posix/utf8_routes.h"
#include "unicode/utf8_utf16_reference.h"

namespace tessera::platform::posix {
namespace {

constexpr std::size_t kStop = static_cast<std::size_t>(-1);
constexpr std::size_t kLongestPiece = 1 << 14;        // UTF-16 units handed to the encoder at most
constexpr std::size_t kUnwritableOthersLimit = 1024;  // supplementary characters remembered at most
constexpr std::size_t kChunkUnits = 4096;             // UTF-16 units prepared for the encoder at a time
constexpr char16_t kAsciiPrimer = u'a';               // the ASCII character others are compared with

// Room for at least `extra` more elements after `used`.
template <typename Text>
void Reserve(Text& out, std::size_t used, std::size_t extra) {
    if (out.size() - used < extra) out.resize(std::max(out.size() * 2, used + extra));
}

void AppendBytes(std::string& out, std::size_t& used, const char* bytes, std::size_t size) {
    Reserve(out, used, size);
    std::memcpy(&out[used], bytes, size);
    used += size;
}

// Calls the descriptor until it has taken all input (or stopped on bad input); `used`
// counts the elements of `out` written, and `full(out, used)` makes room in `out` when
// fewer than 16 elements are left. With `in` null it writes the return to the initial
// shift state.
template <typename Text, typename Full>
std::size_t Pump(IconvDescriptor& cd, char** in, std::size_t* inLeft, Text& out, std::size_t& used, Full full) {
    constexpr std::size_t kWidth = sizeof out[0];
    for (;;) {
        if (out.size() - used < 16) full(out, used);
        auto* const start = reinterpret_cast<char*>(&out[0]);
        char* outPtr = start + used * kWidth;
        std::size_t outLeft = (out.size() - used) * kWidth;
        const std::size_t r = in ? cd.Convert(in, inLeft, &outPtr, &outLeft) : cd.Flush(&outPtr, &outLeft);
        used = static_cast<std::size_t>(outPtr - start) / kWidth;
        if (r != kStop || errno != E2BIG) return r;
        full(out, used);
    }
}

// The same, growing `out` as needed.
template <typename Text>
std::size_t Pump(IconvDescriptor& cd, char** in, std::size_t* inLeft, Text& out, std::size_t& used) {
    return Pump(cd, in, inLeft, out, used, [](Text& text, std::size_t filled) { Reserve(text, filled, text.size()); });
}

// The character at `at`: a surrogate pair, or any other unit on its own.
unicode::Utf16Sequence CharacterAt(const char16_t* units, std::size_t size, std::size_t at) {
    const char32_t unit = units[at];
    if (unicode::IsHighSurrogate(unit) && at + 1 < size && unicode::IsLowSurrogate(units[at + 1])) {
        return {unicode::CodePointOfPair(unit, units[at + 1]), 2};
    }
    return {unit, 1};
}

// Calls the encoder once on `units` (no unit a surrogate); false when it stops. With
// `units` null it writes the return to the initial shift state.
bool WriteOnce(IconvDescriptor& encoder, const std::u16string* units, std::string& out) {
    std::u16string in = units ? *units : std::u16string();
    char buffer[32];
    char* inPtr = reinterpret_cast<char*>(&in[0]);
    std::size_t inLeft = in.size() * sizeof in[0];
    char* outPtr = buffer;
    std::size_t outLeft = sizeof buffer;
    const std::size_t r =
        units ? encoder.Convert(&inPtr, &inLeft, &outPtr, &outLeft) : encoder.Flush(&outPtr, &outLeft);
    out.assign(buffer, static_cast<std::size_t>(outPtr - buffer));
    return r != kStop;
}

// Resets `encoder`, returns it to the initial shift state, then calls it once on each of
// `texts` (null: a return to the initial shift state), what each writes into `written`
// in turn; false where it stops.
bool WriteFromInitial(IconvDescriptor& encoder, std::initializer_list<const std::u16string*> texts,
                      std::string* written) {
    std::string discarded;
    encoder.Reset();
    WriteOnce(encoder, nullptr, discarded);
    for (const std::u16string* text : texts) {
        if (!WriteOnce(encoder, text, *written++)) return false;
    }
    return true;
}

}  // namespace

StreamCodePage::StreamCodePage(const CodePageCharset& charset)
    : m_charset(charset),
      m_decodeCorrections(DecodeOverridesFor(charset.codePage)),
      m_encodeCorrections(EncodeOverridesFor(charset.codePage)),
      m_decoder(IconvNativeUtf16(), charset.charset),
      m_encoder(charset.encodeCharset ? charset.encodeCharset : charset.charset, IconvNativeUtf16()),
      m_sevenBit(IsSevenBitCode(charset.codePage)),
      m_encodePiece(kLongestPiece) {
    // Where every correction is of one byte, they are looked up by it, else searched for.
    std::fill(std::begin(m_byteCorrections), std::end(m_byteCorrections), -1);
    for (const DecodeOverride& row : m_decodeCorrections) {
        if (std::strlen(row.first) > 1) {
            m_longerCorrections = true;
            continue;
        }
        const auto first = static_cast<unsigned char>(row.first[0]);
        for (unsigned byte = first; byte <= static_cast<unsigned char>(row.last[0]); ++byte) {
            if (m_byteCorrections[byte] < 0) m_byteCorrections[byte] = row.unit + static_cast<int>(byte - first);
        }
    }
    if (m_encoder.valid()) LearnInitialState();
}

void StreamCodePage::LearnInitialState() {
    // Some encoders write something at every return to the initial shift state, even from
    // there (ISO-2022-KR its designation); what counts is that it is the same every time.
    std::string returns[2];
    m_initialKnown = WriteFromInitial(m_encoder, {nullptr, nullptr}, returns) && returns[0] == returns[1];
    m_initialReturn = returns[0];
    if (m_initialKnown) LearnStandalone();
    m_encoder.Reset();
}

void StreamCodePage::LearnStandalone() {
    // An ASCII character is written directly where, from the initial shift state on, it
    // writes the same bytes after itself as after 'a' (and 'a' the same after it), its
    // first write adds what the first 'a' adds, and the return after it writes what the
    // one after 'a' writes, back to where it writes its first bytes again.
    const std::u16string primer(1, kAsciiPrimer);
    std::string a[3];  // 'a', 'a', a return
    if (!WriteFromInitial(m_encoder, {&primer, &primer, nullptr}, a) || a[1].empty() || a[0].size() < a[1].size() ||
        a[0].compare(a[0].size() - a[1].size(), std::string::npos, a[1]) != 0) {
        return;
    }
    m_asciiPrefix = a[0].substr(0, a[0].size() - a[1].size());
    m_asciiReturn = a[2];
    m_asciiStaysInitial = m_initialReturn.empty() && m_asciiPrefix.empty() && m_asciiReturn.empty();
    for (char16_t unit = 0; unit < 0x80; ++unit) {
        const std::u16string text(1, unit);
        std::string alone[4];    // the character, itself again, a return, itself again
        std::string crossed[3];  // 'a', the character, 'a'
        if (!WriteFromInitial(m_encoder, {&text, &text, nullptr, &text}, alone) ||
            !WriteFromInitial(m_encoder, {&primer, &text, &primer}, crossed)) {
            continue;
        }
        const std::string& bytes = alone[1];
        Standalone& standalone = m_standalone[unit];
        if (alone[0] == m_asciiPrefix + bytes && alone[2] == m_asciiReturn && alone[3] == alone[0] &&
            crossed[1] == bytes && crossed[2] == a[1] && !bytes.empty() && bytes.size() <= sizeof standalone.bytes) {
            std::memcpy(standalone.bytes, bytes.data(), bytes.size());
            standalone.length = static_cast<unsigned char>(bytes.size());
        }
    }
}

bool StreamCodePage::IsKnownUnwritable(char32_t codePoint, std::size_t units) const {
    if (codePoint < 0x10000) return units == 1 && m_unwritable[codePoint];
    return !m_unwritableOthers.empty() && m_unwritableOthers.count(codePoint) != 0;
}

void StreamCodePage::LearnUnwritable(char32_t codePoint, std::size_t units) {
    // Whether a character can be written does not depend on what stands around it.
    if (codePoint < 0x10000) {
        if (units == 1) m_unwritable[codePoint] = true;
    } else if (m_unwritableOthers.size() < kUnwritableOthersLimit) {
        m_unwritableOthers.insert(codePoint);
    }
}

void StreamCodePage::ReplaceUnwritable(char32_t codePoint, std::size_t units, std::string& out,
                                       std::size_t& used) const {
    const char* replacement = nullptr;
    for (const EncodeOverride& row : m_encodeCorrections) {
        if (row.codePoint == codePoint) replacement = row.bytes;
    }
    if (replacement != nullptr) {
        AppendBytes(out, used, replacement, std::strlen(replacement));
        return;
    }
    // One default character per UTF-16 unit, as on Windows.
    for (std::size_t i = 0; i < units; ++i) {
        AppendBytes(out, used, m_charset.defaultBytes, std::strlen(m_charset.defaultBytes));
    }
}

std::size_t StreamCodePage::ReplaceInvalid(const unsigned char* in, std::size_t inLeft, std::u16string& out,
                                           std::size_t& used) const {
    Reserve(out, used, 1);
    // NUL is U+0000 in every code page (glibc's UTF-7 rejects it); rows cannot hold it.
    if (in[0] == 0) {
        out[used++] = u'\0';
        return 1;
    }
    if (!m_longerCorrections) {
        const int corrected = m_byteCorrections[in[0]];
        out[used++] = corrected >= 0 ? static_cast<char16_t>(corrected) : m_charset.defaultUnicode;
        return 1;
    }
    const DecodeCorrection correction = FindDecodeCorrection(m_decodeCorrections, in, inLeft);
    out[used++] = correction.length > 0 ? correction.unit : m_charset.defaultUnicode;
    return std::max<std::size_t>(1, correction.length);
}

template <typename Full>
void StreamCodePage::DecodeUnitsInto(const char* data, std::size_t size, std::u16string& out, std::size_t& used,
                                     Full full) {
    m_decoder.Reset();
    char* in = const_cast<char*>(data);  // iconv does not write through it
    std::size_t inLeft = size;
    const auto makeRoom = [&](std::u16string& text, std::size_t& filled) {
        full(text, filled, static_cast<std::size_t>(in - data));
    };
    // Replaces the sequence at `in` that iconv rejected.
    const auto replace = [&] {
        if (out.size() - used < 16) makeRoom(out, used);
        const std::size_t skip = ReplaceInvalid(reinterpret_cast<unsigned char*>(in), inLeft, out, used);
        in += skip;
        inLeft -= skip;
    };
    while (inLeft > 0 && Pump(m_decoder, &in, &inLeft, out, used, makeRoom) == kStop) {
        if (errno == EINVAL) {  // an incomplete sequence ends the input
            if (out.size() - used < 16) makeRoom(out, used);
            out[used++] = m_charset.defaultUnicode;
            break;
        }
        const bool high = static_cast<unsigned char>(*in) >= 0x80;
        replace();
        // In a 7-bit code the bytes 80-FF after a rejected one are rejected as well.
        while (high && m_sevenBit && inLeft > 0 && static_cast<unsigned char>(*in) >= 0x80) replace();
    }
    Pump(m_decoder, nullptr, nullptr, out, used, makeRoom);
}

std::wstring StreamCodePage::Decode(const char* data, std::size_t size) {
    if (!m_decoder.valid()) return {};
    std::u16string units(size + 16, u'\0');
    std::size_t used = 0;
    DecodeUnitsInto(data, size, units, used,
                    [](std::u16string& text, std::size_t filled, std::size_t) { Reserve(text, filled, text.size()); });
    return std::wstring(units.begin(), units.begin() + static_cast<std::ptrdiff_t>(used));
}

std::string StreamCodePage::DecodeToUtf8(const char* data, std::size_t size) {
    if (!m_decoder.valid()) return {};
    // Decoded a window of units at a time, each written out as UTF-8 (a high surrogate at
    // the end of a window waits for the next), into a result reserved from the first.
    std::u16string window(std::min(size, kChunkUnits) + 16, u'\0');
    std::size_t used = 0;
    std::string result;
    const auto writeOut = [&](std::size_t take, std::size_t consumed) {
        std::string utf8 = UnitsToUtf8(window.data(), take);
        if (result.empty() && consumed == size) {
            result = std::move(utf8);
        } else {
            if (result.empty() && consumed > 0) {
                const double perByte = static_cast<double>(utf8.size()) / static_cast<double>(consumed);
                const auto expected = static_cast<std::size_t>(perByte * static_cast<double>(size));
                result.reserve(expected + expected / 32 + 16);
            }
            result += utf8;
        }
        std::copy(window.begin() + static_cast<std::ptrdiff_t>(take),
                  window.begin() + static_cast<std::ptrdiff_t>(used), window.begin());
        used -= take;
    };
    DecodeUnitsInto(data, size, window, used, [&](std::u16string&, std::size_t& filled, std::size_t consumed) {
        const bool waits = filled > 0 && unicode::IsHighSurrogate(window[filled - 1]);
        writeOut(filled - (waits ? 1 : 0), consumed);
    });
    writeOut(used, size);
    FitToSize(result, result.size());
    return result;
}

std::string StreamCodePage::Encode(const wchar_t* data, std::size_t size) {
    if (!m_encoder.valid()) return {};
    m_encoder.Reset();
    Writing writing;
    writing.out.assign(2 * size + 16, '\0');
    char16_t chunk[kChunkUnits];
    for (std::size_t at = 0; at < size;) {
        std::size_t count = std::min(size - at, kChunkUnits);
        for (std::size_t i = 0; i < count; ++i) chunk[i] = static_cast<char16_t>(data[at + i] & 0xFFFF);
        // A surrogate pair stays in one chunk.
        if (at + count < size && count > 1 && unicode::IsHighSurrogate(chunk[count - 1])) --count;
        EncodeChunk(chunk, count, writing);
        at += count;
    }
    return Finish(writing);
}

std::string StreamCodePage::EncodeUtf8(const char* data, std::size_t size) {
    if (!m_encoder.valid()) return {};
    m_encoder.Reset();
    Writing writing;
    writing.out.assign(size + 16, '\0');
    char16_t chunk[kChunkUnits];
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* const end = p + size;
    while (p != end) {
        std::size_t count = 0;
        while (p != end && count + 2 <= kChunkUnits) {
            if (*p < 0x80) {
                chunk[count++] = *p++;
                continue;
            }
            const Utf8Character character = ReadUtf8Character(p, end);
            chunk[count++] = character.units[0];
            if (character.unitCount == 2) chunk[count++] = character.units[1];
            p += character.length;
        }
        EncodeChunk(chunk, count, writing);
    }
    return Finish(writing);
}

void StreamCodePage::EncodeChunk(const char16_t* units, std::size_t size, Writing& writing) {
    // iconv reads the units as they are stored; it does not write through its input.
    char* const source = const_cast<char*>(reinterpret_cast<const char*>(units));
    // Replacements are written in the initial state.
    const auto replace = [&](const unicode::Utf16Sequence& character) {
        ReturnToInitialState(writing);
        ReplaceUnwritable(character.codePoint, character.length, writing.out, writing.used);
    };
    writing.asciiFrom = kNoUnit;  // the units of an earlier chunk are gone
    for (std::size_t at = 0; at < size;) {
        const unicode::Utf16Sequence character = CharacterAt(units, size, at);
        if (IsKnownUnwritable(character.codePoint, character.length)) {
            replace(character);
            at += character.length;
            continue;
        }
        if (writing.shift != Shift::kUnknown && character.codePoint < 0x80 &&
            m_standalone[character.codePoint].length > 0) {
            WriteStandalone(static_cast<char16_t>(character.codePoint), at, writing);
            ++at;
            continue;
        }
        if (writing.shift == Shift::kAscii) at = CatchUpWithAscii(at, writing);
        // A piece up to the next character known to be unwritable.
        std::size_t pieceEnd = at + CharacterAt(units, size, at).length;
        while (pieceEnd < size && pieceEnd - at < m_encodePiece) {
            const unicode::Utf16Sequence next = CharacterAt(units, size, pieceEnd);
            if (IsKnownUnwritable(next.codePoint, next.length)) break;
            pieceEnd += next.length;
        }
        char* in = source + 2 * at;
        std::size_t inLeft = 2 * (pieceEnd - at);
        const std::size_t r = Pump(m_encoder, &in, &inLeft, writing.out, writing.used);
        writing.shift = Shift::kUnknown;
        at = static_cast<std::size_t>(in - source) / 2;
        if (r != kStop) {
            m_encodePiece = std::min(m_encodePiece * 2, kLongestPiece);
            continue;
        }
        // iconv stopped at a character it cannot write (or an unpaired surrogate).
        const unicode::Utf16Sequence stopped = CharacterAt(units, size, at);
        LearnUnwritable(stopped.codePoint, stopped.length);
        replace(stopped);
        at += stopped.length;
        m_encodePiece = 1;
    }
}

void StreamCodePage::ReturnToInitialState(Writing& writing) {
    switch (writing.shift) {
        case Shift::kUnknown:
            Pump(m_encoder, nullptr, nullptr, writing.out, writing.used);
            break;
        case Shift::kInitial:
            AppendBytes(writing.out, writing.used, m_initialReturn.data(), m_initialReturn.size());
            break;
        case Shift::kAscii:
            // The encoder itself is still where it was before those characters.
            AppendBytes(writing.out, writing.used, m_asciiReturn.data(), m_asciiReturn.size());
            break;
    }
    writing.shift = m_initialKnown ? Shift::kInitial : Shift::kUnknown;
}

void StreamCodePage::WriteStandalone(char16_t unit, std::size_t at, Writing& writing) const {
    if (writing.shift == Shift::kInitial && !m_asciiStaysInitial) {
        writing.asciiFrom = at;
        writing.usedBeforeAscii = writing.used;
        AppendBytes(writing.out, writing.used, m_asciiPrefix.data(), m_asciiPrefix.size());
        writing.shift = Shift::kAscii;
    }
    const Standalone& standalone = m_standalone[unit];
    AppendBytes(writing.out, writing.used, standalone.bytes, standalone.length);
}

std::size_t StreamCodePage::CatchUpWithAscii(std::size_t at, Writing& writing) {
    writing.shift = Shift::kInitial;
    if (writing.asciiFrom != kNoUnit) {
        writing.used = writing.usedBeforeAscii;
        return writing.asciiFrom;
    }
    // Every ASCII character written directly leaves the encoder where 'a' does.
    const std::u16string primer(1, kAsciiPrimer);
    std::string discarded;
    WriteOnce(m_encoder, &primer, discarded);
    return at;
}

std::string StreamCodePage::Finish(Writing& writing) {
    ReturnToInitialState(writing);
    FitToSize(writing.out, writing.used);
    return std::move(writing.out);
}

}  // namespace tessera::platform::posix
