// A private PostgreSQL server for the tests: its cluster in a temporary directory, listening on
// a Unix socket in that directory only, started once per test binary and stopped when the
// binary ends. Debian's server binaries live in /usr/lib/postgresql/<version>/bin, off PATH.
// The server refuses to run as root: as root, it runs as the user `postgres`.
#pragma once

#include <string>

namespace tarvel::test {

class c_postgres_server {
  public:
    // The running server, started at the first call; null when the server binaries are
    // missing or it could not start (`why_not()` says which).
    static c_postgres_server* instance();
    static const std::string& why_not();

    ~c_postgres_server();
    c_postgres_server(const c_postgres_server&) = delete;
    c_postgres_server& operator=(const c_postgres_server&) = delete;

    // A connection string to a schema of its own, created empty: each test's database.
    std::string fresh_database();
    // The connection string of the server's default database, without a schema of its own.
    std::string address(const std::string& user = "tarvel") const;

  private:
    c_postgres_server() = default;
    bool start(std::string& error);

    std::string bin_;        // the server binaries' directory
    std::string directory_;  // the cluster and the socket
    std::string run_as_;     // empty, or the user the server runs as
    int schemas_ = 0;
    bool running_ = false;
};

// A skip with a visible note when no server can be had.
#define TARVEL_NEED_POSTGRES(server)                                  \
    if ((server) == nullptr) {                                        \
        GTEST_SKIP() << "PostgreSQL server binaries missing: "        \
                     << ::tarvel::test::c_postgres_server::why_not(); \
    }

}  // namespace tarvel::test
