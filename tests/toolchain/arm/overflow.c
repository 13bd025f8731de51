/* More zero-initialised data than the 20 KiB of RAM in flash_ram.ld hold: the link fails with
 * "region `RAM' overflowed", and ld still writes the map. */
#include <stdint.h>

uint8_t g_frame_buffer[24 * 1024];
const uint8_t g_palette[64] = {1, 2, 3};

void Reset_Handler(void) {
    for (uint32_t i = 0; i < sizeof g_frame_buffer; ++i) {
        g_frame_buffer[i] = g_palette[i % 64];
    }
    for (;;) {
    }
}
