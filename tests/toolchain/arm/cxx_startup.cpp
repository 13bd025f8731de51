// Vector table and reset handler of the C++ build: copies .data from its load address, clears
// .bss, runs the static constructors and calls main.
#include <cstdint>
#include <cstring>

extern "C" {
extern std::uint32_t __etext, __data_start__, __data_end__, __bss_start__, __bss_end__,
    __StackTop;
void __libc_init_array();
void Reset_Handler();
}
int main();

extern "C" void Reset_Handler() {
    std::memcpy(&__data_start__, &__etext,
                static_cast<std::size_t>(&__data_end__ - &__data_start__) * 4);
    std::memset(&__bss_start__, 0, static_cast<std::size_t>(&__bss_end__ - &__bss_start__) * 4);
    __libc_init_array();
    main();
    for (;;) {
    }
}

using handler = void (*)();
struct vector_table {
    std::uint32_t* stack_top;
    handler reset;
};
__attribute__((section(".vectors"), used)) const vector_table vectors = {&__StackTop,
                                                                         Reset_Handler};
