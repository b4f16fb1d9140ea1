#include "app/forms.h"

#include "app/form1.h"

namespace qn {

}  // namespace qn
