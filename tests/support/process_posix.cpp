#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "support/process.h"

namespace tarvel::test {

int exit_status(int code) {
    return code & 0xFF;
}

process_result run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& directory, const std::string& argv0) {
    int pipe_ends[2];
    if (::pipe(pipe_ends) != 0) {
        std::abort();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(pipe_ends[1], STDOUT_FILENO);
        ::close(pipe_ends[0]);
        ::close(pipe_ends[1]);
        if (::chdir(directory.c_str()) != 0) {
            ::_exit(127);
        }
        std::vector<std::string> words;
        words.push_back(argv0.empty() ? program : argv0);
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (auto& word : words) {
            argv.push_back(word.data());
        }
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipe_ends[1]);
    process_result result;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(pipe_ends[0], buffer, sizeof buffer);
        if (got <= 0) {
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(pipe_ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return result;
}

}  // namespace tarvel::test
