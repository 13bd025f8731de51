// The run of `tarvel-history`: the command line, the database, and each command.
#pragma once

#include <iosfwd>

#include "app/history_options.h"
#include "app/history_record.h"

namespace tarvel {

int run_history(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

// The commands, each with its database open and prepared.
int history_add(const history_options& options, std::ostream& err);
int history_list(c_history_store& store, const history_options& options, std::ostream& out,
                 std::ostream& err);
int history_show(c_history_store& store, const history_options& options, std::ostream& out,
                 std::ostream& err);
int history_compare(c_history_store& store, const history_options& options, std::ostream& out,
                    std::ostream& err);
int history_trend(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err);
int history_blame(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err);
int history_prune(c_history_store& store, const history_options& options, std::ostream& out,
                  std::ostream& err);

// The full commit id of the build `text` means (a prefix, HEAD, HEAD~N) among the target's
// builds; none, with the message on `err` and the exit code in `status`, when there is none.
std::optional<std::string> find_build(c_history_store& store, const std::string& target,
                                      const std::string& text, std::ostream& err, int& status);

// Whether the build's entry list is kept. One that cannot be asked about counts as pruned: the
// commands then leave the entries out and say so, rather than fail.
bool entries_kept(c_history_store& store, const std::string& target, const std::string& commit);

inline constexpr const char* history_program = "tarvel-history: ";

}  // namespace tarvel
