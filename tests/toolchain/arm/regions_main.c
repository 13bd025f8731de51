/* Start-up and main of the several-region build: copies the RAM code, the data and the boot
 * overlay into place and clears .bss. The literal "sensor fault" also appears in
 * regions_driver.c; with -fdata-sections the linker merges the two copies. */
#include <stdint.h>

extern uint32_t _sramfunc, _eramfunc, _siramfunc, _sdata, _edata, _sidata, _sbss, _ebss,
    _estack;
extern uint32_t __load_start_overlay_boot, __load_stop_overlay_boot;
void Reset_Handler(void);
void driver_poll(const char* tag);
uint32_t filter_step(uint32_t sample);
uint32_t boot_check(void);

uint32_t g_shared_counter;  /* a common symbol with -fcommon, also declared in regions_driver.c */
uint32_t g_gain = 3;        /* .data, loaded from flash */
static uint32_t g_history[16];  /* .bss */

__attribute__((section(".isr_vector"), used)) static void* const vectors[2] = {&_estack,
                                                                               Reset_Handler};

static void copy(uint32_t* to, uint32_t* end, const uint32_t* from) {
    while (to < end) {
        *to++ = *from++;
    }
}

void Reset_Handler(void) {
    copy(&_sramfunc, &_eramfunc, &_siramfunc);
    copy(&_sdata, &_edata, &_sidata);
    for (uint32_t* p = &_sbss; p < &_ebss; ++p) {
        *p = 0;
    }
    if (boot_check() != 0) {
        driver_poll("sensor fault");
    }
    for (uint32_t i = 0;; ++i) {
        g_history[i % 16] = filter_step(g_history[(i + 15) % 16]) * g_gain;
        g_shared_counter += g_history[i % 16];
    }
}
