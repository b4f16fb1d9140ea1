// Pages left for later: the controls of a hidden page are made one window at
// a time once the form is up, or all at once when the page is shown first.
#include "ui/win32/win32_backend.h"

#include <algorithm>

#include "ui/win32/peers.h"

namespace qn::ui {

bool Win32Backend::leftForLater(const Control& control) const {
    if (control.kind() != Kind::TabSheet) return false;
    const auto* pages = dynamic_cast<const PageControl*>(control.parent());
    if (!pages || std::find(laterPages_.begin(), laterPages_.end(), pages) == laterPages_.end())
        return false;
    const std::vector<Control*> sheets = pages->children();
    const auto at = std::find(sheets.begin(), sheets.end(), &control);
    return at != sheets.end() && at - sheets.begin() != pages->activePage() && &control != making_;
}

bool Win32Backend::buildStep(const Control& page) {
    auto find = [&] {
        return std::find_if(pagesLeft_.begin(), pagesLeft_.end(),
                            [&](const LeftPage& p) { return p.page == &page; });
    };
    auto left = find();
    if (left == pagesLeft_.end()) return false;
    const Step step = left->steps.front();
    left->steps.pop_front();
    // The entry may move from here on: making a window can leave more for later.
    Control& control = *step.control;
    if (step.finish) {
        // All its children made: what a container does then, as at once.
        if (NativePeer* peer = peerOf(windowOf(control))) {
            peer->childrenCreated();
            peer->synchronize();
        }
    } else if (NativePeer* parent = peerOf(windowOf(*control.parent()))) {
        making_ = &page;  // made now, not left for later again
        if (windowChildren(control).empty()) {
            build(control, parent->childParent());
        } else if (makeWindow(control, parent->childParent()) && (left = find()) != pagesLeft_.end()) {
            queueChildren(*left, control);
        }
        making_ = nullptr;
    }
    left = find();
    if (left != pagesLeft_.end() && left->steps.empty()) {
        const HWND form = left->form;
        pagesLeft_.erase(left);
        if (!hasPagesLeft(form)) RemovePropA(form, kPendingProperty);
    }
    return true;
}

void Win32Backend::queueChildren(LeftPage& left, Control& container) {
    // Next its children, then the container completed.
    const std::vector<Control*> children = windowChildren(container);
    left.steps.push_front({&container, true});
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        left.steps.push_front({*child, false});
}

void Win32Backend::buildPage(const Control& page) {
    while (buildStep(page)) {
    }
}

bool Win32Backend::buildNextPage(HWND form) {
    for (const LeftPage& left : pagesLeft_)
        if (left.form == form) {
            buildStep(*left.page);
            break;
        }
    return hasPagesLeft(form);
}

bool Win32Backend::hasPagesLeft(HWND form) const {
    return std::any_of(pagesLeft_.begin(), pagesLeft_.end(),
                       [&](const LeftPage& p) { return p.form == form; });
}

}  // namespace qn::ui
