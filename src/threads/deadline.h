// Turning the absolute deadline of a timed condition wait into a time-out.
#ifndef TESSERA_THREADS_DEADLINE_H
#define TESSERA_THREADS_DEADLINE_H

#include <tessera/varn_pthread.h>

#include <cstdint>

namespace tessera::threads {

/// Milliseconds from `now` (100-ns ticks since 1601) to `deadline` (seconds and
/// nanoseconds since 1970), rounded to the nearest millisecond; only the low 32 bits of
/// the count are kept, and a count that reads as negative there becomes 0.
std::uint32_t DeadlineToTimeoutMs(const varn_timespec& deadline, std::uint64_t now) noexcept;

}  // namespace tessera::threads

#endif  // TESSERA_THREADS_DEADLINE_H
