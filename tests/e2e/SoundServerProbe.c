/* Plays one module through the module library and prints the library's CPU reading ten times a
 * second, one "seconds percent" line each, until it is stopped.
 * Usage: sound_server_probe MODULE */
#include "bassmod.h"

#include <stdio.h>
#include <time.h>

int main(int argc, char** argv)
{
    if (argc != 2 || !BASSMOD_Init(BASSMOD_DEFAULT_DEVICE, 44100, 0) ||
        !BASSMOD_MusicLoad(0, argv[1], 0, 0, BASSMOD_LOAD_SURROUND) || !BASSMOD_MusicPlay()) {
        fprintf(stderr, "cannot play: code %d\n", (int)BASSMOD_ErrorGetCode());
        return 1;
    }
    struct timespec start, now;
    clock_gettime(CLOCK_MONOTONIC, &start);
    for (;;) {
        const struct timespec tenth = {0, 100000000};
        nanosleep(&tenth, NULL);
        clock_gettime(CLOCK_MONOTONIC, &now);
        printf("%.2f %.3f\n", (double)(now.tv_sec - start.tv_sec) + (now.tv_nsec - start.tv_nsec) / 1e9,
               (double)BASSMOD_GetCPU());
        fflush(stdout);
    }
}
