#include "support/postgres_server.h"

#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "history/postgres_database.h"

namespace tarvel::test {

namespace {
std::string& failure() {
    static std::string text;
    return text;
}

// Runs a program, as `user` when one is named, and waits for it; its output goes to `log`.
int run(const std::vector<std::string>& command, const std::string& user, const std::string& log) {
    std::vector<std::string> full;
    if (!user.empty()) {
        full = {"/usr/sbin/runuser", "-u", user, "--"};
    }
    full.insert(full.end(), command.begin(), command.end());
    const pid_t child = fork();
    if (child == 0) {
        std::vector<char*> argv;
        for (std::string& part : full) {
            argv.push_back(part.data());
        }
        argv.push_back(nullptr);
        if (std::freopen(log.c_str(), "a", stdout) == nullptr ||
            std::freopen(log.c_str(), "a", stderr) == nullptr) {
            _exit(126);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string find_server_binaries() {
    for (const char* version : {"17", "16", "15", "14", "13"}) {
        const std::string bin = std::string("/usr/lib/postgresql/") + version + "/bin";
        if (std::filesystem::exists(bin + "/pg_ctl") && std::filesystem::exists(bin + "/initdb")) {
            return bin;
        }
    }
    return "";
}
}  // namespace

c_postgres_server* c_postgres_server::instance() {
    static std::unique_ptr<c_postgres_server> server = [] {
        std::unique_ptr<c_postgres_server> started(new c_postgres_server);
        if (!started->start(failure())) {
            started.reset();
        }
        return started;
    }();
    return server.get();
}

const std::string& c_postgres_server::why_not() {
    return failure();
}

bool c_postgres_server::start(std::string& error) {
    bin_ = find_server_binaries();
    if (bin_.empty()) {
        error = "no /usr/lib/postgresql/<version>/bin/pg_ctl (Debian's package postgresql)";
        return false;
    }
    char pattern[] = "/tmp/tarvel-pg-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        error = "cannot make a temporary directory";
        return false;
    }
    directory_ = pattern;
    if (geteuid() == 0) {
        const passwd* user = getpwnam("postgres");
        if (user == nullptr || chown(directory_.c_str(), user->pw_uid, user->pw_gid) != 0) {
            error = "running as root, and there is no user postgres to run the server as";
            return false;
        }
        run_as_ = "postgres";
    }
    const std::string log = directory_ + "/server.log";
    if (run({bin_ + "/initdb", "-D", directory_ + "/data", "-U", "tarvel", "-A", "trust",
             "--no-sync", "-E", "UTF8"},
            run_as_, "/dev/null") != 0) {
        error = "initdb failed";
        return false;
    }
    // No TCP at all: the socket in the private directory is the only way in.
    if (run({bin_ + "/pg_ctl", "-D", directory_ + "/data", "-l", log, "-w", "-o",
             "-c listen_addresses='' -k " + directory_ + " -c fsync=off", "start"},
            run_as_, "/dev/null") != 0) {
        error = "pg_ctl start failed (see " + log + ")";
        return false;
    }
    running_ = true;
    return true;
}

c_postgres_server::~c_postgres_server() {
    if (running_) {
        run({bin_ + "/pg_ctl", "-D", directory_ + "/data", "-m", "immediate", "-w", "stop"},
            run_as_, "/dev/null");
    }
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
}

std::string c_postgres_server::address(const std::string& user) const {
    return "postgresql://" + user + "@/postgres?host=" + directory_;
}

std::string c_postgres_server::fresh_database() {
    const std::string schema =
        "test_" + std::to_string(getpid()) + "_" + std::to_string(++schemas_);
    const auto database = c_postgres_database::open(address());
    if (database) {
        (void)(*database)->run("CREATE SCHEMA " + schema, {});
    }
    return address() + "&options=-csearch_path%3D" + schema;
}

}  // namespace tarvel::test
