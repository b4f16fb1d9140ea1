// pkunzip.exe: a stand-in for the unzip program the launcher runs, for tests
// and the demo. It takes exactly the launcher's form
//   pkunzip -o <archive> <target directory>
// and unpacks every entry (stored or deflated) into the target directory,
// overwriting files already there, as PKUNZIP 2.04g does without -d: each
// file by its name alone (folders dropped), cut to 8.3 in capitals. With
// QUON_UNZIP_FOLDERS=1 it does as later unzip programs do: entries below
// the target with their folders and long names as the archive spells them.
// Entries that would land outside the target are skipped.
//
// Exit codes: 0 all unpacked; 1 some entries skipped as unsafe, the rest
// unpacked; 2 bad command line; 3 archive missing or unreadable; 4 corrupt
// archive, CRC error or an entry it cannot unpack; 5 a file or directory
// could not be written. Each problem is one line on stderr.
//
// With QUON_UNZIP_HOLD_MS=<n> it waits n milliseconds before it writes
// anything, for tests that end the launcher while it runs.
//
// With QUON_LOG set it appends, in the emulator stand-in's log format:
//   unzip-cmdline=<GetCommandLineA>   unzip-program=<its own file>
//   unzip-cwd=<current directory>
//   unzip-file=<path below the target>   (each file written)
//   unzip-skipped=<entry name>           (each unsafe entry)
//   unzip-failed=<entry name>            (each entry that did not unpack)
//   unzip-exit=<code>
#include "platform/win32/win32.h"
#include "launch/game_directory.h"
#include "platform/ascii.h"
#include "tools/quon/stand_in_log.h"

#include <unzip.h>

#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

enum ExitCode { kOk = 0, kSkipped = 1, kUsage = 2, kNoArchive = 3, kCorrupt = 4, kWriteFailed = 5 };

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '\\' || dir.back() == '/') return dir + name;
    return dir + "\\" + name;
}

bool isDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates `path` and every missing directory above it.
bool createDirectories(const std::string& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if (path[i] != '\\' && path[i] != '/') continue;
        const std::string prefix = path.substr(0, i);
        // Leave drive roots ("C:") and UNC server parts alone.
        if (prefix.empty() || prefix.back() == ':' || prefix.back() == '\\' || prefix.back() == '/') continue;
        CreateDirectoryA(prefix.c_str(), nullptr);
    }
    CreateDirectoryA(path.c_str(), nullptr);
    return isDirectory(path);
}

// One entry's content, checked by minizip against its size and CRC-32.
bool extract(unzFile zip, std::vector<unsigned char>& out, std::string& error) {
    out.clear();
    if (unzOpenCurrentFile(zip) != UNZ_OK) {
        error = "cannot unpack this entry (damaged header or unknown method)";
        return false;
    }
    unsigned char chunk[64 * 1024];
    int got;
    while ((got = unzReadCurrentFile(zip, chunk, sizeof chunk)) > 0) out.insert(out.end(), chunk, chunk + got);
    const int closed = unzCloseCurrentFile(zip);
    if (got < 0) error = "damaged data";
    else if (closed == UNZ_CRCERROR) error = "CRC error";
    else if (closed != UNZ_OK) error = "cannot unpack this entry";
    return got == 0 && closed == UNZ_OK;
}

// Replaces whatever is at `path`, read-only or not, and gives the file the
// entry's date and time as unzip programs do.
bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes, uint16_t dosDate,
               uint16_t dosTime) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size());
    FILETIME local, utc;
    if (ok && DosDateTimeToFileTime(dosDate, dosTime, &local) && LocalFileTimeToFileTime(&local, &utc))
        SetFileTime(file, nullptr, nullptr, &utc);
    ok = CloseHandle(file) && ok;
    return ok;
}

class Run {
public:
    Run() : log_(qn_standin::logFromEnvironment()) {
        record_ = "unzip-cmdline=" + std::string(GetCommandLineA()) +
                  "\nunzip-program=" + qn_standin::programPath() +
                  "\nunzip-cwd=" + qn_standin::currentDirectory() + "\n";
    }

