/* Freestanding ESP8266-style program (no division: its helpers live in the chip's ROM): code in IRAM and in flash-mapped memory
 * (ICACHE_FLASH_ATTR), data, constants and zeroed data in DRAM. */
#define ICACHE_FLASH_ATTR __attribute__((section(".irom0.text")))

unsigned g_ticks = 1;
unsigned g_buffer[16];
const unsigned k_steps[4] = {3, 5, 7, 11};

ICACHE_FLASH_ATTR unsigned app_step(unsigned value) {
    return value * k_steps[value & 3] + g_buffer[value & 15];
}

void call_user_start(void) {
    for (;;) {
        g_buffer[g_ticks & 15] = app_step(g_ticks);
        ++g_ticks;
    }
}
