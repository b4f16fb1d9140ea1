// Fuzz target: whole runs of games on the in-memory platform. The input
// builds roms.dat and reqfiles.dat, the settings, the emulator directory
// with the user's files and folders, archives and drivers, how the unzip
// program treats the archive's names (PKUNZIP 2.04g's names alone in 8.3
// capitals, or folders and long names kept) and whether the programs start,
// then runs one or two games, may end the launcher at any change made to
// the files (the unzip's own writes too, leaving a file half written) and
// start it again, and may start a second launcher while the emulator runs.
// The world is the real one: the unzip program overwrites read-only files,
// and a child may outlive a launcher that ended under it, the next launcher
// starting while it still runs.
//
// The user's directories may hold links (to a folder and a file outside
// every game), the volume may fill up after the unzip, the records' folder
// may refuse writes, and a record may have been written by hand with the
// right name.
//
// It traps as soon as the launcher changes a file outside the directory of
// a game it was asked to run (and the folders beside it that the run makes,
// and its own records), changes one in the directory of a game whose child
// still runs, starts a program for a game whose short name is not one plain
// directory name, or tells the unzip program to write anywhere but a folder
// of the run's own beside the game's directory; and, at the end, when a file
// that was there before has gone, changed or lost its name's letter case,
// unless the user was told where it was kept.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/main_window/main_window.h"
#include "launch/kept_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_unzip.h"
#include "platform/memory/memory_zip.h"
#include "settings/settings_store.h"

