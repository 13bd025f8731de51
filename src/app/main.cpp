#include "app/run.h"

int main(int argc, char** argv) {
    return tarvel::run(argc, argv);
}
