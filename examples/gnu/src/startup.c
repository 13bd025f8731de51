/* Cortex-M start-up: the vector table, and a reset handler that copies the initial values of
 * .data from flash and clears .bss before main. */
#include <stdint.h>

extern uint32_t _sidata, _sdata, _edata, _sbss, _ebss, _estack;
int main(void);

void Reset_Handler(void) {
    const uint32_t* from = &_sidata;
    for (uint32_t* to = &_sdata; to < &_edata;) {
        *to++ = *from++;
    }
    for (uint32_t* to = &_sbss; to < &_ebss;) {
        *to++ = 0;
    }
    (void)main();
    for (;;) {
    }
}

void Default_Handler(void) {
    for (;;) {
    }
}

void SysTick_Handler(void) __attribute__((weak, alias("Default_Handler")));

__attribute__((section(".isr_vector"), used)) void (*const vectors[16])(void) = {
    (void (*)(void))(&_estack), Reset_Handler, Default_Handler, Default_Handler,
    Default_Handler, Default_Handler, Default_Handler, 0, 0, 0, 0,
    Default_Handler, Default_Handler, 0, Default_Handler, SysTick_Handler};
