// How long the work behind a selection and a refill takes: reading both data
// files, evaluating and filling the list for a full table, and decoding and
// drawing a panel-sized screenshot.
#include <benchmark/benchmark.h>

#include "app/form1.h"
#include "../unit/jpeg_fixture.h"
#include "catalogue/availability.h"
#include "catalogue/catalogue_file.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace qn {
namespace {

// 25 games of 35 files each, every file present.
struct FullTable {
    MemoryPlatform os;
    App app{os};
    FullTable() {
        std::string roms, req;
        for (int g = 0; g < MaxGames; ++g) {
            const std::string s = "game" + std::to_string(g);
            roms += "#Game number " + std::to_string(g) + "|" + s + "\r\n";
            for (int f = 0; f < MaxRequiredFiles; ++f) {
                const std::string file = "rom" + std::to_string(f) + ".bin";
                req += s + "\\" + file + "\r\n";
                os.writeFile("C:\\Quon\\" + s + "\\" + file, "x");
            }
        }
        os.writeFile("C:\\Qn\\roms.dat", roms);
        os.writeFile("C:\\Qn\\reqfiles.dat", req);
        os.writeFile("C:\\Qn\\screens\\game0.jpg", test::encodeJpeg(360, 240, 90, 160));
        os.setString(RootKey::LocalMachine, kSettingsKey, "Main Program Path", "C:\\Qn\\");
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Quon\\");
        app.start();
        app.Form1->show();
    }
};

void BM_ReadDataFiles(benchmark::State& state) {
    FullTable t;
    for (auto _ : state) {
        t.app.catalogue.GameCount = 0;
        LoadCatalogue(t.app);
        LoadRequiredFiles(t.app);
        benchmark::DoNotOptimize(t.app.catalogue.games[24].RequiredFiles[34]);
    }
}
BENCHMARK(BM_ReadDataFiles)->Unit(benchmark::kMicrosecond);

void BM_EvaluateAndFill(benchmark::State& state) {
    FullTable t;
    for (auto _ : state) {
        EvaluateAvailability(t.app);
        t.app.Form1->FillGameList();
        benchmark::DoNotOptimize(t.app.Form1->ListView1.rowCount());
    }
}
BENCHMARK(BM_EvaluateAndFill)->Unit(benchmark::kMicrosecond);

void BM_DecodeAndDrawScreenshot(benchmark::State& state) {
    FullTable t;
    for (auto _ : state) {
        t.app.Form1->ShowPicture("game0.jpg");
        benchmark::DoNotOptimize(t.app.Form1->Image1.picture().pixels.data());
    }
}
BENCHMARK(BM_DecodeAndDrawScreenshot)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qn

BENCHMARK_MAIN();
