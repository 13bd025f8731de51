/* picolibc with thread-local data: initialised (.tdata, its image stored in flash) and zeroed
 * (.tbss, which takes no room in the image; each thread's block is set up from the image). */
#include <stdio.h>
#include <string.h>

_Thread_local int t_errors = 3;
_Thread_local char t_scratch[32];
static const char g_banner[] = "tls build";
int g_ticks;

int main(void) {
    strcpy(t_scratch, g_banner);
    g_ticks += t_errors + (int)strlen(t_scratch);
    return g_ticks;
}
