// The demo data set shows a different mix of playable games in each mode.
#include <filesystem>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "test_support.h"

namespace qn {
namespace {

namespace fs = std::filesystem;

class DemoData : public test::LauncherTest {
protected:
    // Copies demo/ into C:\Demo\ of the in-memory file system.
    void SetUp() override {
        const fs::path demo = fs::path(QN_SOURCE_DIR) / "demo";
        for (const auto& entry : fs::recursive_directory_iterator(demo)) {
            if (!entry.is_regular_file()) continue;
            std::ifstream in(entry.path(), std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            std::string rel = fs::relative(entry.path(), demo).string();
            std::replace(rel.begin(), rel.end(), '/', '\\');
            os.writeFile("C:\\Demo\\" + rel, bytes.str());
        }
        installSettings("C:\\Demo\\");
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Demo\\emu\\");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
    }
    std::string available() {
        std::string out;
        for (int g = 0; g < app->catalogue.size(); ++g)
            if (app->Form1->GameAvailable(g)) out += app->catalogue.games[g].ShortName + " ";
        return out;
    }
};

TEST_F(DemoData, EachModeShowsItsOwnMix) {
    TForm1& f = *app->Form1;
    EXPECT_EQ(app->catalogue.size(), 15);
    EXPECT_EQ(available(), "rtypeus rtype2 loht imgfight gunforce ppong moonmole ");
    f.CheckBox8.setChecked(true);
    f.paths.take(PathBox::Drivers, "C:\\Demo\\drivers");
    EXPECT_EQ(available(), "rtype2 ppong ");
    f.CheckBox7.setChecked(true);
    f.paths.take(PathBox::Roms, "C:\\Demo\\zips");
    EXPECT_EQ(available(), "rtypejp dbreed hharry nspirit ");
    f.CheckBox8.setChecked(false);
    EXPECT_EQ(available(), "rtypeus ");
    EXPECT_EQ(f.StatusBar1.panelText(1), "15 ROMs supported");
}

}  // namespace
}  // namespace qn
