// The picture panel: a game's screenshot or one of the logos.
#include "app/form1.h"

namespace qn {

void TForm1::ShowPicture(const std::string& fileName) {
    Platform& os = app_.os;
    const std::string& dir = app_.tpaths.mainPath;
    std::string path;
    if (os.fileExists(dir + "screens\\" + fileName))
        path = dir + "screens\\" + fileName;
    else if (os.fileExists(dir + fileName))
        path = dir + fileName;
    app_.state.CurrentPicture = path.empty() ? "" : fileName;
}

}  // namespace qn
