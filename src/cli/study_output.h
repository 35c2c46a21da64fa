#pragma once
// What orvik-run writes about each Trace when asked: the Trace in words on
// standard output (--explain) and a picture of the data path per Trace in a
// folder (--picture DIR), each file written whole or not at all.

#include <optional>
#include <string>

#include "cli/machine_run.h"

namespace orvik::cli {

class StudyOutput {
public:
    // `pictureDir` empty: no pictures.
    StudyOutput(bool explain, std::string pictureDir) : explain_(explain), pictureDir_(std::move(pictureDir)) {}

    bool wanted() const { return explain_ || !pictureDir_.empty(); }
    bool explains() const { return explain_; }
    // Makes the picture folder when it is missing. Returns why it cannot, or nothing.
    std::optional<std::string> prepare() const;
    // The Trace in words; the record carries its description.
    static std::string words(const TraceRecord& record);
    // The picture of the Trace, with `words` as its description; `form` is the
    // window object after the Trace. Returns why it could not be written, or nothing.
    std::optional<std::string> writePicture(const TraceRecord& record, const frmOrvik& form,
                                            const std::string& words) const;

    // The picture's file name for a Trace: trace-000001.svg, and wider past 999999.
    static std::string pictureName(uint64_t step);

private:
    bool explain_;
    std::string pictureDir_;
};

} // namespace orvik::cli
