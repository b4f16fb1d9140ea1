// The whole widget model, one header per control kind.
#pragma once

#include "ui/control.h"
#include "ui/button.h"
#include "ui/edit.h"
#include "ui/list_control.h"
#include "ui/list_view.h"
#include "ui/status_bar.h"
#include "ui/page_control.h"
#include "ui/panel.h"
#include "ui/image.h"
#include "ui/progress_bar.h"
#include "ui/timer.h"
#include "ui/form.h"
