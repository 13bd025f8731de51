#include <memory_resource>

#include "app/run.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
    // The large blocks of a big map's entries and names come from the platform's resource.
    std::pmr::set_default_resource(tarvel::platform::large_block_resource());
    return tarvel::run(argc, argv);
}
