// How each code page is converted (its form, iconv charset and default characters), the
// lead bytes of the double-byte code pages, and the code pages of locale codesets. Code
// pages that glibc has no charset for keep a row with nullptr: they are not converted.
// Where a charset only approximates the code page (708 is read as ISO-8859-6), the
// corrections in codepage_overrides.cpp make up the difference.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/codepage.h"
#include "platform/posix/codepage_data.h"

namespace tessera::platform::posix {
namespace {

constexpr CodePageForm SB = CodePageForm::kSingleByte;
constexpr CodePageForm DB = CodePageForm::kDoubleByte;
constexpr CodePageForm ST = CodePageForm::kStream;
constexpr const char* kAsciiQuestion = "?";
constexpr const char* kEbcdicQuestion = "\x6F";

// clang-format off
// code page  form  charset           encode charset   default   default Unicode
constexpr CodePageCharset kCharsets[] = {
    {37,    SB, "IBM037",            nullptr,         kEbcdicQuestion, u'?'},
    {437,   SB, "IBM437",            nullptr,         kAsciiQuestion,  u'?'},
    {500,   SB, "IBM500",            nullptr,         kEbcdicQuestion, u'?'},
    {708,   SB, "ASMO-708",          nullptr,         kAsciiQuestion,  u'?'},
    {720,   SB, "IBM437",            nullptr,         kAsciiQuestion,  u'?'},
    {737,   SB, "CP737",             nullptr,         kAsciiQuestion,  u'?'},
    {775,   SB, "CP775",             nullptr,         kAsciiQuestion,  u'?'},
    {850,   SB, "CP850",             nullptr,         kAsciiQuestion,  u'?'},
    {852,   SB, "CP852",             nullptr,         kAsciiQuestion,  u'?'},
    {855,   SB, "CP855",             nullptr,         kAsciiQuestion,  u'?'},
    {857,   SB, "CP857",             nullptr,         kAsciiQuestion,  u'?'},
    {858,   SB, "CP858",             nullptr,         kAsciiQuestion,  u'?'},
    {860,   SB, "CP860",             nullptr,         kAsciiQuestion,  u'?'},
    {861,   SB, "CP861",             nullptr,         kAsciiQuestion,  u'?'},
    {862,   SB, "CP862",             nullptr,         kAsciiQuestion,  u'?'},
    {863,   SB, "CP863",             nullptr,         kAsciiQuestion,  u'?'},
    {864,   SB, "IBM864",            nullptr,         kAsciiQuestion,  u'?'},
    {865,   SB, "CP865",             nullptr,         kAsciiQuestion,  u'?'},
    {866,   SB, "CP866",             nullptr,         kAsciiQuestion,  u'?'},
    {869,   SB, "CP869",             nullptr,         kAsciiQuestion,  u'?'},
    {870,   SB, "IBM870",            nullptr,         kEbcdicQuestion, u'?'},
    {874,   SB, "CP874",             nullptr,         kAsciiQuestion,  u'?'},
    {875,   SB, "IBM875",            nullptr,         kEbcdicQuestion, u'?'},
    {932,   DB, "CP932",             nullptr,         kAsciiQuestion,  u'\u30FB'},
    {936,   DB, "CP936",             nullptr,         kAsciiQuestion,  u'?'},
    {949,   DB, "CP949",             nullptr,         kAsciiQuestion,  u'?'},
    {950,   DB, "CP950",             nullptr,         kAsciiQuestion,  u'?'},
    {1026,  SB, "IBM1026",           nullptr,         kEbcdicQuestion, u'?'},
    {1047,  SB, "IBM1047",           nullptr,         kEbcdicQuestion, u'?'},
    {1140,  SB, "IBM1140",           nullptr,         kEbcdicQuestion, u'?'},
    {1141,  SB, "IBM1141",           nullptr,         kEbcdicQuestion, u'?'},
    {1142,  SB, "IBM1142",           nullptr,         kEbcdicQuestion, u'?'},
    {1143,  SB, "IBM1143",           nullptr,         kEbcdicQuestion, u'?'},
    {1144,  SB, "IBM1144",           nullptr,         kEbcdicQuestion, u'?'},
    {1145,  SB, "IBM1145",           nullptr,         kEbcdicQuestion, u'?'},
    {1146,  SB, "IBM1146",           nullptr,         kEbcdicQuestion, u'?'},
    {1147,  SB, "IBM1147",           nullptr,         kEbcdicQuestion, u'?'},
    {1148,  SB, "IBM1148",           nullptr,         kEbcdicQuestion, u'?'},
    {1149,  SB, "IBM1149",           nullptr,         kEbcdicQuestion, u'?'},
    // 1200 and 1201 (UTF-16) are not served by the narrow conversions.
    {1250,  SB, "CP1250",            nullptr,         kAsciiQuestion,  u'?'},
    {1251,  SB, "CP1251",            nullptr,         kAsciiQuestion,  u'?'},
    {1252,  SB, "CP1252",            nullptr,         kAsciiQuestion,  u'?'},
    {1253,  SB, "CP1253",            nullptr,         kAsciiQuestion,  u'?'},
    {1254,  SB, "CP1254",            nullptr,         kAsciiQuestion,  u'?'},
    {1255,  SB, "CP1255",            nullptr,         kAsciiQuestion,  u'?'},
    {1256,  SB, "CP1256",            nullptr,         kAsciiQuestion,  u'?'},
    {1257,  SB, "CP1257",            nullptr,         kAsciiQuestion,  u'?'},
    {1258,  SB, "CP1258",            nullptr,         kAsciiQuestion,  u'?'},
    {1361,  DB, "JOHAB",             nullptr,         kAsciiQuestion,  u'?'},
    {10000, SB, "MACINTOSH",         nullptr,         kAsciiQuestion,  u'?'},
    {10001, DB, "SJIS",              nullptr,         kAsciiQuestion,  u'\u30FB'},
    {10002, DB, "BIG5",              nullptr,         kAsciiQuestion,  u'?'},
    {10003, DB, "EUC-KR",            nullptr,         kAsciiQuestion,  u'?'},
    {10004, SB, "MACINTOSH",         nullptr,         kAsciiQuestion,  u'?'},
    {10005, SB, "MACINTOSH",         nullptr,         kAsciiQuestion,  u'?'},
    {10006, SB, "MACINTOSH",         nullptr,         kAsciiQuestion,  u'?'},
    {10007, SB, "MAC-CYRILLIC",      nullptr,         kAsciiQuestion,  u'?'},
    {10008, DB, "EUC-CN",            nullptr,         kAsciiQuestion,  u'?'},
    {10017, SB, "MACUKRAINIAN",      nullptr,         kAsciiQuestion,  u'?'},
    {10029, SB, "MAC-CENTRALEUROPE", nullptr,         kAsciiQuestion,  u'?'},
    {10079, SB, "MAC-IS",            nullptr,         kAsciiQuestion,  u'?'},
    {10081, SB, "MACINTOSH",         nullptr,         kAsciiQuestion,  u'?'},
    {20000, ST, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {20002, ST, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {20105, SB, "ANSI_X3.4-1968",    nullptr,         kAsciiQuestion,  u'?'},
    {20106, SB, "ISO646-DE",         nullptr,         kAsciiQuestion,  u'?'},
    {20107, SB, "ISO646-SE",         nullptr,         kAsciiQuestion,  u'?'},
    {20108, SB, "ISO646-NO",         nullptr,         kAsciiQuestion,  u'?'},
    {20127, SB, "ANSI_X3.4-1968",    nullptr,         kAsciiQuestion,  u'?'},
    {20273, SB, "IBM273",            nullptr,         kEbcdicQuestion, u'?'},
    {20277, SB, "IBM277",            nullptr,         kEbcdicQuestion, u'?'},
    {20278, SB, "IBM278",            nullptr,         kEbcdicQuestion, u'?'},
    {20280, SB, "IBM280",            nullptr,         kEbcdicQuestion, u'?'},
    {20284, SB, "IBM284",            nullptr,         kEbcdicQuestion, u'?'},
    {20285, SB, "IBM285",            nullptr,         kEbcdicQuestion, u'?'},
    {20290, SB, "IBM290",            nullptr,         kEbcdicQuestion, u'?'},
    {20420, SB, "IBM420",            nullptr,         kEbcdicQuestion, u'?'},
    {20423, SB, "IBM423",            nullptr,         kEbcdicQuestion, u'?'},
    {20424, SB, "IBM424",            nullptr,         kEbcdicQuestion, u'?'},
    {20833, SB, nullptr,             nullptr,         kEbcdicQuestion, u'?'},
    {20838, SB, nullptr,             nullptr,         kEbcdicQuestion, u'?'},
    {20866, SB, "KOI8-R",            nullptr,         kAsciiQuestion,  u'?'},
    {20871, SB, "IBM871",            nullptr,         kEbcdicQuestion, u'?'},
    {20880, SB, "IBM880",            nullptr,         kEbcdicQuestion, u'?'},
    {20905, SB, "IBM905",            nullptr,         kEbcdicQuestion, u'?'},
    {21025, SB, "IBM1025",           nullptr,         kEbcdicQuestion, u'?'},
    {21866, SB, "KOI8-U",            nullptr,         kAsciiQuestion,  u'?'},
    {28591, SB, "ISO-8859-1",        nullptr,         kAsciiQuestion,  u'?'},
    {28592, SB, "ISO-8859-2",        nullptr,         kAsciiQuestion,  u'?'},
    {28593, SB, "ISO-8859-3",        nullptr,         kAsciiQuestion,  u'?'},
    {28594, SB, "ISO-8859-4",        nullptr,         kAsciiQuestion,  u'?'},
    {28595, SB, "ISO-8859-5",        nullptr,         kAsciiQuestion,  u'?'},
    {28596, SB, "ISO-8859-6",        nullptr,         kAsciiQuestion,  u'?'},
    {28597, SB, "ISO-8859-7",        nullptr,         kAsciiQuestion,  u'?'},
    {28598, SB, "ISO-8859-8",        nullptr,         kAsciiQuestion,  u'?'},
    {28599, SB, "ISO-8859-9",        nullptr,         kAsciiQuestion,  u'?'},
    {28603, SB, "ISO-8859-13",       nullptr,         kAsciiQuestion,  u'?'},
    {28605, SB, "ISO-8859-15",       nullptr,         kAsciiQuestion,  u'?'},
    {29001, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {38598, SB, "ISO-8859-8",        nullptr,         kAsciiQuestion,  u'?'},
    {50220, ST, "ISO-2022-JP-2",     "ISO-2022-JP",   kAsciiQuestion,  u'\u30FB'},
    {50221, ST, "ISO-2022-JP-2",     "ISO-2022-JP",   kAsciiQuestion,  u'\u30FB'},
    {50222, ST, "ISO-2022-JP-2",     "ISO-2022-JP",   kAsciiQuestion,  u'\u30FB'},
    {50225, ST, "ISO-2022-KR",       nullptr,         kAsciiQuestion,  u'?'},
    {50930, ST, "IBM930",            nullptr,         kEbcdicQuestion, u'?'},
    {50931, ST, nullptr,             nullptr,         kEbcdicQuestion, u'?'},
    {50933, ST, "IBM933",            nullptr,         kEbcdicQuestion, u'?'},
    {50935, ST, "IBM935",            nullptr,         kEbcdicQuestion, u'?'},
    {50937, ST, "IBM937",            nullptr,         kEbcdicQuestion, u'?'},
    {50939, ST, "IBM939",            nullptr,         kEbcdicQuestion, u'?'},
    {51932, ST, "EUC-JP-MS",         nullptr,         kAsciiQuestion,  u'\u30FB'},
    {51936, DB, "EUC-CN",            nullptr,         kAsciiQuestion,  u'?'},
    {51949, DB, "EUC-KR",            nullptr,         kAsciiQuestion,  u'?'},
    {52936, ST, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {54936, ST, "GB18030",           nullptr,         kAsciiQuestion,  u'?'},
    {57002, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57003, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57004, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57005, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57006, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57007, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57008, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57009, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57010, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    {57011, SB, nullptr,             nullptr,         kAsciiQuestion,  u'?'},
    // 65000 (UTF-7) is converted by the library's own code (utf7.h), 65001 (UTF-8) by its
    // UTF-8 conversion (src/unicode/).
};

// code page  lead byte ranges
constexpr LeadBytes kLeadBytes[] = {
    {932,   "\x81\x9F\xE0\xFC"},
    {936,   "\x81\xFE"},
    {949,   "\x81\xFE"},
    {950,   "\x81\xFE"},
    {1361,  "\x84\xD3\xD8\xDE\xE0\xF9"},
    {10001, "\x81\x9F\xE0\xFC"},
    {10002, "\x81\xFC"},
    {10003, "\xA1\xAC\xB0\xC8\xCA\xFD"},
    {10008, "\xA1\xA9\xB0\xF7"},
    {51936, "\xA1\xFE"},
    {51949, "\xA1\xFE"},
};

// Stream code pages of 7-bit codes (ISO-2022): a byte 80-FF is no part of any character.
// Once iconv has rejected one, it rejects the bytes 80-FF right after it too, leaving the
// shift state as the first one left it.
constexpr std::int32_t kSevenBitCodePages[] = {50220, 50221, 50222, 50225};

// The mixed EBCDIC code pages: single bytes, and byte pairs between SO and SI.
constexpr std::int32_t kShiftedEbcdicCodePages[] = {50930, 50931, 50933, 50935, 50937, 50939};

// Codesets of glibc locales. The C and POSIX locales ("ANSI_X3.4-1968") count as UTF-8.
constexpr CodesetCodePage kCodesets[] = {
    {"ANSI_X3.4-1968", kUtf8CodePage}, {"UTF-8", kUtf8CodePage},
    {"ISO-8859-1", 28591},     {"ISO-8859-2", 28592},  {"ISO-8859-3", 28593},
    {"ISO-8859-4", 28594},     {"ISO-8859-5", 28595},  {"ISO-8859-6", 28596},
    {"ISO-8859-7", 28597},     {"ISO-8859-8", 28598},  {"ISO-8859-9", 28599},
    {"ISO-8859-11", 874},      {"ISO-8859-13", 28603}, {"ISO-8859-15", 28605},
    {"KOI8-R", 20866},         {"KOI8-U", 21866},      {"TIS-620", 874},
    {"CP1250", 1250},          {"CP1251", 1251},       {"CP1252", 1252},
    {"CP1255", 1255},          {"CP1256", 1256},
    {"GB2312", 936},           {"GBK", 936},           {"GB18030", 54936},
    {"BIG5", 950},             {"BIG5-HKSCS", 950},
    {"EUC-JP", 51932},         {"SHIFT_JIS", 932},     {"SJIS", 932},
    {"EUC-KR", 51949},
};
// clang-format on

template <typename T, std::size_t N>
constexpr bool SortedByCodePage(const T (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (!(table[i - 1].codePage < table[i].codePage)) return false;
    }
    return true;
}
static_assert(SortedByCodePage(kCharsets), "charset rows are sorted by code page");
static_assert(std::size(kCharsets) <= kMaxCodePageCharsets, "room for every charset row");
static_assert(SortedByCodePage(kLeadBytes), "lead-byte rows are sorted by code page");

template <typename T, std::size_t N>
const T* FindByCodePage(const T (&table)[N], std::int32_t codePage) {
    const T* it = std::lower_bound(std::begin(table), std::end(table), codePage,
                                   [](const T& row, std::int32_t cp) { return row.codePage < cp; });
    return it != std::end(table) && it->codePage == codePage ? it : nullptr;
}

}  // namespace

const CodePageCharset* FindCodePageCharset(std::int32_t codePage) { return FindByCodePage(kCharsets, codePage); }

const LeadBytes* FindLeadBytes(std::int32_t codePage) { return FindByCodePage(kLeadBytes, codePage); }

bool InByteRanges(const char* ranges, unsigned char byte) {
    for (; ranges[0] != '\0' && ranges[1] != '\0'; ranges += 2) {
        if (byte >= static_cast<unsigned char>(ranges[0]) && byte <= static_cast<unsigned char>(ranges[1])) {
            return true;
        }
    }
    return false;
}

bool IsSevenBitCode(std::int32_t codePage) {
    return std::find(std::begin(kSevenBitCodePages), std::end(kSevenBitCodePages), codePage) !=
           std::end(kSevenBitCodePages);
}

bool IsShiftedEbcdic(std::int32_t codePage) {
    return std::find(std::begin(kShiftedEbcdicCodePages), std::end(kShiftedEbcdicCodePages), codePage) !=
           std::end(kShiftedEbcdicCodePages);
}

std::int32_t CodePageForCodeset(const char* codeset) {
    for (const CodesetCodePage& row : kCodesets) {
        if (std::strcmp(row.codeset, codeset) == 0) return row.codePage;
    }
    return kUtf8CodePage;
}

TableRange<CodePageCharset> AllCodePageCharsets() { return {std::begin(kCharsets), std::end(kCharsets)}; }

}  // namespace tessera::platform::posix