namespace {

using qn::MemoryPlatform;

struct Crash {};

// What the input made happen, printed before a trap when FUZZ_RUN_TRACE is set.
std::function<void()> g_trace;

[[noreturn]] void violated(const std::string& what) {
    std::fprintf(stderr, "fuzz_run: %s\n", what.c_str());
    if (g_trace && std::getenv("FUZZ_RUN_TRACE")) g_trace();
    __builtin_trap();
}

// The input read front to back; past its end every byte reads as 0.
class Input {
public:
    Input(const std::uint8_t* data, size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    size_t pick(size_t count) { return byte() % count; }
    std::string text(size_t most) {
        std::string out;
        for (size_t n = byte() % (most + 1); n > 0; --n) out += static_cast<char>(byte());
        return out;
    }
    // A word from the list, or (high bit) free text.
    std::string word(const std::vector<std::string>& words, size_t most) {
        const std::uint8_t b = byte();
        return (b & 0x80) ? text(most) : words[b % words.size()];
    }

private:
    const std::uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

const std::vector<std::string> kShortNames = {
    "game", "rtype", "GAME", "..", ".", "", "sub\\g", "a b", "quon.exe", "readme.txt", "con",
    "g.", "c:x", "x\"y", "sub", "ab -x", "\\", "game\\..\\.."};
const std::vector<std::string> kRequired = {
    "r1.bin", "R1.BIN", "r2.bin", "sub\\r3.bin", "..\\x", "..\\..\\boot.ini", "C:\\boot.ini", "\\abs.txt",
    "game.qun", "GAME.QUN", "quon.exe", "readme.txt", ". .\\y", "notes.txt", "sub", ""};
const std::vector<std::string> kUserFiles = {"r1.bin", "r2.bin", "sub\\r3.bin", "notes.txt", "hiscore.dat",
                                             "extra.txt", "longfilename.bin", "SUB\\deep\\er\\x.sav",
                                             "caf\xc3\xa9.bin", "R1.BIN.qnkept", "saves\\slot1", "LONGFILE.BIN"};
// Entries as archives name them: folders, other letter case, names an
// unzip cuts to those of other files, one named like the place beside.
const std::vector<std::string> kEntries = {
    "r1.bin", "R2.BIN", "sub/r3.bin", "roms/r1.bin", "longfilename.bin", "sub/", "r1.bin/", "r1.bin/x",
    "SUB/DEEP/ER/X.SAV", "caf\xc3\xa9.bin", "saves", "hiscore.dat", "../game set aside/r1.bin", "notes.txt/",
    "R1.BIN.qnkept", "extra.txt", "out/letter.doc", "hi.sav", "game.unpacked/r1.bin", "GAME~1.BIN"};
const std::vector<std::string> kEmulatorDirs = {"C:\\Emu\\", "C:\\Program Files\\Quon\\", "Emu\\",
                                                "c:\\emu\\"};
const std::string kProgramDir = "C:\\QnLaunch\\";
const std::string kRecords = "C:\\QNLAUNCH\\RUNRECORDS";

std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

bool within(const std::string& path, const std::string& dir) {
    const std::string p = upper(path), d = upper(dir);
    return p == d || (p.size() > d.size() && p.compare(0, d.size(), d) == 0 && p[d.size()] == '\\');
}

// In a game's directory, or in the folders beside it that a run makes.
bool withinRun(const std::string& path, const std::string& dir) {
    const std::string p = upper(path), aside = upper(dir + " set aside"), unpacked = upper(dir + ".unpacked");
    return within(path, dir) || p.compare(0, aside.size(), aside) == 0 ||
           p.compare(0, unpacked.size(), unpacked) == 0;
}

class Scenario {
public:
    explicit Scenario(Input& in) : in_(in) {}

    void run() {
        g_trace = [this] { trace(); };
        build();
        const auto before = os.fileContents();
        for (const auto& [path, content] : before) spelt_[path] = spelling(path);
        os.beforeFileChange = [&](const std::string& path) { changing(path); };
        os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) { childRuns(p); };

        if (!startLauncher()) return finish(before);
        for (int r = 0; r < runs_; ++r) {
            const int rows = Form1()->ListView1.rowCount();
            if (rows == 0) break;
            Form1()->ListView1.selectRow(static_cast<int>(in_.pick(static_cast<size_t>(rows))));
            const int row = Form1()->ListView1.selectedRow();
            if (row < 0) continue;
            shortName_ = Form1()->ListView1.row(row)[1];
            cwdAtRun_ = os.currentDirectory();
            runDir_ = gameDirectory();
            if (runDir_) allowed_.push_back(*runDir_);
            running_ = true;
            try {
                Form1()->ListView1.doubleClick();
                running_ = false;
            } catch (const Crash&) {
                running_ = false;
                endedAt_ = crashAt_;
                crashAt_ = 0;
                // A child that outlived the launcher goes on while the next
                // one starts; it must leave that game's files alone.
                if (!os.runningChildren.empty() && runDir_) {
                    orphanDir_ = *runDir_;
                    const bool started = startLauncher();
                    orphanDir_.clear();
                    if (orphanIsUnzip_) unzipWrites(unzipTarget_);
                    os.runningChildren.clear();
                    if (!started) break;
                }
                if (!startLauncher()) break;
            } catch (const qn::ProcessExit&) {
                break;
            }
        }
        finish(before);
    }

private:
    MemoryPlatform os;
    std::unique_ptr<qn::App> app;
    Input& in_;
    std::string emulatorDir_;  // as the setting holds it
    int runs_ = 1;
    int crashAt_ = 0;          // the launcher ends at this change; 0: never
    int changes_ = 0;
    int endedAt_ = 0;          // where the launcher was ended, for the trace
    bool secondLauncher_ = false;
    bool inSecond_ = false;
    std::optional<std::string> firstDir_;  // the running game's directory, while a second launcher acts
    bool running_ = false;
    std::uint32_t unzipMembers_ = 0;
    std::string unzipTarget_;    // where the unzip program was told to write
    bool fillsUp_ = false;       // the volume is full once the unzip has written
    qn::UnzipBehaviour unzip_;
    std::string orphanDir_;      // the game's directory while a child of an ended launcher runs
    std::optional<std::string> runDir_;  // the directory of the game being run
    bool orphanIsUnzip_ = false;
    std::string shortName_;
    std::string cwdAtRun_;
    std::vector<std::string> allowed_;  // full canonical game directories
    std::map<std::string, std::string> spelt_;  // each file's name as first listed, by its path

    qn::TForm1* Form1() { return app->Form1.get(); }

    void build() {
        const std::uint8_t flags = in_.byte();
        const bool compressed = flags & 1, drivers = flags & 2;
        emulatorDir_ = kEmulatorDirs[(flags >> 2) & 3];
        if (flags & 16) crashAt_ = 1 + in_.byte();
        secondLauncher_ = flags & 32;
        runs_ = (flags & 64) ? 2 : 1;
        const bool staleRecord = flags & 128;

        os.setString(qn::RootKey::LocalMachine, qn::kSettingsKey, "Main Program Path", kProgramDir);
        os.setString(qn::RootKey::LocalMachine, qn::kSettingsKey, "Quon Path", emulatorDir_);
        if (compressed) {
            os.setString(qn::RootKey::LocalMachine, qn::kSettingsKey, "Compressed ROMs Path", "C:\\Zips\\");
            os.setString(qn::RootKey::LocalMachine, qn::kSettingsKey, "PkUnzip Program",
                         "C:\\Tools\\pkunzip.exe");
        }
        if (drivers)
            os.setString(qn::RootKey::LocalMachine, qn::kSettingsKey, "Drivers Path", "C:\\Drivers\\");
        os.setString(qn::RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "", "browser.exe");

        // The emulator's directory as the files have it.
        const std::string emu = os.resolve("C:\\" + (emulatorDir_[1] == ':' ? emulatorDir_.substr(3)
                                                                             : emulatorDir_)) + "\\";
        os.writeFile(emu + "quon.exe", "exe");
        os.writeFile(emu + "readme.txt", "the emulator's readme");
        os.writeFile(emu + "r1.bin", "beside the emulator");
        os.writeFile("C:\\boot.ini", "outside");
        os.writeFile("C:\\abs.txt", "outside");
        os.writeFile("C:\\keep.txt", "outside");
        os.writeFile(os.resolve(emu + "..") + "\\x", "above the emulator");
        const std::uint8_t world = in_.byte();
        if (world & 1) os.writeFile(emu + "sub", "a file where a directory could be");
        unzip_ = {(world & 2) != 0, (world & 4) == 0};
        const bool links = world & 8;
        fillsUp_ = world & 16;
        if (world & 32) os.readOnlyDirectories.insert(kRecords);
        os.writeFile("C:\\Outside\\letter.doc", "outside");
        os.writeFile("C:\\Outside\\hi.sav", "outside");

        unzipMembers_ = in_.byte() | in_.byte() << 8 | static_cast<std::uint32_t>(in_.byte()) << 16;
        std::string roms, reqfiles;
        const size_t games = 1 + in_.pick(3);
        for (size_t g = 0; g < games; ++g) {
            const std::string title = in_.text(6);
            const std::string s = in_.word(kShortNames, 10);
            roms += "#" + title + "|" + s + "\r\n";
            for (size_t n = in_.pick(5); n > 0; --n)
                reqfiles += "grp" + std::to_string(g) + "\\" + in_.word(kRequired, 12) + "\r\n";
            const std::uint8_t have = in_.byte();
            const unsigned files = have & 0x80 ? (have & 0x3F) | (in_.byte() << 6) : 0;
            const std::string dir = emu + s + "\\";
            if (have & 0x80) {
                for (size_t f = 0; f < kUserFiles.size(); ++f) {
                    if (!(files & (1u << f))) continue;
                    const std::string content = "user's " + kUserFiles[f] + in_.text(3);
                    const bool readOnly = in_.byte() == 7;
                    os.writeFile(dir + kUserFiles[f], content, readOnly);
                }
                if (have & 0x40) os.writeFile(dir + s + ".qun", "user's driver");
            }
            if (links && os.directoryExists(dir)) {
                // Links the system does not mark, made from outside Windows.
                for (const auto& [name, target] : {std::pair<std::string, std::string>{"out", "C:\\Outside"},
                                                   {"hi.sav", "C:\\Outside\\hi.sav"}}) {
                    os.links[upper(os.resolve(dir + name))] = target;
                    os.linkItems.insert(upper(os.resolve(dir + name)));
                }
            }
            if (g == 0 && staleRecord && os.directoryExists(dir)) handWrittenRecord(dir, s);
            if (compressed) os.writeFile("C:\\Zips\\" + s + ".zip", (have & 0x20) ? "not a zip" : archiveOf(s));
            if (drivers) os.writeFile("C:\\Drivers\\" + s + ".qun", "drivers path driver");
        }
        os.writeFile(kProgramDir + "roms.dat", roms);
        os.writeFile(kProgramDir + "reqfiles.dat", reqfiles);
        os.childrenCanBeBound = in_.byte() & 1;
        if (staleRecord) {
            // Whatever a damaged record holds, it moves nothing outside its game.
            os.writeFile(kProgramDir + "RunRecords\\run-" + in_.text(4) + ".txt",
                         "QnLaunch run record 3\r\ngame=" + in_.text(20) + "\r\nkept=" + in_.text(30),
                         in_.byte() & 1);  // read-only or not
        }
        // Scripted results: whether each program starts.
        for (int i = 0; i < 6; ++i) {
            const std::uint8_t b = in_.byte();
            os.processResults.push_back(qn::ProcessResult{(b & 3) != 0, (b & 4) ? 2u : 5u, 0});
        }
    }

    // A record with the right name and header, its lines the input's: it
    // may name the user's items and folders, never an identity they have.
    void handWrittenRecord(const std::string& dir, const std::string& s) {
        const std::string id = "id:" + os.directoryIdentity(dir).value_or("?");
        const std::vector<std::string> lines = {
            "delete=file:99999|notes.txt", "delete=file:99999|out\\letter.doc", "kept=hiscore.dat",
            "kept=saves", "aside=" + id + "|" + s + " set aside", "aside=-|" + s + " set aside",
            "unpacked=-|" + s + ".unpacked", "unpacked=" + id + "|" + s + ".unpacked", "kept=out\\letter.doc",
            "delete=file:99999|" + s + ".qun"};
        std::string text = "QnLaunch run record 3\r\ngame=" + os.resolve(dir) + "\\\r\ngameid=" + id + "\r\n";
        for (size_t n = in_.pick(5); n > 0; --n) text += lines[in_.pick(lines.size())] + "\r\n";
        if (in_.byte() & 1) os.writeFile(dir + "..\\" + s + " set aside\\hiscore.dat", "an older copy");
        os.writeFile(qn::KeptFiles::recordPath(os, kProgramDir, os.resolve(dir) + "\\"), text);
        allowed_.push_back(os.resolve(dir));  // a start may finish what the record names there
    }

    bool startLauncher() {
        app.reset();
        // A new launcher process starts where the user starts it, the same
        // place each time, not where the last one's current directory was.
        os.setCurrentDirectory("C:\\");
        app = std::make_unique<qn::App>(os);
        try {
            app->start();
            app->Form1->show();
            app->Form1->paint();
        } catch (const qn::ProcessExit&) {
            return false;
        } catch (const Crash&) {
            violated("the launcher was ended outside a run");
        }
        return true;
    }

    // The game's directory the run must keep to, when its short name can
    // name one: the emulator directory's direct child of exactly that name.
    std::optional<std::string> gameDirectory() {
        const auto slash = [](const std::string& dir) { return dir.back() == '\\' ? dir : dir + "\\"; };
        const std::string base = cwdAtRun_.empty() ? "C:\\" : cwdAtRun_;
        const std::string emu = emulatorDir_[1] == ':' ? emulatorDir_ : slash(base) + emulatorDir_;
        const std::string game = os.resolve(emu + shortName_);
        if (shortName_.empty() || upper(game) != upper(slash(os.resolve(emu)) + shortName_)) return std::nullopt;
        if (shortName_.find_first_of(" \"\t\r\n") != std::string::npos) return std::nullopt;
        return game;
    }

    void changing(const std::string& path) {
        if (!orphanDir_.empty() && withinRun(path, orphanDir_)) violated("changed under a running child: " + path);
        // A second launcher may finish what earlier runs left and run
        // another game, but never touches the game that is running.
        if (inSecond_ && firstDir_ && withinRun(path, *firstDir_))
            violated("a second launcher changed the running game's " + path);
        bool inside = within(path, kRecords);
        for (const std::string& dir : allowed_) inside = inside || withinRun(path, dir);
        if (!inside) violated("changed outside the game's directory: " + path);
        if (running_ && !inSecond_ && ++changes_ == crashAt_) throw Crash{};
    }

    // What the input made happen, for whoever writes seeds.
    void trace() {
        std::fprintf(stderr, "-- %zu game director%s allowed, %d change(s), ended at %d\n", allowed_.size(),
                     allowed_.size() == 1 ? "y" : "ies", changes_, endedAt_);
        for (const auto& p : os.processes)
            std::fprintf(stderr, "   started %s (as %s)\n", p.request.commandLine.c_str(),
                         p.request.applicationName.c_str());
        for (const auto& m : os.messages) std::fprintf(stderr, "   message: %s\n", m.text.c_str());
        for (const auto& [path, content] : os.fileContents())
            std::fprintf(stderr, "   file %s (%s): %s\n", path.c_str(), spelling(path).c_str(), content.c_str());
    }

    void childRuns(const MemoryPlatform::StartedProcess& p) {
        const bool unzip = p.request.commandLine.find("pkunzip") != std::string::npos;
        const auto dir = gameDirectory();
        if (!dir) violated("started for short name \"" + shortName_ + "\": " + p.request.commandLine);
        if (p.request.applicationName.empty()) violated("no program named for " + p.request.commandLine);
        if (!unzip) {
            if (secondLauncher_ && !inSecond_) {
                // Another launcher, started while this one waits: it may
                // run another game, and must not touch this one's.
                inSecond_ = true;
                auto first = std::move(app);
                const std::string firstName = shortName_, firstCwd = cwdAtRun_;
                firstDir_ = gameDirectory();
                if (startLauncher() && Form1()->ListView1.rowCount() > 0) {
                    Form1()->ListView1.selectRow(0);
                    shortName_ = Form1()->ListView1.row(0)[1];
                    cwdAtRun_ = os.currentDirectory();
                    if (const auto dir = gameDirectory()) allowed_.push_back(*dir);
                    Form1()->ListView1.doubleClick();
                }
                app = std::move(first);
                shortName_ = firstName;
                cwdAtRun_ = firstCwd;
                firstDir_.reset();
                inSecond_ = false;
            }
            return;
        }
        // The unzip program writes where its last word says: a folder made
        // for the run beside the game's directory, and empty.
        const std::string& line = p.request.commandLine;
        const std::string target = line.substr(line.rfind(' ') + 1);
        const std::string emu = os.resolve(*dir + "\\..") + "\\";
        unzipTarget_.clear();
        for (const std::string& name : os.listDirectory(emu).value_or(qn::Platform::DirectoryListing{}).folders) {
            const std::string full = emu + name;
            if (upper(name).rfind(upper(shortName_ + ".unpacked"), 0) == 0 &&
                (upper(target) == upper(full) || upper(target) == upper(os.shortPathName(full).value_or(full))))
                unzipTarget_ = full;
        }
        const auto listing = os.listDirectory(unzipTarget_);
        if (unzipTarget_.empty() || !listing || !listing->files.empty() || !listing->folders.empty())
            violated("unzip told to write to " + target);
        orphanIsUnzip_ = true;
        // The first launcher ended while its unzip runs.
        if (running_ && !inSecond_ && crashAt_ != 0 && (in_.byte() & 1)) throw Crash{};
        orphanIsUnzip_ = false;
        unzipWrites(unzipTarget_);
        if (fillsUp_) os.diskFull = true;
    }

    std::vector<std::pair<std::string, std::string>> members(const std::string& s) const {
        std::vector<std::pair<std::string, std::string>> out;
        for (size_t m = 0; m < kEntries.size(); ++m)
            if (unzipMembers_ & (1u << m)) out.emplace_back(kEntries[m], "from the archive");
        if (unzipMembers_ & 1) out.emplace_back(s + ".qun", "from the archive");
        return out;
    }
    std::string archiveOf(const std::string& s) const { return qn::storedZip(members(s)); }

    // As "pkunzip -o" does: each member replaces what is there, read-only or not.
    void unzipWrites(const std::string& dir) { qn::unzipInto(os, dir, members(shortName_), unzip_); }

    // A file's name as its directory lists it.
    std::string spelling(const std::string& path) {
        const size_t cut = path.rfind('\\');
        for (const std::string& name : os.filesIn(path.substr(0, cut)).value_or(std::vector<std::string>{}))
            if (upper(name) == upper(path.substr(cut + 1))) return name;
        return {};
    }

    // Where the user was told an item of theirs is kept: the places told
    // of (upper case), by the item's.
    std::vector<std::pair<std::string, std::string>> keptAside() const {
        std::vector<std::pair<std::string, std::string>> out;
        for (const auto& m : os.messages) {
            const std::string text = upper(m.text);
            for (const char* lead : {"YOUR FILE ", "YOUR FOLDER "}) {
                const std::string as = " WAS KEPT AS ", end = ": THE RUN LEFT ";
                const size_t at = text.find(as), stop = text.find(end);
                if (text.compare(0, std::string(lead).size(), lead) != 0 || at == std::string::npos ||
                    stop == std::string::npos)
                    continue;
                out.emplace_back(text.substr(std::string(lead).size(), at - std::string(lead).size()),
                                 text.substr(at + as.size(), stop - at - as.size()));
            }
        }
        return out;
    }

    void finish(const std::map<std::string, std::string>& before) {
        os.beforeFileChange = nullptr;
        os.whileRunning = nullptr;
        if (std::getenv("FUZZ_RUN_TRACE")) trace();
        const auto after = os.fileContents();
        const auto kept = keptAside();
        for (const auto& [path, content] : before) {
            if (within(path, kRecords)) continue;  // the launcher's own
            auto it = after.find(path);
            if (it != after.end() && it->second == content) {
                if (spelling(path) != spelt_.at(path)) violated("renamed: " + path + " is " + spelling(path));
                continue;
            }
            // An item kept aside for what the run left in its way, and the
            // user told where.
            bool told = false;
            for (const auto& [item, keptAs] : kept) {
                if (!within(path, item)) continue;
                const std::string there = keptAs + path.substr(item.size());
                told = told || (after.count(there) && after.at(there) == content);
            }
            if (!told) violated((it == after.end() ? "gone: " : "changed: ") + path);
        }
        // New files: only what a run left in its game's directory (the
        // archive's own files), and items kept aside that the user was told of.
        for (const auto& [path, content] : after) {
            if (before.count(path)) continue;
            bool inside = within(path, kRecords);  // a record not trusted, set apart
            for (const std::string& dir : allowed_) inside = inside || within(path, dir);
            for (const auto& [item, keptAs] : kept) inside = inside || within(path, keptAs);
            if (!inside) violated("left behind: " + path);
        }
        app.reset();
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    Input in(data, size);
    Scenario(in).run();
    return 0;
}
