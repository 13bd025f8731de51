#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "support/process.h"

namespace tarvel::test {

int exit_status(int code) {
    return code & 0xFF;
}

namespace {
// Reads both pipes until the child has closed them, whichever it writes to first, so that a
// child filling one pipe never waits on a parent blocked reading the other.
void collect(int output_pipe, int error_pipe, process_result& result) {
    pollfd pipes[2] = {{output_pipe, POLLIN, 0}, {error_pipe, POLLIN, 0}};
    std::string* targets[2] = {&result.output, &result.error_output};
    int open_pipes = 2;
    char buffer[65536];
    while (open_pipes > 0) {
        if (::poll(pipes, 2, -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            std::abort();
        }
        for (int i = 0; i < 2; ++i) {
            if (pipes[i].fd < 0 || pipes[i].revents == 0) {
                continue;
            }
            const ssize_t got = ::read(pipes[i].fd, buffer, sizeof buffer);
            if (got > 0) {
                targets[i]->append(buffer, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                ::close(pipes[i].fd);
                pipes[i].fd = -1;  // poll skips negative descriptors
                --open_pipes;
            }
        }
    }
}
}  // namespace

process_result run_program(const std::string& program, const std::vector<std::string>& arguments,
                           const std::filesystem::path& directory, const std::string& argv0) {
    int output_ends[2];
    int error_ends[2];
    if (::pipe(output_ends) != 0 || ::pipe(error_ends) != 0) {
        std::abort();
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(output_ends[1], STDOUT_FILENO);
        ::dup2(error_ends[1], STDERR_FILENO);
        for (const int end : {output_ends[0], output_ends[1], error_ends[0], error_ends[1]}) {
            ::close(end);
        }
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
    ::close(output_ends[1]);
    ::close(error_ends[1]);
    process_result result;
    collect(output_ends[0], error_ends[0], result);
    int status = 0;
    ::waitpid(child, &status, 0);
    result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 1000 + WTERMSIG(status);
    return result;
}

}  // namespace tarvel::test
