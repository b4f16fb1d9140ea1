#include "catalogue/text_lines.h"

namespace qn {

TextLines::TextLines(std::string_view content) : text_(content) {
    // Everything from the first Ctrl-Z on is past the end of the file.
    size_t eof = text_.find('\x1a');
    if (eof != std::string_view::npos) text_ = text_.substr(0, eof);
}

bool TextLines::next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    // A plain scan: find_first_of looks each byte up in the set of ends.
    size_t end = pos_;
    while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
    if (end == text_.size()) {
        line = text_.substr(pos_);
        pos_ = text_.size();
        return true;
    }
    line = text_.substr(pos_, end - pos_);
    pos_ = end + 1;
    if (text_[end] == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    return true;
}

}  // namespace qn
