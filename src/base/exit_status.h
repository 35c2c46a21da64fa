#pragma once
// The exit statuses every program of the project shares. A program with more
// outcomes (orvik-run's run-time error, step limit) numbers them after these.

namespace orvik {

inline constexpr int kExitSuccess = 0;
// A check or a grade found what it looked for did not hold.
inline constexpr int kExitFailed = 1;
// The command line, or a script, was not understood: nothing was run.
inline constexpr int kExitUsage = 2;

} // namespace orvik
