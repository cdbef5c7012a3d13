// Allocation failure in the text forms of Varn::TimeStamp: a failed read or write leaves
// the stamp and the caller's string each as they were or as a run without failures
// leaves them, and nothing leaks.
#include <gtest/gtest.h>

#include <string>

#include <tessera/TimeStamp.h>

#include "allocation_sweep.h"

namespace tessera_test {
namespace {

using Varn::TimeStamp;

struct StampObjects {
    TimeStamp stamp{131000000001234567};  // 2016-02-11T...
    std::string text = "old";             // short: a writer must allocate to fill it
};

Fields StampFields(const StampObjects& o) { return {std::to_string(o.stamp.ToInt64()), o.text}; }

std::string Flag(bool value) { return value ? "true" : "false"; }

TEST(TimeStampAllocation, TextFormsLeaveOldOrFinalValues) {
    const struct {
        const char* name;
        std::string (*run)(StampObjects&);
    } cases[] = {
        {"ToRFC3339", [](StampObjects& o) { return Flag(o.stamp.ToRFC3339(o.text)); }},
        {"ToISO8601 basic", [](StampObjects& o) { return Flag(o.stamp.ToISO8601(o.text, true)); }},
        {"ToW3DTF", [](StampObjects& o) { return o.stamp.ToW3DTF(); }},
        {"FromRFC3339", [](StampObjects& o) { return Flag(o.stamp.FromRFC3339("2024-02-29T12:34:56.1234567+01:00")); }},
        {"FromISO8601 extended",
         [](StampObjects& o) { return Flag(o.stamp.FromISO8601("2024-02-29T12:34:56.5-05:30")); }},
        {"FromISO8601 basic",
         [](StampObjects& o) { return Flag(o.stamp.FromISO8601("20240229T123456,25Z and some more")); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SweepReport report = SweepAllocationFailures(
            SweepCase<StampObjects>{[] { return StampObjects{}; }, c.run, StampFields, Keep::kWhole});
        EXPECT_GT(report.failurePoints, 0u);  // the readers' only allocation is the text argument's
        for (const std::string& problem : report.problems) ADD_FAILURE() << problem;
    }
}

}  // namespace
}  // namespace tessera_test
