// Helpers for the stand-ins' tests: running quon.exe and pkunzip.exe (copied
// beside the test program) with their output captured, setting the
// environment they read, reading the log they share, and a small zip writer
// for archives Debian's zip would refuse to make.
#pragma once

#include "platform_test_support.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qn_test {

inline std::string besideTests(const std::string& name) { return moduleDirectory() + "\\" + name; }

// A child program with its stdout and stderr going to one file. Ended at
// destruction if it is still running, so a failing test leaves nothing behind.
class ChildProcess {
public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 99);
            WaitForSingleObject(process_, 5000);
        }
        CloseHandle(process_);
    }

    bool start(const std::string& commandLine, const std::string& directory, const std::string& outputFile) {
        SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
        HANDLE out = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out == INVALID_HANDLE_VALUE) return false;
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        si.hStdOutput = out;
        si.hStdError = out;
        PROCESS_INFORMATION pi = {};
        std::vector<char> buffer(commandLine.begin(), commandLine.end());
        buffer.push_back('\0');
        const bool started = CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                            directory.empty() ? nullptr : directory.c_str(), &si, &pi) != 0;
        CloseHandle(out);
        if (!started) return false;
        CloseHandle(pi.hThread);
        process_ = pi.hProcess;
        id_ = pi.dwProcessId;
        return true;
    }

    // True when the program ended within `ms`.
    bool wait(DWORD ms) { return process_ && WaitForSingleObject(process_, ms) == WAIT_OBJECT_0; }

    DWORD exitCode() const {
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return code;
    }

    DWORD id() const { return id_; }

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

struct ProgramRun {
    bool started = false;
    bool finished = false;
    DWORD exitCode = 0;
    std::string output;  // stdout and stderr together
};

// Runs `commandLine` in `directory` with our environment and waits at most
// `timeoutMs`; a program still running then is ended and reported unfinished.
inline ProgramRun runProgram(const std::string& commandLine, const std::string& directory,
                             const std::string& outputFile, DWORD timeoutMs = 20000) {
    ProgramRun run;
    {
        ChildProcess child;
        run.started = child.start(commandLine, directory, outputFile);
        if (!run.started) return run;
        run.finished = child.wait(timeoutMs);
        run.exitCode = child.exitCode();
    }
    run.output = readBytes(outputFile);
    return run;
}

// Sets an environment variable for the children started while it lives,
// and puts the old value back afterwards. A null value removes the variable.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        char old[4096];
        const DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
        had_ = n > 0 && n < sizeof old;
        if (had_) old_.assign(old, n);
        SetEnvironmentVariableA(name, value);
    }
    ~ScopedEnvironment() { SetEnvironmentVariableA(name_.c_str(), had_ ? old_.c_str() : nullptr); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name_;
    std::string old_;
    bool had_ = false;
};

inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// The values of every "key=..." line of the log, in order.
inline std::vector<std::string> logValues(const std::string& log, const std::string& key) {
    std::vector<std::string> values;
    for (const std::string& line : splitLines(log))
        if (line.compare(0, key.size() + 1, key + "=") == 0) values.push_back(line.substr(key.size() + 1));
    return values;
}

// Every file below `dir`, as paths relative to it with '\' between parts.
inline void listTree(const std::string& dir, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listTree(dir + "\\" + name, prefix + name + "\\", out);
        else
            out.push_back(prefix + name);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

inline std::vector<std::string> filesBelow(const std::string& dir) {
    std::vector<std::string> files;
    listTree(dir, "", files);
    std::sort(files.begin(), files.end());
    return files;
}

// Writes zip archives entry by entry, stored or deflated, with any name at
// all (which is the point: Debian's zip will not store "../x").
class ZipWriter {
public:
    void add(const std::string& name, const std::string& content, bool deflate) {
        std::string data = content;
        if (deflate) data = rawDeflate(content);
        const uint32_t crc = static_cast<uint32_t>(
            crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(content.data()),
                  static_cast<uInt>(content.size())));
        const uint16_t method = deflate ? 8 : 0;
        const uint32_t offset = static_cast<uint32_t>(archive_.size());

        put32(archive_, 0x04034b50);
        put16(archive_, 20);
        common(archive_, method, crc, data.size(), content.size(), name.size());
        put16(archive_, 0);  // no extra field
        archive_ += name;
        lastDataOffset_ = archive_.size();
        archive_ += data;

        put32(central_, 0x02014b50);
        put16(central_, 20);
        put16(central_, 20);
        common(central_, method, crc, data.size(), content.size(), name.size());
        put16(central_, 0);  // extra
        put16(central_, 0);  // comment
        put16(central_, 0);  // disk
        put16(central_, 0);  // internal attributes
        put32(central_, 0);  // external attributes
        put32(central_, offset);
        central_ += name;
        ++count_;
    }

    std::string bytes() const {
        std::string out = archive_ + central_;
        put32(out, 0x06054b50);
        put16(out, 0);
        put16(out, 0);
        put16(out, count_);
        put16(out, count_);
        put32(out, static_cast<uint32_t>(central_.size()));
        put32(out, static_cast<uint32_t>(archive_.size()));
        put16(out, 0);
        return out;
    }

    // Where the data of the entry added last begins, for tests that damage it.
    size_t lastDataOffset() const { return lastDataOffset_; }

private:
    static void put16(std::string& s, uint32_t v) {
        s += static_cast<char>(v & 0xFF);
        s += static_cast<char>((v >> 8) & 0xFF);
    }
    static void put32(std::string& s, uint32_t v) {
        put16(s, v & 0xFFFF);
        put16(s, v >> 16);
    }
    // From "version needed" on, local and central headers agree up to the
    // name length.
    static void common(std::string& s, uint16_t method, uint32_t crc, size_t packed, size_t size, size_t nameSize) {
        put16(s, 0);  // flags
        put16(s, method);
        put16(s, 0x2000);  // 04:00:00
        put16(s, 0x5221);  // 2021-01-01
        put32(s, crc);
        put32(s, static_cast<uint32_t>(packed));
        put32(s, static_cast<uint32_t>(size));
        put16(s, static_cast<uint32_t>(nameSize));
    }
    static std::string rawDeflate(const std::string& in) {
        z_stream z = {};
        deflateInit2(&z, 9, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
        std::string out(deflateBound(&z, static_cast<uLong>(in.size())), '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
        z.avail_in = static_cast<uInt>(in.size());
        z.next_out = reinterpret_cast<Bytef*>(&out[0]);
        z.avail_out = static_cast<uInt>(out.size());
        deflate(&z, Z_FINISH);
        out.resize(z.total_out);
        deflateEnd(&z);
        return out;
    }

    std::string archive_;
    std::string central_;
    size_t lastDataOffset_ = 0;
    uint32_t count_ = 0;
};

}  // namespace qn_test
