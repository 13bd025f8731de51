#include <iostream>

#include "app/report_run.h"

int main(int argc, char** argv) {
    return tarvel::run_report(argc, argv, std::cout, std::cerr);
}
