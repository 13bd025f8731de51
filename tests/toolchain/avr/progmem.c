/* AVR memories beside flash and RAM: a table in flash (PROGMEM), EEPROM data (EEMEM), RAM
 * left alone at reset (.noinit), and the fuse and lock bytes, which ld places in regions of
 * their own at 0x820000 and 0x830000. */
#include <avr/eeprom.h>
#include <avr/io.h>
#include <avr/pgmspace.h>
#include <stdint.h>

FUSES = {.low = 0xFF, .high = 0xDE, .extended = 0xFD};
LOCKBITS = 0xFC;

const uint8_t k_table[16] PROGMEM = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
uint8_t EEMEM e_calibration[8] = {0x10, 0x20};
uint16_t g_boot_count __attribute__((section(".noinit")));
uint8_t g_level = 4;
uint8_t g_samples[12];

int main(void) {
    ++g_boot_count;
    for (uint8_t i = 0;; ++i) {
        g_samples[i % 12] = pgm_read_byte(&k_table[i & 15]) + eeprom_read_byte(&e_calibration[i & 7]);
        PORTB = g_samples[i % 12] + g_level;
    }
}
