// The allocation-failure sweep: runs an operation with its first allocation failing,
// then its second, and so on, until it completes without reaching the failing one; and
// then again with every allocation from the n-th on failing, so that code which goes on
// after a failure meets the next one too.
// After each failure it checks that the objects involved are still usable, hold a value
// the case allows (the old one, the final one, or, field by field, a mix of the two),
// and that nothing leaked; the completed run must give the
// result and the state of a run without failures. One run without failures goes first:
// it gives the reference and fills whatever the operation caches on first use.
#ifndef TESSERA_TESTS_ALLOC_ALLOCATION_SWEEP_H
#define TESSERA_TESTS_ALLOC_ALLOCATION_SWEEP_H

#include <cctype>
#include <cstddef>
#include <functional>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <typeinfo>
#include <vector>

#include "allocation_failure.h"

namespace tessera_test {

/// A case's name as a test name: its letters and digits.
inline std::string TestNameOf(const char* name) {
    std::string letters;
    for (const char* p = name; *p != '\0'; ++p) {
        if (std::isalnum(static_cast<unsigned char>(*p))) letters += *p;
    }
    return letters;
}

/// The values of the objects a case works on, one string per field.
using Fields = std::vector<std::string>;

/// What the objects may hold after a failed run.
enum class Keep {
    kWhole,      // their old value or their final value, as a whole
    kFieldwise,  // each field its old or its final value
};

/// One operation to sweep. Objects holds what it works on; make, fields and the copy of
/// Objects run with allocations working, run with one of them failing.
template <typename Objects>
struct SweepCase {
    std::function<Objects()> make;
    std::function<std::string(Objects&)> run;  // returns the operation's result as text
    std::function<Fields(const Objects&)> fields;
    Keep keep;
    /// The result by which the operation reports a failed allocation itself, leaving the
    /// objects as they were, where it does so (varn_pthread_create's -1).
    std::optional<std::string> reportedFailure = std::nullopt;
};

/// What a sweep found.
struct SweepReport {
    std::size_t failurePoints = 0;      // allocations that were made to fail
    std::vector<std::string> problems;  // one line each; empty when all held
};

namespace sweep_detail {

inline std::string Describe(const Fields& fields) {
    std::string text;
    for (const std::string& field : fields) text += (text.empty() ? "{" : ", ") + ('"' + field + '"');
    return text + "}";
}

/// What a run without failures gives: the objects' fields before and after, and the result.
struct Reference {
    Fields before, after;
    std::string result;
};

/// Whether fields may stand after a failed run: see Keep.
inline bool Allowed(const Fields& fields, Keep keep, const Reference& reference) {
    if (fields == reference.before || fields == reference.after) return true;
    if (keep == Keep::kWhole || fields.size() != reference.before.size()) return false;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i] != reference.before[i] && fields[i] != reference.after[i]) return false;
    }
    return true;
}

/// One run with an allocation failing, as seen from outside.
struct Run {
    bool reachedFailure;  // the chosen allocation was made (and failed)
    bool threwBadAlloc;
    std::string otherException;  // the type of any other exception that left the run
    std::string result;
    Fields after;
};

/// What is wrong with a run ("" when nothing).
template <typename Objects>
std::string Judge(const Run& run, const SweepCase<Objects>& c, const Reference& reference) {
    if (!run.otherException.empty()) return "threw " + run.otherException + " in place of std::bad_alloc";
    if (run.reachedFailure && !run.threwBadAlloc && c.reportedFailure && run.result == *c.reportedFailure) {
        return run.after == reference.before ? "" : "reported the failure but left " + Describe(run.after);
    }
    if (!run.threwBadAlloc && (run.result != reference.result || run.after != reference.after)) {
        return std::string(run.reachedFailure ? "completed" : "the run without failures ended") +
               " with another result or state: " + Describe(run.after) + " -> " + run.result;
    }
    if (run.threwBadAlloc && !Allowed(run.after, c.keep, reference)) {
        return "left " + Describe(run.after) + " (before " + Describe(reference.before) + ", after " +
               Describe(reference.after) + ")";
    }
    return "";
}

}  // namespace sweep_detail

/// The longest problem a run reports, in bytes.
constexpr std::size_t kMaxProblem = 2000;

/// One pass of the sweep: see the top of this file.
template <typename Objects>
void SweepMode(const SweepCase<Objects>& c, bool persistent, const sweep_detail::Reference& reference,
               SweepReport& report) {
    for (std::size_t n = 1; report.problems.size() < 3; ++n) {
        // Whatever outlives the objects is allocated before the count is taken.
        std::string problem;
        problem.reserve(kMaxProblem);
        bool reachedFailure = false;
        const long live = LiveAllocations();
        {
            Objects objects = c.make();
            sweep_detail::Run run{};
            FailAllocation(n, persistent);
            try {
                run.result = c.run(objects);
            } catch (const std::bad_alloc&) {
                run.threwBadAlloc = true;
            } catch (const std::exception& e) {
                run.otherException = typeid(e).name();
            }
            run.reachedFailure = reachedFailure = AllocationFailed();
            FailAllocation(0);
            run.after = c.fields(objects);
            problem.assign(sweep_detail::Judge(run, c, reference), 0, kMaxProblem);
            const Objects copy(objects);
            if (problem.empty() && c.fields(copy) != run.after) problem.assign("a copy differs from its source");
        }
        const long leaked = LiveAllocations() - live;
        if (problem.empty() && leaked != 0)
            problem = std::to_string(leaked) + " blocks left after the objects are gone";
        if (!problem.empty())
            report.problems.push_back("allocation " + std::to_string(n) + (persistent ? " and later" : "") +
                                      " failing: " + problem);
        if (!reachedFailure) break;
        if (!persistent) ++report.failurePoints;
    }
}

/// Sweeps c: see the top of this file. Stops after a few problems.
template <typename Objects>
SweepReport SweepAllocationFailures(const SweepCase<Objects>& c) {
    SweepReport report;
    sweep_detail::Reference reference;
    {
        Objects objects = c.make();
        reference.before = c.fields(objects);
        reference.result = c.run(objects);
        reference.after = c.fields(objects);
    }
    for (const bool persistent : {false, true}) SweepMode(c, persistent, reference, report);
    return report;
}

}  // namespace tessera_test

#endif  // TESSERA_TESTS_ALLOC_ALLOCATION_SWEEP_H
