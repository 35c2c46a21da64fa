#pragma once
// The JSON writer of orvik-run (and of the grader's per-test records): the
// run record as one object, through nlohmann-json. Texts are the boxes' bytes
// read as Latin-1, as the window shows them, so every text is valid UTF-8.
//
//   {"run": "ended", "traces": 5, "errors": 0, "message": "",
//    "fault": {"position": "1", "source": {"file": ..., "line": 23, "text": ...}},
//    "boxes": {"MAR": "1FF", ..., "txtStdOut": "End of run."},
//    "changedLines": [{"line": "7FC", "text": "7FC\t2A"}],
//    "trace": [{"step": 1, "position": "1", ...}],            (with --trace)
//    "differences": [{"name": ..., "expected": ..., "got": ...}], "grade": "pass"}   (with --expect)

#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "cli/run_report.h"

namespace orvik::cli {

// Latin-1 bytes as UTF-8.
std::string utf8FromLatin1(std::string_view text);

nlohmann::json sourceJson(const SourceLine& source);
nlohmann::json recordJson(const RunRecord& record);
nlohmann::json traceJson(const TraceRecord& record);
nlohmann::json differencesJson(const std::vector<Difference>& differences);

} // namespace orvik::cli
