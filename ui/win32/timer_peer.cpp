// The timer: a Win32 timer on the form's window while the model's timer is
// enabled; the form's window turns each WM_TIMER into a tick.
#include <algorithm>

#include "ui/win32/peers.h"

namespace qn::ui {

TimerPeer::TimerPeer(Timer& timer, HWND owner, UINT_PTR id) : timer_(timer), owner_(owner), id_(id) {
    synchronize();  // a timer enabled before its form was realized starts now
}

TimerPeer::~TimerPeer() {
    if (running_) KillTimer(owner_, id_);
}

void TimerPeer::changed(Control& /*control*/, Property property, int /*index*/) {
    if (property == Property::Enabled) synchronize();
}

void TimerPeer::synchronize() {
    const bool wanted = timer_.enabled();
    if (wanted == running_) return;
    if (wanted) {
        // Each enabling counts a whole interval from now.
        running_ = SetTimer(owner_, id_, static_cast<UINT>(std::max(timer_.interval(), 1)), nullptr) != 0;
    } else {
        KillTimer(owner_, id_);
        running_ = false;
    }
}

}  // namespace qn::ui
