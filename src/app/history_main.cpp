#include <iostream>

#include "app/history_run.h"

int main(int argc, char** argv) {
    return tarvel::run_history(argc, argv, std::cout, std::cerr);
}
