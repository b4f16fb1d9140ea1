#include "app/forms.h"

#include "app/form1.h"

namespace qn {

TForm2::TForm2(App& app) : ui::Form("Form2", {0, 0, 329, 273}, "Configuration"), app_(app) {
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
}

// Leaves without installing; nothing is saved.
void TForm2::SpeedButton2Click() { app_.os.exitProcess(0); }


TForm6::TForm6(App& app) : ui::Form("Form6", {0, 0, 305, 97}, "Create Directory"), app_(app) {}

}  // namespace qn