    int unpack(int argc, char** argv) {
        if (argc != 4 || std::string(argv[1]) != "-o")
            return fail(kUsage, "usage: pkunzip -o <archive> <target directory>");
        const std::string archivePath = argv[2];
        const std::string target = argv[3];

        if (GetFileAttributesA(archivePath.c_str()) == INVALID_FILE_ATTRIBUTES)
            return fail(kNoArchive, archivePath + ": cannot open the archive (error " +
                                        std::to_string(GetLastError()) + ")");
        unzFile zip = unzOpen64(archivePath.c_str());
        if (!zip) return fail(kCorrupt, archivePath + ": not a zip archive, or a damaged one");
        std::printf("Archive: %s\n", archivePath.c_str());
        char hold[32] = {};
        if (GetEnvironmentVariableA("QUON_UNZIP_HOLD_MS", hold, sizeof hold) > 0 && hold[0] != '\0')
            Sleep(static_cast<DWORD>(std::strtoul(hold, nullptr, 10)));
        const int code = unpackAll(zip, target);
        unzClose(zip);
        return code;
    }

private:
    // Where an entry goes: below the target as it names it, or by its name
    // alone cut to 8.3; nothing for a folder entry that names alone drop.
    std::optional<std::string> placeOf(const std::string& relative, bool folder) const {
        if (keepFolders_) return relative;
        if (folder) return std::nullopt;
        return qn::dosFileName(relative.substr(relative.find_last_of('\\') + 1));
    }

    int unpackAll(unzFile zip, const std::string& target) {
        char folders[8] = {};
        keepFolders_ = GetEnvironmentVariableA("QUON_UNZIP_FOLDERS", folders, sizeof folders) > 0 && folders[0] == '1';
        if (!createDirectories(target)) return fail(kWriteFailed, "cannot create " + target);
        for (int step = unzGoToFirstFile(zip); step == UNZ_OK; step = unzGoToNextFile(zip)) {
            unz_file_info64 info;
            char buffer[1024];
            if (unzGetCurrentFileInfo64(zip, &info, buffer, sizeof buffer, nullptr, 0, nullptr, 0) != UNZ_OK)
                return fail(kCorrupt, "damaged archive directory");
            const std::string name(buffer, std::min<size_t>(info.size_filename, sizeof buffer - 1));
            const bool folder = !name.empty() && (name.back() == '/' || name.back() == '\\');
            const std::optional<std::string> entryPath = qn::archiveEntryPath(name);
            if (!entryPath) {
                message("skipped " + name + ": it would land outside " + target);
                note("unzip-skipped", name);
                skipped_ = true;
                continue;
            }
            const std::optional<std::string> relative = placeOf(*entryPath, folder);
            if (!relative) continue;
            const std::string path = relative->empty() ? target : joinPath(target, *relative);
            if (folder) {
                if (!createDirectories(path)) failEntry(kWriteFailed, name, "cannot create " + path);
                continue;
            }
            std::vector<unsigned char> content;
            std::string error;
            if (!extract(zip, content, error)) {
                failEntry(kCorrupt, name, error);
                continue;
            }
            const size_t slash = relative->find_last_of('\\');
            if (slash != std::string::npos && !createDirectories(joinPath(target, relative->substr(0, slash)))) {
                failEntry(kWriteFailed, name, "cannot create the directory of " + path);
                continue;
            }
            if (!writeFile(path, content, HIWORD(info.dosDate), LOWORD(info.dosDate))) {
                failEntry(kWriteFailed, name, "cannot write " + path);
                continue;
            }
            std::printf("  %s: %s\n", info.compression_method == 0 ? "Extracting" : " Inflating", relative->c_str());
            note("unzip-file", *relative);
        }
        return finish(failure_ != kOk ? failure_ : skipped_ ? kSkipped : kOk);
    }

    void message(const std::string& text) { std::fprintf(stderr, "pkunzip: %s\n", text.c_str()); }
    void note(const char* key, const std::string& value) { record_ += std::string(key) + "=" + value + "\n"; }

    int fail(int code, const std::string& text) {
        message(text);
        return finish(code);
    }

    // The first failure decides the exit code; the other entries are still tried.
    void failEntry(int code, const std::string& name, const std::string& text) {
        message(name + ": " + text);
        note("unzip-failed", name);
        if (failure_ == kOk) failure_ = code;
    }

    int finish(int code) {
        note("unzip-exit", std::to_string(code));
        if (!log_.empty() && !qn_standin::appendRecord(log_, record_))
            message("cannot write to " + log_);
        std::fflush(stdout);
        return code;
    }

    std::string log_;
    std::string record_;
    int failure_ = kOk;
    bool skipped_ = false;
    bool keepFolders_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    Run run;
    try {
        return run.unpack(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "pkunzip: out of memory\n");
        return kCorrupt;
    }
}
