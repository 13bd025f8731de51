// Windows implementation of the program runner. Under Wine the build hands over POSIX paths;
// they are turned into the Windows paths that the program sees.
#include <windows.h>

#include <cstdlib>
#include <functional>
#include <thread>

#include "support/process.h"

namespace tarvel::test {

namespace {

// Wine maps host paths to DOS paths with this kernel32 export; on Windows it does not exist.
using wine_dos_name_function = WCHAR*(CDECL*)(const char*);

std::string from_wide(const WCHAR* text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) {
        return {};
    }
    std::string converted(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, converted.data(), size, nullptr, nullptr);
    converted.resize(static_cast<std::size_t>(size - 1));
    return converted;
}

// "/a/b" (a host path under Wine) becomes "Z:\a\b" or whatever drive Wine maps it to; a path
// that is already a Windows one only gets backslashes.
std::string windows_path(const std::string& path) {
    if (!path.empty() && path.front() == '/') {
        const HMODULE kernel = GetModuleHandleA("kernel32.dll");
        const auto to_dos = reinterpret_cast<wine_dos_name_function>(
            reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
        if (to_dos != nullptr) {
            if (WCHAR* dos = to_dos(path.c_str()); dos != nullptr) {
                std::string converted = from_wide(dos);
                HeapFree(GetProcessHeap(), 0, dos);
                if (!converted.empty()) {
                    return converted;
                }
            }
        }
        // Wine's default mapping of the host's root directory.
        return windows_path("Z:" + path);
    }
    std::string converted = path;
    for (char& c : converted) {
        if (c == '/') {
            c = '\\';
        }
    }
    return converted;
}

// Quotes one command-line word so that the C runtime's parser gives it back unchanged:
// backslashes are literal except before a quote, where they (and the quote) are escaped.
std::string quote_argument(const std::string& word) {
    if (!word.empty() && word.find_first_of(" \t\n\v\"") == std::string::npos) {
        return word;
    }
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') {
            quoted.append(backslashes * 2 + 1, '\\');
        } else {
            quoted.append(backslashes, '\\');
        }
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');
    quoted += '"';
    return quoted;
}

// Closes a handle when it goes out of scope.
class c_handle {
  public:
    c_handle() = default;
    explicit c_handle(HANDLE handle) : handle_(handle) {}
    ~c_handle() { reset(); }
    c_handle(const c_handle&) = delete;
    c_handle& operator=(const c_handle&) = delete;

    HANDLE get() const { return handle_; }
    HANDLE* out() { return &handle_; }
    void reset() {
        if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
        handle_ = nullptr;
    }

  private:
    HANDLE handle_ = nullptr;
};

// A pipe whose write end the child inherits and whose read end stays with this process.
struct c_child_pipe {
    c_child_pipe() {
        SECURITY_ATTRIBUTES inheritable{};
        inheritable.nLength = sizeof inheritable;
        inheritable.bInheritHandle = TRUE;
        if (CreatePipe(read_end.out(), write_end.out(), &inheritable, 0) == 0 ||
            SetHandleInformation(read_end.get(), HANDLE_FLAG_INHERIT, 0) == 0) {
            std::abort();
        }
    }
    c_handle read_end;
    c_handle write_end;
};

// Everything that comes through `pipe` until its last write end is closed.
void read_all(HANDLE pipe, std::string& text) {
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) != 0 && got > 0) {
        text.append(buffer, got);
    }
}

}  // namespace

std::string tarvel_executable() {
    return windows_path(TARVEL_EXE);
}

std::string tarvel_report_executable() {
    return windows_path(TARVEL_REPORT_EXE);
}

// The exit code as GetExitCodeProcess reports it: the program's int return value, unchanged.
int exit_status(int code) {
    return code;
}

process_result run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& directory, const std::string& argv0) {
    const std::string application = windows_path(program);
    std::string command_line = quote_argument(
        argv0.empty() ? std::filesystem::path(application).filename().string() : argv0);
    for (const std::string& argument : arguments) {
        command_line += ' ';
        command_line += quote_argument(argument);
    }

    c_child_pipe output;
    c_child_pipe error;

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output.write_end.get();
    startup.hStdError = error.write_end.get();
    PROCESS_INFORMATION started{};
    const std::string working_directory = directory.string();
    // Under load Wine has been seen to fail a start with ERROR_INTERNAL_ERROR while other
    // processes start and end in parallel, so a failed start is tried again; a program that
    // cannot be started at all fails every attempt.
    for (int attempt = 1;; ++attempt) {
        if (CreateProcessA(application.c_str(), command_line.data(), nullptr, nullptr, TRUE, 0,
                           nullptr, working_directory.c_str(), &startup, &started) != 0) {
            break;
        }
        if (attempt == 3) {
            return {1000 + static_cast<int>(GetLastError()), {}, {}};
        }
        Sleep(100);
    }
    const c_handle process(started.hProcess);
    const c_handle thread(started.hThread);
    // Only the child may hold the write ends now, so that reading ends when the child does.
    output.write_end.reset();
    error.write_end.reset();

    // Standard error is read by a thread of its own, so that a child filling one pipe never
    // waits on this process reading the other.
    process_result result;
    std::thread error_reader(read_all, error.read_end.get(), std::ref(result.error_output));
    read_all(output.read_end.get(), result.output);
    error_reader.join();
    WaitForSingleObject(process.get(), INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    result.exit_code = static_cast<int>(code);
    return result;
}

}  // namespace tarvel::test
