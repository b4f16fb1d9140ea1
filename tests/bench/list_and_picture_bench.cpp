// How long the work behind a selection and a refill takes: reading both data
// files, evaluating and filling the list for a table of 25 games of 35 files
// and one of 10,000 games of 10 files (and a filter change there), decoding and
// drawing a panel-sized screenshot, and selecting a game whose screenshot is
// panel-sized or far bigger than the panel; and the settings of 100,000
// games read at a start and saved at a close; and at 100,000 games of 10
// files, the list's start, Find Next, a sort by each column and a row's menu.
#include <benchmark/benchmark.h>

#include "app/main_window/main_window.h"
#include "../unit/jpeg_fixture.h"
#include "app/stored_data.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace qn {
namespace {

// An arcade game's screen as a screenshot shows it: a 384 by 256 frame of
// flat tiles, stars and hard-edged sprites, scaled to the given size the way
// an emulator scales its window, stored at quality 90.
std::string screenshot(int width, int height) {
    constexpr int kFrameWidth = 384, kFrameHeight = 256;
    std::vector<std::uint8_t> frame(kFrameWidth * kFrameHeight * 3);
    std::uint32_t noise = 7;
    auto next = [&] { return noise = noise * 1103515245u + 12345u, noise >> 16; };
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            std::uint8_t* p = &frame[(y * kFrameWidth + x) * 3];
            const unsigned tile = (x / 16 * 7 + y / 16 * 13) % 5;  // ground, sky, walls
            p[0] = static_cast<std::uint8_t>(tile * 40);
            p[1] = static_cast<std::uint8_t>(80 + tile * 20);
            p[2] = static_cast<std::uint8_t>(200 - tile * 30);
            if (next() % 97 == 0) p[0] = p[1] = p[2] = 255;  // a star
        }
    for (int sprite = 0; sprite < 40; ++sprite) {
        const int sx = static_cast<int>(next() % (kFrameWidth - 24));
        const int sy = static_cast<int>(next() % (kFrameHeight - 24));
        const std::uint8_t r = next() & 255, g = next() & 255, b = next() & 255;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 24; ++x)
                if ((x ^ y) & 4) {
                    std::uint8_t* p = &frame[((sy + y) * kFrameWidth + sx + x) * 3];
                    p[0] = r, p[1] = g, p[2] = b;
                }
    }
    std::vector<std::uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            std::copy_n(
                &frame[((y * kFrameHeight / height) * kFrameWidth + x * kFrameWidth / width) * 3],
                3, &pixels[(static_cast<size_t>(y) * width + x) * 3]);
    return test::encodePixels(width, height, pixels, test::JpegColour::Halved,
                              test::JpegKind::Baseline, 90);
}

// A picture with detail in every block, like a photograph: the worst case
// for the entropy decoding that no crop can skip.
std::string photo(int width, int height) {
    return test::encodePixels(width, height, test::texturedPixels(width, height),
                              test::JpegColour::Halved, test::JpegKind::Baseline, 90);
}

