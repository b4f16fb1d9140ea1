// Line reading shared by the data files: a line ends at CR (an LF right after
// it belongs to the line end) or at a bare LF; byte 26 or the physical end
// ends the file.
#pragma once

#include <string>
#include <string_view>

namespace qn {

class TextLines {
public:
    explicit TextLines(std::string_view content);
    // Reads on in the content as an earlier reader cut it (its text()), from
    // an offset that reader gave: a file read a part at a time is cut once.
    TextLines(std::string_view cutContent, size_t offset) : text_(cutContent), pos_(offset) {}
    // The next line without its line end, or false at the end of the file.
    // Empty lines are returned as empty strings.
    bool next(std::string_view& line);
    std::string_view text() const { return text_; }
    size_t offset() const { return pos_; }

private:
    std::string_view text_;
    size_t pos_ = 0;
};

}  // namespace qn
