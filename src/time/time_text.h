// The text forms of a time stamp: W3C date-time and ISO 8601 written from calendar
// fields, RFC 3339 and ISO 8601 read into a tick count.
#ifndef TESSERA_TIME_TIME_TEXT_H
#define TESSERA_TIME_TIME_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "time/calendar.h"

namespace tessera::time {

/// Room enough for any text the writers produce (six numbers of up to 11 characters and
/// their separators).
constexpr std::size_t kStampTextCapacity = 80;

/// Writes "Y-MM-DDThh:mm:ssZ" (the year as "%d", the rest as "%02d"); returns the length.
std::size_t WriteW3DTF(const CalendarFields& fields, char* out);

/// Writes "YYYY-MM-DDThh:mm:ss", or "YYYYMMDDThh:mm:ss" when basic (the year as "%04d");
/// returns the length.
std::size_t WriteISO8601(const CalendarFields& fields, bool basic, char* out);

/// Reads "date T time zone" text, the zone being "Z" or an offset "+hh:mm" / "-hh:mm"
/// (an empty offset is 0), and stores the UTC tick count in ticks. False, with ticks
/// untouched, when the text does not read.
bool ReadRFC3339(const char* text, std::size_t size, std::int64_t& ticks);

/// Reads ISO 8601 text by rewriting it into the RFC 3339 shape: dashes inserted into a
/// basic date, colons into a basic time, and "Z" appended. False, with ticks untouched,
/// when the rewritten text does not read; throws std::out_of_range when the text has
/// fewer than 6 characters and no "-".
bool ReadISO8601(const std::string& text, std::int64_t& ticks);

}  // namespace tessera::time

#endif
