/* Linked with ld's built-in script, which has no MEMORY regions: the map lists only
 * "*default*", the whole address space. */
int g_counter = 7;
int g_zeroed[4];
const char g_name[] = "default";

void _start(void) {
    for (;;) {
        g_zeroed[g_counter & 3] += g_name[g_counter & 7];
    }
}