// A catalogue of `games` games of `files` files each, every file present,
// with a zip archive and a driver per game for the other modes.
struct Table {
    MemoryPlatform os;
    App app{os};
    Table(int games, int files) {
        std::string roms, req;
        for (int g = 0; g < games; ++g) {
            const std::string s = "game" + std::to_string(g);
            roms += "#Game number " + std::to_string(g) + "|" + s + "\r\n";
            for (int f = 0; f < files; ++f) {
                const std::string file = "rom" + std::to_string(f) + ".bin";
                req += s + "\\" + file + "\r\n";
                os.writeFile("C:\\Quon\\" + s + "\\" + file, "x");
            }
            os.writeFile("C:\\Quon\\" + s + "\\" + s + ".qun", "d");
            os.writeFile("C:\\Zips\\" + s + ".zip", "z");
            os.writeFile("C:\\Drivers\\" + s + ".qun", "d");
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

struct FullTable : Table {
    FullTable() : Table(25, 35) {}
};

// 10,000 games of 10 files: built once, shared by the benchmarks below.
Table& bigTable() {
    static Table table(10000, 10);
    return table;
}

// Reading both data files anew into the table.
void readDataFiles(benchmark::State& state, Table& t) {
    GameCatalogue& cat = t.app.catalogue;
    for (auto _ : state) {
        cat.games.clear();
        LoadCatalogue(t.app);
        LoadRequiredFiles(t.app);
        benchmark::DoNotOptimize(cat.withFiles(cat.size() - 1).RequiredFiles.back());
    }
}

void BM_ReadDataFiles(benchmark::State& state) {
    FullTable t;
    readDataFiles(state, t);
}
BENCHMARK(BM_ReadDataFiles)->Unit(benchmark::kMicrosecond);

// Every row read, so every game evaluated.
void BM_EvaluateAndFill(benchmark::State& state) {
    FullTable t;
    TForm1& f = *t.app.Form1;
    for (auto _ : state) {
        f.EvaluateAvailability();
        f.FillGameList(SelectedBy::User);
        for (int row = 0; row < f.ListView1.rowCount(); ++row) benchmark::DoNotOptimize(f.ListView1.row(row)[2]);
    }
}
BENCHMARK(BM_EvaluateAndFill)->Unit(benchmark::kMicrosecond);

void BM_ReadDataFiles10000(benchmark::State& state) { readDataFiles(state, bigTable()); }
BENCHMARK(BM_ReadDataFiles10000)->Unit(benchmark::kMillisecond);

// Evaluating and refilling in each of the four modes (plain, plain with the
// drivers directory, zipped with drivers, zipped), every game available.
// With `rowsRead` rows read, as a window of that many rows asks for them;
// all of them: every game evaluated.
void evaluateAndFill(benchmark::State& state, int rowsRead) {
    Table& t = bigTable();
    const RomMode mode{state.range(0) >= 2, state.range(0) == 1 || state.range(0) == 2};
    TForm1& f = *t.app.Form1;
    f.CheckBox7.setChecked(mode.compressed);
    f.CheckBox8.setChecked(mode.driversPath);
    t.app.tpaths.romsPath = "C:\\Zips\\";
    t.app.tpaths.driversPath = "C:\\Drivers\\";
    int yes = 0;
    for (auto _ : state) {
        f.EvaluateAvailability();
        f.FillGameList(SelectedBy::User);
        yes = 0;
        for (int row = 0; row < rowsRead; ++row) yes += f.ListView1.row(row)[2] == "Yes";
        benchmark::DoNotOptimize(yes);
    }
    if (f.ListView1.rowCount() != 10000 || yes != rowsRead)
        state.SkipWithError("the table is not what it should be");
}

void BM_EvaluateAndFill10000(benchmark::State& state) { evaluateAndFill(state, 10000); }
BENCHMARK(BM_EvaluateAndFill10000)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The same with a screenful of rows read: what a start or a change of
// paths costs before the window shows.
void BM_RefillAScreen10000(benchmark::State& state) { evaluateAndFill(state, 30); }
BENCHMARK(BM_RefillAScreen10000)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// A filter change: the list refilled from the last evaluation.
void BM_Refilter10000(benchmark::State& state) {
    Table& t = bigTable();
    TForm1& f = *t.app.Form1;
    int filter = 0;
    for (auto _ : state) {
        f.ComboBox1.setItemIndex(filter);
        f.ComboBox1Change();
        filter = (filter + 1) % 3;
        benchmark::DoNotOptimize(f.ListView1.rowCount());
    }
}
BENCHMARK(BM_Refilter10000)->Unit(benchmark::kMillisecond);

void BM_DecodeAndDrawScreenshot(benchmark::State& state) {
    FullTable t;
    for (auto _ : state) {
        t.app.Form1->ShowPicture("game0.jpg");
        benchmark::DoNotOptimize(t.app.Form1->Image1.picture().pixels.data());
    }
}
BENCHMARK(BM_DecodeAndDrawScreenshot)->Unit(benchmark::kMicrosecond);

// Selecting the game's row in the list, up to its screenshot on the panel
// (the option boxes, the run button and the hint included).
void BM_SelectToPicture(benchmark::State& state, const std::string& shortName) {
    // One table for every case: the big pictures take long to make.
    static FullTable t;
    static const bool made = [] {
        t.os.writeFile("C:\\Qn\\screens\\game1.jpg", screenshot(360, 240));
        t.os.writeFile("C:\\Qn\\screens\\game2.jpg", screenshot(6000, 4000));
        t.os.writeFile("C:\\Qn\\screens\\game3.jpg", photo(6000, 4000));
        return true;
    }();
    benchmark::DoNotOptimize(made);
    ui::ListView& list = t.app.Form1->ListView1;
    int row = 0;
    while (list.row(row)[1] != shortName) ++row;
    for (auto _ : state) {
        state.PauseTiming();
        list.selectRow(-1);
        state.ResumeTiming();
        list.selectRow(row);
        benchmark::DoNotOptimize(t.app.Form1->Image1.picture().pixels.data());
    }
}
BENCHMARK_CAPTURE(BM_SelectToPicture, screenshot_360x240, std::string("game1"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SelectToPicture, screenshot_6000x4000, std::string("game2"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SelectToPicture, photo_6000x4000, std::string("game3"))
    ->Unit(benchmark::kMillisecond);

// 100,000 games of 10 files, every one on disk: built once.
Table& hugeTable() {
    static Table table(100000, 10);
    return table;
}

// What a start does to the list: filled, a screenful of rows read.
void BM_FillAScreen100000(benchmark::State& state) {
    TForm1& f = *hugeTable().app.Form1;
    for (auto _ : state) {
        f.EvaluateAvailability();
        f.FillGameList(SelectedBy::Program);
        for (int row = 0; row < 30; ++row) benchmark::DoNotOptimize(f.ListView1.row(row)[2]);
    }
}
BENCHMARK(BM_FillAScreen100000)->Unit(benchmark::kMillisecond);

// Find Next from the first row to a text only the last game holds: every
// row looked at. The first search folds the titles; later ones reuse them.
void BM_FindNext100000(benchmark::State& state) {
    TForm1& f = *hugeTable().app.Form1;
    f.FillGameList(SelectedBy::Program);
    int found = -1;
    for (auto _ : state) {
        state.PauseTiming();
        f.ListView1.showSelected(0);
        state.ResumeTiming();
        f.findNext({"NUMBER 99999", false, true});
        found = f.ListView1.selectedRow();
    }
    if (found != f.ListView1.rowCount() - 1) state.SkipWithError("not found where it should be");
}
BENCHMARK(BM_FindNext100000)->Unit(benchmark::kMillisecond);

// A click on a column header, the list put in its new order with the
// selected game kept; each click turns the order round. Every game's
// availability is known, as it is once the window has waited a little
// after a start (the first sort by availability before then works out
// the rest, as a change of filter does).
void BM_SortByColumn100000(benchmark::State& state) {
    TForm1& f = *hugeTable().app.Form1;
    const int column = static_cast<int>(state.range(0));
    while (!f.gameList().evaluateMore(100000)) {
    }
    for (auto _ : state) {
        f.ListView1ColumnClick(column);
        benchmark::DoNotOptimize(f.ListView1.selectedRow());
    }
    f.FillGameList(SelectedBy::Program);
}
BENCHMARK(BM_SortByColumn100000)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

// What a right click asks before the menu shows: its commands and whether
// each can be used for the selected row.
void BM_ContextMenu100000(benchmark::State& state) {
    TForm1& f = *hugeTable().app.Form1;
    f.ListView1.selectRow(f.ListView1.rowCount() / 2);
    for (auto _ : state) benchmark::DoNotOptimize(f.ListView1.contextMenu(f.ListView1.selectedRow()));
}
BENCHMARK(BM_ContextMenu100000)->Unit(benchmark::kMicrosecond);

// The settings key of 100,000 games as a close leaves it: a start's read (the
// six settings and the first game's flags), and a close that writes every
// value (as on a first run) or, after that read, only the one game changed.
struct HundredThousand {
    MemoryPlatform os;
    Settings settings;
    HundredThousand() {
        for (int g = 0; g < 100000; ++g) settings.games.push_back({"Game number " + std::to_string(g), {}});
        writeSettings(os, settings);
    }
};

HundredThousand& hundredThousand() {
    static HundredThousand key;
    return key;
}

void BM_ReadSettings100000(benchmark::State& state) {
    HundredThousand& k = hundredThousand();
    for (auto _ : state) {
        Settings read;
        KnownSettings known;
        benchmark::DoNotOptimize(readSettings(k.os, read, &known));
        GameOptions first = k.settings.games[0];
        benchmark::DoNotOptimize(readGameOptions(k.os, first));
    }
}
BENCHMARK(BM_ReadSettings100000)->Unit(benchmark::kMillisecond);

void BM_SaveSettings100000(benchmark::State& state, bool afterRead) {
    HundredThousand& k = hundredThousand();
    Settings read;
    KnownSettings known;
    readSettings(k.os, read, &known);
    Settings before = k.settings;
    if (afterRead) before.games = {before.games[7]};
    Settings changed = before;
    changed.games.front().flags[1] = true;
    int writes = 0;
    for (auto _ : state) {
        k.os.valueWrites = 0;
        writeSettings(k.os, changed, afterRead ? &known : nullptr);
        writes = k.os.valueWrites;
        state.PauseTiming();
        writeSettings(k.os, before);  // as it was
        state.ResumeTiming();
    }
    state.counters["values written"] = writes;
}
BENCHMARK_CAPTURE(BM_SaveSettings100000, every_value, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SaveSettings100000, one_changed, true)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qn

BENCHMARK_MAIN();
