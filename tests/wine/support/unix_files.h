// Conditions on files that only the Unix side can make under Wine: immutable files (the
// tests run as root, and Wine lets root write read-only files), sparse huge files, and a
// tiny file system that fills up.
#pragma once

#include <cstdlib>
#include <string>
#include <vector>

#include <windows.h>

#include "support/test_window.h"

// Runs a Unix command line through /bin/sh. Wine gives no usable process handle for it, so
// callers wait for its effect instead.
bool StartUnixCommand(const std::wstring& shellCommand);

// Unix path for a Z: Windows path ("Z:\tmp\x" -> "/tmp/x").
std::wstring UnixPath(const std::wstring& windowsPath);

// Makes a file immutable (or writable again) and waits until a write-open agrees.
bool SetImmutable(const std::wstring& windowsPath, bool immutable);

// A file of `size` bytes that takes no disk space but for `tail`, its last bytes.
bool MakeSparseFile(const std::wstring& windowsPath, long long size,
                    const std::vector<uint8_t>& tail = {});

// The bytes the file system has allocated for the file (FileStandardInfo); -1 when unknown.
long long AllocatedBytes(const std::wstring& windowsPath);

// Waits up to `ms` for a condition.
template <typename Condition> bool WaitFor(Condition condition, int ms = 5000) {
    for (int waited = 0; waited < ms; waited += 10) {
        if (condition())
            return true;
        Sleep(10);
    }
    return condition();
}

// A tmpfs of a few KiB mounted at a fresh folder, unmounted on destruction. Mounting may be
// refused (no privileges): then Mounted() is false.
class TinyFileSystem {
  public:
    explicit TinyFileSystem(int kibibytes);
    ~TinyFileSystem();
    bool Mounted() const { return mounted_; }
    std::wstring Path(const std::wstring& name) const { return folder_ + name; }

  private:
    std::wstring folder_;
    bool mounted_ = false;
};

// `count` empty files item000000.bin, item000001.bin, ... in a fresh folder, made and removed
// from the Unix side: through Wine either takes seconds per ten thousand files.
class NumberedFiles {
  public:
    explicit NumberedFiles(int count);
    ~NumberedFiles();
    NumberedFiles(const NumberedFiles&) = delete;
    NumberedFiles& operator=(const NumberedFiles&) = delete;
    // Their paths in order; none when they could not be made.
    const std::vector<std::wstring>& paths() const { return paths_; }
    const std::wstring& folder() const { return folder_; }

  private:
    std::wstring folder_;
    std::vector<std::wstring> paths_;
};

// build/slowfs/slowfs (tools/slowfs) serving a fresh folder at `bytesPerSecond` (0: full
// speed), started with its process id and stopped by that id. Files written through Path()
// go through the mount; Hold() makes every read and write wait until Release().
class SlowMount {
  public:
    explicit SlowMount(long long bytesPerSecond);
    ~SlowMount();
    SlowMount(const SlowMount&) = delete;
    SlowMount& operator=(const SlowMount&) = delete;
    bool Mounted() const { return mounted_; }
    std::wstring Path(const std::wstring& name) const { return mountPoint_ + name; }
    // Writes straight into the served folder, past the mount's rate and hold.
    std::wstring Write(const std::wstring& name, const std::vector<uint8_t>& bytes) const {
        source_.Write(name, bytes);
        return Path(name);
    }
    // The file in the served folder, as another program sees it past the mount.
    std::wstring Served(const std::wstring& name) const { return source_.Path(name); }
    bool Hold() const { return Exists(source_.Write(L"slowfs.hold", {})); }
    // Holds looking up the attributes of the file `name` alone.
    bool HoldLookup(const std::string& name) const {
        return Exists(source_.Write(L"slowfs.holdattr", {name.begin(), name.end()}));
    }
    // Reads that cover `offset` of any file fail (EIO) from now on.
    bool FailReadsAt(long long offset) const {
        const std::string text = std::to_string(offset);
        return Exists(source_.Write(L"slowfs.failat", {text.begin(), text.end()}));
    }
    // Counts the bytes read from now on.
    bool CountReads() const { return Exists(source_.Write(L"slowfs.count", {'0'})); }
    long long BytesCounted() const {
        const std::vector<uint8_t> text = ReadAll(source_.Path(L"slowfs.count"));
        return std::atoll(std::string(text.begin(), text.end()).c_str());
    }
    void Release() const {
        DeleteFileW(source_.Path(L"slowfs.hold").c_str());
        DeleteFileW(source_.Path(L"slowfs.holdattr").c_str());
    }

  private:
    TempFolder source_;
    std::wstring mountPoint_ = MakeUniqueTempFolder(L"propweave-slow");
    bool mounted_ = false;
};
