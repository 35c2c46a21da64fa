#include "cli/study_output.h"

#include <filesystem>
#include <system_error>

#include "cli/output_file.h"
#include "study/trace_picture.h"
#include "study/trace_words.h"

namespace orvik::cli {

std::string StudyOutput::pictureName(uint64_t step) {
    std::string number = std::to_string(step);
    if (number.size() < 6)
        number.insert(0, 6 - number.size(), '0');
    return "trace-" + number + ".svg";
}

std::optional<std::string> StudyOutput::prepare() const {
    if (pictureDir_.empty())
        return std::nullopt;
    std::error_code error;
    std::filesystem::create_directories(pictureDir_, error);
    if (!std::filesystem::is_directory(pictureDir_))
        return "cannot make the folder '" + pictureDir_ + "'" + (error ? " (" + error.message() + ")" : "");
    return std::nullopt;
}

std::string StudyOutput::words(const TraceRecord& record) {
    return record.description ? study::traceWords(*record.description, record.step) : std::string();
}

std::optional<std::string> StudyOutput::writePicture(const TraceRecord& record, const frmOrvik& form,
                                                     const std::string& words) const {
    if (pictureDir_.empty() || !record.description)
        return std::nullopt;
    const std::string picture =
        study::tracePicture({*record.description, record.step, study::registerValues(form), words});
    const std::string failed =
        writeWholeFile((std::filesystem::path(pictureDir_) / pictureName(record.step)).string(), picture);
    if (failed.empty())
        return std::nullopt;
    return failed;
}

} // namespace orvik::cli
