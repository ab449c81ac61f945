#include "windows/reader_process.h"

#include <windows.h>

#include <fstream>
#include <sstream>

namespace realworld {

namespace {

// The reader's exit code after a crash.
constexpr DWORD kReaderCrashed = 3;

std::string moduleFolder() {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s(path, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

}  // namespace

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string environment(const char* name) {
    char value[256];
    DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
    return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::string sessionLocale() {
    std::string all = environment("LC_ALL");
    return all.empty() ? environment("LANG") : all;
}

Reading runReader(const std::string& mode, const std::string& document, unsigned long timeoutMs) {
    Reading r;
    char folder[MAX_PATH], out[MAX_PATH];
    if (GetTempPathA(MAX_PATH, folder) == 0 || GetTempFileNameA(folder, "rwr", 0, out) == 0) {
        r.status = "no temporary file";
        return r;
    }
    std::string command =
        "\"" + moduleFolder() + "realworld_rtf_reader.exe\" " + mode + " \"" + document + "\" \"" + out + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Wine under load now and then fails to start a process at all
    // (ERROR_INTERNAL_ERROR); that says nothing of the document, so the
    // start is tried again, a few times.
    bool started = false;
    for (int attempt = 0; attempt < 3 && !started; ++attempt) {
        if (attempt > 0) Sleep(200);
        started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process) != FALSE;
    }
    if (!started) {
        r.status = "reader not started (error " + std::to_string(GetLastError()) + ")";
        DeleteFileA(out);
        return r;
    }
    DWORD waited = WaitForSingleObject(process.hProcess, timeoutMs);
    DWORD exitCode = 0;
    if (waited != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 10 * 1000);
        r.status = "hung";
    } else {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (r.status == "ok") {
        if (exitCode == kReaderCrashed || exitCode >= 0xC0000000u) {
            r.status = "crashed";
        } else if (exitCode != 0) {
            r.status = "failed (exit code " + std::to_string(exitCode) + ")";
        } else if (!realworld::parse(readWholeFile(out), r)) {
            r = Reading();
            r.status = "wrote no reading";
        }
    }
    DeleteFileA(out);
    return r;
}

void listDocuments(const std::string& folder, const std::string& prefix, std::vector<std::string>& out) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "/*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            listDocuments(folder + "/" + name, prefix + name + "/", out);
        } else if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rtf") == 0) {
            out.push_back(prefix + name);
        }
    } while (FindNextFileA(h, &found));
    FindClose(h);
}

}  // namespace realworld
