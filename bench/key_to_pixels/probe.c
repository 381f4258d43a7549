// SPDX-License-Identifier: GPL-3.0-or-later
// Presses KEY1 and KEY2 in turn with XTest, N times, and after each press polls a
// rectangle of window WIN until its pixels change; prints the median, range and 90th
// percentile of those times. Usage: probe WIN X Y W H N KEY1 KEY2
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static double now_ms(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static int by_value(const void* a, const void* b)
{
    const double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

int main(int argc, char** argv)
{
    if (argc < 9) {
        fprintf(stderr, "usage: probe WIN X Y W H N KEY1 KEY2\n");
        return 2;
    }
    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "probe: no display\n");
        return 1;
    }
    const Window window = strtoul(argv[1], NULL, 0);
    const int x = atoi(argv[2]), y = atoi(argv[3]), w = atoi(argv[4]), h = atoi(argv[5]), n = atoi(argv[6]);
    const KeyCode keys[2] = {XKeysymToKeycode(display, XStringToKeysym(argv[7])),
                             XKeysymToKeycode(display, XStringToKeysym(argv[8]))};
    double* times = calloc((size_t)n, sizeof(double));
    int changed = 0;
    for (int i = 0; i < n; ++i) {
        usleep(150000); // the previous frame has settled
        XImage* before = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
        const size_t length = (size_t)before->bytes_per_line * before->height;
        const double start = now_ms();
        XTestFakeKeyEvent(display, keys[i % 2], True, 0);
        XTestFakeKeyEvent(display, keys[i % 2], False, 0);
        XFlush(display);
        while (now_ms() - start < 2000) {
            XImage* after = XGetImage(display, window, x, y, w, h, AllPlanes, ZPixmap);
            const int differs = memcmp(before->data, after->data, length) != 0;
            XDestroyImage(after);
            if (differs) {
                times[changed++] = now_ms() - start;
                break;
            }
        }
        XDestroyImage(before);
    }
    qsort(times, (size_t)changed, sizeof(double), by_value);
    if (changed == 0) {
        printf("presses %d, none changed the pixels\n", n);
        return 1;
    }
    printf("presses %d changed %d median %.2f ms min %.2f max %.2f p90 %.2f\n", n, changed, times[changed / 2],
           times[0], times[changed - 1], times[(int)(changed * 0.9)]);
    free(times);
    return 0;
}
