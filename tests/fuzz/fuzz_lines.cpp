// The line reader both data files share, against a splitter of its own:
// CR, CR LF and a bare LF end a line, Ctrl-Z ends the file. The lines
// written back with any of the three line ends read the same.
#include <string>
#include <vector>

#include "catalogue/text_lines.h"
#include "fuzz_check.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

std::vector<std::string_view> readLines(std::string_view content) {
    TextLines lines(content);
    std::vector<std::string_view> out;
    std::string_view line;
    while (lines.next(line)) out.push_back(line);
    return out;
}

// Byte by byte: a line is what was gathered when its end comes; the last
// line needs no end, and no line follows the last end.
std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> out;
    size_t from = 0;
    bool open = false;
    size_t i = 0;
    for (; i < content.size() && content[i] != '\x1a'; ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            out.push_back(content.substr(from, i - from));
            open = false;
            if (c == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
            from = i + 1;
        } else {
            open = true;
        }
    }
    if (open) out.push_back(content.substr(from, i - from));
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string_view> lines = readLines(content);
    QN_CHECK(lines == splitLines(content), "lines of " + shown(content));

    // A bare CR before an empty line's LF would make one line end of the two.
    static const char* const kEnds[] = {"\r\n", "\r", "\n"};
    std::string again;
    again.reserve(content.size() + lines.size() * 2);
    for (size_t i = 0; i < lines.size(); ++i) {
        const char* end = kEnds[(size + i) % 3];
        if (i + 1 < lines.size() && lines[i + 1].empty() && (size + i + 1) % 3 == 2) end = kEnds[0];
        again.append(lines[i]).append(end);
    }
    QN_CHECK(readLines(again) == lines, "written back as " + shown(again));
    return 0;
}
