#include "app/run.h"

#include <iostream>
#include <string>

#include "app/analyze_eep_size.h"
#include "app/analyze_memory.h"
#include "app/banner.h"
#include "app/input_path.h"
#include "app/run_errors.h"

namespace tarvel {

namespace {
// Resolves one input argument, printing the message for its failure. `what` names the input
// in the messages ("definition", "map", "eep").
int resolve(std::string& resolved, const char* argument, const std::string& program_dir,
            const char* what) {
    c_result<std::string, input_path_problem> path = resolve_input_path(argument, program_dir);
    if (!path) {
        return print_path_failure(std::cout, path.error(), what);
    }
    resolved = std::move(path).value();
    return exit_success;
}
}  // namespace

int run(int argc, const char* const* argv) {
    const std::string program_path = argc > 0 && argv[0] != nullptr ? argv[0] : "";
    print_banner(program_path, true);
    std::cout << std::endl;

    const std::string program_dir = program_directory(program_path);
    if (argc != 4 && argc != 5) {
        std::cout << "Tarvel:\tError: Wrong number of input parameters." << std::endl;
        std::cout << "Tarvel:\tPlease provide the proper number of input filename parameters "
                     "(include EepPrj.src if necessary)."
                  << std::endl;
        return exit_wrong_arguments;
    }

    std::string def_path;
    std::string map_path;
    if (const int result = resolve(def_path, argv[2], program_dir, "definition"); result != 0) {
        return result;
    }
    if (const int result = resolve(map_path, argv[3], program_dir, "map"); result != 0) {
        return result;
    }
    if (!analyze_memory(map_path, def_path, argv[1])) {
        return exit_memory_failed;
    }
    if (argc == 4) {
        return exit_success;
    }

    std::string eep_path;
    if (const int result = resolve(eep_path, argv[4], program_dir, "eep"); result != 0) {
        return result;
    }
    return analyze_eep_size(eep_path) ? exit_success : exit_eep_failed;
}

}  // namespace tarvel
