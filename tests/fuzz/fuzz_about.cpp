// The About box: abouttxt.dat as the message, then drags, releases and
// hovers over the box. Input: a count byte, four bytes per pointer event,
// and the file's content (no file at all when the count's top bit is set).
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

constexpr int kBarWidth = 361;

struct Pointer {
    int x;
    std::uint8_t what;
};

void checkField(const TForm4& a) {
    const std::string& text = a.aboutText();
    const int p = a.ProgressBar1.position();
    QN_CHECK(p == a.ProgressBar2.position(), "the bars differ");
    QN_CHECK(a.ProgressBar1.maximum() == static_cast<int>(text.size()) &&
                 a.ProgressBar2.maximum() == static_cast<int>(text.size()),
             "range " + std::to_string(a.ProgressBar1.maximum()));
    QN_CHECK(p >= 0 && p <= static_cast<int>(text.size()), std::to_string(p));
    // The field shows the message from the bar's character on, and a short
    // rest is filled to 256 characters by "<" and dashes.
    const std::string& field = a.Edit1.text();
    const std::string rest = text.substr(static_cast<size_t>(p));
    QN_CHECK(field.compare(0, rest.size(), rest) == 0, shown(field));
    if (rest.size() < 255) {
        QN_CHECK(field.size() == 256 && field[rest.size()] == '<' &&
                     field.find_first_not_of('-', rest.size() + 1) == std::string::npos,
                 shown(field));
    } else {
        QN_CHECK(field.size() == rest.size(), shown(field));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const bool noFile = data[0] & 0x80;
    const bool single = data[0] & 0x40;
    size_t events = data[0] & 0x0f;
    size_t at = 1;
    std::vector<Pointer> pointer;
    while (events-- > 0 && at + 4 <= size) {
        // A signed 16-bit x reaches well past both ends of a bar.
        const auto x = static_cast<std::int16_t>(data[at] | data[at + 1] << 8);
        pointer.push_back({x, data[at + 2]});
        at += 4;
    }
    at = std::min(at, size);
    const std::string content(reinterpret_cast<const char*>(data) + at, size - at);

    Launcher l;
    l.installSettings();
    l.writeProgramFiles("#Alpha Blaster|alpha\r\n", "alpha\\a.bin\r\n");
    if (single) l.setSetting("Interface", "Cool");
    if (!noFile) l.os.writeFile(kProgramDir + "abouttxt.dat", content);
    QN_CHECK(!l.start(), "the start ended the process");
    QN_CHECK(!l.showMain(), "the showing ended the process");
    l.app->Form1->SpeedButton7.click();
    TForm4& a = *l.app->Form4;
    QN_CHECK(a.showing(), "the box did not open");
    QN_CHECK(!l.app->Form1->enabled(), "the main window stayed enabled");

    const std::string& text = a.aboutText();
    if (noFile) {
        QN_CHECK(text == "<" + std::string(253, '-') + ">", shown(text));
    } else {
        // The first line: up to the first CR or Ctrl-Z; a line feed is text.
        QN_CHECK(content.compare(0, text.size(), text) == 0, shown(text));
        QN_CHECK(text.find_first_of(std::string_view("\r\x1a", 2)) == std::string::npos, shown(text));
        QN_CHECK(text.size() == content.size() ||
                     content[text.size()] == '\r' || content[text.size()] == '\x1a',
                 shown(text));
    }
    QN_CHECK(a.ProgressBar1.position() == 0 && a.Edit1.text() == text, shown(a.Edit1.text()));

    for (const Pointer& p : pointer) {
        ui::MouseEvent e;
        e.x = p.x;
        e.leftHeld = p.what & 1;
        e.rightHeld = p.what & 2;
        e.button = static_cast<ui::MouseEvent::Button>((p.what >> 2) % 4);
        ui::ProgressBar& bar = p.what & 0x10 ? a.ProgressBar2 : a.ProgressBar1;
        const int before = a.ProgressBar1.position();
        switch ((p.what >> 5) % 4) {
        case 0: bar.mouseMove(e); break;
        case 1: bar.mouseUp(e); break;
        case 2: a.SpeedButton1.mouseMove(e); break;
        default: a.Image1.mouseMove(e); break;
        }
        const bool drags = (p.what >> 5) % 4 == 0 ? e.leftHeld
                           : (p.what >> 5) % 4 == 1 ? e.leftHeld && e.button != ui::MouseEvent::Left
                                                     : false;
        if (!drags) {
            QN_CHECK(a.ProgressBar1.position() == before, "moved without a drag");
            continue;
        }
        checkField(a);
        // Inside the bar the position grows with x; the ends are 0 and the maximum.
        const int max = a.ProgressBar1.maximum();
        if (p.x < 0) QN_CHECK(a.ProgressBar1.position() == 0, std::to_string(p.x));
        if (p.x >= kBarWidth) QN_CHECK(a.ProgressBar1.position() == max, std::to_string(p.x));
    }
    a.SpeedButton1.click();
    QN_CHECK(!a.showing() && l.app->Form1->enabled(), "closing the box");
    return 0;
}
