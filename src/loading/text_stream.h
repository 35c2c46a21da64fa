#pragma once
// An open text file, read line by line: the reader's side of the window's
// file service. A line ends at CR LF, LF or a bare CR; none of them is part of
// the line, and a break after the last line makes no extra empty line.

#include <string>

namespace orvik {

class TextStream {
public:
    virtual ~TextStream() = default;
    virtual bool atEndOfStream() = 0;
    virtual std::string readLine() = 0;
};

} // namespace orvik
