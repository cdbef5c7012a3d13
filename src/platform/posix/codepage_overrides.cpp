// Corrections that make the conversions agree with Windows, found by comparing each code
// page with Windows' conversion calls. Rows of one code page stand together, in code-page
// order. When a conversion is found to differ from Windows, add a row here, not code.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "codepage_data.h"

namespace tessera::platform::posix {
namespace {

// clang-format off
// code page  first   last   Unicode of first
constexpr DecodeOverride kDecodeOverrides[] = {
    {708, "\x80", "\x80", 0x2502}, {708, "\x81", "\x81", 0x2524}, {708, "\x82", "\x82", 0x00E9},
    {708, "\x83", "\x83", 0x00E2}, {708, "\x84", "\x84", 0x2561}, {708, "\x85", "\x85", 0x00E0},
    {708, "\x86", "\x86", 0x2562}, {708, "\x87", "\x87", 0x00E7}, {708, "\x88", "\x89", 0x00EA},
    {708, "\x8A", "\x8A", 0x00E8}, {708, "\x8B", "\x8B", 0x00EF}, {708, "\x8C", "\x8C", 0x00EE},
    {708, "\x8D", "\x8D", 0x2556}, {708, "\x8E", "\x8E", 0x2555}, {708, "\x8F", "\x8F", 0x2563},
    {708, "\x90", "\x90", 0x2551}, {708, "\x91", "\x91", 0x2557}, {708, "\x92", "\x92", 0x255D},
    {708, "\x93", "\x93", 0x00F4}, {708, "\x94", "\x94", 0x255C}, {708, "\x95", "\x95", 0x255B},
    {708, "\x96", "\x96", 0x00FB}, {708, "\x97", "\x97", 0x00F9}, {708, "\x98", "\x98", 0x2510},
    {708, "\x99", "\x99", 0x2514}, {708, "\xA0", "\xA0", 0xF8C1}, {708, "\xA1", "\xA1", 0x2534},
    {708, "\xA2", "\xA2", 0x252C}, {708, "\xA3", "\xA3", 0x251C}, {708, "\xA5", "\xA5", 0x2500},
    {708, "\xA6", "\xA6", 0x253C}, {708, "\xA7", "\xA8", 0x255E}, {708, "\xA9", "\xA9", 0x255A},
    {708, "\xAA", "\xAA", 0x2554}, {708, "\xAB", "\xAB", 0x2569}, {708, "\xAD", "\xAD", 0x2566},
    {708, "\xAE", "\xAE", 0x00AB}, {708, "\xAF", "\xAF", 0x00BB}, {708, "\xB0", "\xB2", 0x2591},
    {708, "\xB3", "\xB3", 0x2560}, {708, "\xB4", "\xB4", 0x2550}, {708, "\xB5", "\xB5", 0x256C},
    {708, "\xB6", "\xB7", 0x2567}, {708, "\xB8", "\xB9", 0x2564}, {708, "\xBA", "\xBA", 0x2559},
    {708, "\xBC", "\xBC", 0x2558}, {708, "\xBD", "\xBE", 0x2552}, {708, "\xC0", "\xC0", 0x256B},
    {708, "\xDB", "\xDB", 0x2588}, {708, "\xDC", "\xDC", 0x2584}, {708, "\xDD", "\xDD", 0x258C},
    {708, "\xDE", "\xDE", 0x2590}, {708, "\xDF", "\xDF", 0x2580}, {708, "\xF3", "\xF8", 0xF8C2},
    {708, "\xF9", "\xF9", 0x256A}, {708, "\xFA", "\xFA", 0x2518}, {708, "\xFB", "\xFB", 0x250C},
    {708, "\xFC", "\xFC", 0x00B5}, {708, "\xFD", "\xFD", 0x00A3}, {708, "\xFE", "\xFE", 0x25A0},
    {708, "\xFF", "\xFF", 0x00A0},
    {857, "\xD5", "\xD5", 0xF8BB}, {857, "\xE7", "\xE7", 0xF8BC}, {857, "\xF2", "\xF2", 0xF8BD},
    {864, "\x25", "\x25", 0x0025}, {864, "\x9B", "\x9C", 0x009B}, {864, "\x9F", "\x9F", 0x009F},
    {864, "\xA6", "\xA7", 0xF8BE}, {864, "\xFF", "\xFF", 0xF8C0},
    {869, "\x80", "\x85", 0x0080}, {869, "\x87", "\x87", 0x0087}, {869, "\x93", "\x94", 0x0093},
    {874, "\x81", "\x84", 0x0081}, {874, "\x86", "\x90", 0x0086}, {874, "\x98", "\x9F", 0x0098},
    {874, "\xDB", "\xDE", 0xF8C1}, {874, "\xFC", "\xFF", 0xF8C5},
    {875, "\x6A", "\x6A", 0x007C}, {875, "\x74", "\x74", 0x00A0}, {875, "\xDC", "\xDC", 0x001A},
    {875, "\xDD", "\xDD", 0x0387}, {875, "\xE1", "\xE1", 0x001A}, {875, "\xEC", "\xEC", 0x001A},
    {875, "\xED", "\xED", 0x001A}, {875, "\xFC", "\xFC", 0x001A}, {875, "\xFD", "\xFD", 0x001A},
    {932, "\x80", "\x80", 0x0080}, {932, "\xA0", "\xA0", 0xF8F0}, {932, "\xFD", "\xFF", 0xF8F1},
    {936, "\xA1\x40", "\xA1\x7E", 0xE4C6}, {936, "\xA1\x80", "\xA1\xA0", 0xE505},
    {936, "\xA2\x40", "\xA2\x7E", 0xE526}, {936, "\xA2\x80", "\xA2\xA0", 0xE565},
    {936, "\xA2\xAB", "\xA2\xB0", 0xE766}, {936, "\xA2\xE3", "\xA2\xE4", 0xE76C},
    {936, "\xA2\xEF", "\xA2\xF0", 0xE76E}, {936, "\xA2\xFD", "\xA2\xFE", 0xE770},
    {936, "\xA3\x40", "\xA3\x7E", 0xE586}, {936, "\xA3\x80", "\xA3\xA0", 0xE5C5},
    {936, "\xA4\x40", "\xA4\x7E", 0xE5E6}, {936, "\xA4\x80", "\xA4\xA0", 0xE625},
    {936, "\xA4\xF4", "\xA4\xFE", 0xE772}, {936, "\xA5\x40", "\xA5\x7E", 0xE646},
    {936, "\xA5\x80", "\xA5\xA0", 0xE685}, {936, "\xA5\xF7", "\xA5\xFE", 0xE77D},
    {936, "\xA6\x40", "\xA6\x7E", 0xE6A6}, {936, "\xA6\x80", "\xA6\xA0", 0xE6E5},
    {936, "\xA6\xB9", "\xA6\xC0", 0xE785}, {936, "\xA6\xD9", "\xA6\xDF", 0xE78D},
    {936, "\xA6\xEC", "\xA6\xED", 0xE794}, {936, "\xA6\xF3", "\xA6\xF3", 0xE796},
    {936, "\xA6\xF6", "\xA6\xFE", 0xE797}, {936, "\xA7\x40", "\xA7\x7E", 0xE706},
    {936, "\xA7\x80", "\xA7\xA0", 0xE745}, {936, "\xA7\xC2", "\xA7\xD0", 0xE7A0},
    {936, "\xA7\xF2", "\xA7\xFE", 0xE7AF}, {936, "\xA8\x96", "\xA8\xA0", 0xE7BC},
    {936, "\xA8\xBC", "\xA8\xBC", 0xE7C7}, {936, "\xA8\xBF", "\xA8\xBF", 0xE7C8},
    {936, "\xA8\xC1", "\xA8\xC4", 0xE7C9}, {936, "\xA8\xEA", "\xA8\xFE", 0xE7CD},
    {936, "\xA9\x58", "\xA9\x58", 0xE7E2}, {936, "\xA9\x5B", "\xA9\x5B", 0xE7E3},
    {936, "\xA9\x5D", "\xA9\x5F", 0xE7E4}, {936, "\xA9\x89", "\xA9\x95", 0xE7E7},
    {936, "\xA9\x97", "\xA9\xA3", 0xE7F4}, {936, "\xA9\xF0", "\xA9\xFE", 0xE801},
    {936, "\xAA\xA1", "\xAA\xFE", 0xE000}, {936, "\xAB\xA1", "\xAB\xFE", 0xE05E},
    {936, "\xAC\xA1", "\xAC\xFE", 0xE0BC}, {936, "\xAD\xA1", "\xAD\xFE", 0xE11A},
    {936, "\xAE\xA1", "\xAE\xFE", 0xE178}, {936, "\xAF\xA1", "\xAF\xFE", 0xE1D6},
    {936, "\xD7\xFA", "\xD7\xFE", 0xE810}, {936, "\xF8\xA1", "\xF8\xFE", 0xE234},
    {936, "\xF9\xA1", "\xF9\xFE", 0xE292}, {936, "\xFA\xA1", "\xFA\xFE", 0xE2F0},
    {936, "\xFB\xA1", "\xFB\xFE", 0xE34E}, {936, "\xFC\xA1", "\xFC\xFE", 0xE3AC},
    {936, "\xFD\xA1", "\xFD\xFE", 0xE40A}, {936, "\xFE\x50", "\xFE\x7E", 0xE815},
    {936, "\xFE\x80", "\xFE\xA0", 0xE844}, {936, "\xFE\xA1", "\xFE\xFE", 0xE468},
    {936, "\xFF", "\xFF", 0xF8F5},
    {949, "\x80", "\x80", 0x0080}, {949, "\xC9\xA1", "\xC9\xFE", 0xE000},
    {949, "\xFE\xA1", "\xFE\xFE", 0xE05E}, {949, "\xFF", "\xFF", 0xF8F7},
    {950, "\x81\x40", "\x81\x7E", 0xEEB8}, {950, "\x81\xA1", "\x81\xFE", 0xEEF7},
    {950, "\x82\x40", "\x82\x7E", 0xEF55}, {950, "\x82\xA1", "\x82\xFE", 0xEF94},
    {950, "\x83\x40", "\x83\x7E", 0xEFF2}, {950, "\x83\xA1", "\x83\xFE", 0xF031},
    {950, "\x84\x40", "\x84\x7E", 0xF08F}, {950, "\x84\xA1", "\x84\xFE", 0xF0CE},
    {950, "\x85\x40", "\x85\x7E", 0xF12C}, {950, "\x85\xA1", "\x85\xFE", 0xF16B},
    {950, "\x86\x40", "\x86\x7E", 0xF1C9}, {950, "\x86\xA1", "\x86\xFE", 0xF208},
    {950, "\x87\x40", "\x87\x7E", 0xF266}, {950, "\x87\xA1", "\x87\xFE", 0xF2A5},
    {950, "\x88\x40", "\x88\x7E", 0xF303}, {950, "\x88\xA1", "\x88\xFE", 0xF342},
    {950, "\x89\x40", "\x89\x7E", 0xF3A0}, {950, "\x89\xA1", "\x89\xFE", 0xF3DF},
    {950, "\x8A\x40", "\x8A\x7E", 0xF43D}, {950, "\x8A\xA1", "\x8A\xFE", 0xF47C},
    {950, "\x8B\x40", "\x8B\x7E", 0xF4DA}, {950, "\x8B\xA1", "\x8B\xFE", 0xF519},
    {950, "\x8C\x40", "\x8C\x7E", 0xF577}, {950, "\x8C\xA1", "\x8C\xFE", 0xF5B6},
    {950, "\x8D\x40", "\x8D\x7E", 0xF614}, {950, "\x8D\xA1", "\x8D\xFE", 0xF653},
    {950, "\x8E\x40", "\x8E\x7E", 0xE311}, {950, "\x8E\xA1", "\x8E\xFE", 0xE350},
    {950, "\x8F\x40", "\x8F\x7E", 0xE3AE}, {950, "\x8F\xA1", "\x8F\xFE", 0xE3ED},
    {950, "\x90\x40", "\x90\x7E", 0xE44B}, {950, "\x90\xA1", "\x90\xFE", 0xE48A},
    {950, "\x91\x40", "\x91\x7E", 0xE4E8}, {950, "\x91\xA1", "\x91\xFE", 0xE527},
    {950, "\x92\x40", "\x92\x7E", 0xE585}, {950, "\x92\xA1", "\x92\xFE", 0xE5C4},
    {950, "\x93\x40", "\x93\x7E", 0xE622}, {950, "\x93\xA1", "\x93\xFE", 0xE661},
    {950, "\x94\x40", "\x94\x7E", 0xE6BF}, {950, "\x94\xA1", "\x94\xFE", 0xE6FE},
    {950, "\x95\x40", "\x95\x7E", 0xE75C}, {950, "\x95\xA1", "\x95\xFE", 0xE79B},
    {950, "\x96\x40", "\x96\x7E", 0xE7F9}, {950, "\x96\xA1", "\x96\xFE", 0xE838},
    {950, "\x97\x40", "\x97\x7E", 0xE896}, {950, "\x97\xA1", "\x97\xFE", 0xE8D5},
    {950, "\x98\x40", "\x98\x7E", 0xE933}, {950, "\x98\xA1", "\x98\xFE", 0xE972},
    {950, "\x99\x40", "\x99\x7E", 0xE9D0}, {950, "\x99\xA1", "\x99\xFE", 0xEA0F},
    {950, "\x9A\x40", "\x9A\x7E", 0xEA6D}, {950, "\x9A\xA1", "\x9A\xFE", 0xEAAC},
    {950, "\x9B\x40", "\x9B\x7E", 0xEB0A}, {950, "\x9B\xA1", "\x9B\xFE", 0xEB49},
    {950, "\x9C\x40", "\x9C\x7E", 0xEBA7}, {950, "\x9C\xA1", "\x9C\xFE", 0xEBE6},
    {950, "\x9D\x40", "\x9D\x7E", 0xEC44}, {950, "\x9D\xA1", "\x9D\xFE", 0xEC83},
    {950, "\x9E\x40", "\x9E\x7E", 0xECE1}, {950, "\x9E\xA1", "\x9E\xFE", 0xED20},
    {950, "\x9F\x40", "\x9F\x7E", 0xED7E}, {950, "\x9F\xA1", "\x9F\xFE", 0xEDBD},
    {950, "\xA0\x40", "\xA0\x7E", 0xEE1B}, {950, "\xA0\xA1", "\xA0\xFE", 0xEE5A},
    {950, "\xFA\x40", "\xFA\x7E", 0xE000}, {950, "\xFA\xA1", "\xFA\xFE", 0xE03F},
    {950, "\xFB\x40", "\xFB\x7E", 0xE09D}, {950, "\xFB\xA1", "\xFB\xFE", 0xE0DC},
    {950, "\xFC\x40", "\xFC\x7E", 0xE13A}, {950, "\xFC\xA1", "\xFC\xFE", 0xE179},
    {950, "\xFD\x40", "\xFD\x7E", 0xE1D7}, {950, "\xFD\xA1", "\xFD\xFE", 0xE216},
    {950, "\xFE\x40", "\xFE\x7E", 0xE274}, {950, "\xFE\xA1", "\xFE\xFE", 0xE2B3},
    {950, "\xFF", "\xFF", 0xF8F8},
    {1026, "\x9D", "\x9D", 0x00B8}, {1026, "\xBC", "\xBC", 0x00AF},
    {1250, "\x81", "\x81", 0x0081}, {1250, "\x83", "\x83", 0x0083}, {1250, "\x88", "\x88", 0x0088},
    {1250, "\x90", "\x90", 0x0090}, {1250, "\x98", "\x98", 0x0098},
    {1251, "\x98", "\x98", 0x0098},
    {1252, "\x81", "\x81", 0x0081}, {1252, "\x8D", "\x8D", 0x008D}, {1252, "\x8F", "\x90", 0x008F},
    {1252, "\x9D", "\x9D", 0x009D},
    {1253, "\x81", "\x81", 0x0081}, {1253, "\x88", "\x88", 0x0088}, {1253, "\x8A", "\x8A", 0x008A},
    {1253, "\x8C", "\x90", 0x008C}, {1253, "\x98", "\x98", 0x0098}, {1253, "\x9A", "\x9A", 0x009A},
    {1253, "\x9C", "\x9F", 0x009C}, {1253, "\xAA", "\xAA", 0xF8F9}, {1253, "\xD2", "\xD2", 0xF8FA},
    {1253, "\xFF", "\xFF", 0xF8FB},
    {1254, "\x81", "\x81", 0x0081}, {1254, "\x8D", "\x90", 0x008D}, {1254, "\x9D", "\x9E", 0x009D},
    {1255, "\x81", "\x81", 0x0081}, {1255, "\x8A", "\x8A", 0x008A}, {1255, "\x8C", "\x90", 0x008C},
    {1255, "\x9A", "\x9A", 0x009A}, {1255, "\x9C", "\x9F", 0x009C}, {1255, "\xCA", "\xCA", 0x05BA},
    {1255, "\xD9", "\xDF", 0xF88D}, {1255, "\xFB", "\xFC", 0xF894}, {1255, "\xFF", "\xFF", 0xF896},
    {1257, "\x81", "\x81", 0x0081}, {1257, "\x83", "\x83", 0x0083}, {1257, "\x88", "\x88", 0x0088},
    {1257, "\x8A", "\x8A", 0x008A}, {1257, "\x8C", "\x8C", 0x008C}, {1257, "\x90", "\x90", 0x0090},
    {1257, "\x98", "\x98", 0x0098}, {1257, "\x9A", "\x9A", 0x009A}, {1257, "\x9C", "\x9C", 0x009C},
    {1257, "\x9F", "\x9F", 0x009F}, {1257, "\xA1", "\xA1", 0xF8FC}, {1257, "\xA5", "\xA5", 0xF8FD},
    {1258, "\x81", "\x81", 0x0081}, {1258, "\x8A", "\x8A", 0x008A}, {1258, "\x8D", "\x90", 0x008D},
    {1258, "\x9A", "\x9A", 0x009A}, {1258, "\x9D", "\x9E", 0x009D},
    {1361, "\x5C", "\x5C", 0x005C}, {1361, "\x80", "\x83", 0x0080},
    {1361, "\x84\x42", "\x84\x51", 0x11A8}, {1361, "\x84\x53", "\x84\x5D", 0x11B8},
    {1361, "\x84\x61", "\x84\x61", 0x1161}, {1361, "\x84\x81", "\x84\x81", 0x1162},
    {1361, "\x84\xA1", "\x84\xA1", 0x1163}, {1361, "\x84\xC1", "\x84\xC1", 0x1164},
    {1361, "\x84\xE1", "\x84\xE1", 0x1165}, {1361, "\x85\x41", "\x85\x41", 0x1166},
    {1361, "\x85\x61", "\x85\x61", 0x1167}, {1361, "\x85\x81", "\x85\x81", 0x1168},
    {1361, "\x85\xA1", "\x85\xA1", 0x1169}, {1361, "\x85\xC1", "\x85\xC1", 0x116A},
    {1361, "\x85\xE1", "\x85\xE1", 0x116B}, {1361, "\x86\x41", "\x86\x41", 0x116C},
    {1361, "\x86\x61", "\x86\x61", 0x116D}, {1361, "\x86\x81", "\x86\x81", 0x116E},
    {1361, "\x86\xA1", "\x86\xA1", 0x116F}, {1361, "\x86\xC1", "\x86\xC1", 0x1170},
    {1361, "\x86\xE1", "\x86\xE1", 0x1171}, {1361, "\x87\x41", "\x87\x41", 0x1172},
    {1361, "\x87\x61", "\x87\x61", 0x1173}, {1361, "\x87\x81", "\x87\x81", 0x1174},
    {1361, "\x87\xA1", "\x87\xA1", 0x1175}, {1361, "\x88\x41", "\x88\x41", 0x1100},
    {1361, "\x8C\x41", "\x8C\x41", 0x1101}, {1361, "\x90\x41", "\x90\x41", 0x1102},
    {1361, "\x94\x41", "\x94\x41", 0x1103}, {1361, "\x98\x41", "\x98\x41", 0x1104},
    {1361, "\x9C\x41", "\x9C\x41", 0x1105}, {1361, "\xA0\x41", "\xA0\x41", 0x1106},
    {1361, "\xA4\x41", "\xA4\x41", 0x1107}, {1361, "\xA8\x41", "\xA8\x41", 0x1108},
    {1361, "\xAC\x41", "\xAC\x41", 0x1109}, {1361, "\xB0\x41", "\xB0\x41", 0x110A},
    {1361, "\xB4\x41", "\xB4\x41", 0x110B}, {1361, "\xB8\x41", "\xB8\x41", 0x110C},
    {1361, "\xBC\x41", "\xBC\x41", 0x110D}, {1361, "\xC0\x41", "\xC0\x41", 0x110E},
    {1361, "\xC4\x41", "\xC4\x41", 0x110F}, {1361, "\xC8\x41", "\xC8\x41", 0x1110},
    {1361, "\xCC\x41", "\xCC\x41", 0x1111}, {1361, "\xD0\x41", "\xD0\x41", 0x1112},
    {1361, "\xD4", "\xD7", 0xF8EC}, {1361, "\xD8\x31", "\xD8\x7E", 0xE000},
    {1361, "\xD8\x91", "\xD8\xFE", 0xE04E}, {1361, "\xD9\xE8", "\xD9\xE8", 0x003F},
    {1361, "\xDA\xD4", "\xDA\xD4", 0x115F}, {1361, "\xDA\xD5", "\xDA\xD6", 0x1114},
    {1361, "\xDA\xD7", "\xDA\xD8", 0x11C7}, {1361, "\xDA\xD9", "\xDA\xD9", 0x11CC},
    {1361, "\xDA\xDA", "\xDA\xDA", 0x11CE}, {1361, "\xDA\xDB", "\xDA\xDB", 0x11D3},
    {1361, "\xDA\xDC", "\xDA\xDC", 0x11D7}, {1361, "\xDA\xDD", "\xDA\xDD", 0x11D9},
    {1361, "\xDA\xDE", "\xDA\xDE", 0x111C}, {1361, "\xDA\xDF", "\xDA\xDF", 0x11DD},
    {1361, "\xDA\xE0", "\xDA\xE0", 0x11DF}, {1361, "\xDA\xE1", "\xDA\xE2", 0x111D},
    {1361, "\xDA\xE3", "\xDA\xE3", 0x1120}, {1361, "\xDA\xE4", "\xDA\xE5", 0x1122},
    {1361, "\xDA\xE6", "\xDA\xE7", 0x1127}, {1361, "\xDA\xE8", "\xDA\xEC", 0x112B},
    {1361, "\xDA\xED", "\xDA\xED", 0x1132}, {1361, "\xDA\xEE", "\xDA\xEE", 0x1136},
    {1361, "\xDA\xEF", "\xDA\xEF", 0x1140}, {1361, "\xDA\xF0", "\xDA\xF0", 0x1147},
    {1361, "\xDA\xF1", "\xDA\xF1", 0x114C}, {1361, "\xDA\xF2", "\xDA\xF3", 0x1145},
    {1361, "\xDA\xF4", "\xDA\xF6", 0x1157}, {1361, "\xDA\xF7", "\xDA\xF8", 0x1184},
    {1361, "\xDA\xF9", "\xDA\xF9", 0x1188}, {1361, "\xDA\xFA", "\xDA\xFB", 0x1191},
    {1361, "\xDA\xFC", "\xDA\xFC", 0x1194}, {1361, "\xDA\xFD", "\xDA\xFD", 0x119E},
    {1361, "\xDA\xFE", "\xDA\xFE", 0x11A1}, {1361, "\xDF", "\xDF", 0xF8F0},
    {1361, "\xFA", "\xFF", 0xF8F1},
    {10000, "\xBD", "\xBD", 0x2126}, {10000, "\xC6", "\xC6", 0x2206},
    {10000, "\xF0", "\xF0", 0xF8FF},
    {10007, "\xA2", "\xA2", 0x00A2}, {10007, "\xB6", "\xB6", 0x2202},
    {10079, "\xA0", "\xA0", 0x00DD}, {10079, "\xBD", "\xBD", 0x2126},
    {10079, "\xC6", "\xC6", 0x2206}, {10079, "\xD0", "\xD1", 0x2013},
    {10079, "\xD7", "\xD7", 0x25CA}, {10079, "\xDC", "\xDC", 0x00D0},
    {10079, "\xDD", "\xDD", 0x00F0}, {10079, "\xE0", "\xE0", 0x00FD},
    {10079, "\xF0", "\xF0", 0xF8FF}, {10079, "\xF6", "\xF6", 0x02C6},
    {10079, "\xF7", "\xF7", 0x02DC},
    {20127, "\x80", "\xFF", 0x0000},
    {21866, "\xAE", "\xAE", 0x045E}, {21866, "\xBE", "\xBE", 0x040E},
    {28593, "\xA5", "\xA5", 0xF7F5}, {28593, "\xAE", "\xAE", 0xF7F6},
    {28593, "\xBE", "\xBE", 0xF7F7}, {28593, "\xC3", "\xC3", 0xF7F8},
    {28593, "\xD0", "\xD0", 0xF7F9}, {28593, "\xE3", "\xE3", 0xF7FA},
    {28593, "\xF0", "\xF0", 0xF7FB},
    {28596, "\xA1", "\xA3", 0xF7C8}, {28596, "\xA5", "\xAB", 0xF7CB},
    {28596, "\xAE", "\xBA", 0xF7D2}, {28596, "\xBC", "\xBE", 0xF7DF},
    {28596, "\xC0", "\xC0", 0xF7E2}, {28596, "\xDB", "\xDF", 0xF7E3},
    {28596, "\xF3", "\xFF", 0xF7E8},
    {28597, "\xA1", "\xA1", 0x02BD}, {28597, "\xA2", "\xA2", 0x02BC},
    {28597, "\xA4", "\xA5", 0xF7C2}, {28597, "\xAA", "\xAA", 0xF7C4},
    {28597, "\xAE", "\xAE", 0xF7C5}, {28597, "\xD2", "\xD2", 0xF7C6},
    {28597, "\xFF", "\xFF", 0xF7C7},
    {28598, "\xA1", "\xA1", 0xF79C}, {28598, "\xAF", "\xAF", 0x203E},
    {28598, "\xBF", "\xDE", 0xF79D}, {28598, "\xFB", "\xFF", 0xF7BD},
    {65000, "\x80", "\xFF", 0x0080},
};

// code page  code point  bytes
constexpr EncodeOverride kEncodeOverrides[] = {
    // Windows-1252 writes Latin letters with diacritics it lacks as the bare letter.
    {1252, U'\u0100', "A"}, {1252, U'\u0101', "a"}, {1252, U'\u0102', "A"}, {1252, U'\u0103', "a"},
    {1252, U'\u0104', "A"}, {1252, U'\u0105', "a"}, {1252, U'\u0106', "C"}, {1252, U'\u0107', "c"},
};
// clang-format on

template <typename T, std::size_t N>
constexpr bool GroupedByCodePage(const T (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (table[i].codePage < table[i - 1].codePage) return false;
    }
    return true;
}
static_assert(GroupedByCodePage(kDecodeOverrides), "decode corrections are in code-page order");
static_assert(GroupedByCodePage(kEncodeOverrides), "encode corrections are in code-page order");

template <typename T, std::size_t N>
TableRange<T> RowsOf(const T (&table)[N], std::int32_t codePage) {
    struct Less {
        bool operator()(const T& row, std::int32_t cp) const { return row.codePage < cp; }
        bool operator()(std::int32_t cp, const T& row) const { return cp < row.codePage; }
    };
    auto [first, last] = std::equal_range(std::begin(table), std::end(table), codePage, Less{});
    return {first, last};
}

}  // namespace

TableRange<DecodeOverride> DecodeOverridesFor(std::int32_t codePage) {
    return RowsOf(kDecodeOverrides, codePage);
}

TableRange<EncodeOverride> EncodeOverridesFor(std::int32_t codePage) {
    return RowsOf(kEncodeOverrides, codePage);
}

DecodeCorrection FindDecodeCorrection(std::int32_t codePage, const unsigned char* p, std::size_t size) {
    for (const DecodeOverride& row : DecodeOverridesFor(codePage)) {
        const std::size_t n = std::strlen(row.first);
        if (n > size || std::memcmp(p, row.first, n - 1) != 0) continue;
        const auto low = static_cast<unsigned char>(row.first[n - 1]);
        const auto high = static_cast<unsigned char>(row.last[n - 1]);
        if (p[n - 1] >= low && p[n - 1] <= high) {
            return {static_cast<char16_t>(row.unit + (p[n - 1] - low)), n};
        }
    }
    return {0, 0};
}

}  // namespace tessera::platform::posix
