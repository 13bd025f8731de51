/* CRC-16/CCITT with a lookup table for the high nibble. */
#include "../app.h"

static const uint16_t nibble_table[16] = {
    0x0000, 0x1021, 0x2042, 0x3063, 0x4084, 0x50A5, 0x60C6, 0x70E7,
    0x8108, 0x9129, 0xA14A, 0xB16B, 0xC18C, 0xD1AD, 0xE1CE, 0xF1EF};
uint16_t crc_seed = 0xFFFFu; /* .data */

uint16_t crc16(const uint8_t* data, uint16_t length) {
    uint16_t crc = crc_seed;
    for (uint16_t i = 0; i < length; ++i) {
        crc = (uint16_t)((crc << 4) ^ nibble_table[(crc >> 12) ^ (data[i] >> 4)]);
        crc = (uint16_t)((crc << 4) ^ nibble_table[(crc >> 12) ^ (data[i] & 0x0Fu)]);
    }
    return crc;
}

/* Never called: --gc-sections discards it. */
uint16_t crc_reset(void) {
    crc_seed = 0xFFFFu;
    return crc_seed;
}
