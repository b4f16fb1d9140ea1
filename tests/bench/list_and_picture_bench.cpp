// How long the work behind a selection and a refill takes: reading both data
// files, evaluating and filling the list for a full table, and decoding and
// drawing a panel-sized screenshot.
#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "app/form1.h"
#include "catalogue/availability.h"
#include "catalogue/catalogue_file.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace qn {
namespace {

std::string panelJpeg() {
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 360;
    info.image_height = 240;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 85, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<unsigned char> row(360 * 3);
    while (info.next_scanline < info.image_height) {
        for (int x = 0; x < 360; ++x) {
            row[x * 3] = static_cast<unsigned char>(x ^ info.next_scanline);
            row[x * 3 + 1] = static_cast<unsigned char>(x * 3);
            row[x * 3 + 2] = static_cast<unsigned char>(info.next_scanline);
        }
        JSAMPROW r = row.data();
        jpeg_write_scanlines(&info, &r, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return out;
}

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
        os.writeFile("C:\\Qn\\screens\\game0.jpg", panelJpeg());
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
