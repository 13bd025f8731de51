// C++ with a static constructor (.init_array), an exception thrown and caught (.ARM.exidx,
// .ARM.extab, the unwinder from libgcc) and newlib-nano's malloc behind operator new.
#include <cstdint>
#include <new>

namespace {

struct sensor {
    sensor() : calibration(new std::uint32_t[4]{1, 2, 3, 4}) {}
    std::uint32_t* calibration;
};

sensor g_sensor;  // constructed before main by the start-up code's __libc_init_array
volatile std::uint32_t g_samples[8];
std::uint32_t g_errors = 0;

std::uint32_t checked_sample(std::uint32_t index) {
    if (index >= 8) {
        throw index;
    }
    return g_samples[index] * g_sensor.calibration[index % 4];
}

}  // namespace

int main() {
    std::uint32_t sum = 0;
    for (std::uint32_t i = 0; i < 10; ++i) {
        try {
            sum += checked_sample(i);
        } catch (std::uint32_t) {
            ++g_errors;
        }
    }
    return static_cast<int>(sum + g_errors);
}
